// Status, service commands, non-fiscal receipts and payments through the production library's
// exports against the in-process iBox simulator: the exact fragments, the exact requests the
// device receives, status answers the device may send, and failures on every request.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "command/result_text.hpp"
#include "ibox_simulator.hpp"
#include "support/export_test.hpp"
#include "support/ibox_targets.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;

using ::testing::HasSubstr;
using Targets = std::vector<std::string>;

const std::string kCrLf = "\r\n";
const sim::CivilTime kDeviceClock{2024, 3, 1, 14, 5, 9};
const std::string kDeviceClockText = "2024-03-01T14:05:09";
const std::string kNoDateTime = "1899-12-30T00:00:00";
const std::string kSerial = "SIM00000001";

const std::string kOpenDrawer = "/keybd/LCDSTAT.XML?kbch=100";

std::string StatusRequest(int aSeqNo) { return StatusTarget(aSeqNo); }

std::string ExternComment(const std::string& aDescr, int aSeqNo) {
  return "/db_otf_xml.xml?Order=COMMENT&Use=Extern&SeqNo=" + std::to_string(aSeqNo) +
         "&Descr=" + aDescr + "&Do=&Sync=&makexmlotf=stat";
}

std::string EndReceipt(int aSeqNo) {
  return "/db_otf_xml.xml?Order=Cmd&Action=End_Rcpt&SeqNo=" + std::to_string(aSeqNo) +
         "&Do=&Sync=&makexmlotf=stat";
}

std::string TextLine(const std::string& aValue, const std::string& aAlignment = "left",
                     const std::string& aSize = "1") {
  return "<Text>" + Element("Value", aValue) + Element("Size", aSize) +
         Element("Alignment", aAlignment) + "</Text>";
}

std::string NFReceipt(const std::string& aLines) {
  return "<NFReceipt>" + Element("Layout", "Plain") + Element("Lines", aLines) + "</NFReceipt>";
}

std::string GetStatusFragment(const std::string& aDayOpened, const std::string& aDateTime,
                              const std::string& aFiscalReceiptOpen,
                              const std::string& aReceiptOpen, const std::string& aSerial,
                              const std::string& aFiscalMode) {
  return Element("DayOpened", aDayOpened) + kCrLf + Element("DateTime", aDateTime) + kCrLf +
         Element("PaperEnd", "False") + kCrLf + Element("PaperNearEnd", "False") + kCrLf +
         Element("CoverOpen", "False") + kCrLf + Element("FiscalReceiptOpen", aFiscalReceiptOpen) +
         kCrLf + Element("ReceiptOpen", aReceiptOpen) + kCrLf + Element("TrainingMode", "False") +
         kCrLf + Element("FirmwareVersion", "") + kCrLf + Element("SerialNumber", aSerial) + kCrLf +
         Element("FiscalMode", aFiscalMode) + kCrLf;
}

sim::Fault StatusValue(const std::string& aName, const std::string& aText, bool aLeaveOut = false,
                       bool aSticky = false) {
  sim::Fault fault;
  fault.kind = sim::FaultKind::kStatusValue;
  fault.status_name = aName;
  if (!aLeaveOut) fault.status_text = aText;
  fault.sticky = aSticky;
  return fault;
}

sim::Fault Fault(sim::FaultKind aKind, const std::string& aMatch) {
  return MakeFault(aKind, aMatch);
}

sim::SimulatorOptions DrawerStaysOpen() {
  sim::SimulatorOptions options;
  options.device.drawer_close_after = std::chrono::milliseconds(0);
  return options;
}

// A device opened on a fresh simulator for every test and closed after it (tests close some of
// their devices themselves).
class ServiceExports : public testing::ExportTest {
 protected:
  ServiceExports() : ExportTest("service") {
    UseSimulator(fSimulator);
    fCloseMustSucceed = false;
  }

  void SetUp() override { OpenOnStandingClock(kDeviceClock); }

