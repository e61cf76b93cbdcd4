// The report and journal operations over a recording device: the device, processor and
// RT-server ways of the X and Z reports, the RT server's till report, the journal dispatch,
// journal files, lottery status and reprint.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
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
using testing::kRecordedCall;
using testing::kRecordingDevice;
using Parameters = std::map<std::string, std::string>;

Currency Amount(const char* aText) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(aText, value)) << aText;
  return value;
}

const DateTime kLastDocumentTime = EncodeDateTime({2024, 3, 1, 14, 5, 9, 0});

Parameters RTServerParameters(const std::string& aPassword = "secret") {
  return {{"RTServer", "true"},
          {"RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)},
          {"RTServerTillSerial", "TILL-9"},
          {"RTServerPassword", aPassword}};
}

Parameters ProcessorParameters() { return {{"Processor", NVRP_TEST_PROCESSOR_FULL}}; }

class ReportOperationsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::PrepareTestApplication(); }

  // A recording device of 46 characters a line that answers GetLastReceiptInfo with document
  // 42 of day 17 and GetRemainingFiscalMemory with 77.
  kRecordingDevice& Prepare(const Parameters& aParameters = {}) {
    handler_ = testing::MakeHandler(aParameters);
    device_ = std::make_unique<kRecordingDevice>(*handler_);
    device_->SetLineLength(46);
    testing::kRecordingOutputs& out = device_->Outputs();
    out.fLastReceiptDateTime = kLastDocumentTime;
    out.fLastReceiptNumber = "42";
    out.fLastEJNumber = "0";
    out.fLastEJClosingNumber = "17";
    out.fLastDeviceSerialNumber = "SN-1";
    out.fRemainingFiscalMemory = 77;
    return *device_;
  }

  // Counters a Z report primitive leaves behind.
  void ZReportFillsCounters() {
    device_->OnCall("PrintZReportPrimitive", [this] {
      tkFiscalCounters& counters = device_->MutableCounters();
      counters.DayTotalAmount = Amount("310.75");
      counters.DayReceiptsNumber = 3;
      counters.ZReportNumber = 12;
      counters.ZReportDateTime = EncodeDateTime({2024, 3, 1, 23, 0, 0, 0});
      counters.Text = "Z REPORT\r\nline 2";
    });
  }

  // Signs one receipt through the RT server, so that its header lines are known.
  void SignReceipt() {
    handler_->Deserialize(
        "<Request><Receipt><Type>Sale</Type><Number>1</Number><Lines><ProductSale>"
        "<Description>Bread</Description><Quantity>1</Quantity><Price>5</Price>"
        "<Amount>5</Amount></ProductSale></Lines><Taxes/><Payments><Payment><Type>cash</Type>"
        "<Amount>5</Amount></Payment></Payments></Receipt></Request>",
        tkReceiptHandlerDocumentTypes{tkReceiptHandlerDocumentType::dt_Receipt});
    ASSERT_FALSE(device_->Pub_PrintReceipt(*handler_).Error);
    device_->ClearCalls();
  }

  std::vector<std::string> PrintedLines() const {
    std::vector<std::string> lines;
    for (const auto& line : device_->NonFiscalTextLines()) lines.push_back(line.fValue);
    return lines;
  }

  std::unique_ptr<kReceiptPrinterHandler> handler_;
  std::unique_ptr<kRecordingDevice> device_;
};

// --- Device way ----------------------------------------------------------------------------------

TEST_F(ReportOperationsTest, DeviceXReportAnswersTheLastDocument) {
  Prepare();
  const _int_PRINTXR_result result = device_->Pub_PrintXReport(*handler_);
  EXPECT_THAT(device_->CallNames(),
              ElementsAre("CheckDeviceReady", "PrintXReportPrimitive", "GetLastReceiptInfo"));
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.XReportNumber, "42");
  EXPECT_EQ(result.XReportDateTime, kLastDocumentTime);
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "17");
  EXPECT_EQ(result.DeviceSerialNumber, "SN-1");
  EXPECT_EQ(result.ServerSerialNumber, "");
}

