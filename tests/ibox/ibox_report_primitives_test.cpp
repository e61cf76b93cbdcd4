// The iBox's report primitives against the simulator: the X report, the Z report with its three
// files and the faults of each step, the readers of the details and XML files, and the
// primitives the device cannot carry out.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/currency.hpp"
#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_test_support.hpp"
#include "ibox/ibox_z_report_files.hpp"
#include "ibox_simulator.hpp"
#include "support/ibox_targets.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;
using Targets = std::vector<std::string>;

std::string Status(int aSeqNo) { return StatusTarget(aSeqNo); }

Currency Amount(const char* aText) {
  Currency value;
  EXPECT_TRUE(TryParseCurrency(aText, value)) << aText;
  return value;
}

// An answer that replaces the next request matching aMatch: HTTP aStatus with aBody as text.
sim::Fault Answer(const std::string& aMatch, int aStatus, std::string aBody = "") {
  sim::Fault fault;
  fault.kind = sim::FaultKind::kHttpStatus;
  fault.match = aMatch;
  fault.http_status = aStatus;
  fault.body = std::move(aBody);
  return fault;
}

sim::Fault Drop(const std::string& aMatch) {
  sim::Fault fault;
  fault.kind = sim::FaultKind::kDropConnection;
  fault.match = aMatch;
  return fault;
}

// The report primitives of a device object on the simulator, whose last Z report is 11 and
// whose clock stands at 1 March 2024 22:30:00.
class IBoxReportTest : public ::testing::Test {
 protected:
  IBoxReportTest() : fSim(Options()) {}

  static sim::SimulatorOptions Options() {
    sim::SimulatorOptions options;
    options.device.z_number = 11;
    return options;
  }

