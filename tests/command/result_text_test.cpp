#include "command/result_text.hpp"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

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

// Switches LC_NUMERIC to the first installed locale with a decimal comma, for one test.
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    fPrevious = std::setlocale(LC_NUMERIC, nullptr);
    for (const char* name : {"de_DE.UTF-8", "it_IT.UTF-8", "fr_FR.UTF-8", "el_GR.UTF-8",
                             "de_DE.utf8", "it_IT.utf8", "de_DE", "it_IT"}) {
      if (std::setlocale(LC_NUMERIC, name) != nullptr &&
          std::string(std::localeconv()->decimal_point) == ",") {
        return;
      }
    }
    std::setlocale(LC_NUMERIC, fPrevious.c_str());
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  void TearDown() override { std::setlocale(LC_NUMERIC, fPrevious.c_str()); }

  std::string fPrevious;
};

TEST_F(CommaLocale, RegionalTextUsesHostSeparatorWhileCurrencyTextKeepsPoint) {
  EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(15000)), "1,5");
  EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(-2500)), "-0,25");
  EXPECT_EQ(RegionalCurrencyText(Currency::FromUnits(10)), "10");
  EXPECT_EQ(CurrencyToText(Currency::FromRaw(12345000)), "1234.5");
}

TEST(RegionalCurrencyText, UsesPointInTheCLocale) {
  EXPECT_EQ(RegionalCurrencyText(Currency::FromRaw(15000)), "1.5");
  EXPECT_EQ(RegionalCurrencyText(Currency()), "0");
}

}  // namespace
}  // namespace nvrp
