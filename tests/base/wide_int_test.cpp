#include "base/wide_int.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>

// The portable 128-bit integer (used where the compiler has none, as on 32-bit Windows) must
// agree with the compiler's own on every operation the amount arithmetic uses.

namespace nvrp {
namespace {

__extension__ typedef __int128 Native;
__extension__ typedef unsigned __int128 NativeUnsigned;
using Portable = WideInt<true>;
using PortableUnsigned = WideInt<false>;

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
  std::mt19937_64 random(12345);
  for (int i = 0; i < 2000; ++i) {
    const auto a = static_cast<int64_t>(random()) >> (random() % 63);
    auto b = static_cast<int64_t>(random()) >> (random() % 63);
    if (b == 0) b = 1;
    ExpectAgreement(a, b);
  }
}

}  // namespace
}  // namespace nvrp