  Answer Call(const char* aCommand, int32_t aHandle, const std::string& aBody = "",
              const std::string& aParameters = "") {
    return Library().Call(
        aCommand,
        DeviceRequest(aHandle, ConnectionXml() + Element("Parameters", aParameters) + aBody));
  }
  Answer Call(const char* aCommand, const std::string& aBody = "",
              const std::string& aParameters = "") {
    return Call(aCommand, fHandle, aBody, aParameters);
  }

  // The device's sequence number as the last status answer reported it.
  int SeqNo() const { return fSimulator.Device().last_seq_no; }

  void ExpectSucceeded(const Answer& aAnswer, const std::string& aElements) {
    EXPECT_EQ(aAnswer.result, 0) << aAnswer.error;
    EXPECT_EQ(aAnswer.output, aElements + Closing(false, "", fLogFileName));
  }
  void ExpectFailed(const Answer& aAnswer, const std::string& aElements,
                    const std::string& aMessage) {
    EXPECT_EQ(aAnswer.result, -1) << aAnswer.output;
    EXPECT_EQ(aAnswer.error, aMessage);
    EXPECT_EQ(aAnswer.output, aElements + Closing(true, aMessage, fLogFileName));
  }

  // A GETSTATUS that succeeds with the simulator's values: the next command starts clean.
  void ExpectStatusReadsClean() {
    fSimulator.ClearFaults();
    ExpectSucceeded(Call("GETSTATUS"),
                    GetStatusFragment("False", kDeviceClockText, "False", "False", kSerial, "MF"));
  }

  sim::IboxSimulator fSimulator{DrawerStaysOpen()};
};

// --- OPEN, CLOSE and GETSTATUS ---------------------------------------------------------------

TEST_F(ServiceExports, OpenReadsTheStatusOnceAndPrintfrAnswersTheSerialNumber) {
  const Answer open = OpenAnswer();
  EXPECT_EQ(open.result, 0);
  const int32_t handle = std::atoi(FragmentElement(open.output, "Handle").c_str());
  EXPECT_EQ(open.output, Element("Handle", std::to_string(handle)) + kCrLf +
                             Closing(false, "", FragmentElement(open.output, "LogFileName")));
  // The device class clears the device's errors when it is built; the VAT table needs no
  // request.
  EXPECT_EQ(TakeRequests(), (Targets{kClearErrors, StatusRequest(1)}));

  const Answer printed =
      Call("PRINTFR", handle,
           "<Receipt><Type>Sale</Type><Lines><ProductSale><Description>Item</Description>"
           "<Quantity>1</Quantity><Department>1</Department><Price>2</Price><Amount>2</Amount>"
           "</ProductSale></Lines><Taxes/><Payments><Payment><Type>Cash</Type><Amount>2</Amount></"
           "Payment>"
           "</Payments></Receipt>");
  EXPECT_EQ(printed.result, 0) << printed.error << printed.output;
  EXPECT_EQ(FragmentElement(printed.output, "DeviceSerialNumber"), kSerial);
}

// Step 8 of OPEN: the device is open, so the caller learns its handle; the message that the
// refresh raised is reported with "False" and 0, and logged as an error.
TEST_F(ServiceExports, OpenWhoseStatusRefreshRaisesStillAnswersTheHandle) {
  fSimulator.AddFault(StatusValue("DayFiscalRcptCnt", "abc"));
  const Answer open = OpenAnswer();
  const std::string message = "'abc' is not a valid integer value";
  const int32_t handle = std::atoi(FragmentElement(open.output, "Handle").c_str());
  const std::string logFile = FragmentElement(open.output, "LogFileName");
  ASSERT_GT(handle, fHandle);
  EXPECT_EQ(open.result, 0);
  EXPECT_EQ(open.error, message);
  EXPECT_EQ(open.output,
            Element("Handle", std::to_string(handle)) + kCrLf + Element("Error", "False") + kCrLf +
                Element("ErrorText", EscapeXml(message)) + kCrLf + Element("LogFileName", logFile));

  // A device error during the refresh is not reported at all.
  sim::Fault paper = Fault(sim::FaultKind::kDeviceError, "");
  paper.device_error = 101;
  fSimulator.AddFault(paper);
  const Answer quiet = OpenAnswer();
  EXPECT_EQ(quiet.result, 0);
  EXPECT_TRUE(quiet.error.empty() || quiet.errorEmpty) << quiet.error;

  EXPECT_EQ(Call("CLOSE", handle).result, 0);
  const std::vector<std::string> log = testing::ReadLogMessages(logFile);
  EXPECT_NE(std::find(log.begin(), log.end(), "ERROR - " + message), log.end())
      << ::testing::PrintToString(log);
}