  void SetUp() override {
    fSim.SetClock({2024, 3, 1, 22, 30, 0}, true);
    fSim.Start();
    fDevice = testing::MakeDevice(fSim.BaseUrl(),
                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fSim.ClearRequests();
  }

  // A receipt of one item at aPrice, paid in cash, through the receipt primitives.
  void PrintReceipt(const char* aPrice) {
    kReceipt receipt;
    receipt.fReceiptType = tkReceiptType::rt_Sale;
    auto& line = receipt.fLines.Add(std::make_unique<kReceiptLineProductSale>(&receipt));
    line.fDescription = "Item";
    line.fDepartment = "1";
    line.fQuantity = Currency::FromUnits(1);
    line.fPrice = Amount(aPrice);
    line.fAmount = line.fPrice;
    receipt.fPayments.push_back(
        {&receipt, tkReceiptPaymentType::rpt_Cash, "", line.fAmount, "", {}, {}});
    ASSERT_TRUE(fDevice->BeginFiscalReceipt(receipt));
    ASSERT_TRUE(fDevice->PrintProductSale(receipt, line));
    ASSERT_TRUE(fDevice->PrintPayment(receipt, receipt.fPayments.back()));
    ASSERT_TRUE(fDevice->RefreshLastReceiptInfo(receipt));
  }

  Targets TakeTargets() {
    Targets targets;
    for (const auto& request : fSim.Requests()) targets.push_back(request.target);
    fSim.ClearRequests();
    return targets;
  }

  // The sequence number the next status request carries.
  int NextSeqNo() const { return fDevice->SeqNo() + 1; }

  bool ZReport() {
    kZReport report;
    return fDevice->PrintZReportPrimitive(report);
  }

  struct LastDocument {
    DateTime dateTime = 0;
    std::string number, ejNumber, ejClosingNumber, serial;
  };
  LastDocument Last() const {
    LastDocument last;
    fDevice->GetLastReceiptInfo(last.dateTime, last.number, last.ejNumber, last.ejClosingNumber,
                                last.serial);
    return last;
  }

  kIOHandler& Handler() const { return fDevice->IOHandler(); }

  sim::IboxSimulator fSim;
  std::unique_ptr<kFiscalPrinter_RORERER> fDevice;
};

const DateTime kClosedAt = EncodeDateTime({2024, 3, 1, 22, 30, 0, 0});

// --- Z report ------------------------------------------------------------------------------------

TEST_F(IBoxReportTest, ZReportClosesTheDayAndReadsItsThreeFiles) {
  PrintReceipt("10");
  PrintReceipt("2.5");
  TakeTargets();
  const int seqNo = NextSeqNo();
  ASSERT_TRUE(ZReport()) << Handler().ErrorMessage();
  EXPECT_FALSE(Handler().ErrorFound());
  EXPECT_EQ(TakeTargets(),
            (Targets{Status(seqNo), kForceZ, Status(seqNo + 1), Status(seqNo + 2),
                     "/*/Z0012/Z0012_J.", "/*/Z0012/Z0012_S.", "/*/Z0012/Z0012_M."}));
  const tkFiscalCounters& counters = fDevice->Counters();
  EXPECT_EQ(counters.DayTotalAmount, Amount("12.5"));
  EXPECT_EQ(counters.DayReceiptsNumber, 2);
  EXPECT_EQ(counters.ZReportNumber, 12);
  EXPECT_EQ(counters.ZReportDateTime, kClosedAt);
  EXPECT_EQ(counters.Text, fSim.JournalFile("Z0012/Z0012_J.").value_or("<none>"));
  EXPECT_EQ(counters.GrandTotalAmount, Currency());
  // The last document is the report: the day's receipt count after the closure and its number.
  const LastDocument last = Last();
  EXPECT_EQ(last.dateTime, kClosedAt);
  EXPECT_EQ(last.number, "0");
  EXPECT_EQ(last.ejNumber, "0");
  EXPECT_EQ(last.ejClosingNumber, "12");
  EXPECT_EQ(fSim.Device().z_number, 12);
}

// A failing step is answered by what the device did. Before the closure nothing is changed
// and the step's error stands; from the closure on, the device's Z number tells: a closure the
// device refused leaves the day open with the refusal's error, every later failure finds the
// day closed and the report goes on (a file read is tried again), so the new report's figures
// are read and no error stays. The closure is sent once at most.
TEST_F(IBoxReportTest, FailingZStepIsAnsweredByWhetherTheDayClosed) {
  PrintReceipt("4");
  ASSERT_TRUE(ZReport());  // Z 12: one receipt of 4.00
  struct Case {
    std::string step;  // "status0" (before), "Force_Z", "status1", "status2" or a file suffix
    bool drop;
    bool closed;  // the device closed the day
  };
  const Case cases[] = {
      {"status0", false, false}, {"status0", true, false}, {"Force_Z", false, false},
      {"Force_Z", true, false},  {"status1", false, true}, {"status2", true, true},
      {"_J.", false, true},      {"_J.", true, true},      {"_S.", false, true},
      {"_S.", true, true},       {"_M.", false, true},     {"_M.", true, true},
  };
  int zNumber = 12;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step + (c.drop ? " dropped" : " HTTP 500"));
    const std::string previousText = fDevice->Counters().Text;
    const int previousZ = fDevice->Counters().ZReportNumber;
    TakeTargets();
    std::string match = c.step;
    if (c.step.starts_with("status")) {
      match = "SeqNo=" + std::to_string(NextSeqNo() + (c.step.back() - '0')) + "&";
    }
    fSim.AddFault(c.drop ? Drop(match) : Answer(match, 500, "busy"));
    Handler().ResetCustomError();

    EXPECT_EQ(ZReport(), c.closed);
    const Targets sent = TakeTargets();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), kForceZ), c.step == "status0" ? 0 : 1);
    if (c.closed) ++zNumber;
    EXPECT_EQ(fSim.Device().z_number, zNumber);
    if (c.closed) {
      EXPECT_FALSE(Handler().ErrorFound()) << Handler().ErrorMessage();
      const std::string z = "Z00" + std::to_string(zNumber);
      EXPECT_EQ(fDevice->Counters().Text, fSim.JournalFile(z + "/" + z + "_J.").value_or("<none>"));
      EXPECT_EQ(fDevice->Counters().ZReportNumber, zNumber);
      EXPECT_EQ(Last().ejClosingNumber, std::to_string(zNumber));
      EXPECT_NE(fDevice->ZReportMessageText(), "");
    } else {
      EXPECT_TRUE(Handler().ErrorFound());
      if (!c.drop) {
        EXPECT_EQ(Handler().ErrorCode(), 500);
        EXPECT_EQ(Handler().ErrorMessage(), "Internal Server Error");
      }
      EXPECT_EQ(fDevice->Counters().Text, previousText);
      EXPECT_EQ(fDevice->Counters().ZReportNumber, previousZ);
    }
  }
}

