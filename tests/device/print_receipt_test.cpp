#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/base64.hpp"
#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "device/device_test_support.hpp"
#include "device/fiscal_printer_device.hpp"
#include "device/regional_number_format.hpp"
#include "device/rt_server_bridge.hpp"
#include "documents/receipt_printer_handler.hpp"
#include "support/recording_device.hpp"
#include "support/test_environment.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::kRecordedCall;
using testing::kRecordingDevice;
using Section = tkFiscalPrinterPrintSection;
using Parameters = std::map<std::string, std::string>;

const std::string kSaleBody =
    "<Type>Sale</Type><CurrencyCode>EUR</CurrencyCode><InvoiceNumber>INV-7</InvoiceNumber>"
    "<InvoiceDateTime>2024-03-02T08:00:00</InvoiceDateTime>"
    "<Lines><ProductSale><Description>Bread</Description><Quantity>2</Quantity>"
    "<Price>5</Price><Amount>10</Amount></ProductSale>"
    "<DiscountAmount><Description>Promo</Description><Amount>1.5</Amount></DiscountAmount>"
    "<SubTotal><Amount>8.5</Amount></SubTotal></Lines><Taxes/>"
    "<Payments><Payment><Type>cash</Type><Description>Cash</Description><Amount>5</Amount>"
    "</Payment><Payment><Type>creditcard</Type><Description>Card</Description>"
    "<Amount>3.5</Amount></Payment></Payments>"
    "<TrailerMessages><Text><Value>Thanks</Value><Alignment>left</Alignment></Text>"
    "<Image><Alignment>left</Alignment><Source>resource</Source><Value>logo</Value></Image>"
    "<Barcode><Type>qrcode</Type><Value>QR-1</Value></Barcode></TrailerMessages>";

Currency Amount(const char* aText) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(aText, value)) << aText;
  return value;
}

// A receipt request as the PRINTFR wrapper receives it.
std::string Request(const std::string& aReceiptBody, const Parameters& aParameters = {}) {
  std::string xml = "<Request><Driver>NVRP_RORERER_10</Driver><LogId>rcpt</LogId><Parameters>";
  for (const auto& [name, value] : aParameters) xml += "<" + name + ">" + value + "</" + name + ">";
  return xml + "</Parameters><Receipt>" + aReceiptBody + "</Receipt></Request>";
}

class PrintReceiptTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::PrepareTestApplication(); }

  // The handler with the parsed request and a recording device, as the wrapper leaves them
  // before Pub_PrintReceipt; the device answers GetLastReceiptInfo with receipt 42.
  kRecordingDevice& Prepare(const std::string& aReceiptBody, const Parameters& aParameters = {},
                            bool aWithLog = false) {
    const std::string xml = Request(aReceiptBody, aParameters);
    handler_ = std::make_unique<kReceiptPrinterHandler>();
    handler_->Deserialize(xml,
                          tkReceiptHandlerDocumentTypes{tkReceiptHandlerDocumentType::dt_Receipt});
    device_ = std::make_unique<kRecordingDevice>(
        *handler_, aWithLog ? testing::MakeTemporaryDirectory() : std::string());
    device_->SetXmlString(xml);
    testing::kRecordingOutputs& out = device_->Outputs();
    out.fLastReceiptDateTime = EncodeDateTime({2024, 3, 1, 14, 5, 9, 0});
    out.fLastReceiptNumber = "42";
    out.fLastEJNumber = "EJ1";
    out.fLastEJClosingNumber = "17";
    out.fLastDeviceSerialNumber = "SN-1";
    return *device_;
  }

  _int_PRINTFR_result Print() { return device_->Pub_PrintReceipt(*handler_); }

  // The log's messages; the device is gone afterwards.
  std::vector<std::string> CloseAndReadLog() {
    const std::string file = device_->IOHandler().GetLogFileName();
    device_.reset();
    return testing::ReadLogMessages(file);
  }

  static void ExpectNothingReported(const _int_PRINTFR_result& aResult) {
    EXPECT_TRUE(aResult.Error);
    EXPECT_EQ(aResult.ReceiptNumber, "");
    EXPECT_EQ(aResult.ReceiptDateTime, 0);
    EXPECT_EQ(aResult.EJNumber, "");
    EXPECT_EQ(aResult.ReceiptText, "");
  }

  std::unique_ptr<kReceiptPrinterHandler> handler_;
  std::unique_ptr<kRecordingDevice> device_;
};

