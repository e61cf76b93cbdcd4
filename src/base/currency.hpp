#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// Fixed-point amount with four decimals: a 64-bit count of ten-thousandths.
// Addition, subtraction and comparison are exact; nothing here goes through double
// except the explicit FromDouble/ToDouble conversions.
class Currency {
 public:
  static constexpr int64_t kScale = 10000;

  constexpr Currency() = default;
  static constexpr Currency FromRaw(int64_t ten_thousandths) {
    Currency c;
    c.raw_ = ten_thousandths;
    return c;
  }
  static constexpr Currency FromUnits(int64_t units) { return FromRaw(units * kScale); }
  // Rounds to the nearest ten-thousandth, a tie going to the even neighbour; throws
  // nvrp::Exception for a value out of range (or not finite).
  static Currency FromDouble(double value);

  constexpr int64_t Raw() const { return raw_; }
  double ToDouble() const { return static_cast<double>(raw_) / kScale; }

  Currency operator-() const { return Currency() - *this; }
  // Sums and differences outside the 64-bit range throw nvrp::Exception instead of wrapping.
  Currency& operator+=(Currency o) {
    if (__builtin_add_overflow(raw_, o.raw_, &raw_)) ThrowOutOfRange();
    return *this;
  }
  Currency& operator-=(Currency o) {
    if (__builtin_sub_overflow(raw_, o.raw_, &raw_)) ThrowOutOfRange();
    return *this;
  }
  friend Currency operator+(Currency a, Currency b) { return a += b; }
  friend Currency operator-(Currency a, Currency b) { return a -= b; }
  // Product and quotient rounded to four decimals, a tie going to the even neighbour; a
  // result out of range throws nvrp::Exception.
  friend Currency operator*(Currency a, Currency b);
  friend Currency operator/(Currency a, Currency b);  // throws nvrp::Exception on zero divisor
  friend constexpr auto operator<=>(Currency a, Currency b) = default;

 private:
  [[noreturn]] static void ThrowOutOfRange();
  int64_t raw_ = 0;
};

// Request syntax: optional blanks, optional sign, digits with "." as the only decimal
// separator, optional exponent, optional blanks; rounded half to even at four decimals.
// Returns false on any other text (also on overflow).
bool TryParseCurrency(std::string_view text, Currency& out);

// Shortest general form: "." separator, no grouping, at most four decimals, trailing zeros
// and point dropped, "-" for negatives (12.5, 10, -0.25).
std::string CurrencyToText(Currency value);

// Exactly `decimals` digits after a "." (none when decimals <= 0), no grouping,
// rounded half away from zero.
std::string FormatCurrencyFixed(Currency value, int decimals);

}  // namespace nvrp
