#include "base/currency.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "base/nv_exception.hpp"
#include "base/value_messages.hpp"
#include "base/wide_int.hpp"

namespace nvrp {

namespace {

constexpr Int128 kMaxRaw = std::numeric_limits<int64_t>::max();
constexpr Int128 kMinRaw = std::numeric_limits<int64_t>::min();
// Magnitudes above this cannot be a raw amount of either sign.
constexpr UInt128 kMaxMagnitude = static_cast<UInt128>(kMaxRaw) + 1;

Currency CheckedFromRaw(Int128 raw) {
  if (raw > kMaxRaw || raw < kMinRaw) throw Exception(std::string(kMsgCurrencyOutOfRange));
  return Currency::FromRaw(static_cast<int64_t>(raw));
}

// numerator / denominator rounded to the nearest integer, a tie going to the even one.
Int128 DivideHalfEven(Int128 numerator, Int128 denominator) {
  Int128 quotient = numerator / denominator;
  const Int128 remainder = numerator % denominator;
  if (remainder == 0) return quotient;
  const Int128 twice_rest = remainder < 0 ? -2 * remainder : 2 * remainder;
  const Int128 divisor = denominator < 0 ? -denominator : denominator;
  const bool away = twice_rest > divisor || (twice_rest == divisor && (quotient & 1) != 0);
  if (away) quotient += ((numerator < 0) != (denominator < 0)) ? -1 : 1;
  return quotient;
}

UInt128 Magnitude(int64_t raw) {
  const Int128 wide = raw;
  return static_cast<UInt128>(wide < 0 ? -wide : wide);
}

std::string UnsignedToText(UInt128 value) {
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(value % 10)));
    value /= 10;
  } while (value != 0);
  return digits;
}

// Reader of the request syntax of amounts; keeps the decimal digits exact.
class CurrencyTextReader {
 public:
  explicit CurrencyTextReader(std::string_view text) : text_(text) {}

  bool Read(Currency& out) {
    SkipBlanks();
    const bool negative = ReadSign();
    if (!ReadMantissa()) return false;
    if (!ReadExponent()) return false;
    SkipBlanks();
    if (pos_ != text_.size()) return false;
    return Combine(negative, out);
  }

 private:
  static constexpr long kExponentCap = 100000;

  bool AtDigit() const { return pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; }

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  bool ReadSign() {
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
      return text_[pos_++] == '-';
    }
    return false;
  }

  void TakeDigit(bool fraction) {
    const char c = text_[pos_++];
    if (fraction) ++fraction_digits_;
    if (digits_.empty() && c == '0') return;  // leading zeros carry no value
    digits_.push_back(c);
  }

  bool ReadMantissa() {
    bool any_digit = false;
    while (AtDigit()) {
      TakeDigit(false);
      any_digit = true;
    }
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      while (AtDigit()) {
        TakeDigit(true);
        any_digit = true;
      }
    }
    return any_digit;
  }

  bool ReadExponent() {
    if (pos_ >= text_.size() || (text_[pos_] != 'e' && text_[pos_] != 'E')) return true;
    ++pos_;
    const bool negative = ReadSign();
    if (!AtDigit()) return false;
    long value = 0;
    while (AtDigit()) {
      value = std::min(kExponentCap, value * 10 + (text_[pos_++] - '0'));
    }
    exponent_ = negative ? -value : value;
    return true;
  }

  // Value = digits * 10^(exponent - fraction digits); the raw amount has four more places.
  bool Combine(bool negative, Currency& out) const {
    const long shift = exponent_ - fraction_digits_ + 4;
    const long digit_count = static_cast<long>(digits_.size());
    const long kept = shift >= 0 ? digit_count : digit_count + shift;
    UInt128 magnitude = 0;
    for (long i = 0; i < kept + std::max(0L, shift); ++i) {
      const int digit = i < digit_count ? digits_[static_cast<size_t>(i)] - '0' : 0;
      magnitude = magnitude * 10 + static_cast<UInt128>(digit);
      if (magnitude > kMaxMagnitude) return false;
    }
    if (kept >= 0 && RoundsUp(kept, magnitude)) ++magnitude;
    if (magnitude > kMaxMagnitude || (!negative && magnitude == kMaxMagnitude)) return false;
    const Int128 raw = negative ? -static_cast<Int128>(magnitude) : static_cast<Int128>(magnitude);
    out = Currency::FromRaw(static_cast<int64_t>(raw));
    return true;
  }

  // Whether the digits from `first_dropped` on round the kept part up (half to even).
  bool RoundsUp(long first_dropped, UInt128 kept) const {
    const size_t first = static_cast<size_t>(first_dropped);
    if (first >= digits_.size()) return false;
    const char lead = digits_[first];
    if (lead != '5') return lead > '5';
    for (size_t i = first + 1; i < digits_.size(); ++i) {
      if (digits_[i] != '0') return true;
    }
    return (kept & 1) != 0;
  }

  std::string_view text_;
  size_t pos_ = 0;
  std::string digits_;  // significant digits, no leading zeros
  long fraction_digits_ = 0;
  long exponent_ = 0;
};

}  // namespace

