#include "base/text_utils.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace nvrp {
namespace {

TEST(ExtractToken, FieldsAndRest) {
  const struct {
    const char* text;
    char separator;
    int index;
    bool rest;
    const char* expected;
  } cases[] = {
      {"a=b=c", '=', 1, false, "a"},
      {"a=b=c", '=', 2, true, "b=c"},
      {"a=b=c", '=', 2, false, "b"},
      {"a:b:c", ':', 2, false, "b"},
      {"a:b:c", ':', 3, false, "c"},
      {"a:b:c", ':', 4, false, ""},
      {"a:b:c", ':', 4, true, ""},
      {"a:b:c", ':', 1, true, "a:b:c"},
      {"a:b:c", ':', 0, false, ""},
      {"::x", ':', 2, false, ""},
      {"::x", ':', 3, false, "x"},
      {"a:", ':', 2, false, ""},
      {"", ':', 1, false, ""},
      {"12;0;SALE", ';', 3, false, "SALE"},
      {"no separator", ':', 1, false, "no separator"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExtractToken(c.text, c.index, c.separator, c.rest), c.expected)
        << c.text << " field " << c.index << (c.rest ? " with rest" : "");
  }
}

TEST(FormatFixedNumber, PadsCutsRoundsAndSigns) {
  const struct {
    double value;
    int width;
    int decimals;
    bool with_sign;
    const char* separator;
    const char* expected;
  } cases[] = {
      {7, 4, 0, false, "", "0007"},
      {12, 4, 0, false, "", "0012"},
      {12345, 4, 0, false, "", "2345"},
      {0, 4, 0, false, "", "0000"},
      {2.5, 4, 0, false, "", "0003"},  // half away from zero
      {3.5, 4, 0, false, "", "0004"},
      {2.49, 4, 0, false, "", "0002"},
      {1.005, 8, 2, false, ".", "00001.00"},  // the double lies below 1.005
      {1.125, 8, 2, false, ",", "00001,13"},  // exact tie in binary
      {9.999, 6, 2, false, ".", "010.00"},
      {12.5, 6, 2, false, "", "001250"},
      {12.5, 6, 2, true, ".", "+12.50"},
      {12.5, 7, 2, true, ".", "+012.50"},
      {-12.5, 7, 2, true, ".", "-012.50"},
      {-2.5, 4, 0, true, "", "-003"},
      {-12, 5, 0, false, "", "-0012"},
      {-0.4, 4, 0, false, "", "0000"},  // rounds to zero: no sign
      {7, 0, 0, false, "", ""},
      {7, 4, -2, false, "", "0007"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatFixedNumber(c.value, c.width, c.decimals, c.with_sign, c.separator), c.expected)
        << c.value << " width " << c.width << " decimals " << c.decimals;
  }
  EXPECT_EQ(FormatFixedNumber(1e20, 4, 0, false, ""), "0000");
  EXPECT_EQ(FormatFixedNumber(std::numeric_limits<double>::quiet_NaN(), 4, 0, false, ""), "NAN");
}

TEST(Trim, RemovesControlCharactersAndBlanksAtBothEnds) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim(std::string("\0x\x1F", 3)), "x");
  EXPECT_EQ(Trim(" \xCE\x91 "), "\xCE\x91");  // bytes of UTF-8 text are above the blank
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
}

TEST(ReplaceAll, ReplacesEveryOccurrenceOnce) {
  EXPECT_EQ(ReplaceAll("a&b&c", "&", "&amp;"), "a&amp;b&amp;c");
  EXPECT_EQ(ReplaceAll("TOTALE TOTALE", "TOTALE", "TOT."), "TOT. TOT.");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "x", "y"), "abc");
  EXPECT_EQ(ReplaceAll("abc", "", "y"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "b"), "");
}

TEST(SplitLines, SplitsAtEveryLineBreakKindWithoutTrailingEmptyLine) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"one", {"one"}},
      {"one\r\n", {"one"}},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}},
      {"a\n\nb", {"a", "", "b"}},
      {"a\r\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"a\n\r\n", {"a", ""}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace nvrp