TEST_F(ReportOperationsTest, DeviceZReportTakesItsNumberAndFiguresFromTheCounters) {
  Prepare();
  ZReportFillsCounters();
  const _int_PRINTZR_result result = device_->Pub_PrintZReport(*handler_);
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "PrintZReportPrimitive",
                                                "GetLastReceiptInfo", "GetRemainingFiscalMemory"));
  EXPECT_FALSE(result.Error) << result.ErrorText;
  // The last document's number (42) is not the report's.
  EXPECT_EQ(result.ZReportNumber, "12");
  EXPECT_EQ(result.ZReportDateTime, kLastDocumentTime);
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "17");
  EXPECT_EQ(result.DeviceSerialNumber, "SN-1");
  EXPECT_EQ(result.RemainingFiscalMemory, 77);
  EXPECT_EQ(result.DayTotalAmount, Amount("310.75"));
  EXPECT_EQ(result.DayReceiptsNumber, 3);
  EXPECT_EQ(result.GrandTotalAmount, Currency());
  EXPECT_EQ(result.Text, "Z REPORT\r\nline 2");
}

TEST_F(ReportOperationsTest, DeviceZReportWithoutDocumentTimeTakesTheReportTime) {
  Prepare().Outputs().fLastReceiptDateTime = 0;
  ZReportFillsCounters();
  // A device that cannot tell its remaining memory leaves it at 0 without failing the report.
  device_->Outputs().fRemainingFiscalMemory = 0;
  device_->SetAnswer("GetRemainingFiscalMemory", false);
  const _int_PRINTZR_result result = device_->Pub_PrintZReport(*handler_);
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.ZReportDateTime, EncodeDateTime({2024, 3, 1, 23, 0, 0, 0}));
  EXPECT_EQ(result.RemainingFiscalMemory, 0);
}

// A report primitive that fails reports its error and none of the last document's values; one
// that fails without saying why must not pass for a printed report.
TEST_F(ReportOperationsTest, FailedReportPrimitiveReportsItsErrorAndNoNumbers) {
  struct Case {
    bool recordError;
    std::string expectedText;
  };
  for (const Case& c : {Case{true, "paper out"}, Case{false, "PrintXReportPrimitive failed"}}) {
    SCOPED_TRACE(c.expectedText);
    Prepare();
    if (c.recordError) {
      device_->SetAnswerWithError("PrintXReportPrimitive", 101, "paper out");
    } else {
      device_->SetAnswer("PrintXReportPrimitive", false);
    }
    const _int_PRINTXR_result x = device_->Pub_PrintXReport(*handler_);
    EXPECT_TRUE(x.Error);
    EXPECT_EQ(x.ErrorText, c.expectedText);
    EXPECT_EQ(x.XReportNumber, "");
    EXPECT_EQ(x.XReportDateTime, 0);
    EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "PrintXReportPrimitive"));
  }
  Prepare().SetAnswer("PrintZReportPrimitive", false);
  const _int_PRINTZR_result z = device_->Pub_PrintZReport(*handler_);
  EXPECT_TRUE(z.Error);
  EXPECT_EQ(z.ErrorText, "PrintZReportPrimitive failed");
  EXPECT_EQ(z.ZReportNumber, "");
  EXPECT_EQ(z.RemainingFiscalMemory, 0);
}

TEST_F(ReportOperationsTest, DeviceNotReadyThatCannotBeVoidedPrintsNoReport) {
  Prepare().SetAnswer("CheckDeviceReady", false);
  device_->SetAnswerWithError("VoidReceipt", 1004, "document open");
  const _int_PRINTZR_result result = device_->Pub_PrintZReport(*handler_);
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "VoidReceipt"));
  EXPECT_TRUE(result.Error);
  EXPECT_EQ(result.ErrorText, "document open");
}

// --- Processor way -------------------------------------------------------------------------------

