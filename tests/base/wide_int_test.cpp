#include "base/wide_int.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

// The portable 128-bit integer (used where the compiler has none, as on 32-bit Windows) must
// agree with the compiler's own on every operation the amount arithmetic uses; where there is
// no native one to compare with, known products and the identities of division check it.

namespace nvrp {
namespace {

using Portable = WideInt<true>;
using PortableUnsigned = WideInt<false>;

// Calls aCheck with 2000 pairs of operands of every magnitude (the divisor never 0).
void ForRandomOperands(uint64_t aSeed, void (*aCheck)(int64_t, int64_t)) {
  std::mt19937_64 random(aSeed);
  for (int i = 0; i < 2000; ++i) {
    const auto a = static_cast<int64_t>(random()) >> (random() % 63);
    auto b = static_cast<int64_t>(random()) >> (random() % 63);
    if (b == 0) b = 1;
    aCheck(a, b);
  }
}

struct KnownProduct {
  int64_t a, b;
  uint64_t high, low;
};

// The quotient and remainder of `aDividend` by `aDivisor` give it back, the remainder is
// smaller than the divisor and takes the dividend's sign (truncating division).
void ExpectDivisionIdentities(Portable aDividend, Portable aDivisor) {
  const Portable quotient = aDividend / aDivisor;
  const Portable remainder = aDividend % aDivisor;
  EXPECT_TRUE(quotient * aDivisor + remainder == aDividend);
  const Portable zero(0);
  const Portable magnitude = remainder < zero ? -remainder : remainder;
  const Portable divisorMagnitude = aDivisor < zero ? -aDivisor : aDivisor;
  EXPECT_TRUE(magnitude < divisorMagnitude);
  EXPECT_TRUE(remainder == zero || (remainder < zero) == (aDividend < zero));
}

void ExpectIdentities(int64_t a, int64_t b) {
  SCOPED_TRACE(::testing::Message() << a << " and " << b);
  const Portable wa = a, wb = b;
  const Portable product = wa * wb;
  EXPECT_TRUE(product / wb == wa);
  EXPECT_TRUE(product % wb == Portable(0));
  EXPECT_TRUE((product + wa) - wa == product);
  EXPECT_TRUE(-(-product) == product);
  EXPECT_EQ(static_cast<int64_t>(product),
            static_cast<int64_t>(static_cast<uint64_t>(a) * static_cast<uint64_t>(b)));
  ExpectDivisionIdentities(product + wa, wb);
  ExpectDivisionIdentities(product, Portable(-10000));
  const PortableUnsigned magnitude(product < Portable(0) ? -product : product);
  EXPECT_TRUE(magnitude / PortableUnsigned(10) * PortableUnsigned(10) +
                  magnitude % PortableUnsigned(10) ==
              magnitude);
}

TEST(WideIntTest, GivesKnownProductsAndKeepsTheIdentitiesOfDivision) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const KnownProduct products[] = {
      {kMax, kMax, 0x3FFFFFFFFFFFFFFF, 1},
      {kMin, kMin, 0x4000000000000000, 0},
      {kMax, kMin, 0xC000000000000000, 0x8000000000000000},
      {-1, 1, ~uint64_t{0}, ~uint64_t{0}},
      {0x100000000LL, 0x100000000LL, 1, 0},
      {10000, -10000, ~uint64_t{0}, static_cast<uint64_t>(int64_t{-100000000})},
  };
  for (const KnownProduct& known : products) {
    const Portable product = Portable(known.a) * Portable(known.b);
    EXPECT_EQ(product.High(), known.high) << known.a << " * " << known.b;
    EXPECT_EQ(product.Low(), known.low) << known.a << " * " << known.b;
    ExpectIdentities(known.a, known.b);
  }
  ForRandomOperands(54321, ExpectIdentities);
}

#if defined(__SIZEOF_INT128__)
__extension__ typedef __int128 Native;
__extension__ typedef unsigned __int128 NativeUnsigned;

::testing::AssertionResult Same(Portable aPortable, Native aNative) {
  const auto bits = static_cast<NativeUnsigned>(aNative);
  if (aPortable.High() == static_cast<uint64_t>(bits >> 64) &&
      aPortable.Low() == static_cast<uint64_t>(bits)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "differs from the native result";
}

void ExpectAgreement(int64_t a, int64_t b) {
  SCOPED_TRACE(::testing::Message() << a << " and " << b);
  const Portable wa = a, wb = b;
  const Native na = a, nb = b;
  const Portable product = wa * wb;
  const Native native_product = na * nb;
  EXPECT_TRUE(Same(product, native_product));
  EXPECT_TRUE(Same(product + wa, native_product + na));
  EXPECT_TRUE(Same(product - wb, native_product - nb));
  EXPECT_TRUE(Same(-product, -native_product));
  EXPECT_TRUE(Same(product / wb, native_product / nb));
  EXPECT_TRUE(Same(product % wb, native_product % nb));
  EXPECT_TRUE(Same(product / Portable(-10000), native_product / -10000));
  EXPECT_TRUE(Same(product & Portable(1), native_product & 1));
  EXPECT_EQ(product < Portable(0), native_product < 0);
  EXPECT_EQ(wa < wb, a < b);
  EXPECT_EQ(static_cast<int64_t>(product), static_cast<int64_t>(native_product));
  const PortableUnsigned magnitude(product < Portable(0) ? -product : product);
  const NativeUnsigned native_magnitude =
      static_cast<NativeUnsigned>(native_product < 0 ? -native_product : native_product);
  EXPECT_TRUE(
      Same(Portable(magnitude / PortableUnsigned(10)), static_cast<Native>(native_magnitude / 10)));
  EXPECT_TRUE(Same(Portable(magnitude % PortableUnsigned(10000)),
                   static_cast<Native>(native_magnitude % 10000)));
}

TEST(WideIntTest, AgreesWithTheNativeIntegerAtTheEdges) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const int64_t values[] = {kMax, kMin, kMin + 1, -1, 1, 10000, -10000, 3, -7, 0x100000000LL};
  for (const int64_t a : values) {
    for (const int64_t b : values) ExpectAgreement(a, b);
  }
}

TEST(WideIntTest, AgreesWithTheNativeIntegerOnRandomOperands) {
  ForRandomOperands(12345, ExpectAgreement);
}
#endif

}  // namespace
}  // namespace nvrp
