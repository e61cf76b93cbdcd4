// Reports and journal commands through the production library's exports against the in-process
// iBox simulator: PRINTXR, PRINTZR (device and RT-server ways), EJREPORT, GETEJFILES,
// GETLOTTERYRCPTSTATUS and REPRINTFR, with the exact requests the device receives and the exact
// result fragments.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "base/date_time.hpp"
#include "base/dynamic_library.hpp"
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
  std::string messageText;
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
         Element("EJClosingNumber", aFields.ejClosing) + kCrLf +
         Element("MessageText", EscapeXml(aFields.messageText)) + kCrLf +
         Element("GrandTotalAmount", "0") + Element("GrandTotalRefundsAmount", "0") +
         Element("GrandTotalVoidsAmount", "0") + Element("DayTotalAmount", aFields.dayTotal) +
         Element("DayDiscountsAmount", "0") + Element("DayReturnsAmount", "0") +
         Element("DayRefundsAmount", aFields.refunds) + Element("DayVoidsAmount", aFields.voids) +
         Element("DayReceiptsNumber", aFields.receipts) + Element("DayRefundsNumber", "0") +
         Element("Text", LineElements(aFields.text)) +
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
  EXPECT_EQ(TakeRequests(),
            (Targets{Status(seqNo), kForceZ, Status(seqNo + 1), Status(seqNo + 2),
                     "/*/Z0012/Z0012_J.", "/*/Z0012/Z0012_S.", "/*/Z0012/Z0012_M."}));
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

// A file of a closed day that cannot be read on any try leaves the complete fragment with cleared
// values, the message that the day was closed, and the file's error in MessageText.
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
  int32_t zNumber = 11;
  for (Case c : cases) {
    SCOPED_TRACE(c.message);
    c.fault.sticky = true;
    fSimulator.ClearFaults();
    fSimulator.AddFault(c.fault);
    const Answer answer = Call("PRINTZR", "");
    ++zNumber;
    const std::string closed =
        "The day was closed as Z " + std::to_string(zNumber) +
        ", but its files could not be read: they stay on the device; do not send another Z report";
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.error, closed);
    ZFields expected;
    expected.errorText = closed;
    expected.messageText = c.message;
    expected.logFileName = fLogFileName;
    EXPECT_EQ(answer.output, ZFragment(expected));
    EXPECT_EQ(fSimulator.Device().z_number, zNumber);
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

// --- Z report under faults -----------------------------------------------------------------------

// Every request of a Z report meets every fault once, and a second Z report follows without
// faults. The day closes at most once per call: a success is the one day closed with its numbers,
// a failure either closed nothing or says that the day was (or may have been) closed, and the
// next Z report closes exactly one more day. The closure is never sent twice by one call.
TEST_F(ReportExports, ZReportUnderEveryFaultClosesTheDayAtMostOnceAndSaysSo) {
  const auto make = [](sim::FaultKind aKind) {
    sim::Fault fault;
    fault.kind = aKind;
    return fault;
  };
  sim::Fault deviceError = make(sim::FaultKind::kDeviceError);
  deviceError.device_error = 1104;
  // An HTML page served in place of the answer: its status and body, and its content type.
  sim::Fault htmlPage = make(sim::FaultKind::kHttpStatus);
  htmlPage.http_status = 200;
  htmlPage.body = "<html><body>Gateway</body></html>";
  sim::Fault htmlType = make(sim::FaultKind::kContentType);
  htmlType.content_type = "text/html";
  sim::Fault notFound = make(sim::FaultKind::kHttpStatus);
  notFound.http_status = 404;
  notFound.body = "Not Found";
  const std::pair<const char*, std::vector<sim::Fault>> faults[] = {
      {"dropped", {make(sim::FaultKind::kDropConnection)}},
      {"answer lost", {make(sim::FaultKind::kDropAfter)}},
      {"HTTP 500", {HttpAnswer("", 500, "busy")}},
      {"device error", {deviceError}},
      {"status without GEN_PAR", {make(sim::FaultKind::kMissingGenPar)}},
      {"HTML answer", {htmlPage, htmlType}},
      {"file not found", {notFound}},
  };
  // The requests in the order a Z report sends them; a status request by its sequence number.
  const auto requests = [](int aSeqNo) {
    const auto status = [](int aNumber) { return "SeqNo=" + std::to_string(aNumber) + "&"; };
    return std::vector<std::pair<std::string, std::string>>{
        {"status before", status(aSeqNo)},
        {"Force_Z", "Action=Force_Z"},
        {"command's status", status(aSeqNo + 1)},
        {"status after", status(aSeqNo + 2)},
        {"text file", "_J."},
        {"details file", "_S."},
        {"record file", "_M."}};
  };
  const std::string mayHaveClosed =
      "The day may have been closed: check the device before another Z report";
  const auto closedAs = [](int32_t aZ) {
    return "The day was closed as Z " + std::to_string(aZ) +
           ", but its files could not be read: they stay on the device; do not send another Z "
           "report";
  };
  const auto closuresSent = [this] {
    int sent = 0;
    for (const std::string& target : TakeRequests()) {
      if (target.find("Action=Force_Z") != std::string::npos) ++sent;
    }
    return sent;
  };
  for (const auto& [faultName, faultParts] : faults) {
    for (size_t step = 0; step < requests(0).size(); ++step) {
      PrintReceipt("2.50");
      TakeRequests();
      const auto [requestName, match] = requests(NextSeqNo())[step];
      SCOPED_TRACE(std::string(faultName) + " on " + requestName);
      const int32_t zBefore = fSimulator.Device().z_number;
      for (sim::Fault fault : faultParts) {
        fault.match = match;
        fSimulator.AddFault(fault);
      }

      const Answer first = Call("PRINTZR", "");
      fSimulator.ClearFaults();
      const int32_t zFirst = fSimulator.Device().z_number;
      EXPECT_LE(closuresSent(), 1);
      ASSERT_TRUE(zFirst == zBefore || zFirst == zBefore + 1) << zFirst;
      if (first.result == 0) {
        EXPECT_EQ(zFirst, zBefore + 1);
        EXPECT_EQ(FragmentElement(first.output, "ZReportNumber"), std::to_string(zFirst));
        EXPECT_EQ(FragmentElement(first.output, "EJClosingNumber"), std::to_string(zFirst));
        EXPECT_EQ(FragmentElement(first.output, "DayReceiptsNumber"), "1");
        EXPECT_EQ(FragmentElement(first.output, "DayTotalAmount"), "2.5");
      } else {
        EXPECT_EQ(first.result, -1);
        EXPECT_NE(first.error, "");
        if (zFirst != zBefore) {
          EXPECT_TRUE(first.error == closedAs(zFirst) || first.error == mayHaveClosed)
              << first.error;
        }
        if (first.error == closedAs(zFirst) || first.error == mayHaveClosed) {
          EXPECT_NE(FragmentElement(first.output, "MessageText"), "");
        }
      }

      const Answer second = Call("PRINTZR", "");
      EXPECT_EQ(second.result, 0) << second.output;
      EXPECT_EQ(closuresSent(), 1);
      EXPECT_EQ(fSimulator.Device().z_number, zFirst + 1);
      EXPECT_EQ(FragmentElement(second.output, "EJClosingNumber"), std::to_string(zFirst + 1));
      EXPECT_EQ(FragmentElement(second.output, "MessageText"), "");
    }
  }
}