// The files as the device may send them; what they give or the error they raise.
// Details of aReceipts receipts of 0.01 each, 50 bytes a line.
std::string ManyReceipts(int aReceipts) {
  std::string details = "Z REPORT DETAILS\r\n";
  const std::string line = "1;01/03/2024;22:00:00;12;S;1;1;0.01;0;0;0;0;0;0;0;0\r\n";
  for (int i = 0; i < aReceipts; ++i) details += line;
  return details;
}

TEST_F(IBoxReportTest, ZFilesAreReadWhateverTheirSizeAndTheRecordWhereverItIs) {
  fSim.AddFault(Answer("_S.", 200, ManyReceipts(20000)));  // a megabyte
  // The Z record as the last child of the document element, after records of other types.
  fSim.AddFault(Answer("_M.", 200,
                       "<FM_RECORDS><FMEM><RecType>30</RecType><RecNo>9</RecNo></FMEM>"
                       "<FMEM><RecType>28</RecType><RecNo>12</RecNo>"
                       "<DateTime>Fr 01/03/2024 22:30:00</DateTime></FMEM></FM_RECORDS>"));
  ASSERT_TRUE(ZReport()) << Handler().ErrorMessage();
  EXPECT_EQ(fDevice->Counters().DayReceiptsNumber, 20000);
  EXPECT_EQ(fDevice->Counters().DayTotalAmount, Amount("200"));
  EXPECT_EQ(fDevice->Counters().ZReportNumber, 12);
  EXPECT_EQ(fDevice->Counters().ZReportDateTime, kClosedAt);
}

// A file that cannot be read on any of its three tries ends the report of the closed day with a
// message that names it; what the file raised is kept for the answer's MessageText.
TEST_F(IBoxReportTest, ZFilesThatCannotBeReadEndTheReportWithTheirError) {
  struct Case {
    std::string match;
    std::string body;
    std::string message;
  };
  const Case cases[] = {
      {"_M.", "", "Invalid XML answer from the device: No document element found at offset 0"},
      {"_M.", "<FM_RECORDS><FMEM>", "Invalid XML answer from the device: Start-end tags mismatch"},
      {"_M.",
       "<R><FMEM><RecType>28</RecType><RecNo>12</RecNo><DateTime>Fr 1x/03/2024 22:30</DateTime>"
       "</FMEM></R>",
       "'1x' is not a valid integer value"},
      {"_S.", "1;2;3;4;5;6;7;922337203685477.5807;0.0001", "Currency value out of range"},
      {"_S.", "1;2;3;4;5;6;7;1e30", "Currency value out of range"},
  };
  int zNumber = 11;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    sim::Fault fault = Answer(c.match, 200, c.body);
    fault.sticky = true;
    fSim.AddFault(fault);
    Handler().ResetCustomError();
    EXPECT_FALSE(ZReport());
    fSim.ClearFaults();
    ++zNumber;
    EXPECT_EQ(Handler().ErrorMessage(), "The day was closed as Z " + std::to_string(zNumber) +
                                            ", but its files could not be read: they stay on "
                                            "the device; do not send another Z report");
    EXPECT_EQ(fDevice->ZReportMessageText().substr(0, c.message.size()), c.message);
    EXPECT_EQ(Last().ejClosingNumber, std::to_string(zNumber));
  }
}

// A Z number that is not an integer raises the conversion error before anything is sent; a
// receipt count after the closure that is not one is that closure's error, and a device whose Z
// number did not move has not closed the day.
TEST(IBoxReportStatusTest, ZReportStatusValuesThatAreNotIntegersRaise) {
  for (const auto& [name, value] : std::vector<std::pair<std::string, std::string>>{
           {"CurrentZNo", "12a"}, {"DayFiscalRcptCnt", "x"}}) {
    testing::ScriptedIBox device;
    testing::StatusValues values{{"LastOrderSeqNo", "1"},
                                 {"LastError", "0"},
                                 {"DayFiscalRcptCnt", "0"},
                                 {"CurrentZNo", "12"},
                                 {"CurrentDateTime", "Fr 01/03/2024 22:30:00"},
                                 {"CurrentReceiptType", "0"}};
    for (auto& entry : values) {
      if (entry.first == name) entry.second = value;
    }
    device.SetStatus(values);
    auto ibox = testing::MakeDevice(device.Url(), "zstatus");
    kZReport report;
    const std::string message = "'" + value + "' is not a valid integer value";
    if (name == "CurrentZNo") {
      try {
        ibox->PrintZReportPrimitive(report);
        ADD_FAILURE() << name << ": no error raised";
      } catch (const Exception& error) {
        EXPECT_EQ(std::string(error.what()), message);
      }
    } else {
      EXPECT_FALSE(ibox->PrintZReportPrimitive(report));
      EXPECT_EQ(ibox->IOHandler().ErrorMessage(), message);
    }
  }
}