TEST_F(ReportOperationsTest, ProcessorXReportPrintsItsTextAndAnswersItsNumbers) {
  Prepare(ProcessorParameters());
  const _int_PRINTXR_result result = device_->Pub_PrintXReport(*handler_);
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.XReportNumber, "7");
  EXPECT_EQ(result.XReportDateTime, kLastDocumentTime);
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "7");
  EXPECT_EQ(result.DeviceSerialNumber, device_->SerialNumber());
  EXPECT_EQ(device_->Calls(), (std::vector<kRecordedCall>{{"BeginNonFiscal", "DocumentLayout"},
                                                          {"PrintNonFiscalTextLine", "REPORT"},
                                                          {"PrintNonFiscalTextLine", "line 2"},
                                                          {"EndNonFiscal", "DocumentLayout"}}));
  EXPECT_EQ(device_->Counters().GrandTotalAmount, Amount("1000.5"));
}

TEST_F(ReportOperationsTest, ProcessorZReportAnswersEveryCounterAndPrintsItsText) {
  Prepare(ProcessorParameters());
  const _int_PRINTZR_result result = device_->Pub_PrintZReport(*handler_);
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.ZReportNumber, "8");
  EXPECT_EQ(result.EJClosingNumber, "8");
  EXPECT_EQ(result.ZReportDateTime, kLastDocumentTime);
  EXPECT_EQ(result.GrandTotalAmount, Amount("1000.5"));
  EXPECT_EQ(result.GrandTotalRefundsAmount, Amount("20"));
  EXPECT_EQ(result.GrandTotalVoidsAmount, Amount("30"));
  EXPECT_EQ(result.DayTotalAmount, Amount("40.25"));
  EXPECT_EQ(result.DayDiscountsAmount, Amount("5"));
  EXPECT_EQ(result.DayReturnsAmount, Amount("6"));
  EXPECT_EQ(result.DayRefundsAmount, Amount("7"));
  EXPECT_EQ(result.DayVoidsAmount, Amount("8"));
  EXPECT_EQ(result.DayReceiptsNumber, 12);
  EXPECT_EQ(result.DayRefundsNumber, 2);
  EXPECT_EQ(result.RemainingFiscalMemory, 0);
  EXPECT_EQ(result.Text, "REPORT\r\nline 2");
  EXPECT_THAT(device_->CallNames(), ElementsAre("BeginNonFiscal", "PrintNonFiscalTextLine",
                                                "PrintNonFiscalTextLine", "EndNonFiscal"));
}

TEST_F(ReportOperationsTest, ProcessorRefusalReportsItsMessageAndPrintsNothing) {
  Prepare(ProcessorParameters());
  device_->SetXmlString("<Request>fail</Request>");
  const _int_PRINTXR_result x = device_->Pub_PrintXReport(*handler_);
  EXPECT_TRUE(x.Error);
  EXPECT_EQ(x.ErrorText, "refused: <Request>fail</Request>");
  const _int_PRINTZR_result z = device_->Pub_PrintZReport(*handler_);
  EXPECT_TRUE(z.Error);
  EXPECT_EQ(z.ErrorText, "refused: <Request>fail</Request>");
  EXPECT_EQ(z.ZReportNumber, "");
  EXPECT_TRUE(device_->Calls().empty());
}

// --- RT server way -------------------------------------------------------------------------------

// The till report's lines after the printing time's row: the rows of the Italian layout.
std::vector<std::string> TillReportLines(const std::string& aKind, const std::string& aPrintedAt,
                                         const kRTServerTillReportInfo& aInfo) {
  std::vector<std::string> lines{aKind + "-REPORT"};
  if (aKind == "Z") {
    lines.insert(lines.end(), {"", "Data Chiusura:    01-03-2024 22:30", "Numero Chiusura:  6"});
  }
  lines.insert(lines.end(), {"", "Server:           SRV-1", "Cassa:            TILL-9", "",
                             "Documenti Emessi: " + std::to_string(aInfo.fnRecNumber), "", "EURO",
                             "Totale Giorno                           150.50", "",
                             "Totale Vendite                          160.50",
                             "Totale Resi                               6.00",
                             "Totale Annulli                            4.00", "", aPrintedAt, ""});
  return lines;
}