TEST_F(ServiceExports, GetStatusAnswersElevenElementsAndOnePoll) {
  const Answer status = Call("GETSTATUS");
  ExpectSucceeded(status,
                  GetStatusFragment("False", kDeviceClockText, "False", "False", kSerial, "MF"));
  EXPECT_EQ(TakeRequests(), (Targets{StatusRequest(2)}));
  const std::string beforeError = status.output.substr(0, status.output.find("<Error>"));
  EXPECT_EQ(std::count(beforeError.begin(), beforeError.end(), '\n'), 11);
}

// Status answers the device may send, one value changed at a time.
TEST_F(ServiceExports, StatusValuesAsTheDeviceWritesThem) {
  struct Case {
    sim::Fault fault;
    std::string dayOpened, fiscalReceiptOpen, receiptOpen, serial;
  };
  const Case cases[] = {
      {StatusValue("DayFiscalRcptCnt", "0"), "False", "False", "False", kSerial},
      {StatusValue("DayFiscalRcptCnt", "3"), "True", "False", "False", kSerial},
      {StatusValue("CurrentReceiptType", "033"), "False", "True", "True", kSerial},
      {StatusValue("CurrentReceiptType", "033:xyz"), "False", "True", "True", kSerial},
      {StatusValue("CurrentReceiptType", "33"), "False", "False", "True", kSerial},
      {StatusValue("CurrentReceiptType", "041"), "False", "False", "True", kSerial},
      {StatusValue("CurrentReceiptType", "0:none"), "False", "False", "False", kSerial},
      {StatusValue("DeviceSerialNo", "", true), "False", "False", "False", ""},
      {StatusValue("DeviceSerialNo", "A&B<1>"), "False", "False", "False", "A&amp;B&lt;1&gt;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault.status_name + "=" + c.fault.status_text.value_or("(none)"));
    fSimulator.AddFault(c.fault);
    ExpectSucceeded(Call("GETSTATUS"),
                    GetStatusFragment(c.dayOpened, kDeviceClockText, c.fiscalReceiptOpen,
                                      c.receiptOpen, c.serial, "MF"));
  }
}

// A value that does not convert ends the command with its message and every field cleared;
// a value that is missing fails with the start values. The next command starts clean.
TEST_F(ServiceExports, StatusAnswersThatCannotBeUsedFailClearly) {
  const std::string cleared = GetStatusFragment("False", kNoDateTime, "False", "False", "", "");
  struct Case {
    sim::Fault fault;
    std::string message;
  };
  const Case raised[] = {
      {StatusValue("DayFiscalRcptCnt", "abc"), "'abc' is not a valid integer value"},
      {StatusValue("CurrentDateTime", "Mo 31/02/2026 10:00:00"), "Invalid argument to date encode"},
      {StatusValue("CurrentDateTime", "Mo xx/02/2026 10:00:00"),
       "'xx' is not a valid integer value"},
  };
  for (const Case& c : raised) {
    SCOPED_TRACE(c.message);
    fSimulator.AddFault(c.fault);
    ExpectFailed(Call("GETSTATUS"), cleared, c.message);
    ExpectStatusReadsClean();
  }
  const Case missing[] = {
      {StatusValue("CurrentReceiptType", "", true),
       "The device's status answer has no CurrentReceiptType element"},
      {StatusValue("DayFiscalRcptCnt", "", true),
       "The device's status answer has no DayFiscalRcptCnt element"},
      {Fault(sim::FaultKind::kMissingGenPar, "Status"),
       "The device's status answer has no GEN_PAR element"},
  };
  for (const Case& c : missing) {
    SCOPED_TRACE(c.message);
    fSimulator.AddFault(c.fault);
    const Answer status = Call("GETSTATUS");
    EXPECT_EQ(status.result, -1);
    EXPECT_EQ(status.error, c.message);
    EXPECT_EQ(FragmentElement(status.output, "SerialNumber"), "");
    EXPECT_EQ(FragmentElement(status.output, "FiscalMode"), "MF");
    EXPECT_EQ(FragmentElement(status.output, "Error"), "True");
    ExpectStatusReadsClean();
  }
  // A device error reaches the caller as a failed status, not as a status flag.
  sim::Fault paper = Fault(sim::FaultKind::kDeviceError, "Status");
  paper.device_error = 101;
  fSimulator.AddFault(paper);
  const Answer status = Call("GETSTATUS");
  EXPECT_EQ(status.result, -1);
  EXPECT_EQ(status.error, "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! ");
}

// --- Drawer --------------------------------------------------------------------------------

TEST_F(ServiceExports, DrawerOpensWithItsKeyCodeAndReportsItsSensor) {
  const std::string drawer = "<Drawer><Number>2</Number></Drawer>";
  ExpectSucceeded(Call("GETDRSTATUS", drawer), Element("IsOpen", "False") + kCrLf);
  ExpectSucceeded(Call("OPENDR", drawer), "");
  TakeRequests();
  ExpectSucceeded(Call("OPENDR", drawer), "");
  EXPECT_EQ(TakeRequests(), (Targets{kOpenDrawer, StatusRequest(SeqNo())}));
  ExpectSucceeded(Call("GETDRSTATUS", drawer), Element("IsOpen", "True") + kCrLf);

  struct Case {
    std::string sensor;
    std::string isOpen;
  };
  for (const Case& c : {Case{"1:x", "True"}, Case{"1", "True"}, Case{"0", "False"},
                        Case{"10", "False"}, Case{"", "False"}}) {
    SCOPED_TRACE(c.sensor);
    fSimulator.AddFault(StatusValue("DrawerSensorIsHigh", c.sensor));
    ExpectSucceeded(Call("GETDRSTATUS", drawer), Element("IsOpen", c.isOpen) + kCrLf);
  }
  fSimulator.AddFault(StatusValue("DrawerSensorIsHigh", "", true));
  ExpectFailed(Call("GETDRSTATUS", drawer), Element("IsOpen", "False") + kCrLf,
               "The device's status answer has no DrawerSensorIsHigh element");
}

// --- SET and SETDATETIME ---------------------------------------------------------------------

TEST_F(ServiceExports, SetTrainingModeOnlyOff) {
  struct Case {
    std::string parameters;
    std::string message;  // empty: success
  };
  const Case cases[] = {
      {"", ""},
      {Element("TrainingMode", "0"), ""},
      {Element("TrainingMode", "false"), ""},
      {Element("TrainingMode", "FALSE"), ""},
      // The device has no training mode: switching it on would go on printing real receipts.
      {Element("TrainingMode", "1"), "Training mode is not supported by the device"},
      {Element("TrainingMode", "True"), "Training mode is not supported by the device"},
      {Element("TrainingMode", "yes"), "'yes' is not a valid boolean value"},
      {Element("TrainingMode", ""), "'' is not a valid boolean value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.parameters);
    const Answer set = Call("SET", "", c.parameters);
    if (c.message.empty()) {
      ExpectSucceeded(set, "");
    } else {
      ExpectFailed(set, "", c.message);
    }
    EXPECT_TRUE(TakeRequests().empty());
  }
}

// A host whose regional settings write decimals with "," gives the number "0,0" for off.
TEST_F(ServiceExports, SetReadsTrainingModeNumbersWithTheHostDecimalComma) {
  struct Case {
    std::string value;
    std::string message;  // empty: success
  };
  const Case cases[] = {
      {"0,0", ""},
      {"-0,00", ""},
      {"0,5", "Training mode is not supported by the device"},
      {"0.0", "'0.0' is not a valid boolean value"},
  };
  testing::CheckInHostLocales({"de_DE.UTF-8", "el_GR.UTF-8"}, [&] {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.value);
      const Answer set = Call("SET", "", Element("TrainingMode", c.value));
      if (c.message.empty()) {
        ExpectSucceeded(set, "");
      } else {
        ExpectFailed(set, "", c.message);
      }
      EXPECT_TRUE(TakeRequests().empty());
    }
  });
}