const std::vector<kRecordedCall> kTypicalCalls = {
    {"CheckDeviceReady", ""},
    {"BeginFiscalReceipt", "8.5"},
    {"PrintProductSale", "Bread"},
    {"PrintDiscountAmount", "Promo"},
    {"PrintSubtotal", "8.5"},
    {"PrintPayment", "Cash"},
    {"PrintPayment", "Card"},
    {"PrintTrailerTextLine", "Thanks"},
    {"PrintTrailerBarcodeLine", "QR-1"},
    {"RefreshLastReceiptInfo", ""},
    {"GetLastReceiptInfo", ""},
};

// --- Primitive sequence ----------------------------------------------------------------------

TEST_F(PrintReceiptTest, TypicalReceiptRunsEachSectionInOrderAndReportsTheLastReceipt) {
  Prepare(kSaleBody, {}, true);
  const _int_PRINTFR_result result = Print();
  EXPECT_EQ(device_->Calls(), kTypicalCalls);  // the image trailer line causes no call
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ErrorText, "");
  EXPECT_EQ(result.ReceiptDateTime, EncodeDateTime({2024, 3, 1, 14, 5, 9, 0}));
  EXPECT_EQ(result.ReceiptNumber, "42");
  EXPECT_EQ(result.EJNumber, "EJ1");
  EXPECT_EQ(result.EJClosingNumber, "17");
  EXPECT_EQ(result.DeviceSerialNumber, "SN-1");
  EXPECT_EQ(result.InvoiceNumber, "INV-7");
  EXPECT_EQ(result.InvoiceDateTime, EncodeDateTime({2024, 3, 2, 8, 0, 0, 0}));
  EXPECT_EQ(result.ServerSerialNumber, "");
  EXPECT_EQ(result.MessageText, "");
  EXPECT_EQ(result.ReceiptText, "");
  EXPECT_EQ(result.ReceiptImage, "");
  EXPECT_EQ(result.LogFileName, device_->IOHandler().GetLogFileName());
  const auto log = CloseAndReadLog();
  EXPECT_THAT(log, ::testing::Contains(std::string(60, '-') + " PrintReceipt"));
}

TEST_F(PrintReceiptTest, EveryLineKindGoesToItsPrimitive) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> kinds = {
      {"ProductSale", {"PrintProductSale"}},
      {"ProductReturn", {"PrintProductReturn"}},
      {"WeightedProductSale", {"PrintTextLine", "PrintProductSale"}},  // the default
      {"VoucherSale", {"PrintVoucherSale"}},
      {"VoucherRedeem", {"PrintVoucherRedeem"}},
      {"GiftCardSale", {"PrintGiftCardSale"}},
      {"GiftCardRedeem", {"PrintGiftCardRedeem"}},
      {"SubTotal", {"PrintSubtotal"}},
      {"Text", {"PrintTextLine"}},
      {"DiscountAmount", {"PrintDiscountAmount"}},
      {"DiscountPercentage", {"PrintDiscountPercentage"}},
      {"DiscountAmountOnSubtotal", {"PrintDiscountAmountOnSubtotal"}},
      {"DiscountPercentageOnSubTotal", {"PrintDiscountPercentageOnSubtotal"}},
      {"MarkupAmount", {"PrintMarkupAmount"}},
      {"MarkupPercentage", {"PrintMarkupPercentage"}},
      {"MarkupAmountOnSubtotal", {"PrintMarkupAmountOnSubtotal"}},
      {"MarkupPercentageOnSubTotal", {"PrintMarkupPercentageOnSubtotal"}},
      {"CollectAmount", {"PrintCollectAmount"}},
  };
  std::string lines;
  std::vector<std::string> expected = {"CheckDeviceReady", "BeginFiscalReceipt"};
  for (const auto& [element, primitives] : kinds) {
    lines += "<" + element + "><Amount>1</Amount></" + element + ">";
    expected.insert(expected.end(), primitives.begin(), primitives.end());
  }
  expected.insert(expected.end(), {"RefreshLastReceiptInfo", "GetLastReceiptInfo"});
  Prepare("<Type>Sale</Type><Lines>" + lines + "</Lines><Taxes/><Payments/>");
  EXPECT_FALSE(Print().Error);
  EXPECT_EQ(device_->CallNames(), expected);
}