std::string TextOf(const std::vector<std::string>& aLines) {
  std::string text;
  for (const std::string& line : aLines) text += "\r\n" + line;
  return text;
}

TEST_F(ReportOperationsTest, RTServerXReportPrintsTheTillReportAndAnswersNumberOne) {
  Prepare(RTServerParameters());
  SignReceipt();
  const DateTime before = Now();
  const _int_PRINTXR_result result = device_->Pub_PrintXReport(*handler_);
  const DateTime after = Now();
  EXPECT_FALSE(result.Error) << result.ErrorText;
  EXPECT_EQ(result.XReportNumber, "1");
  EXPECT_GE(result.XReportDateTime, before);
  EXPECT_LE(result.XReportDateTime, after);
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "5");
  EXPECT_EQ(result.DeviceSerialNumber, "TILL-9");
  EXPECT_EQ(result.ServerSerialNumber, "SRV-1");

  const kRTServerTillReportInfo& info = device_->RTServerTillReportInfo();
  EXPECT_EQ(info.fzRepNumber, 5);
  const std::vector<std::string> printed = PrintedLines();
  ASSERT_EQ(printed.size(), 16U);
  // The printing time is the host's: one of the two seconds around the call.
  const std::string printedAt = printed[14];
  EXPECT_TRUE(printedAt == FormatDateTime("dd-mm-yyyy hh:nn:ss", before) ||
              printedAt == FormatDateTime("dd-mm-yyyy hh:nn:ss", after))
      << printedAt;
  EXPECT_EQ(printed, TillReportLines("X", printedAt, info));
  EXPECT_EQ(device_->Counters().Text, TextOf(printed));

  // Title bold and centred, the currency right-aligned, the printing time centred.
  const auto& lines = device_->NonFiscalTextLines();
  EXPECT_TRUE(lines[0].fEffects.contains(tkReceiptMessageLineEffect::le_bold));
  EXPECT_EQ(lines[0].fAlignment, tkReceiptMessageLineAlignment::la_center);
  EXPECT_EQ(lines[7].fAlignment, tkReceiptMessageLineAlignment::la_right);
  EXPECT_EQ(lines[14].fAlignment, tkReceiptMessageLineAlignment::la_center);
  EXPECT_EQ(lines[1].fAlignment, tkReceiptMessageLineAlignment::la_left);
  EXPECT_TRUE(lines[1].fEffects.empty());
  for (const auto& line : lines) {
    EXPECT_EQ(line.fSize, 1);
    EXPECT_FALSE(line.fWithReceipt);
  }
  // Header: the signed receipt's headers, the first double size, then an empty line.
  const auto& header = device_->NonFiscalHeaderLines();
  ASSERT_EQ(header.size(), 3U);
  EXPECT_EQ(header[0].fValue, "SHOP");
  EXPECT_EQ(header[0].fSize, 2);
  EXPECT_EQ(header[1].fValue, "Via Roma 1");
  EXPECT_EQ(header[1].fSize, 1);
  EXPECT_EQ(header[2].fValue, "");
  EXPECT_EQ(header[2].fSize, 1);
  EXPECT_EQ(device_->Calls().front(), (kRecordedCall{"BeginNonFiscal", "DocumentLayout"}));
  EXPECT_EQ(device_->Calls().back(), (kRecordedCall{"EndNonFiscal", "DocumentLayout"}));
}