TEST_F(ServiceExports, SetDateTimeIsRefusedAndTheClockReadBack) {
  struct Case {
    std::string value;
    std::string message;
  };
  const Case refused[] = {
      {"2024-03-01T14:05:09", "Set Date and Time is not supported"},
      {"", "DateTime Format invalid: []"},
      {"yes", "DateTime Format invalid: [yes]"},
      {"2024-13-01T10:00:00", "DateTime Format invalid: [2024-13-01T10:00:00]"},
      {"2024-02-30T10:00:00", "DateTime Format invalid: [2024-02-30T10:00:00]"},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(c.value);
    ExpectFailed(Call("SETDATETIME", "", Element("DateTime", c.value)),
                 Element("DateTime", kNoDateTime) + kCrLf, c.message);
    EXPECT_TRUE(TakeRequests().empty());
  }
  // The value 0 is not written; the answer is the device clock.
  ExpectSucceeded(Call("SETDATETIME", "", Element("DateTime", "1899-12-30T00:00:00")),
                  Element("DateTime", kDeviceClockText) + kCrLf);
  EXPECT_EQ(TakeRequests(), (Targets{StatusRequest(SeqNo())}));
  // A clock that cannot be read is the failure.
  fSimulator.AddFault(Fault(sim::FaultKind::kDropConnection, "Status"));
  const Answer dropped = Call("SETDATETIME", "", Element("DateTime", "1899-12-30T00:00:00"));
  EXPECT_EQ(dropped.result, -1);
  EXPECT_EQ(FragmentElement(dropped.output, "DateTime"), kNoDateTime);
  EXPECT_FALSE(dropped.error.empty());
}