TEST_F(PrintReceiptTest, SequenceSetByBeginFiscalReceiptDecidesTheSectionOrder) {
  Prepare(kSaleBody);
  device_->OnCall("BeginFiscalReceipt", [this] {
    device_->ClearPrintSequence();
    device_->AddPrintSection(Section::fpps_TrailerMessages);
    device_->AddPrintSection(Section::fpps_Lines);
    device_->AddPrintSection(Section::fpps_Payments);
  });
  EXPECT_FALSE(Print().Error);
  EXPECT_THAT(device_->CallNames(),
              ElementsAre("CheckDeviceReady", "BeginFiscalReceipt", "PrintTrailerTextLine",
                          "PrintTrailerBarcodeLine", "PrintProductSale", "PrintDiscountAmount",
                          "PrintSubtotal", "PrintPayment", "PrintPayment", "RefreshLastReceiptInfo",
                          "GetLastReceiptInfo"));
}

TEST_F(PrintReceiptTest, DeviceNotReadyIsVoidedFirst) {
  Prepare(kSaleBody);
  device_->SetAnswer("CheckDeviceReady", false);
  EXPECT_FALSE(Print().Error);
  const auto names = device_->CallNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(names.begin(), names.begin() + 3),
              ElementsAre("CheckDeviceReady", "VoidReceipt", "BeginFiscalReceipt"));
}

// --- Failures --------------------------------------------------------------------------------

struct FailingStep {
  const char* fPrimitive;
  size_t fCallsMade;  // calls of kTypicalCalls made, the failing one included
};

// A primitive that fails stops the receipt where it is: no later primitive runs (except the
// lines section, see below), nothing is reported printed, and the error reaches the caller,
// whether the device recorded it or not.
TEST_F(PrintReceiptTest, FailingPrimitiveStopsTheReceiptAndReportsTheError) {
  const FailingStep steps[] = {
      {"BeginFiscalReceipt", 2},      {"PrintProductSale", 3},     {"PrintDiscountAmount", 4},
      {"PrintSubtotal", 5},           {"PrintTrailerTextLine", 8}, {"PrintTrailerBarcodeLine", 9},
      {"RefreshLastReceiptInfo", 10},
  };
  for (const FailingStep& step : steps) {
    for (const bool recorded : {true, false}) {
      SCOPED_TRACE(std::string(step.fPrimitive) + (recorded ? " recorded" : " silent"));
      // RefreshLastReceiptInfo's answer is not looked at; only an error it records counts.
      const bool refresh = step.fCallsMade == 10;
      if (refresh && !recorded) continue;
      Prepare(kSaleBody);
      if (recorded) {
        device_->SetAnswerWithError(step.fPrimitive, 7, "paper out");
      } else {
        device_->SetAnswer(step.fPrimitive, false);
      }
      const _int_PRINTFR_result result = Print();
      const std::vector<kRecordedCall> expected(kTypicalCalls.begin(),
                                                kTypicalCalls.begin() + step.fCallsMade);
      EXPECT_EQ(device_->Calls(), expected);
      ExpectNothingReported(result);
      EXPECT_EQ(result.ErrorText,
                recorded ? std::string("paper out") : std::string(step.fPrimitive) + " failed");
    }
  }
}

TEST_F(PrintReceiptTest, SilentlyFailingRefreshDoesNotFailAPrintedReceipt) {
  Prepare(kSaleBody);
  device_->SetAnswer("RefreshLastReceiptInfo", false);
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ReceiptNumber, "42");
}