TEST_F(ReportOperationsTest, RTServerZReportClosesTheTillAndAnswersItsTillReport) {
  Prepare(RTServerParameters());
  const _int_PRINTZR_result result = device_->Pub_PrintZReport(*handler_);
  EXPECT_FALSE(result.Error) << result.ErrorText;
  const kRTServerTillReportInfo& info = device_->RTServerTillReportInfo();
  EXPECT_EQ(result.ZReportNumber, "6");
  EXPECT_EQ(result.ZReportDateTime, EncodeDateTime({2024, 3, 1, 22, 30, 0, 0}));
  EXPECT_EQ(result.EJNumber, "0");
  EXPECT_EQ(result.EJClosingNumber, "6");
  EXPECT_EQ(result.DeviceSerialNumber, "TILL-9");
  EXPECT_EQ(result.ServerSerialNumber, "SRV-1");
  EXPECT_EQ(result.DayTotalAmount, Amount("150.5"));
  EXPECT_EQ(result.DayRefundsAmount, Amount("6"));
  EXPECT_EQ(result.DayVoidsAmount, Amount("4"));
  EXPECT_EQ(result.DayReceiptsNumber, info.fnRecNumber);
  EXPECT_EQ(result.GrandTotalAmount, Currency());
  EXPECT_EQ(result.DayDiscountsAmount, Currency());
  EXPECT_EQ(result.DayRefundsNumber, 0);
  EXPECT_EQ(result.RemainingFiscalMemory, 0);

  const std::vector<std::string> printed = PrintedLines();
  ASSERT_EQ(printed.size(), 19U);
  EXPECT_EQ(printed, TillReportLines("Z", printed[17], info));
  EXPECT_EQ(result.Text, TextOf(printed));
  EXPECT_FALSE(device_->RTServer()->TillOpened());
}

TEST_F(ReportOperationsTest, RTServerRefusalPrintsNothingAndKeepsTheLastTillReport) {
  Prepare(RTServerParameters("wrong"));  // the till cannot be opened
  const _int_PRINTXR_result x = device_->Pub_PrintXReport(*handler_);
  EXPECT_TRUE(x.Error);
  EXPECT_EQ(x.ErrorText, "till not open");
  EXPECT_EQ(x.XReportNumber, "");
  const _int_PRINTZR_result z = device_->Pub_PrintZReport(*handler_);
  EXPECT_TRUE(z.Error);
  EXPECT_EQ(z.ErrorText, "till not open");
  EXPECT_EQ(z.Text, "");
  EXPECT_TRUE(device_->Calls().empty());
  EXPECT_EQ(device_->RTServerTillReportInfo().fzRepNumber, 0);
}

// --- Amount lines ----------------------------------------------------------------------------