// --- Tables and display ----------------------------------------------------------------------

TEST_F(ServiceExports, TablesReadEmptyAndWritesChangeNothing) {
  ExpectSucceeded(Call("GETVATTABLE"), "<VATTable>\r\n</VATTable>\r\n");
  ExpectSucceeded(Call("GETDEPTTABLE"), "<DeptTable>\r\n</DeptTable>\r\n");
  ExpectSucceeded(Call("SETVATTABLE",
                       "<VATTable><VAT><Code>A</Code><Description>VAT &amp; 24"
                       "</Description><Rate>24</Rate></VAT></VATTable>"),
                  "");
  std::string departments;
  for (int i = 0; i < 10000; ++i) {
    departments += "<Department>" + Element("Code", std::to_string(i)) +
                   Element("Description", "Dept &lt;" + std::to_string(i) + "&gt;") +
                   Element("VATCode", "A") + Element("SalesType", i % 2 ? "Service" : "Product") +
                   Element("EACode", "EA" + std::to_string(i % 7)) +
                   Element("EADescription", "Activity") + Element("EAVATMode", "1") +
                   "</Department>";
  }
  const auto start = std::chrono::steady_clock::now();
  ExpectSucceeded(Call("SETDEPTTABLE", Element("DeptTable", departments)), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ExpectSucceeded(Call("GETDEPTTABLE"), "<DeptTable>\r\n</DeptTable>\r\n");
  EXPECT_TRUE(TakeRequests().empty());
}

TEST_F(ServiceExports, DisplayAcceptsAnyTextWithoutARequest) {
  for (const std::string clear : {"true", "false"}) {
    const std::string lines = TextLine("Καλημέρα &amp; &lt;welcome&gt; ^|% 😀") +
                              TextLine("", "right") +
                              TextLine(std::string(500, 'x'), "center", "2");
    ExpectSucceeded(Call("DISPLAY", "<Display>" + Element("Clear", clear) +
                                        Element("Lines", lines) + "</Display>"),
                    "");
  }
  EXPECT_TRUE(TakeRequests().empty());
  // Refused while the request is read, before the device is looked up.
  const Answer missing = Call("DISPLAY");
  EXPECT_EQ(missing.result, -1);
  EXPECT_EQ(missing.output, Closing(true, "Display node not found", ""));
}

// --- PRINTNFR ------------------------------------------------------------------------------

TEST_F(ServiceExports, NonFiscalReceiptSendsItsLinesAsExternComments) {
  const std::string lines = TextLine("Hello") + TextLine("ABC", "right", "2") +
                            "<Barcode><Value>12345</Value><Type>EAN13</Type></Barcode>"
                            "<Image><Value>logo.bmp</Value><Source>FileSystem</"
                            "Source><Alignment>left</Alignment></Image>" +
                            TextLine("Caf\xC3\xA9 &amp; &lt;tea&gt;", "center");
  const Answer printed = Call("PRINTNFR", NFReceipt(lines));
  ExpectSucceeded(printed, Element("NFReceiptDateTime", kDeviceClockText) + kCrLf +
                               Element("NFReceiptNumber", "") + kCrLf);
  // The receipt state, the trailer lines emptied, the lines, the end, the clock read back.
  EXPECT_EQ(TakeRequests(),
            (Targets{StatusRequest(2), kClearTrailer, StatusRequest(1), ExternComment("Hello", 2),
                     StatusRequest(3), ExternComment("%7C%7B%3E%3EABC", 4), StatusRequest(5),
                     ExternComment("%60[112345]", 6), StatusRequest(7),
                     ExternComment("%3E+Caf%20%20%26%20%3Ctea%3E", 8), StatusRequest(9),
                     EndReceipt(10), StatusRequest(11), StatusRequest(12)}));
  const std::vector<sim::PrintedDocument> documents = fSimulator.Printed();
  ASSERT_EQ(documents.size(), 1u);
  EXPECT_EQ(documents[0].kind, sim::PrintedKind::kNonFiscal);
  EXPECT_EQ(fSimulator.Device().open_document, sim::DocumentKind::kNone);
}

// A line that fails stops the document: it is not ended, and the next one voids it first.
TEST_F(ServiceExports, NonFiscalReceiptWhoseSecondLineFailsIsNotEnded) {
  sim::Fault refused = Fault(sim::FaultKind::kDeviceError, "Descr=Second");
  refused.device_error = 1111;
  fSimulator.AddFault(refused);
  const std::string lines = TextLine("First") + TextLine("Second") + TextLine("Third");
  const Answer failed = Call("PRINTNFR", NFReceipt(lines));
  const std::string cleared =
      Element("NFReceiptDateTime", kNoDateTime) + kCrLf + Element("NFReceiptNumber", "") + kCrLf;
  EXPECT_EQ(failed.result, -1);
  EXPECT_EQ(FragmentElement(failed.output, "Error"), "True");
  EXPECT_EQ(failed.output.substr(0, cleared.size()), cleared);
  const Targets sent = TakeRequests();
  EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                          [](const std::string& t) { return t.find("End_Rcpt") != t.npos; }),
            0);
  EXPECT_EQ(std::count_if(sent.begin(), sent.end(),
                          [](const std::string& t) { return t.find("Descr=Third") != t.npos; }),
            0);
  EXPECT_EQ(fSimulator.Device().open_document, sim::DocumentKind::kNonFiscal);

  ExpectSucceeded(Call("PRINTNFR", NFReceipt(TextLine("Again"))),
                  Element("NFReceiptDateTime", kDeviceClockText) + kCrLf +
                      Element("NFReceiptNumber", "") + kCrLf);
  const Targets again = TakeRequests();
  ASSERT_GE(again.size(), 4u);
  EXPECT_THAT(again, ::testing::Contains(kClearErrors));
  EXPECT_THAT(again, ::testing::Contains(kVoid));
  EXPECT_EQ(fSimulator.Printed().back().kind, sim::PrintedKind::kNonFiscal);
  EXPECT_THAT(fSimulator.Printed().back().text, HasSubstr("Again"));
}