TEST_F(PrintReceiptTest, FailingReadinessStepPrintsNothing) {
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "recorded" : "silent");
    Prepare(kSaleBody);
    device_->SetAnswer("CheckDeviceReady", false);
    if (recorded) {
      device_->SetAnswerWithError("VoidReceipt", 3, "cover open");
    } else {
      device_->SetAnswer("VoidReceipt", false);
    }
    const _int_PRINTFR_result result = Print();
    EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "VoidReceipt"));
    ExpectNothingReported(result);
    EXPECT_EQ(result.ErrorText, recorded ? "cover open" : "VoidReceipt failed");
  }
}

TEST_F(PrintReceiptTest, LinesSectionStopsAtItsFirstFailingLine) {
  Prepare(
      "<Type>Sale</Type><Lines><ProductSale><Description>A</Description></ProductSale>"
      "<Text><Description>T</Description></Text>"
      "<ProductSale><Description>B</Description></ProductSale></Lines><Taxes/>"
      "<Payments><Payment><Type>cash</Type></Payment></Payments>"
      "<TrailerMessages><Text><Value>Bye</Value><Alignment>left</Alignment></Text></"
      "TrailerMessages>");
  device_->SetAnswer("PrintTextLine", false);
  const _int_PRINTFR_result result = Print();
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "BeginFiscalReceipt",
                                                "PrintProductSale", "PrintTextLine"));
  EXPECT_EQ(result.ErrorText, "PrintTextLine failed");
}

// With the trailer first, a failing trailer message does not keep the lines section from
// running; the receipt is still reported failed.
TEST_F(PrintReceiptTest, LinesSectionRunsAfterAnEarlierSectionFailed) {
  struct Case {
    const char* fName;
    std::string fLines;
    std::vector<std::string> fCalls;
  };
  const Case cases[] = {
      {"with lines",
       "<ProductSale><Description>A</Description></ProductSale>",
       {"CheckDeviceReady", "BeginFiscalReceipt", "PrintTrailerTextLine", "PrintProductSale",
        "PrintPayment", "RefreshLastReceiptInfo"}},
      {"without lines", "", {"CheckDeviceReady", "BeginFiscalReceipt", "PrintTrailerTextLine"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fName);
    Prepare("<Type>Sale</Type><Lines>" + c.fLines +
            "</Lines><Taxes/><Payments><Payment><Type>cash</Type></Payment></Payments>"
            "<TrailerMessages><Text><Value>Hi</Value><Alignment>left</Alignment></"
            "Text><Text><Value>Ho</Value><Alignment>left</Alignment></Text>"
            "</TrailerMessages>");
    device_->OnCall("BeginFiscalReceipt", [this] {
      device_->ClearPrintSequence();
      device_->AddPrintSection(Section::fpps_TrailerMessages);
      device_->AddPrintSection(Section::fpps_Lines);
      device_->AddPrintSection(Section::fpps_Payments);
    });
    device_->SetAnswer("PrintTrailerTextLine", false);
    const _int_PRINTFR_result result = Print();
    EXPECT_EQ(device_->CallNames(), c.fCalls);
    ExpectNothingReported(result);
    EXPECT_EQ(result.ErrorText, "PrintTrailerTextLine failed");
  }
}

// A device that cannot tell whether the receipt was counted reports it as not printed.
TEST_F(PrintReceiptTest, FailingPaymentStopsTheReceiptWithThePaymentsError) {
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "recorded" : "silent");
    Prepare(kSaleBody);
    if (recorded) {
      device_->SetAnswerWithError("PrintPayment", 9, "card declined");
    } else {
      device_->SetAnswer("PrintPayment", false);
    }
    const _int_PRINTFR_result result = Print();
    ExpectNothingReported(result);
    EXPECT_EQ(result.ErrorText, "Error while processing Payments");
    EXPECT_EQ(result.MessageText, "");
    const std::vector<kRecordedCall> expected(kTypicalCalls.begin(), kTypicalCalls.begin() + 6);
    EXPECT_EQ(device_->Calls(), expected);
  }
}

