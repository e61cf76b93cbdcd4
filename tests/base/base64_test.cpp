#include "base/base64.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"

namespace nvrp {
namespace {

TEST(Base64, EncodesAndDecodesTheStandardVectors) {
  const struct {
    std::string bytes;
    std::string text;
  } cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
      {"\xFB\xFF\xBF", "+/+/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Base64Encode(c.bytes), c.text) << c.bytes;
    EXPECT_EQ(Base64Decode(c.text), c.bytes) << c.text;
  }
}

TEST(Base64, RoundTripsEveryByteValueOnOneLine) {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 256 * 3 + 1; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(i * 7));
  }
  const std::string text = Base64Encode(bytes);
  EXPECT_EQ(text.size(), (bytes.size() + 2) / 3 * 4);
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos);
  const std::string decoded = Base64Decode(text);
  EXPECT_EQ(std::vector<std::uint8_t>(decoded.begin(), decoded.end()), bytes);
}

TEST(Base64, RejectsTextThatIsNotPaddedStandardBase64) {
  for (const std::string text :
       {"Zg", "Zg=", "Zm9v\n", "Zm-_", "Z===", "=Zg=", "Zg==Zg==", "Zh==", "Zm9=", "Zm 9v"}) {
    EXPECT_THROW(Base64Decode(text), Exception) << text;
  }
}

}  // namespace
}  // namespace nvrp