// Every request these commands send may fail on the wire; the command reports it and the next
// command starts clean.
TEST_F(ServiceExports, TransportFailuresOnEveryRequestAreReported) {
  struct Case {
    const char* command;
    std::string body;
    std::string parameters;
    std::string match;  // the request that fails
  };
  const std::string drawer = "<Drawer><Number>1</Number></Drawer>";
  const std::string nf = NFReceipt(TextLine("One"));
  const Case cases[] = {
      {"GETSTATUS", "", "", "Status"},
      {"GETDRSTATUS", drawer, "", "Status"},
      {"OPENDR", drawer, "", "OpenDrawer"},
      {"OPENDR", drawer, "", "Status"},
      {"SETDATETIME", "", Element("DateTime", "1899-12-30T00:00:00"), "Status"},
      {"PRINTNFR", nf, "", "Status"},
      {"PRINTNFR", nf, "", "COMMENT"},
      {"PRINTNFR", nf, "", "End_Rcpt"},
  };
  for (const sim::FaultKind kind : {sim::FaultKind::kHttpStatus, sim::FaultKind::kDropConnection}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.command) + " " + c.match);
      sim::Fault fault = Fault(kind, c.match);
      fault.sticky = true;  // a document clears a device error and reads its state again
      fSimulator.AddFault(fault);
      const Answer answer = Call(c.command, c.body, c.parameters);
      EXPECT_EQ(answer.result, -1) << answer.output;
      EXPECT_FALSE(answer.error.empty());
      EXPECT_EQ(FragmentElement(answer.output, "Error"), "True");
      fSimulator.ClearFaults();
      // The next document voids what a failed one left open.
      EXPECT_EQ(Call("PRINTNFR", NFReceipt(TextLine("Recover"))).result, 0);
      ExpectStatusReadsClean();
      fSimulator.ClearRequests();
    }
  }
}