// --- Readers of the Z files ----------------------------------------------------------------------

TEST(IBoxZReportFilesTest, DetailsCountReceiptLinesAndSumFieldsEightToSixteen) {
  struct Case {
    std::string text;
    int32_t receipts;
    const char* total;
  };
  const std::string thousandFields = [] {
    std::string line = "1";
    for (int field = 2; field <= 1000; ++field) line += ";1.25";
    return line;
  }();
  const Case cases[] = {
      {"", 0, "0"},
      {"TITLE\r\n1;a;b;c;d;e;f;10.00\r\n2;a;b;c;d;e;f;;;;;;;;0.50", 2, "10.5"},
      {"1;2;3", 1, "0"},                                      // fewer than 8 fields
      {"1;2;3;4;5;6;7;abc;;1,5;-;0x10;+.5;7.;8", 1, "15.5"},  // non-numbers add 0
      {"\n\r\n;\r;;\n", 2, "0"},                              // line ends of every kind
      {"1;2;3;4;5;6;7;1;2;3;4;5;6;7;8;9;10;11", 1, "45"},     // fields after 16 do not count
      {"1;2;3;4;5;6;7;0.1;0.1;0.1;0.1;0.1;0.1;0.1;0.1;0.1", 1, "0.9"},  // summed exactly
      {"1;2;3;4;5;6;7; 0.00015 ", 1, "0.0002"},  // blanks around; four decimals kept
      {thousandFields, 1, "11.25"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    const tkZReportDetails details = ReadZReportDetailsText(c.text);
    EXPECT_EQ(details.fReceiptCount, c.receipts);
    EXPECT_EQ(details.fDayTotal, Amount(c.total));
  }
  const std::string tenMegabytes = ManyReceipts(200000);
  ASSERT_GE(tenMegabytes.size(), 10U * 1000 * 1000);
  const tkZReportDetails huge = ReadZReportDetailsText(tenMegabytes);
  EXPECT_EQ(huge.fReceiptCount, 200000);
  EXPECT_EQ(huge.fDayTotal, Amount("2000"));
}

TEST(IBoxZReportFilesTest, RecordIsTheLastFMEMChildOfTypeTwentyEight) {
  struct Case {
    std::string xml;
    int32_t number;
    bool dated;
  };
  const std::string dated = "<DateTime>Fr 01/03/2024 22:30:00</DateTime>";
  const Case cases[] = {
      {"<R><FMEM><RecType>28</RecType><RecNo>41</RecNo>" + dated +
           "</FMEM><FMEM><RecType>28</RecType><RecNo>42</RecNo>" + dated +
           "</FMEM><Signature>AB</Signature></R>",
       42, true},
      {"<R><FMEM><RecType>281</RecType><RecNo>7</RecNo>" + dated + "</FMEM></R>", 7, true},
      {"<R><Signature/><FMEM><RecType>28</RecType><RecNo>8</RecNo>" + dated + "</FMEM></R>", 8,
       true},  // the last child counts too
      {"<R><FMEM><RecType>2</RecType><RecNo>7</RecNo></FMEM><X><RecType>28</RecType></X></R>", 0,
       false},
      {"<R><FMEM><RecType>28</RecType><RecNo>x7</RecNo>" + dated + "</FMEM></R>", 0, true},
      {"<R/>", 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xml);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_string(c.xml.c_str()));
    const tkZReportRecord record = ReadZReportRecord(document.document_element());
    EXPECT_EQ(record.fZNumber, c.number);
    EXPECT_EQ(record.fDateTime, c.dated ? kClosedAt : 0);
  }
}

// --- X report and day state ----------------------------------------------------------------------

