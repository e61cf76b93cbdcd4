#include "base/utf.hpp"

#include <gtest/gtest.h>

#include <string>

namespace nvrp {
namespace {

const std::string kGreek = "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1";  // Αθήνα
const std::string kEmoji = "\xF0\x9F\x98\x80";                          // U+1F600
const std::string kReplacement = "\xEF\xBF\xBD";

TEST(Utf, RoundTripsValidText) {
  const struct {
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"", u""},
      {"Receipt 12.50", u"Receipt 12.50"},
      {kGreek, u"\u0391\u03B8\u03AE\u03BD\u03B1"},
      {"\xE2\x82\xAC" + kEmoji + "x", u"\u20AC\U0001F600x"},
      {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    EXPECT_EQ(Utf16Length(c.utf8), c.utf16.size()) << c.utf8;
  }
}

TEST(Utf, InvalidUtf8BecomesOneReplacementPerBadByte) {
  const struct {
    std::string input;
    std::u16string expected;
  } cases[] = {
      {"a\xFF"
       "b",
       u"a\uFFFDb"},
      {"\x80", u"\uFFFD"},
      {"\xC3", u"\uFFFD"},  // cut short at the end
      {"\xE2\x82"
       "A",
       u"\uFFFD\uFFFDA"},                                 // cut short before ASCII
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong "/"
      {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},            // overlong, three bytes
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xF0\x9F\x98", u"\uFFFD\uFFFD\uFFFD"},            // emoji missing its last byte
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf8ToUtf16(c.input), c.expected);
    EXPECT_EQ(Utf16Length(c.input), c.expected.size());
  }
}

TEST(Utf, LoneSurrogatesBecomeReplacement) {
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, u'\xD83D')), kReplacement);
  EXPECT_EQ(Utf16ToUtf8(u"a" + std::u16string(1, u'\xDE00') + u"b"), "a" + kReplacement + "b");
  // A high surrogate followed by another high one: only the first is lone.
  const std::u16string doubled = {u'\xD83D', u'\xD83D', u'\xDE00'};
  EXPECT_EQ(Utf16ToUtf8(doubled), kReplacement + kEmoji);
  const std::u16string reversed = {u'\xDE00', u'\xD83D'};
  EXPECT_EQ(Utf16ToUtf8(reversed), kReplacement + kReplacement);
}

TEST(Utf, LeftCutsInUtf16UnitsWithoutSplittingPairs) {
  const std::string text = "ab" + kEmoji + kGreek;  // units: a b [pair] then five
  const struct {
    size_t units;
    std::string expected;
  } cases[] = {
      {0, ""},
      {2, "ab"},
      {3, "ab"},  // would split the pair: the emoji is dropped
      {4, "ab" + kEmoji},
      {5, "ab" + kEmoji + "\xCE\x91"},
      {9, text},
      {100, text},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16Left(text, c.units), c.expected) << c.units;
  }
}

// The count runs over ASCII eight bytes at a time: characters of every length and invalid
// bytes, placed before, inside and after such runs, count as the conversion counts them.
TEST(Utf, Utf16LengthAgreesWithTheConversion) {
  const struct {
    std::string text;
    size_t units;
  } cases[] = {
      {"", 0},
      {"1234567", 7},
      {"12345678", 8},
      {"123456789abcdefgh", 17},
      {kGreek, 5},
      {"1234567" + kGreek + "12345678", 20},
      {"12345678" + kGreek, 13},
      {kEmoji, 2},
      {"1234567" + kEmoji + "1234567" + kEmoji, 18},
      {"\xE2\x82\xAC"
       "12345678",
       9},  // three-byte euro sign
      {"1234567\xFF"
       "12345678",
       16},  // invalid lead byte
      {"12345678\x80\x80"
       "1234567",
       17},  // stray continuation bytes
      {"1234567\xF0\x9F\x98"
       "12345678",
       18},                         // emoji cut short
      {"123456789abcdef\xCE", 16},  // cut short at the very end
      {"\xED\xA0\x80"
       "12345678",
       11},  // encoded surrogate
      {std::string(1000, 'a') + kEmoji + std::string(3, '\0'), 1005},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16Length(c.text), c.units) << c.text;
    EXPECT_EQ(Utf16Length(c.text), Utf8ToUtf16(c.text).size()) << c.text;
  }
}

TEST(Utf, AsciiCaseMappingLeavesOtherBytesAlone) {
  EXPECT_EQ(AsciiLower("/DEBUG:Yes " + kGreek), "/debug:yes " + kGreek);
  EXPECT_EQ(AsciiUpper("PrintFR \xC3\xA9"), "PRINTFR \xC3\xA9");  // é stays
  EXPECT_EQ(AsciiUpper("az@[`{"), "AZ@[`{");
}

}  // namespace
}  // namespace nvrp
