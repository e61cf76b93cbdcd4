// Reports and journal commands through the production library's exports against the in-process
// iBox simulator: PRINTXR, PRINTZR (device and RT-server ways), EJREPORT, GETEJFILES,
// GETLOTTERYRCPTSTATUS and REPRINTFR, with the exact requests the device receives and the exact
// result fragments.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/date_time.hpp"
#include "command/result_text.hpp"
#include "device/device_test_support.hpp"
#include "ibox_simulator.hpp"
#include "support/export_test.hpp"
#include "support/ibox_targets.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;

using Targets = std::vector<std::string>;

const std::string kCrLf = "\r\n";
const std::string kNoDateTime = "1899-12-30T00:00:00";

std::string Status(int aSeqNo) { return StatusTarget(aSeqNo); }

// One Line element per line of a CR LF text, with nothing between them.
std::string LineElements(const std::string& aText) {
  std::string lines;
  size_t start = 0;
  while (start < aText.size()) {
    size_t end = aText.find(kCrLf, start);
    if (end == std::string::npos) end = aText.size();
    lines += Element("Line", EscapeXml(aText.substr(start, end - start)));
    start = end + kCrLf.size();
  }
  return lines;
}

struct ZFields {
  std::string dateTime = kNoDateTime;
  std::string number, serial, server, ejNumber, ejClosing;
  std::string dayTotal = "0", refunds = "0", voids = "0", receipts = "0";
  std::string text;  // the report's text; CR LF between lines
  bool error = true;
  std::string errorText, logFileName;
};

// The PRINTZR fragment: no line breaks from the grand total up to the end of the text.
std::string ZFragment(const ZFields& aFields) {
  return Element("ZReportDateTime", aFields.dateTime) + kCrLf +
         Element("ZReportNumber", aFields.number) + kCrLf +
         Element("DeviceSerialNumber", aFields.serial) + kCrLf +
         Element("ServerSerialNumber", aFields.server) + kCrLf +
         Element("EJNumber", aFields.ejNumber) + kCrLf +
         Element("EJClosingNumber", aFields.ejClosing) + kCrLf + Element("GrandTotalAmount", "0") +
         Element("GrandTotalRefundsAmount", "0") + Element("GrandTotalVoidsAmount", "0") +
         Element("DayTotalAmount", aFields.dayTotal) + Element("DayDiscountsAmount", "0") +
         Element("DayReturnsAmount", "0") + Element("DayRefundsAmount", aFields.refunds) +
         Element("DayVoidsAmount", aFields.voids) + Element("DayReceiptsNumber", aFields.receipts) +
         Element("DayRefundsNumber", "0") + Element("Text", LineElements(aFields.text)) +
         Closing(aFields.error, aFields.errorText, aFields.logFileName);
}

sim::Fault HttpAnswer(const std::string& aMatch, int aStatus, const std::string& aBody) {
  sim::Fault fault = MakeFault(sim::FaultKind::kHttpStatus, aMatch);
  fault.http_status = aStatus;
  fault.body = aBody;
  return fault;
}

// A device opened on a fresh simulator (last Z report 11, clock standing at 1 March 2024
// 22:30:00) for every test and closed after it.
class ReportExports : public testing::ExportTest {
 protected:
  ReportExports() : ExportTest("reports"), fSimulator(Options()) { UseSimulator(fSimulator); }

  static sim::SimulatorOptions Options() {
    sim::SimulatorOptions options;
    options.device.z_number = 11;
    return options;
  }

  void SetUp() override { OpenOnStandingClock({2024, 3, 1, 22, 30, 0}); }

  Answer Call(const char* aCommand, const std::string& aBody, int32_t aHandle = 0) const {
    return Library().Call(aCommand, DeviceRequest(aHandle ? aHandle : fHandle, aBody));
  }

  // A receipt of one item at aPrice paid in cash; answers the device serial number it reports.
  std::string PrintReceipt(const std::string& aPrice) {
    const Answer printed =
        Call("PRINTFR", "<Receipt><Type>Sale</Type><Number>1</Number><Lines><ProductSale>" +
                            Element("Description", "Item") + Element("Quantity", "1") +
                            Element("Department", "1") + Element("Price", aPrice) +
                            Element("Amount", aPrice) + "</ProductSale></Lines><Taxes/><Payments>" +
                            "<Payment><Type>Cash</Type><Amount>" + aPrice +
                            "</Amount></Payment></Payments></Receipt>");
    EXPECT_EQ(printed.result, 0) << printed.output;
    return FragmentElement(printed.output, "DeviceSerialNumber");
  }