// --- Total -----------------------------------------------------------------------------------

TEST_F(PrintReceiptTest, MissingTotalIsTakenFromTheLinesAndAGivenOneIsKept) {
  const std::string lines =
      "<Lines><ProductSale><Amount>10</Amount></ProductSale>"
      "<ProductSale><Amount>5.5</Amount></ProductSale>"
      "<DiscountAmount><Amount>1.25</Amount></DiscountAmount></Lines><Taxes/><Payments/>";
  const std::pair<std::string, std::string> cases[] = {
      {"", "14.25"},
      {"<TotalAmount>0</TotalAmount>", "14.25"},
      {"<TotalAmount>99</TotalAmount>", "99"},
  };
  for (const auto& [total, expected] : cases) {
    SCOPED_TRACE(total);
    Prepare("<Type>Sale</Type>" + total + lines);
    Print();
    EXPECT_EQ(device_->Calls().at(1), (kRecordedCall{"BeginFiscalReceipt", expected}));
    EXPECT_EQ(handler_->Receipt().fTotalAmount, Amount(expected.c_str()));
  }
}

// --- Receipt text and picture ----------------------------------------------------------------

TEST_F(PrintReceiptTest, ReceiptTextAndPictureFollowTheParameters) {
  struct Case {
    const char* fName;
    Parameters fParameters;
    std::string fDeviceText;
    bool fTextRead;
    bool fImage;
  };
  const Case cases[] = {
      {"nothing asked", {}, "RECEIPT", false, false},
      {"text", {{"GetReceiptText", "true"}}, "RECEIPT", true, false},
      {"image implies text", {{"GetReceiptImage", "TRUE"}}, "RECEIPT\r\nTOTAL 8.50\n", true, true},
      {"both", {{"GetReceiptText", "True"}, {"GetReceiptImage", "true"}}, "R", true, true},
      {"empty text gives no picture", {{"GetReceiptImage", "true"}}, "", true, false},
      {"only true counts",
       {{"GetReceiptText", "yes"}, {"GetReceiptImage", "1"}},
       "R",
       false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fName);
    Prepare(kSaleBody, c.fParameters);
    device_->Outputs().fReceiptText = c.fDeviceText;
    const _int_PRINTFR_result result = Print();
    EXPECT_FALSE(result.Error);
    EXPECT_EQ(result.MessageText, "");
    const auto& calls = device_->Calls();
    if (c.fTextRead) {
      // The reference names the receipt just printed.
      EXPECT_EQ(calls.back(), (kRecordedCall{"GetReceiptText", "42"}));
      EXPECT_EQ(result.ReceiptText, c.fDeviceText);
    } else {
      EXPECT_EQ(calls.back().fName, "GetLastReceiptInfo");
      EXPECT_EQ(result.ReceiptText, "");
    }
    if (c.fImage) {
      const std::string jpeg = Base64Decode(result.ReceiptImage);
      ASSERT_GE(jpeg.size(), 2u);
      EXPECT_EQ(jpeg.substr(0, 2), "\xFF\xD8");
    } else {
      EXPECT_EQ(result.ReceiptImage, "");
    }
  }
}

TEST_F(PrintReceiptTest, FailedReadBackLeavesThePrintedReceiptSuccessful) {
  Prepare(kSaleBody, {{"GetReceiptText", "true"}});
  device_->SetAnswerWithError("GetLastReceiptInfo", 5, "status unreadable", false);
  device_->SetAnswerWithError("GetReceiptText", 6, "journal unreadable", false);
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ErrorText, "");
  EXPECT_EQ(result.ReceiptNumber, "42");
}

