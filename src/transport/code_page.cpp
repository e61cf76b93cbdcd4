#include "transport/code_page.hpp"

#include "base/utf.hpp"

namespace nvrp {

bool EncodeLatin1(std::string_view aText, std::string& aBytes) {
  aBytes.clear();
  for (const char16_t unit : Utf8ToUtf16(aText)) {
    if (unit > 0xFF) return false;
    aBytes += static_cast<char>(static_cast<unsigned char>(unit));
  }
  return true;
}

std::string DecodeLatin1(std::string_view aBytes) {
  std::u16string units;
  units.reserve(aBytes.size());
  for (const char byte : aBytes) units += static_cast<char16_t>(static_cast<unsigned char>(byte));
  return Utf16ToUtf8(units);
}

}  // namespace nvrp