TEST_F(ReportOperationsTest, AmountLineEndsAtTheLastColumn) {
  struct Case {
    int32_t lineLength;
    std::string label;
    const char* amount;
    std::string expected;
  };
  const Case cases[] = {
      {46, "Totale Giorno", "1234.5", "Totale Giorno" + std::string(26, ' ') + "1234.50"},
      {46, "Totale Resi", "-6", "Totale Resi" + std::string(30, ' ') + "-6.00"},
      {20, "Rounding", "0.005", "Rounding" + std::string(8, ' ') + "0.01"},
      {20, "Rounding", "-0.005", "Rounding" + std::string(7, ' ') + "-0.01"},
      {12, "A long label", "1234.5", "A lon1234.50"},  // the label is cut
      {7, "Label", "1234.5", "1234.50"},               // the amount alone fills the line
      {5, "Label", "1234.5", "1234.50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    Prepare().SetLineLength(c.lineLength);
    EXPECT_EQ(device_->FormatAmountLine(c.label, Amount(c.amount)), c.expected);
  }
}

TEST_F(ReportOperationsTest, AmountLineUsesTheHostDecimalSeparator) {
  testing::CheckInHostLocales({"de_DE.UTF-8", "el_GR.UTF-8"}, [this] {
    Prepare();
    EXPECT_EQ(device_->FormatAmountLine("Totale Giorno", Amount("1234.5")),
              "Totale Giorno" + std::string(26, ' ') + "1234,50");
  });
}

// --- Journal, lottery, reprint ---------------------------------------------------------------

TEST_F(ReportOperationsTest, JournalReportGoesToThePrimitiveOfItsType) {
  struct Case {
    std::string type;
    kRecordedCall call;
  };
  const Case cases[] = {
      {"zreport", {"EJPrintZReports", ""}},  // day closures are chosen by date only
      {"fiscalreceipt", {"EJPrintFiscalReceipts", "3..9"}},
      {"nonfiscalreceipt", {"EJPrintNonFiscalReceipts", "3..9"}},
      {"creditnote", {"EJPrintCreditNotes", "3..9"}},
      {"invoice", {"EJPrintInvoices", "3..9"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Prepare().Outputs().fEJText = "line 1\r\nline 2";
    handler_->Deserialize(
        "<Request><EJReport><ReportType>" + c.type +
            "</ReportType><ReportDestination>memory</ReportDestination><StartDate>"
            "2024-03-01T00:00:00</StartDate><EndDate>2024-03-02T00:00:00</EndDate><StartNumber>3"
            "</StartNumber><EndNumber>9</EndNumber></EJReport></Request>",
        tkReceiptHandlerDocumentTypes{tkReceiptHandlerDocumentType::dt_EJReport});
    const _int_EJREPORT_result result = device_->Pub_EJReport(*handler_);
    EXPECT_EQ(device_->Calls(), std::vector<kRecordedCall>{c.call});
    EXPECT_FALSE(result.Error);
    EXPECT_EQ(result.Text, "line 1\r\nline 2");
  }
}

// Primitives whose results are not tested: a false answer alone is no failure; a recorded
// error is.
TEST_F(ReportOperationsTest, JournalAndLotteryPrimitivesFailOnlyByARecordedError) {
  Prepare().SetAnswer("EJPrintZReports", false);
  device_->SetAnswer("GetEJFilesPrimitive", false);
  device_->SetAnswer("GetLotteryReceiptStatusPrimitive", false);
  device_->Outputs().fEJFileCount = 4;
  EXPECT_FALSE(device_->Pub_EJReport(*handler_).Error);
  const _int_GETEJFILES_result files = device_->Pub_GetEJFiles(*handler_);
  EXPECT_FALSE(files.Error);
  EXPECT_EQ(files.FilesCount, 4);
  EXPECT_EQ(device_->EJFilesCount(), 4);
  EXPECT_FALSE(device_->Pub_GetLotteryReceiptStatus(*handler_).Error);

  device_->SetAnswerWithError("GetEJFilesPrimitive", 9, "export failed");
  const _int_GETEJFILES_result failed = device_->Pub_GetEJFiles(*handler_);
  EXPECT_TRUE(failed.Error);
  EXPECT_EQ(failed.ErrorText, "export failed");
  EXPECT_EQ(failed.FilesCount, 0);
}

TEST_F(ReportOperationsTest, LotteryStatusIsTheLastOneTheDeviceGave) {
  Prepare().MutableLotteryReceiptStatus() = {true, "200", "Sent", "REF-1"};
  const _int_GETLOTTERYRCPTSTATUS_result result = device_->Pub_GetLotteryReceiptStatus(*handler_);
  EXPECT_THAT(device_->CallNames(),
              ElementsAre("CheckDeviceReady", "GetLotteryReceiptStatusPrimitive"));
  EXPECT_FALSE(result.Error);
  EXPECT_TRUE(result.CorrectlySent);
  EXPECT_EQ(result.StatusCode, "200");
  EXPECT_EQ(result.StatusDescription, "Sent");
  EXPECT_EQ(result.ReferenceId, "REF-1");
}

TEST_F(ReportOperationsTest, ReprintGoesToItsPrimitiveAfterTheReadinessStep) {
  Prepare();
  EXPECT_FALSE(device_->Pub_RePrintReceipt(*handler_).Error);
  EXPECT_THAT(device_->CallNames(), ElementsAre("CheckDeviceReady", "ReprintReceiptPrimitive"));
  device_->ClearCalls();
  device_->SetAnswer("ReprintReceiptPrimitive", false);
  const _int_REPRINTFR_result silent = device_->Pub_RePrintReceipt(*handler_);
  EXPECT_TRUE(silent.Error);
  EXPECT_EQ(silent.ErrorText, "ReprintReceiptPrimitive failed");
}

}  // namespace
}  // namespace nvrp