// A picture that cannot be made must not make a printed receipt look unprinted: the text
// stays, the picture is empty and MessageText says why.
TEST_F(PrintReceiptTest, PictureThatCannotBeMadeLeavesThePrintedReceiptSuccessful) {
  Prepare(kSaleBody, {{"GetReceiptImage", "true"}}, true);
  device_->Outputs().fReceiptText = std::string(9000, 'x');
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ErrorText, "");
  EXPECT_EQ(result.ReceiptNumber, "42");
  EXPECT_EQ(result.ReceiptText.size(), 9000u);
  EXPECT_EQ(result.ReceiptImage, "");
  ASSERT_FALSE(result.MessageText.empty());
  const std::string reason = result.MessageText;
  const auto log = CloseAndReadLog();
  EXPECT_THAT(log, ::testing::Contains("ERROR - " + reason));
}

// --- External processor ----------------------------------------------------------------------

TEST_F(PrintReceiptTest, ProcessorOutputReplacesTheReceipt) {
  Prepare(kSaleBody + "<ExternalReference>rewrite</ExternalReference>",
          {{"Processor", NVRP_TEST_PROCESSOR_FULL}});
  const kReceipt* original = &handler_->Receipt();
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error);
  EXPECT_NE(&handler_->Receipt(), original);
  EXPECT_THAT(device_->XmlString(), HasSubstr("Rewritten"));
  // The new receipt's missing total is not computed again.
  EXPECT_EQ(device_->Calls(), (std::vector<kRecordedCall>{{"CheckDeviceReady", ""},
                                                          {"BeginFiscalReceipt", "0"},
                                                          {"PrintProductSale", "Rewritten"},
                                                          {"PrintPayment", "Processed cash"},
                                                          {"RefreshLastReceiptInfo", ""},
                                                          {"GetLastReceiptInfo", ""}}));
}

TEST_F(PrintReceiptTest, ProcessorWithoutReceiptExportReparsesTheSameRequest) {
  Prepare(kSaleBody, {{"Processor", NVRP_TEST_PROCESSOR_PARTIAL}});
  EXPECT_FALSE(Print().Error);
  EXPECT_EQ(handler_->Receipt().fLines.size(), 3u);  // cleared before parsing again
  // The same lines again; the new receipt's missing total is not computed again.
  std::vector<kRecordedCall> expected = kTypicalCalls;
  expected[1].fArgument = "0";
  EXPECT_EQ(device_->Calls(), expected);
}

TEST_F(PrintReceiptTest, ProcessorRefusalEndsTheReceiptBeforeAnyDocumentPrimitive) {
  Prepare(kSaleBody + "<ExternalReference>fail</ExternalReference>",
          {{"Processor", NVRP_TEST_PROCESSOR_FULL}});
  const std::string request = device_->XmlString();
  const _int_PRINTFR_result result = Print();
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady"));
  ExpectNothingReported(result);
  EXPECT_EQ(result.ErrorText, "refused: " + request);
  EXPECT_EQ(result.LogFileName, device_->IOHandler().GetLogFileName());
}

TEST_F(PrintReceiptTest, ProcessorOutputThatIsNotARequestRaises) {
  Prepare(kSaleBody, {{"Processor", NVRP_TEST_PROCESSOR_FULL}});  // answers "processed:..."
  EXPECT_THROW(Print(), Exception);
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady"));
}

// --- RT signing server -----------------------------------------------------------------------

Parameters RTServerParameters() {
  return {{"RTServer", "true"},
          {"RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)},
          {"RTServerHost", "rt.local"},
          {"RTServerPort", "8080"},
          {"RTServerTillSerial", "TILL-9"}};
}

std::string NumberedSale(const std::string& aNumber) {
  return "<Number>" + aNumber + "</Number>" + kSaleBody;
}

TEST_F(PrintReceiptTest, RTServerSignsThenThePrintedReceiptCarriesTheServerNumbers) {
  Prepare(NumberedSale("1"), RTServerParameters(), true);
  const DateTime before = Now();
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.ErrorText, "");
  EXPECT_EQ(result.MessageText, "");
  const kRTServerReceiptInfo& info = device_->RTServerReceiptInfo();
  EXPECT_NE(info.fRTnDoc, 0);
  EXPECT_EQ(info.fSignature, "SIG" + std::to_string(info.fRTnDoc));
  EXPECT_THAT(info.fHeaderLines, ElementsAre("SHOP", "Via Roma 1"));
  EXPECT_EQ(result.ReceiptNumber, std::to_string(info.fRTnDoc));
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "5");
  EXPECT_EQ(result.DeviceSerialNumber, "TILL-9");
  EXPECT_EQ(result.ServerSerialNumber, "SRV-1");
  EXPECT_GE(result.ReceiptDateTime, before);
  EXPECT_LE(result.ReceiptDateTime, Now());
  EXPECT_EQ(result.InvoiceNumber, "");
  // The server's numbers replace the device's read-back.
  std::vector<kRecordedCall> expected(kTypicalCalls.begin(), kTypicalCalls.end() - 1);
  EXPECT_EQ(device_->Calls(), expected);
  const auto log = CloseAndReadLog();
  EXPECT_THAT(log, ::testing::Contains("RTServer:OpenTill"));
  EXPECT_THAT(log, ::testing::Contains("RTServer:SignReceipt"));
}

