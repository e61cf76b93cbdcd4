#include <climits>

#include "base/host_number_format.hpp"
#include "base/win32_text.hpp"

namespace nvrp {

namespace {

// One value of the user's regional settings; empty when it cannot be read.
std::string UserLocaleText(LCTYPE aItem) {
  wchar_t buffer[16] = {};
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, aItem, buffer, 16);
  if (length <= 1) return {};
  return Utf8Of(buffer, static_cast<size_t>(length - 1));
}

// Windows writes the group sizes as "3;0" (threes, repeating), "3" (one group of three) or
// "3;2;0"; the lconv form repeats its last size and ends with CHAR_MAX.
std::string LconvGrouping(const std::string& aGrouping) {
  std::string sizes;
  int size = 0;
  for (const char c : aGrouping + ";") {
    if (c >= '0' && c <= '9') {
      size = size * 10 + (c - '0');
    } else if (c == ';') {
      sizes += static_cast<char>(size > 0 && size < CHAR_MAX ? size : 0);
      size = 0;
    }
  }
  if (!sizes.empty() && sizes.back() == '\0') {
    sizes.pop_back();  // the last size repeats
  } else if (!sizes.empty()) {
    sizes += static_cast<char>(CHAR_MAX);
  }
  return sizes;
}

}  // namespace

tkNumberFormat HostNumberFormat() {
  tkNumberFormat format;
  const std::string decimal = UserLocaleText(LOCALE_SDECIMAL);
  if (!decimal.empty()) format.fDecimalSeparator = decimal;
  format.fThousandsSeparator = UserLocaleText(LOCALE_STHOUSAND);
  format.fGrouping = LconvGrouping(UserLocaleText(LOCALE_SGROUPING));
  return format;
}

}  // namespace nvrp
