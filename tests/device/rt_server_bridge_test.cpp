#include "device/rt_server_bridge.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "documents/receipt.hpp"
#include "documents/request_xml.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

// Every call of a bridge that cannot reach a server answers false with the same reason.
void ExpectEveryCallFails(kRTServer_Epson& aBridge, const std::string& aReason) {
  EXPECT_FALSE(aBridge.OpenTill("host", 1, "user", "password", "till"));
  EXPECT_EQ(aBridge.ErrorMessage(), aReason);
  EXPECT_FALSE(aBridge.SignReceipt());
  EXPECT_EQ(aBridge.ErrorMessage(), aReason);
  EXPECT_FALSE(aBridge.XReport());
  EXPECT_EQ(aBridge.ErrorMessage(), aReason);
  EXPECT_FALSE(aBridge.CloseTill());
  EXPECT_EQ(aBridge.ErrorMessage(), aReason);
  EXPECT_FALSE(aBridge.TillOpened());
}

TEST(RTServerBridgeTest, WithoutLibraryEveryCallFails) {
  kRTServer_Epson bridge("");
  ExpectEveryCallFails(bridge, "RT server library not configured");
}

TEST(RTServerBridgeTest, LibraryThatCannotBeLoadedFailsEveryCall) {
  kRTServer_Epson bridge("/nonexistent/epson_rt.so");
  ExpectEveryCallFails(bridge, "Unable to load library /nonexistent/epson_rt.so. Error code: [" +
                                   testing::kMissingLibraryCode + "]");
}

TEST(RTServerBridgeTest, LibraryWithoutTheExportsFailsEveryCall) {
  kRTServer_Epson bridge(NVRP_TEST_PROCESSOR_FULL);
  EXPECT_FALSE(bridge.OpenTill("host", 1, "user", "password", "till"));
  EXPECT_EQ(bridge.ErrorMessage(), "RT server library lacks the export RTS_OPENTILL");
  EXPECT_FALSE(bridge.CloseTill());
  EXPECT_EQ(bridge.ErrorMessage(), "RT server library lacks the export RTS_CLOSETILL");
}

class RTServerSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(bridge_.OpenTill("rt.local", 8443, "cashier", "secret", "TILL-9"));
  }

  // A sale of two items, a discount and a cash payment.
  static std::unique_ptr<kReceipt> Sale(const std::string& aNumber) {
    auto receipt = std::make_unique<kReceipt>();
    receipt->fReceiptNumber = aNumber;
    receipt->fCurrencyCode = "EUR";
    receipt->fTotalAmount = Currency::FromUnits(18);
    auto& item = receipt->fLines.Add(std::make_unique<kReceiptLineProductSale>(receipt.get()));
    item.fCode = "A1";
    item.fDescription = "Caffè & latte";
    item.fQuantity = Currency::FromUnits(2);
    item.fPrice = Currency::FromUnits(10);
    item.fAmount = Currency::FromUnits(20);
    item.fTaxCode = "22";
    auto& discount =
        receipt->fLines.Add(std::make_unique<kReceiptLineDiscountAmount>(receipt.get()));
    discount.fAmount = Currency::FromUnits(2);
    kReceiptPaymentLine payment;
    payment.fDescription = "Contanti";
    payment.fAmount = Currency::FromUnits(18);
    receipt->fPayments.push_back(payment);
    return receipt;
  }

  kRTServer_Epson bridge_{NVRP_TEST_RT_SERVER_PLUGIN};
};

TEST_F(RTServerSessionTest, SigningDocumentCarriesTheReceipt) {
  bridge_.BuildReceiptDocument(*Sale("17"));
  const pugi::xml_document document = ParseRequestXml(bridge_.ReceiptDocument());
  const pugi::xml_node root = document.child("RTReceipt");
  EXPECT_STREQ(root.child_value("TillId"), "TILL-9");
  EXPECT_STREQ(root.child_value("ReceiptNumber"), "17");
  EXPECT_STREQ(root.child_value("TotalAmount"), "18");
  const pugi::xml_node item = root.child("Lines").child("Line");
  EXPECT_STREQ(item.child_value("Description"), "Caffè & latte");
  EXPECT_STREQ(item.child_value("Amount"), "20");
  EXPECT_STREQ(item.next_sibling("Line").child_value("Amount"), "-2");
  EXPECT_STREQ(root.child("Payments").child("Payment").child_value("Amount"), "18");
}