  // The sequence number of the next status request: the device's last one plus one, as the
  // driver takes the device's count from every status answer.
  int NextSeqNo() const { return fSimulator.Device().last_seq_no + 1; }

  sim::IboxSimulator fSimulator;
};

// --- X report ------------------------------------------------------------------------------------

TEST_F(ReportExports, XReportPrintsOnTheDeviceAndAnswersThisMoment) {
  const std::string serial = PrintReceipt("4");
  TakeRequests();
  const int seqNo = NextSeqNo();
  const DateTime before = Now();
  const Answer answer = Call("PRINTXR", "<XReport><TillCode>T1</TillCode></XReport>");
  const DateTime after = Now();
  EXPECT_EQ(answer.result, 0) << answer.output;
  EXPECT_EQ(TakeRequests(), (Targets{kXReportOrder, Status(seqNo)}));
  const std::string dateTime = FragmentElement(answer.output, "XReportDateTime");
  EXPECT_TRUE(dateTime == DateTimeToText(before) || dateTime == DateTimeToText(after)) << dateTime;
  EXPECT_EQ(answer.output,
            Element("XReportDateTime", dateTime) + kCrLf + Element("XReportNumber", "0") + kCrLf +
                Element("DeviceSerialNumber", serial) + kCrLf + Element("ServerSerialNumber", "") +
                kCrLf + Element("EJNumber", "0") + kCrLf + Element("EJClosingNumber", "0") + kCrLf +
                Closing(false, "", fLogFileName));
  EXPECT_EQ(fSimulator.Printed().back().kind, sim::PrintedKind::kXReport);
}

// --- Z report ------------------------------------------------------------------------------------

TEST_F(ReportExports, ZReportClosesTheDayAndAnswersItsFiguresAndText) {
  const std::string serial = PrintReceipt("10");
  PrintReceipt("2.50");
  PrintReceipt("0.75");
  TakeRequests();
  const int seqNo = NextSeqNo();
  const Answer answer = Call("PRINTZR", "");
  EXPECT_EQ(answer.result, 0) << answer.output;
  EXPECT_EQ(TakeRequests(), (Targets{kForceZ, Status(seqNo), Status(seqNo + 1), "/*/Z0012/Z0012_J.",
                                     "/*/Z0012/Z0012_S.", "/*/Z0012/Z0012_M."}));
  ZFields expected;
  expected.dateTime = "2024-03-01T22:30:00";
  expected.number = "12";
  expected.serial = serial;
  expected.ejNumber = "0";
  expected.ejClosing = "12";
  expected.dayTotal = "13.25";
  expected.receipts = "3";
  expected.text = fSimulator.JournalFile("Z0012/Z0012_J.").value_or("<none>");
  expected.error = false;
  expected.logFileName = fLogFileName;
  EXPECT_EQ(answer.output, ZFragment(expected));
  EXPECT_EQ(fSimulator.Device().z_number, 12);
  EXPECT_EQ(fSimulator.Device().day_receipt_count, 0);
}

// A failed step leaves the complete fragment with cleared values and the step's error; an answer
// that cannot be read ends the command with the reader's message.
TEST_F(ReportExports, FailedZReportAnswersTheClearedFragmentWithTheError) {
  struct Case {
    sim::Fault fault;
    std::string message;
  };
  const Case cases[] = {
      {HttpAnswer("_S.", 500, "busy"), "Internal Server Error"},
      {HttpAnswer("_M.", 200, "not xml"),
       "Invalid XML answer from the device: No document element found at offset 7"},
      {HttpAnswer("_S.", 200, "1;2;3;4;5;6;7;1e20"), "Currency value out of range"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    fSimulator.AddFault(c.fault);
    const Answer answer = Call("PRINTZR", "");
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.error, c.message);
    ZFields expected;
    expected.errorText = c.message;
    expected.logFileName = fLogFileName;
    EXPECT_EQ(answer.output, ZFragment(expected));
  }
}