TEST_F(PrintReceiptTest, RTServerDocumentNumberZeroIsAnError) {
  Prepare(NumberedSale("ZERO"), RTServerParameters());
  const _int_PRINTFR_result result = Print();
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, "Errore nella generazione del documento commerciale.");
  EXPECT_EQ(result.ReceiptNumber, "0");
}

TEST_F(PrintReceiptTest, RTServerSaleWhosePrintingFailedIsRegisteredWithAMessage) {
  Prepare(NumberedSale("2"), RTServerParameters());
  device_->SetAnswerWithError("PrintProductSale", 4, "paper out");
  const _int_PRINTFR_result result = Print();
  EXPECT_FALSE(result.Error);
  EXPECT_EQ(result.ErrorText, "paper out");
  EXPECT_EQ(result.MessageText,
            "La transazione di vendita è stata registrata correttamente ma non è stato possibile "
            "stamparla.");
  EXPECT_EQ(result.ReceiptNumber, std::to_string(device_->RTServerReceiptInfo().fRTnDoc));
}

// A refused signature prints nothing and must not hand out the previous receipt's numbers.
TEST_F(PrintReceiptTest, RTServerRefusedSignaturePrintsNothingAndReportsTheRefusal) {
  Prepare(NumberedSale("3"), RTServerParameters());
  ASSERT_FALSE(Print().Error);
  const int32_t previous = device_->RTServerReceiptInfo().fRTnDoc;
  device_->ClearCalls();
  handler_->ClearReceipt();
  handler_->Deserialize(Request(NumberedSale("FAIL"), RTServerParameters()),
                        tkReceiptHandlerDocumentTypes{tkReceiptHandlerDocumentType::dt_Receipt});
  const _int_PRINTFR_result result = device_->Pub_PrintReceipt(*handler_);
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady"));
  ExpectNothingReported(result);
  EXPECT_EQ(result.ErrorText, "signature refused");
  EXPECT_EQ(device_->RTServerReceiptInfo().fRTnDoc, previous);
}

// --- Default weighted sale -------------------------------------------------------------------

const std::string kWeighedApples =
    "<Type>Sale</Type><CurrencyCode>EUR</CurrencyCode><Lines><WeightedProductSale>"
    "<Code>W1</Code><Description>Green·apples</Description><Quantity>1.25</Quantity><UOM>KG</UOM>"
    "<Department>D2</Department><TaxCode>B</TaxCode><Price>12.9</Price><Amount>16.13</Amount>"
    "<Tare>0.1</Tare></WeightedProductSale></Lines><Taxes/><Payments/>";

