#include "base/application_info.hpp"

#include <charconv>
#include <cstdint>
#include <string_view>

#include "base/text_utils.hpp"
#include "base/utf.hpp"

namespace nvrp {

namespace {

// Whole text as a decimal integer with optional sign, else aDefault.
int ToIntOr(const std::string& aText, int aDefault) {
  std::string_view digits = aText;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  int value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) {
    return aDefault;
  }
  return value;
}

// Characters aFirst..aFirst+aCount-1 (1-based, UTF-16 units); shorter at the end of the text.
std::string Copy(const std::u16string& aText, size_t aFirst, size_t aCount) {
  if (aFirst - 1 >= aText.size()) return {};
  return Utf16ToUtf8(aText.substr(aFirst - 1, aCount));
}

}  // namespace

DateTime ReleaseDateFromText(const std::string& aText) {
  const std::u16string text = Utf8ToUtf16(aText);
  const int day = ToIntOr(Copy(text, 1, 2), 1);
  const int month = ToIntOr(Copy(text, 4, 2), 1);
  const int year = ToIntOr(Copy(text, 7, 4), 1);
  return EncodeDate(year, month, day);
}

void tNV_ApplicationInfo::Load(const tNV_StringTable& aStrings) {
  int misses = 0;
  for (int32_t id = kFirstId; misses < kMissesToStop && id < INT32_MAX; ++id) {
    const std::string text = Utf16Left(aStrings.StringById(id), kStringBufferUnits - 1);
    if (text.empty()) {
      ++misses;
      continue;
    }
    misses = 0;
    ApplyEntry(AsciiUpper(ExtractToken(text, 1, '=', false)), ExtractToken(text, 2, '=', true));
  }
}

void tNV_ApplicationInfo::ApplyEntry(const std::string& aKey, const std::string& aValue) {
  if (aKey == "$APPDESCRIPTION") {
    fDescription = aValue;
  } else if (aKey == "$COPYRIGHT") {
    fCopyright = aValue;
  } else if (aKey == "$VERSION") {
    fVersion = aValue;
    fHistory.emplace_back(aValue);
  } else if (fHistory.empty()) {
    // Entry details before any version have nothing to belong to.
  } else if (aKey == "$AUTHOR") {
    fHistory.back().fAuthor = aValue;
  } else if (aKey == "$RELEASEDATE") {
    fReleaseDate = ReleaseDateFromText(aValue);
    fHistory.back().fReleaseDate = fReleaseDate;
  } else if (aKey == "$PTEXT" || aKey == "$TEXT") {
    fHistory.back().fText.push_back(aValue);
  }
}

std::string tNV_ApplicationInfo::VersionString() const {
  return "[" + fVersion + " - " + FormatDateTime("dd/mm/yyyy", fReleaseDate) + "]";
}

}  // namespace nvrp