// The three outcomes with their texts: a lost answer to the closure is a closed day answered
// with its figures; a device that stays unreadable after it may have closed the day; a file that
// stays unreadable names the closed day.
TEST_F(ReportExports, ZReportAnswersEachOutcomeWithItsMessages) {
  PrintReceipt("4");
  TakeRequests();
  sim::Fault lost;
  lost.kind = sim::FaultKind::kDropAfter;
  lost.match = "Action=Force_Z";
  fSimulator.AddFault(lost);
  const Answer closed = Call("PRINTZR", "");
  EXPECT_EQ(closed.result, 0) << closed.output;
  EXPECT_EQ(FragmentElement(closed.output, "ZReportNumber"), "12");
  EXPECT_EQ(FragmentElement(closed.output, "DayTotalAmount"), "4");
  EXPECT_NE(FragmentElement(closed.output, "MessageText"), "");
  EXPECT_EQ(FragmentElement(closed.output, "Error"), "False");

  EXPECT_EQ(fSimulator.Device().z_number, 12);

  // The status read after the lost answer is the first one with a new sequence number.
  fSimulator.AddFault(lost);
  sim::Fault unreadable;
  unreadable.kind = sim::FaultKind::kMissingGenPar;
  unreadable.match = "SeqNo=" + std::to_string(NextSeqNo() + 1) + "&";
  fSimulator.AddFault(unreadable);
  const Answer uncertain = Call("PRINTZR", "");
  EXPECT_EQ(uncertain.result, -1);
  EXPECT_EQ(uncertain.error,
            "The day may have been closed: check the device before another Z report");
  EXPECT_NE(FragmentElement(uncertain.output, "MessageText"), "");
  EXPECT_EQ(FragmentElement(uncertain.output, "ZReportNumber"), "");
  EXPECT_EQ(fSimulator.Device().z_number, 13);
  fSimulator.ClearFaults();

  sim::Fault missing = HttpAnswer("_S.", 404, "Not Found");
  missing.sticky = true;
  fSimulator.AddFault(missing);
  TakeRequests();
  const Answer filesLost = Call("PRINTZR", "");
  EXPECT_EQ(filesLost.result, -1);
  EXPECT_EQ(filesLost.error,
            "The day was closed as Z 14, but its files could not be read: they stay on the device; "
            "do not send another Z report");
  EXPECT_EQ(FragmentElement(filesLost.output, "MessageText"), "Not Found");
  const Targets sent = TakeRequests();
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "/*/Z0014/Z0014_S."), 3);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), kForceZ), 1);
  fSimulator.ClearFaults();
}

// A till closure the RT server answered with a report that cannot be read is a closed till: the
// answer says so, the report's error is in MessageText, and the closure is asked for once.
TEST_F(ReportExports, RTServerTillClosedWithAnUnreadableAnswerIsNotClosedAgain) {
  DynamicLibrary plugin;  // the library's copy is already loaded: same library, same state
  const auto closings = [&plugin] { return plugin.Function<int32_t (*)()>("RTS_TEST_CLOSINGS")(); };
  const int32_t handle =
      Open(Element("RTServer", "true") +
           Element("RTServerDriver", testing::WithoutLibrarySuffix(NVRP_TEST_RT_SERVER_PLUGIN)) +
           Element("RTServerTillSerial", "UNREADABLE"));
  ASSERT_GT(handle, 0);
  ASSERT_TRUE(plugin.Load(NVRP_TEST_RT_SERVER_PLUGIN));
  const int32_t before = closings();
  const Answer answer = Call("PRINTZR", "", handle);
  EXPECT_EQ(answer.result, -1);
  EXPECT_EQ(answer.error,
            "The RT server closed the till, but its answer could not be read: check the server "
            "before another Z report");
  EXPECT_NE(FragmentElement(answer.output, "MessageText"), "");
  EXPECT_EQ(closings(), before + 1);
}

}  // namespace
}  // namespace nvrp