TEST_F(IBoxReportTest, XReportCountsAsADocumentOfThisMoment) {
  PrintReceipt("3");
  TakeTargets();
  const int seqNo = NextSeqNo();
  const DateTime before = Now();
  kXReport report;
  ASSERT_TRUE(fDevice->PrintXReportPrimitive(report)) << Handler().ErrorMessage();
  EXPECT_EQ(TakeTargets(), (Targets{kXReportOrder, Status(seqNo)}));
  const LastDocument last = Last();
  EXPECT_GE(last.dateTime, before);
  EXPECT_LE(last.dateTime, Now());
  EXPECT_EQ(last.number, "0");
  EXPECT_EQ(last.ejNumber, "0");
  EXPECT_EQ(last.ejClosingNumber, "0");
  EXPECT_EQ(fSim.Printed().back().kind, sim::PrintedKind::kXReport);
}

TEST_F(IBoxReportTest, ReportsRefusedByTheDeviceFailWithItsError) {
  sim::Fault refused;
  refused.kind = sim::FaultKind::kDeviceError;
  refused.match = "kbch=29";
  refused.device_error = 1004;
  fSim.AddFault(refused);
  kXReport x;
  EXPECT_FALSE(fDevice->PrintXReportPrimitive(x));
  EXPECT_EQ(Handler().ErrorCode(), 1004);
  EXPECT_EQ(Last().ejClosingNumber, "0");  // the last document is the X report all the same

  refused.match = "Force_Z";
  fSim.AddFault(refused);
  TakeTargets();
  Handler().ResetCustomError();  // as every command starts
  EXPECT_FALSE(ZReport());
  EXPECT_EQ(Handler().ErrorCode(), 1004);
  // The status before, the order and its status, then the errors cleared and the status again.
  EXPECT_EQ(TakeTargets().size(), 5U);
  EXPECT_EQ(fSim.Device().z_number, 11);
}

TEST_F(IBoxReportTest, DayIsOpenedOnceItHasAFiscalReceipt) {
  EXPECT_FALSE(fDevice->IsDayOpened());
  EXPECT_FALSE(Handler().ErrorFound());
  PrintReceipt("1");
  EXPECT_TRUE(fDevice->IsDayOpened());
  fSim.AddFault(Answer("Status", 503));
  EXPECT_FALSE(fDevice->IsDayOpened());
  EXPECT_TRUE(Handler().ErrorFound());
}

// --- What the device cannot do -------------------------------------------------------------------

TEST_F(IBoxReportTest, JournalLotteryAndMemoryPrimitivesAnswerFalseAndSendNothing) {
  const auto memory = tkEJReportDestination::rd_Memory;
  std::string text = "kept";
  int32_t count = 5;
  int32_t remaining = 9;
  kReceiptReference reference;
  EXPECT_FALSE(fDevice->EJPrintZReports(memory, 1, 2, text));
  EXPECT_FALSE(fDevice->EJPrintFiscalReceipts(memory, 1, 2, 3, 4, text));
  EXPECT_FALSE(fDevice->EJPrintNonFiscalReceipts(memory, 1, 2, 3, 4, text));
  EXPECT_FALSE(fDevice->EJPrintCreditNotes(memory, 1, 2, 3, 4, text));
  EXPECT_FALSE(fDevice->EJPrintInvoices(memory, 1, 2, 3, 4, text));
  EXPECT_FALSE(fDevice->GetEJFilesPrimitive(tkEJFilesRequestType::ej_xml, 1, 2, "/tmp", count));
  EXPECT_FALSE(fDevice->GetLotteryReceiptStatusPrimitive(reference));
  EXPECT_FALSE(fDevice->GetRemainingFiscalMemory(remaining));
  EXPECT_EQ(text, "kept");
  EXPECT_EQ(count, 5);
  EXPECT_EQ(remaining, 9);
  EXPECT_FALSE(Handler().ErrorFound());
  EXPECT_TRUE(TakeTargets().empty());
}

TEST_F(IBoxReportTest, ReprintIsRefused) {
  kReceiptReference reference;
  try {
    fDevice->ReprintReceiptPrimitive(reference);
    ADD_FAILURE() << "no error raised";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "Reprint Receipt is not supported");
  }
  EXPECT_TRUE(TakeTargets().empty());
}

}  // namespace
}  // namespace nvrp