TEST_F(RTServerSessionTest, SignedReceiptDetailsReplaceTheOldOnlyOnSuccess) {
  bridge_.BuildReceiptDocument(*Sale("17"));
  ASSERT_TRUE(bridge_.SignReceipt());
  const kRTServerReceiptInfo signedInfo = bridge_.ReceiptInfo();
  EXPECT_GT(signedInfo.fRTnDoc, 0);
  EXPECT_EQ(signedInfo.fSignature, "SIG" + std::to_string(signedInfo.fRTnDoc));
  EXPECT_EQ(signedInfo.fVatTotal, Currency::FromRaw(36100));
  EXPECT_EQ(signedInfo.fTillId, "TILL-9");
  EXPECT_EQ(signedInfo.fServerSerialNumber, "SRV-1");
  EXPECT_EQ(signedInfo.fRTzRep, 5);
  EXPECT_THAT(signedInfo.fHeaderLines, ElementsAre("SHOP", "Via Roma 1"));

  bridge_.BuildReceiptDocument(*Sale("FAIL"));
  EXPECT_FALSE(bridge_.SignReceipt());
  EXPECT_EQ(bridge_.ErrorMessage(), "signature refused");
  EXPECT_EQ(bridge_.ReceiptInfo().fRTnDoc, signedInfo.fRTnDoc);

  bridge_.BuildReceiptDocument(*Sale("ZERO"));
  EXPECT_TRUE(bridge_.SignReceipt());
  EXPECT_EQ(bridge_.ReceiptInfo().fRTnDoc, 0);
}

TEST_F(RTServerSessionTest, ReportsGiveTheTillReportAndClosingEndsTheTill) {
  ASSERT_TRUE(bridge_.XReport());
  const kRTServerTillReportInfo& x = bridge_.TillReportInfo();
  EXPECT_EQ(x.fTillSerialNumber, "TILL-9");
  EXPECT_EQ(x.fServerSerialNumber, "SRV-1");
  EXPECT_EQ(x.fzRepNumber, 5);
  EXPECT_EQ(x.fzRepDateTime, IsoTextToDateTime("2024-03-01T22:30:00"));
  EXPECT_EQ(x.fDailyAmount, Currency::FromRaw(1505000));
  EXPECT_EQ(x.fSalesAmount, Currency::FromRaw(1605000));
  EXPECT_EQ(x.fVoidsAmount, Currency::FromUnits(4));
  EXPECT_EQ(x.fRefundsAmount, Currency::FromUnits(6));
  EXPECT_TRUE(bridge_.TillOpened());

  ASSERT_TRUE(bridge_.CloseTill());
  EXPECT_EQ(bridge_.TillReportInfo().fzRepNumber, 6);
  EXPECT_FALSE(bridge_.TillOpened());

  // A failed report keeps the last one.
  EXPECT_FALSE(bridge_.XReport());
  EXPECT_EQ(bridge_.ErrorMessage(), "till not open");
  EXPECT_EQ(bridge_.TillReportInfo().fzRepNumber, 6);
}

TEST(RTServerBridgeTest, RefusedTillStaysClosed) {
  kRTServer_Epson bridge(NVRP_TEST_RT_SERVER_PLUGIN);
  EXPECT_FALSE(bridge.OpenTill("rt.local", 8443, "cashier", "wrong", "TILL-9"));
  EXPECT_EQ(bridge.ErrorMessage(), "invalid credentials");
  EXPECT_FALSE(bridge.TillOpened());
}

}  // namespace
}  // namespace nvrp
