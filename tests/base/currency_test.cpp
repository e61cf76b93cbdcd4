#include "base/currency.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "base/nv_exception.hpp"

namespace nvrp {
namespace {

struct ParseCase {
  const char* text;
  bool valid;
  int64_t raw;
};

TEST(CurrencyParse, AcceptsRequestSyntaxAndRejectsEverythingElse) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  const ParseCase cases[] = {
      {"12.5", true, 125000},
      {"  -12.5  ", true, -125000},
      {"+3", true, 30000},
      {"0", true, 0},
      {"-0", true, 0},
      {"007.10", true, 71000},
      {"1.", true, 10000},
      {".5", true, 5000},
      {"1.23455", true, 12346},    // tie, odd neighbour below: up
      {"1.23445", true, 12344},    // tie, even neighbour below: down
      {"-1.23455", true, -12346},  // ties are symmetric
      {"1.234450001", true, 12345},
      {"0.00005", true, 0},
      {"0.00015", true, 2},
      {"0.000049999", true, 0},
      {"1e3", true, 10000000},
      {"1.5E-2", true, 150},
      {"25e+0", true, 250000},
      {"12345e-8", true, 1},  // 0.00012345
      {"5e-5", true, 0},
      {"1e-999999999999", true, 0},
      {"0e999999999999", true, 0},
      {"922337203685477.5807", true, kMax},
      {"-922337203685477.5808", true, kMin},
      {"922337203685477.58074", true, kMax},
      {"922337203685477.5808", false, 0},
      {"-922337203685477.5809", false, 0},
      {"1e15", false, 0},
      {"99999999999999999999999", false, 0},
      {"", false, 0},
      {"   ", false, 0},
      {".", false, 0},
      {"+", false, 0},
      {"-", false, 0},
      {"1e", false, 0},
      {"1e+", false, 0},
      {"e5", false, 0},
      {"12,50", false, 0},
      {"1,234.50", false, 0},
      {"- 1", false, 0},
      {"1 2", false, 0},
      {"1.2.3", false, 0},
      {"\t1", false, 0},
      {"0x10", false, 0},
      {"1.5EUR", false, 0},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(std::string("text: [") + c.text + "]");
    Currency value = Currency::FromRaw(-7);
    ASSERT_EQ(TryParseCurrency(c.text, value), c.valid);
    if (c.valid) {
      EXPECT_EQ(value.Raw(), c.raw);
    }
  }
}

TEST(CurrencyText, ShortestGeneralForm) {
  const struct {
    int64_t raw;
    const char* text;
  } cases[] = {
      {125000, "12.5"},
      {100000, "10"},
      {-2500, "-0.25"},
      {12345000, "1234.5"},
      {0, "0"},
      {1, "0.0001"},
      {-10000, "-1"},
      {std::numeric_limits<int64_t>::max(), "922337203685477.5807"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CurrencyToText(Currency::FromRaw(c.raw)), c.text) << c.raw;
  }
}

TEST(CurrencyText, FixedDecimalsRoundHalfAwayFromZero) {
  const struct {
    int64_t raw;
    int decimals;
    const char* text;
  } cases[] = {
      {125000, 2, "12.50"},  {125000, 0, "13"},
      {-125000, 0, "-13"},   {125000, -3, "13"},
      {124999, 0, "12"},     {12345, 3, "1.235"},
      {-12345, 3, "-1.235"}, {12344, 3, "1.234"},
      {5, 3, "0.001"},       {-4, 3, "0.000"},  // rounds to zero: no sign
      {12345, 4, "1.2345"},  {12345, 6, "1.234500"},
      {0, 2, "0.00"},        {std::numeric_limits<int64_t>::min(), 0, "-922337203685478"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatCurrencyFixed(Currency::FromRaw(c.raw), c.decimals), c.text)
        << c.raw << " with " << c.decimals;
  }
}

TEST(CurrencyArithmetic, ProductAndQuotientRoundHalfToEven) {
  const struct {
    int64_t a;
    int64_t b;
    int64_t product;
  } products[] = {
      {15000, 5000, 7500},                                      // 1.5 * 0.5
      {12345, 5000, 6172},                                      // 0.61725 -> tie, even below
      {12355, 5000, 6178},                                      // 0.61775 -> tie, even above
      {-12345, 5000, -6172},                                    // negative tie
      {3, 3333, 1},                                             // 0.00009999 -> 0.0001
      {10000, -10000, -10000},                                  // 1 * -1
      {922337203685LL * 10000, 10000, 922337203685LL * 10000},  // large, exact via 128 bits
  };
  for (const auto& c : products) {
    EXPECT_EQ((Currency::FromRaw(c.a) * Currency::FromRaw(c.b)).Raw(), c.product)
        << c.a << " * " << c.b;
  }
  EXPECT_EQ((Currency::FromUnits(10) / Currency::FromUnits(3)).Raw(), 33333);
  EXPECT_EQ((Currency::FromUnits(-20) / Currency::FromUnits(3)).Raw(), -66667);
  EXPECT_EQ((Currency::FromRaw(1) / Currency::FromUnits(2)).Raw(), 0);  // 0.00005: tie to 0
  EXPECT_EQ((Currency::FromRaw(3) / Currency::FromUnits(2)).Raw(), 2);  // 0.00015: tie to 2
}

TEST(CurrencyArithmetic, FailuresAreReported) {
  try {
    (void)(Currency::FromUnits(1) / Currency());
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Division by zero");
  }
  const Currency huge = Currency::FromUnits(900000000000000LL);
  EXPECT_THROW((void)(huge * Currency::FromUnits(2)), Exception);
  EXPECT_THROW((void)(huge / Currency::FromRaw(1)), Exception);
  EXPECT_THROW((void)Currency::FromDouble(1e300), Exception);
  EXPECT_THROW((void)Currency::FromDouble(std::numeric_limits<double>::quiet_NaN()), Exception);
}

TEST(CurrencyArithmetic, FromDoubleRoundsToNearestTenThousandth) {
  EXPECT_EQ(Currency::FromDouble(12.5).Raw(), 125000);
  EXPECT_EQ(Currency::FromDouble(-0.25).Raw(), -2500);
  EXPECT_EQ(Currency::FromDouble(0.1 + 0.2).Raw(), 3000);
  EXPECT_EQ(Currency::FromDouble(0.00004999).Raw(), 0);
  EXPECT_EQ(Currency::FromDouble(0.00015000001).Raw(), 2);
  EXPECT_DOUBLE_EQ(Currency::FromRaw(-125000).ToDouble(), -12.5);
}

TEST(CurrencyArithmetic, SumsBeyondTheRangeThrowInsteadOfWrapping) {
  const Currency max = Currency::FromRaw(INT64_MAX);
  const Currency min = Currency::FromRaw(INT64_MIN);
  EXPECT_THROW(max + Currency::FromRaw(1), Exception);
  EXPECT_THROW(min - Currency::FromRaw(1), Exception);
  EXPECT_THROW(-min, Exception);
  EXPECT_EQ((max - Currency::FromRaw(1) + Currency::FromRaw(1)).Raw(), INT64_MAX);
  EXPECT_EQ((-max).Raw(), -INT64_MAX);
}

}  // namespace
}  // namespace nvrp
