#include "device/receipt_picture.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/base64.hpp"
#include "base/nv_exception.hpp"
#include "base/text_raster.hpp"
#include "support/jpeg_decoder.hpp"

namespace nvrp {
namespace {

using testing::DecodedPicture;

DecodedPicture PictureOf(const std::string& aText) {
  const std::string base64 = ReceiptTextToJpegBase64(aText);
  EXPECT_EQ(base64.find_first_of("\r\n"), std::string::npos);
  DecodedPicture picture;
  EXPECT_TRUE(testing::DecodeJpeg(Base64Decode(base64), picture)) << aText;
  return picture;
}

// Line pitch and character advance, measured once on a picture of the one character "X".
class ReceiptPicture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const DecodedPicture reference = PictureOf("X");
    ASSERT_EQ(reference.height % 4, 0);
    sPitch = reference.height / 4;
    sAdvance = reference.width - 20;
  }
  static int sPitch;
  static int sAdvance;
};
int ReceiptPicture::sPitch = 0;
int ReceiptPicture::sAdvance = 0;

TEST_F(ReceiptPicture, FollowsTheLayoutOfTenPointCourier) {
  // A 10 point font at 96 dots per inch is about 13 pixels high; its lines about 1.3 times that.
  EXPECT_GE(sPitch, 15);
  EXPECT_LE(sPitch, 25);
  EXPECT_GE(sAdvance, 6);
  EXPECT_LE(sAdvance, 10);

  const struct {
    const char* name;
    std::string text;
    int lines;
    int widestCharacters;
  } cases[] = {
      {"one line", "TOTAL EUR 12.50", 1, 15},
      {"lines of different widths", "A\nBBBBBBB\nCC", 3, 7},
      {"Greek", "\xCE\x91\xCE\xB8\xCE\xAE\xCE\xBD\xCE\xB1 1,00\n\xCE\xA3", 2, 10},
      {"empty lines inside", "A\n\n\nBBB", 4, 3},
      {"final line break adds no line", "ABC\n", 1, 3},
      {"final empty line after two breaks", "ABC\n\n", 2, 3},
      {"line break only", "\n", 1, 0},
      {"CR alone splits", "A\rBB", 2, 2},
      {"CR LF splits once", "A\r\nBB\r\n", 2, 2},
      {"LF CR is two breaks", "A\n\rBB", 3, 2},
  };
  for (const auto& c : cases) {
    const DecodedPicture picture = PictureOf(c.text);
    EXPECT_EQ(picture.height, sPitch * (c.lines + 3)) << c.name;
    EXPECT_EQ(picture.width, sAdvance * c.widestCharacters + 20) << c.name;
  }
}

TEST_F(ReceiptPicture, LineBreakStylesGiveTheSamePicture) {
  const std::string lf = ReceiptTextToJpegBase64("Item 1\nTotal 3.00\n\nThank you\n");
  EXPECT_EQ(ReceiptTextToJpegBase64("Item 1\r\nTotal 3.00\r\n\r\nThank you\r\n"), lf);
  EXPECT_EQ(ReceiptTextToJpegBase64("Item 1\rTotal 3.00\r\rThank you\r"), lf);
}

TEST_F(ReceiptPicture, DrawsDarkTextOnWhiteWhereTheLinesAre) {
  const DecodedPicture picture = PictureOf("HELLO\n\nWORLD WIDE");
  const int textRight = 10 + 10 * sAdvance;
  ASSERT_EQ(picture.width, textRight + 10);

  size_t light = 0;
  for (const std::uint8_t value : picture.gray) {
    light += value >= 200 ? 1U : 0U;
  }
  EXPECT_GT(light, picture.gray.size() * 8 / 10);

  const int line0 = 2 * sPitch;
  const int line2 = 4 * sPitch;
  EXPECT_LT(picture.Darkest(10, line0, 10 + 5 * sAdvance, line0 + sPitch), 80);
  EXPECT_LT(picture.Darkest(10, line2, textRight, line2 + sPitch), 80);
  // Nothing dark above the first line, on the empty line, right of the shorter line, below the
  // last line, or in the left margin.
  EXPECT_GT(picture.Darkest(0, 0, picture.width, line0 - 2), 160);
  EXPECT_GT(picture.Darkest(0, 3 * sPitch + 3, picture.width, line2 - 3), 160);
  EXPECT_GT(picture.Darkest(10 + 5 * sAdvance + 4, line0, picture.width, 3 * sPitch), 160);
  EXPECT_GT(picture.Darkest(0, 5 * sPitch + 3, picture.width, picture.height), 160);
  EXPECT_GT(picture.Darkest(0, 0, 6, picture.height), 160);
}

TEST_F(ReceiptPicture, SurvivesCharactersTheFontLacksAndInvalidText) {
  for (const std::string& text :
       {std::string("Coffee \xE2\x98\x95 \xF0\x9F\x98\x80"), std::string("\xFF\xFE abc"),
        std::string("tab\there"), std::string("nul\0inside", 10)}) {
    const DecodedPicture picture = PictureOf(text);
    EXPECT_EQ(picture.height, sPitch * 4) << text;
    EXPECT_GT(picture.width, 20) << text;
  }
}

TEST_F(ReceiptPicture, EmptyTextGivesNoPicture) { EXPECT_EQ(ReceiptTextToJpegBase64(""), ""); }

TEST_F(ReceiptPicture, TextTooLargeForAJpegEndsInAnError) {
  std::string manyLines;
  for (int i = 0; i < 65500 / sPitch; ++i) {
    manyLines += "x\n";
  }
  EXPECT_THROW(ReceiptTextToJpegBase64(manyLines), Exception);
  EXPECT_THROW(ReceiptTextToJpegBase64(std::string(65500 / sAdvance, 'x')), Exception);
}

TEST(MonospacedFont, CourierMatchesAMonospacedFontWithEqualAdvances) {
  const MonospacedFont font("Courier", 10.0, 96.0);
  EXPECT_FALSE(font.FileName().empty());
  EXPECT_EQ(font.TextWidth("iiiiii"), font.TextWidth("WWWWWW"));
  EXPECT_EQ(font.TextWidth("\xCE\xA9\xCE\xA9"), font.TextWidth("ii"));
  EXPECT_GT(font.TextHeight(), 0);
}

// fontconfig answers a family with its closest match; GDI's font mapper gives a monospaced face
// for any family asked with a fixed pitch, so Windows has no refusal to check.
#if !defined(_WIN32)
TEST(MonospacedFont, RefusesAFamilyThatOnlyMatchesAProportionalFont) {
  try {
    const MonospacedFont font("Helvetica", 10.0, 96.0);
    FAIL() << "matched " << font.FileName();
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "No monospaced font matches Helvetica");
  }
}
#endif

}  // namespace
}  // namespace nvrp
