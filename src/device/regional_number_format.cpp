#include "device/regional_number_format.hpp"

#include <climits>
#include <cstddef>

namespace nvrp {

namespace {

// The integer digits with a separator between the groups, counted from the right.
std::string GroupDigits(const std::string& aDigits, const tkNumberFormat& aFormat) {
  if (aFormat.fThousandsSeparator.empty() || aFormat.fGrouping.empty()) return aDigits;
  size_t remaining = aDigits.size();
  size_t groupIndex = 0;
  size_t groupSize = 0;
  std::string tail;
  while (true) {
    if (groupIndex < aFormat.fGrouping.size()) {
      const auto size = static_cast<unsigned char>(aFormat.fGrouping[groupIndex++]);
      if (size == 0 || size == static_cast<unsigned char>(CHAR_MAX)) break;
      groupSize = size;
    }
    if (remaining <= groupSize) break;
    remaining -= groupSize;
    tail = aFormat.fThousandsSeparator + aDigits.substr(remaining, groupSize) + tail;
  }
  return aDigits.substr(0, remaining) + tail;
}

}  // namespace

std::string FormatGroupedNumber(Currency aAmount, int aDecimals, const tkNumberFormat& aFormat) {
  const std::string plain = FormatCurrencyFixed(aAmount, aDecimals);
  const bool negative = !plain.empty() && plain[0] == '-';
  const size_t digitsStart = negative ? 1 : 0;
  const size_t point = plain.find('.');
  const size_t digitsEnd = point == std::string::npos ? plain.size() : point;
  std::string text = negative ? "-" : "";
  text += GroupDigits(plain.substr(digitsStart, digitsEnd - digitsStart), aFormat);
  if (point != std::string::npos) text += aFormat.fDecimalSeparator + plain.substr(point + 1);
  return text;
}

}  // namespace nvrp