TEST_F(ReportExports, ZReportThroughTheRTServerAnswersItsTillReport) {
  const int32_t handle =
      Open(Element("RTServer", "true") +
           Element("RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)) +
           Element("RTServerTillSerial", "TILL-9"));
  ASSERT_GT(handle, 0);
  const Answer answer = Call("PRINTZR", "", handle);
  EXPECT_EQ(answer.result, 0) << answer.output;
  const std::string receipts = FragmentElement(answer.output, "DayReceiptsNumber");
  const std::string text = FragmentElement(answer.output, "Text");
  // The leading line break gives an empty first line; the final blank line ends the text.
  const std::string printedAt = text.substr(text.rfind("<Line>") + 6, 19);
  ZFields expected;
  expected.dateTime = "2024-03-01T22:30:00";
  expected.number = "6";
  expected.serial = "TILL-9";
  expected.server = "SRV-1";
  expected.ejNumber = "0";
  expected.ejClosing = "6";
  expected.dayTotal = "150.5";
  expected.refunds = "6";
  expected.voids = "4";
  expected.receipts = receipts;
  expected.text =
      "\r\nZ-REPORT\r\n\r\nData Chiusura:    01-03-2024 22:30\r\nNumero Chiusura:  6"
      "\r\n\r\nServer:           SRV-1\r\nCassa:            TILL-9\r\n\r\nDocumenti "
      "Emessi: " +
      receipts +
      "\r\n\r\nEURO\r\nTotale Giorno                           150.50\r\n\r\n"
      "Totale Vendite                          160.50\r\n"
      "Totale Resi                               6.00\r\n"
      "Totale Annulli                            4.00\r\n\r\n" +
      printedAt;
  expected.error = false;
  expected.logFileName = fLogFileName;
  EXPECT_EQ(answer.output, ZFragment(expected));
}

// --- Journal, lottery, reprint -------------------------------------------------------------------

TEST_F(ReportExports, JournalCommandsEndWithoutErrorAndSendNothing) {
  struct Case {
    const char* command;
    std::string body;
    std::string fragment;  // before the closing elements
  };
  const std::string ejReport =
      "<EJReport><ReportType>fiscalreceipt</ReportType><ReportDestination>memory"
      "</ReportDestination><StartDate>2024-03-01T00:00:00</StartDate><EndDate>2024-03-01T23:59:59"
      "</EndDate><StartNumber>1</StartNumber><EndNumber>9</EndNumber></EJReport>";
  const Case cases[] = {
      {"EJREPORT", ejReport, "<Text></Text>" + kCrLf},
      {"GETEJFILES",
       "<EJRequest><RequestType>xml</RequestType><OutputDir>/tmp</OutputDir>"
       "</EJRequest>",
       Element("FilesCount", "0") + kCrLf},
      {"GETLOTTERYRCPTSTATUS",
       "<ReceiptReference><ReceiptType>sale</ReceiptType><ReceiptNumber>3</ReceiptNumber>"
       "</ReceiptReference>",
       Element("CorrectlySent", "False") + kCrLf + Element("StatusCode", "") + kCrLf +
           Element("StatusDescription", "") + kCrLf + Element("ReferenceId", "") + kCrLf},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    const Answer answer = Call(c.command, c.body);
    EXPECT_EQ(answer.result, 0) << answer.output;
    EXPECT_EQ(answer.output, c.fragment + Closing(false, "", fLogFileName));
    EXPECT_TRUE(TakeRequests().empty());
  }
}

TEST_F(ReportExports, ReprintIsRefusedWithItsMessage) {
  const Answer answer = Call("REPRINTFR",
                             "<ReceiptReference><ReceiptType>sale</ReceiptType><ReceiptNumber>3"
                             "</ReceiptNumber></ReceiptReference>");
  EXPECT_EQ(answer.result, -1);
  EXPECT_EQ(answer.error, "Reprint Receipt is not supported");
  EXPECT_EQ(answer.output, Closing(true, "Reprint Receipt is not supported", fLogFileName));
  EXPECT_TRUE(TakeRequests().empty());
}

}  // namespace
}  // namespace nvrp
