// The two text codecs of the iBox: description text out, device clock text in.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "documents/krpt_util.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_messages.hpp"

namespace nvrp {

namespace msg = ibox_messages;

namespace {

// Characters the device wants percent-encoded besides blanks, controls (DEL included) and
// non-ASCII: a raw DEL is not allowed in a URL and the request would not be sent at all.
constexpr std::string_view kEscapedCharacters = "*<>#%\"{}|\\^[]`";

bool NeedsEscape(unsigned char aByte) {
  return aByte < 33 || aByte > 126 ||
         kEscapedCharacters.find(static_cast<char>(aByte)) != std::string_view::npos;
}

// Letters, digits and "-._~": the characters a query value never needs to escape.
bool IsUnreserved(unsigned char aByte) {
  if (aByte >= 128) return false;
  return std::isalnum(aByte) != 0 ||
         std::string_view("-._~").find(static_cast<char>(aByte)) != std::string_view::npos;
}

// Every byte of the UTF-8 encoding of an escaped character becomes "%" and two upper-case
// hexadecimal digits; non-ASCII characters consist of bytes above 127 only.
std::string PercentEncode(std::string_view aText,
                          bool (*aNeedsEscape)(unsigned char) = NeedsEscape) {
  constexpr std::string_view kHexDigits = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(aText.size() * 3);
  for (const char c : aText) {
    const auto byte = static_cast<unsigned char>(c);
    if (!aNeedsEscape(byte)) {
      encoded += c;
      continue;
    }
    encoded += '%';
    encoded += kHexDigits[byte >> 4];
    encoded += kHexDigits[byte & 0x0F];
  }
  return encoded;
}

std::string AlignmentPrefix(tkReceiptMessageLineAlignment aAlignment) {
  switch (aAlignment) {
    case tkReceiptMessageLineAlignment::la_right:
      return std::string(msg::kAlignRight);
    case tkReceiptMessageLineAlignment::la_center:
      return std::string(msg::kAlignCenter);
    default:
      return {};
  }
}

// Characters aFirst to aLast (1-based, inclusive) of a UTF-16 text, as UTF-8, trimmed.
std::string TrimmedCopy(const std::u16string& aText, size_t aFirst, size_t aLast) {
  if (aFirst < 1 || aLast < aFirst || aFirst > aText.size()) return {};
  return Trim(Utf16ToUtf8(std::u16string_view(aText).substr(aFirst - 1, aLast - aFirst + 1)));
}

struct tkDateTimeTexts {
  std::string Date;
  std::string Time;
};

// Splits the clock text into its date and time parts. With "Ω" at position p >= 2 the date
// is characters 3 to p-2 and the time the up to 20 characters after it; otherwise the text
// from its third character on holds the date, a blank and the time (midnight without one).
tkDateTimeTexts SplitDeviceDateTime(std::string_view aText) {
  const std::u16string text = Utf8ToUtf16(aText);
  const size_t omega = text.find(Utf8ToUtf16(msg::kOmega));
  if (omega != std::u16string::npos && omega >= 1) {
    const size_t p = omega + 1;  // 1-based
    return {TrimmedCopy(text, 3, p - 2), TrimmedCopy(text, p + 1, p + 20)};
  }
  const std::string rest = TrimmedCopy(text, 3, text.size());
  const size_t blank = rest.find(' ');
  if (blank == std::string::npos || blank == 0) return {rest, std::string(msg::kMidnight)};
  return {rest.substr(0, blank), Trim(std::string_view(rest).substr(blank + 1))};
}

int32_t Field(std::string_view aPart, int aIndex, char aSeparator) {
  return krptUtil::StrToInt(Trim(ExtractToken(aPart, aIndex, aSeparator, false)));
}

// Seconds: 0 when missing or not a number.
int32_t SecondsField(std::string_view aTime) {
  const std::string text = Trim(ExtractToken(aTime, 3, msg::kTimeSeparator, false));
  try {
    return text.empty() ? 0 : krptUtil::StrToInt(text);
  } catch (const Exception&) {
    return 0;
  }
}

}  // namespace

std::string kFiscalPrinter_RORERER::FormatDescription(std::string_view aText,
                                                      tkReceiptMessageLineAlignment aAlignment,
                                                      int32_t aSize) {
  std::string text(aText);
  std::replace(text.begin(), text.end(), '^', ' ');
  std::replace(text.begin(), text.end(), '|', ' ');
  text = AlignmentPrefix(aAlignment) + text;
  if (aSize > 1) text = std::string(msg::kDoubleSize) + text;
  return EncodeParameterText(text);
}

std::string kFiscalPrinter_RORERER::EncodeParameterText(std::string_view aText) {
  return ReplaceAll(PercentEncode(aText), "&", msg::kAmpersandReplacement);
}

std::string kFiscalPrinter_RORERER::EncodeBarcodeValue(std::string_view aValue) {
  return PercentEncode(aValue, [](unsigned char aByte) { return !IsUnreserved(aByte); });
}

DateTime kFiscalPrinter_RORERER::ParseDeviceDateTime(std::string_view aText) {
  const tkDateTimeTexts parts = SplitDeviceDateTime(aText);
  DateTimeParts value;
  value.day = Field(parts.Date, 1, msg::kDateSeparator);
  value.month = Field(parts.Date, 2, msg::kDateSeparator);
  value.year = Field(parts.Date, 3, msg::kDateSeparator);
  value.hour = Field(parts.Time, 1, msg::kTimeSeparator);
  value.minute = Field(parts.Time, 2, msg::kTimeSeparator);
  value.second = SecondsField(parts.Time);
  value.millisecond = 0;
  return EncodeDateTime(value);
}

}  // namespace nvrp