Currency Currency::FromDouble(double value) {
  const long double scaled = static_cast<long double>(value) * kScale;
  if (!std::isfinite(scaled) || scaled >= 0x1p63L || scaled < -0x1p63L) {
    throw Exception(std::string(kMsgCurrencyOutOfRange));
  }
  // The default floating-point rounding mode sends ties to the even neighbour.
  const long double rounded = std::nearbyint(scaled);
  if (rounded >= 0x1p63L) throw Exception(std::string(kMsgCurrencyOutOfRange));
  return FromRaw(static_cast<int64_t>(rounded));
}

Currency operator*(Currency a, Currency b) {
  const Int128 product = static_cast<Int128>(a.Raw()) * b.Raw();
  return CheckedFromRaw(DivideHalfEven(product, Currency::kScale));
}

Currency operator/(Currency a, Currency b) {
  if (b.Raw() == 0) throw Exception(std::string(kMsgDivisionByZero));
  const Int128 numerator = static_cast<Int128>(a.Raw()) * Currency::kScale;
  return CheckedFromRaw(DivideHalfEven(numerator, b.Raw()));
}

bool TryParseCurrency(std::string_view text, Currency& out) {
  return CurrencyTextReader(text).Read(out);
}

std::string CurrencyToText(Currency value) {
  const UInt128 magnitude = Magnitude(value.Raw());
  std::string text = value.Raw() < 0 ? "-" : "";
  text += UnsignedToText(magnitude / Currency::kScale);
  std::string fraction = UnsignedToText(magnitude % Currency::kScale);
  fraction.insert(0, 4 - fraction.size(), '0');
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (!fraction.empty()) text += "." + fraction;
  return text;
}

std::string FormatCurrencyFixed(Currency value, int decimals) {
  const int kept = std::clamp(decimals, 0, 4);
  UInt128 unit = 1;
  for (int i = kept; i < 4; ++i) unit *= 10;
  const UInt128 magnitude = Magnitude(value.Raw());
  // Half away from zero: round the magnitude, then put the sign back.
  const UInt128 rounded = (magnitude + unit / 2) / unit;
  UInt128 scale = 1;
  for (int i = 0; i < kept; ++i) scale *= 10;
  std::string text = value.Raw() < 0 && rounded != 0 ? "-" : "";
  text += UnsignedToText(rounded / scale);
  if (decimals <= 0) return text;
  std::string fraction = kept > 0 ? UnsignedToText(rounded % scale) : "";
  fraction.insert(0, static_cast<size_t>(kept) - fraction.size(), '0');
  fraction.append(static_cast<size_t>(decimals - kept), '0');
  return text + "." + fraction;
}

void Currency::ThrowOutOfRange() { throw Exception(std::string(kMsgCurrencyOutOfRange)); }

}  // namespace nvrp
