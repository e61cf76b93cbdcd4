#include "command/result_text.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_platform.hpp"

namespace nvrp {
namespace {

TEST(EscapeXml, ReplacesEachSpecialCharacterOnce) {
  struct Case {
    std::string text;
    std::string escaped;
  };
  const Case cases[] = {
      {"", ""},
      {"plain text", "plain text"},
      {"a&b", "a&amp;b"},
      {"<x>", "&lt;x&gt;"},
      {"\"q\" 'a'", "&quot;q&quot; &apos;a&apos;"},
      {"&amp;", "&amp;amp;"},
      {"&<>\"'", "&amp;&lt;&gt;&quot;&apos;"},
      {"\xCE\xB1&\xCE\xB2", "\xCE\xB1&amp;\xCE\xB2"},
  };
  for (const Case& c : cases) EXPECT_EQ(EscapeXml(c.text), c.escaped) << c.text;
}

TEST(PaymentNetworkText, LowerCaseNamesExceptNhs) {
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::Bank), "bank");
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::Mastercard), "mastercard");
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::NHS), "NHS");
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::MIGLunch), "miglunch");
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::Scalapay), "scalapay");
  EXPECT_EQ(PaymentNetworkText(tkPaymentNetwork::Other), "other");
  EXPECT_EQ(PaymentNetworkText(static_cast<tkPaymentNetwork>(43)), "unrecognized");
  EXPECT_EQ(PaymentNetworkText(static_cast<tkPaymentNetwork>(-1)), "unrecognized");
}

TEST(TransactionTypeText, UpperCaseNamesAndNoneForRfid) {
  using T = tkPaymentTransactionType;
  EXPECT_EQ(TransactionTypeText(T::ptt_Chip), "CHIP");
  EXPECT_EQ(TransactionTypeText(T::ptt_MagStripe), "MAGSTRIPE");
  EXPECT_EQ(TransactionTypeText(T::ptt_Manual), "MANUAL");
  EXPECT_EQ(TransactionTypeText(T::ptt_Cless), "CLESS");
  EXPECT_EQ(TransactionTypeText(T::ptt_ClessMagStripe), "CLESSMAGSTRIPE");
  EXPECT_EQ(TransactionTypeText(T::ptt_ClessChip), "CLESSCHIP");
  EXPECT_EQ(TransactionTypeText(T::ptt_RFID), "");
  EXPECT_EQ(TransactionTypeText(T::ptt_Other), "OTHER");
  EXPECT_EQ(TransactionTypeText(static_cast<T>(8)), "");
}

// The host's regional settings, not the C library's locale, give the separator: the test runs
// again as a host started in each locale would be.
TEST(RegionalCurrencyText, UsesTheHostDecimalCommaWhileCurrencyTextKeepsPoint) {
  testing::CheckInHostLocales({"de_DE.UTF-8", "el_GR.UTF-8"}, [] {
    EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(15000)), "1,5");
    EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(-2500)), "-0,25");
    EXPECT_EQ(RegionalCurrencyText(Currency::FromUnits(10)), "10");
    EXPECT_EQ(CurrencyToText(Currency::FromRaw(12345000)), "1234.5");
  });
}

TEST(RegionalCurrencyText, UsesPointInTheCLocale) {
  testing::CheckInHostLocales({"C"}, [] {
    EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(15000)), "1.5");
    EXPECT_EQ(RegionalCurrencyText(Currency()), "0");
  });
}

}  // namespace
}  // namespace nvrp
