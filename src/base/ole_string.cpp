#include "base/ole_string.hpp"

#include <limits>

#include "base/utf.hpp"

namespace nvrp {

std::string OleToUtf8(const char16_t* value) {
  return Utf16ToUtf8(std::u16string_view(value == nullptr ? u"" : value, OleStringLen(value)));
}

BSTR Utf8ToOle(std::string_view text) {
  if (text.empty()) return nullptr;
  const std::u16string units = Utf8ToUtf16(text);
  if (units.size() > std::numeric_limits<uint32_t>::max() / 2) return nullptr;
  return OleAllocStringLen(units.data(), static_cast<uint32_t>(units.size()));
}

}  // namespace nvrp