TEST_F(PrintReceiptTest, WeighedItemIsATextLineAndASaleOfOneUnit) {
  Prepare(kWeighedApples);
  kReceipt& receipt = handler_->Receipt();
  auto& line = static_cast<kReceiptLineWeightedProductSale&>(*receipt.fLines.at(0));
  EXPECT_TRUE(device_->PrintWeightedProductSale(receipt, line));
  EXPECT_EQ(device_->Calls(), (std::vector<kRecordedCall>{
                                  {"PrintTextLine", " 1.250 kg x EUR 12.90/kg"},
                                  {"PrintProductSale", "Green apples"},
                              }));
  ASSERT_EQ(device_->Sales().size(), 1u);
  const testing::kRecordedSale& sale = device_->Sales()[0];
  EXPECT_EQ(sale.fCode, "W1");
  EXPECT_EQ(sale.fDescription, "Green apples");  // the printable description
  EXPECT_EQ(sale.fQuantity, Amount("1"));
  EXPECT_EQ(sale.fUOM, "");
  EXPECT_EQ(sale.fDepartment, "D2");
  EXPECT_EQ(sale.fTaxCode, "B");
  EXPECT_EQ(sale.fPrice, Amount("16.13"));
  EXPECT_EQ(sale.fAmount, Amount("16.13"));
  EXPECT_FALSE(sale.fFreeOfCharge);
  EXPECT_TRUE(sale.fOwnedByReceipt);
}

TEST_F(PrintReceiptTest, WeighedItemAnswersTheResultOfItsPrimitives) {
  struct Case {
    const char* fFailing;
    std::vector<std::string> fCalls;
  };
  const Case cases[] = {
      {"PrintTextLine", {"PrintTextLine"}},
      {"PrintProductSale", {"PrintTextLine", "PrintProductSale"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fFailing);
    Prepare(kWeighedApples);
    device_->SetAnswer(c.fFailing, false);
    kReceipt& receipt = handler_->Receipt();
    auto& line = static_cast<kReceiptLineWeightedProductSale&>(*receipt.fLines.at(0));
    EXPECT_FALSE(device_->PrintWeightedProductSale(receipt, line));
    EXPECT_EQ(device_->CallNames(), c.fCalls);
  }
}

TEST(RegionalNumberFormat, GroupsAndSeparatesAsTheFormatSays) {
  const tkNumberFormat none;
  const tkNumberFormat comma{",", ".", "\3"};
  const tkNumberFormat indian{".", ",", "\3\2"};
  const tkNumberFormat once{".", ",", std::string("\3") + static_cast<char>(CHAR_MAX)};
  struct Case {
    const tkNumberFormat* fFormat;
    const char* fAmount;
    int fDecimals;
    const char* fText;
  };
  const Case cases[] = {
      {&none, "1234567.891", 3, "1234567.891"},
      {&comma, "1234567.891", 3, "1.234.567,891"},
      {&comma, "-1234.5", 2, "-1.234,50"},
      {&comma, "999.999", 2, "1.000,00"},
      {&comma, "999", 0, "999"},
      {&comma, "0.5", 3, "0,500"},
      {&indian, "12345678", 2, "1,23,45,678.00"},
      {&once, "12345678", 0, "12345,678"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fText);
    EXPECT_EQ(FormatGroupedNumber(Amount(c.fAmount), c.fDecimals, *c.fFormat), c.fText);
  }
}

TEST(RegionalNumberFormat, HostFormatOfTheCLocaleHasAPointAndNoGrouping) {
  testing::CheckInHostLocales({"C"}, [] {
    const tkNumberFormat format = HostNumberFormat();
    EXPECT_EQ(format.fDecimalSeparator, ".");
    EXPECT_EQ(format.fThousandsSeparator, "");
  });
}

// The host's regional settings give the format, whatever the C library's locale says. (German,
// as the Greek locale groups digits on Windows but not in the GNU C library.)
TEST_F(PrintReceiptTest, WeighedItemTextFollowsTheHostLocale) {
  testing::CheckInHostLocales({"de_DE.UTF-8"}, [this] {
    Prepare(kWeighedApples);
    kReceipt& receipt = handler_->Receipt();
    auto& line = static_cast<kReceiptLineWeightedProductSale&>(*receipt.fLines.at(0));
    line.fQuantity = Amount("1234.5");
    device_->PrintWeightedProductSale(receipt, line);
    EXPECT_EQ(device_->Calls().at(0).fArgument, " 1.234,500 kg x EUR 12,90/kg");
  });
}

}  // namespace
}  // namespace nvrp
