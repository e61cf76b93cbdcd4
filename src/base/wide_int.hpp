#pragma once

#include <concepts>
#include <cstdint>

namespace nvrp {

// 128-bit integers for the intermediate results of amount arithmetic. The compiler's own
// where it has them (64-bit targets); elsewhere (32-bit Windows) a two's-complement pair of
// 64-bit halves with the same operators, truncating division and wrap-around like the built-in.
template <bool Signed>
class WideInt {
 public:
  constexpr WideInt() = default;
  template <std::integral T>
  constexpr WideInt(T aValue)  // NOLINT: converts implicitly like a built-in integer
      : fHigh(aValue < 0 ? ~std::uint64_t{0} : 0), fLow(static_cast<std::uint64_t>(aValue)) {}
  template <bool OtherSigned>
  constexpr explicit WideInt(WideInt<OtherSigned> aOther)
      : fHigh(aOther.High()), fLow(aOther.Low()) {}

  template <std::integral T>
  constexpr explicit operator T() const {
    return static_cast<T>(fLow);
  }

  constexpr std::uint64_t High() const { return fHigh; }
  constexpr std::uint64_t Low() const { return fLow; }

  friend constexpr WideInt operator+(WideInt a, WideInt b) {
    const std::uint64_t low = a.fLow + b.fLow;
    return Make(a.fHigh + b.fHigh + (low < a.fLow ? 1 : 0), low);
  }
  friend constexpr WideInt operator-(WideInt a) { return Make(~a.fHigh, ~a.fLow) + WideInt(1); }
  friend constexpr WideInt operator-(WideInt a, WideInt b) { return a + -b; }
  friend constexpr WideInt operator*(WideInt a, WideInt b) {
    // The low 128 bits of the product are the same for signed and unsigned operands.
    const std::uint64_t a0 = a.fLow & 0xFFFFFFFF, a1 = a.fLow >> 32;
    const std::uint64_t b0 = b.fLow & 0xFFFFFFFF, b1 = b.fLow >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFF) + (p10 & 0xFFFFFFFF);
    const std::uint64_t low = (middle << 32) | (p00 & 0xFFFFFFFF);
    const std::uint64_t high =
        p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32) + a.fHigh * b.fLow + a.fLow * b.fHigh;
    return Make(high, low);
  }
  friend constexpr WideInt operator/(WideInt a, WideInt b) { return Divide(a, b, false); }
  friend constexpr WideInt operator%(WideInt a, WideInt b) { return Divide(a, b, true); }
  friend constexpr WideInt operator&(WideInt a, WideInt b) {
    return Make(a.fHigh & b.fHigh, a.fLow & b.fLow);
  }
  constexpr WideInt& operator+=(WideInt b) { return *this = *this + b; }
  constexpr WideInt& operator*=(WideInt b) { return *this = *this * b; }
  constexpr WideInt& operator/=(WideInt b) { return *this = *this / b; }
  constexpr WideInt& operator++() { return *this = *this + WideInt(1); }

  friend constexpr bool operator==(WideInt a, WideInt b) {
    return a.fHigh == b.fHigh && a.fLow == b.fLow;
  }
  friend constexpr bool operator<(WideInt a, WideInt b) {
    if (a.fHigh != b.fHigh) {
      if constexpr (Signed) {
        return static_cast<std::int64_t>(a.fHigh) < static_cast<std::int64_t>(b.fHigh);
      }
      return a.fHigh < b.fHigh;
    }
    return a.fLow < b.fLow;
  }
  friend constexpr bool operator>(WideInt a, WideInt b) { return b < a; }
  friend constexpr bool operator<=(WideInt a, WideInt b) { return !(b < a); }
  friend constexpr bool operator>=(WideInt a, WideInt b) { return !(a < b); }

 private:
  static constexpr WideInt Make(std::uint64_t aHigh, std::uint64_t aLow) {
    WideInt value;
    value.fHigh = aHigh;
    value.fLow = aLow;
    return value;
  }

  constexpr bool Negative() const { return Signed && static_cast<std::int64_t>(fHigh) < 0; }

  // Shift-and-subtract division of the magnitudes; the quotient truncates towards zero and
  // the remainder takes the sign of the dividend.
  static constexpr WideInt Divide(WideInt a, WideInt b, bool aRemainder) {
    const bool negative_a = a.Negative();
    const bool negative_b = b.Negative();
    const WideInt<false> dividend(negative_a ? -a : a);
    const WideInt<false> divisor(negative_b ? -b : b);
    WideInt<false> quotient;
    WideInt<false> rest;
    for (int bit = 127; bit >= 0; --bit) {
      const std::uint64_t word = bit >= 64 ? dividend.High() : dividend.Low();
      rest = WideInt<false>::Make((rest.High() << 1) | (rest.Low() >> 63),
                                  (rest.Low() << 1) | ((word >> (bit % 64)) & 1));
      if (!(rest < divisor)) {
        rest = rest - divisor;
        quotient = quotient + WideInt<false>::Make(bit >= 64 ? std::uint64_t{1} << (bit - 64) : 0,
                                                   bit < 64 ? std::uint64_t{1} << bit : 0);
      }
    }
    if (aRemainder) return negative_a ? -WideInt(rest) : WideInt(rest);
    return negative_a != negative_b ? -WideInt(quotient) : WideInt(quotient);
  }

  template <bool>
  friend class WideInt;

  std::uint64_t fHigh = 0;
  std::uint64_t fLow = 0;
};

#if defined(__SIZEOF_INT128__)
// __extension__ keeps -Wpedantic quiet about the compiler's 128-bit integers.
__extension__ typedef __int128 Int128;
__extension__ typedef unsigned __int128 UInt128;
#else
using Int128 = WideInt<true>;
using UInt128 = WideInt<false>;
#endif

}  // namespace nvrp