// --- PAY -----------------------------------------------------------------------------------

TEST_F(ServiceExports, PayIsTakenByHand) {
  const std::string payment =
      "<Payment><Amount>12.50</Amount><Currency>EUR</Currency><PrintLocation>ECR</PrintLocation>"
      "</Payment>";
  const std::string expected =
      Element("DeviceId", "") + kCrLf + Element("PaymentDateTime", kNoDateTime) + kCrLf +
      Element("PaymentNumber", "") + kCrLf + Element("PaymentAmount", "0") + kCrLf +
      Element("PaymentCurrency", "") + kCrLf + Element("ExchangeRate", "0") + kCrLf +
      Element("PaymentAmountCurrency", "0") + kCrLf + Element("MaskedPAN", "") + kCrLf +
      Element("PaymentNetwork", "other") + kCrLf + Element("TransactionType", "MANUAL") + kCrLf +
      Element("AuthCode", "") + kCrLf + Element("TraceAuditId", "") + kCrLf +
      Element("RawResponse", "") + kCrLf + Element("ReceiptText", "") + kCrLf;
  ExpectSucceeded(Call("PAY", payment), expected);
  EXPECT_TRUE(TakeRequests().empty());

  // Without a handle PAY creates a device of its own.
  const Answer created = Call("PAY", 0, payment);
  EXPECT_EQ(created.result, 0) << created.error;
  EXPECT_THAT(created.output, HasSubstr(Element("TransactionType", "MANUAL")));
  EXPECT_EQ(TakeRequests(), (Targets{kClearErrors}));
  // The caller never learns that device's handle: it lies between this test's device and the
  // next one opened, and is closed so that nothing outlives the test.
  const int32_t next = Open();
  for (int32_t handle = fHandle + 1; handle < next; ++handle) Call("CLOSE", handle);

  const Answer missing = Call("PAY");
  EXPECT_EQ(missing.result, -1);
  EXPECT_EQ(missing.error, "Payment node not found");
  EXPECT_THAT(missing.output, HasSubstr(Element("PaymentNetwork", "other") + kCrLf +
                                        Element("TransactionType", "OTHER")));
}

}  // namespace
}  // namespace nvrp
