// Whatever goes wrong on the way, PRINTFR through the production library tells the truth about
// the receipt, checked against what the simulator itself fiscalised: a success is exactly one
// new receipt with that number, a failure is none, and "may have been printed" only when the
// device could not be asked. The next receipt then prints cleanly.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ibox_simulator.hpp"
#include "support/export_test.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;
using ::testing::HasSubstr;

const std::string kMayBePrinted =
    "The receipt may have been printed: check the device before printing it again";
// The driver waits one second for an answer; a delayed answer comes later than that.
constexpr int kDelayPastTimeoutMs = 1300;

std::string Sale(const std::string& aDescription, const std::string& aDepartment,
                 const std::string& aPrice) {
  return "<ProductSale>" + Element("Description", aDescription) + Element("Quantity", "1") +
         Element("Department", aDepartment) + Element("Price", aPrice) + Element("Amount", aPrice) +
         "</ProductSale>";
}

std::string Payment(const std::string& aType, const std::string& aAmount) {
  return "<Payment>" + Element("Type", aType) + Element("Amount", aAmount) + "</Payment>";
}

// A trailer line, two items, a text line, a discount and two payments: 7.00 in all.
const std::string kTypicalReceipt =
    "<Receipt><Type>Sale</Type><Lines>" + Sale("Bread", "1", "3.00") + Sale("Olives", "2", "4.50") +
    "<Text><Description>Gift wrapped</Description></Text>"
    "<DiscountAmount><Amount>0.50</Amount></DiscountAmount></Lines><Taxes/><Payments>" +
    Payment("CreditCard", "2.00") + Payment("Cash", "5.00") +
    "</Payments><TrailerMessages><Text><Value>Thanks</Value><Alignment>left</Alignment></Text>"
    "</TrailerMessages></Receipt>";
constexpr int64_t kTypicalTotal = 700;
const std::string kSimpleReceipt = "<Receipt><Type>Sale</Type><Lines>" + Sale("Item", "1", "1") +
                                   "</Lines><Taxes/><Payments>" + Payment("Cash", "1") +
                                   "</Payments></Receipt>";

// Every fault kind the simulator has, for one request.
struct FaultKind {
  const char* name;
  std::vector<sim::Fault> (*make)(const std::string& aMatch);
  bool slow;  // waits past the time-out: tried on the receipt's orders only
};

const FaultKind kFaultKinds[] = {
    {"drop before",
     [](const std::string& m) {
       return std::vector{MakeFault(sim::FaultKind::kDropConnection, m)};
     },
     false},
    {"drop after",
     [](const std::string& m) { return std::vector{MakeFault(sim::FaultKind::kDropAfter, m)}; },
     false},
    {"HTTP 500",
     [](const std::string& m) {
       sim::Fault fault = MakeFault(sim::FaultKind::kHttpStatus, m);
       fault.http_status = 500;
       fault.body = "busy";
       return std::vector{fault};
     },
     false},
    {"device error",
     [](const std::string& m) {
       sim::Fault fault = MakeFault(sim::FaultKind::kDeviceError, m);
       fault.device_error = 101;
       return std::vector{fault};
     },
     false},
    {"no GEN_PAR",
     [](const std::string& m) { return std::vector{MakeFault(sim::FaultKind::kMissingGenPar, m)}; },
     false},
    {"answer not labelled XML",
     [](const std::string& m) { return std::vector{MakeFault(sim::FaultKind::kContentType, m)}; },
     false},
    {"answer labelled XML that is not",
     [](const std::string& m) {
       sim::Fault body = MakeFault(sim::FaultKind::kHttpStatus, m);
       body.http_status = 200;
       body.body = "<<not xml";
       sim::Fault type = MakeFault(sim::FaultKind::kContentType, m);
       type.content_type = "text/xml";
       return std::vector{body, type};
     },
     false},
    {"time-out",
     [](const std::string& m) {
       sim::Fault fault = MakeFault(sim::FaultKind::kDelay, m);
       fault.delay = std::chrono::milliseconds(kDelayPastTimeoutMs);
       return std::vector{fault};
     },
     true},
};

// Devices with one-second time-outs, each on a simulator of its own.
class ReceiptIntegrity : public testing::ExportTest {
 protected:
  ReceiptIntegrity() : ExportTest("integrity", 1, 1) { fCloseMustSucceed = false; }

  // A fresh simulator and a device opened on it: every case starts from the same state.
  void Restart() {
    CloseOpened();
    fHandle = 0;
    fSimulator = std::make_unique<sim::IboxSimulator>();
    UseSimulator(*fSimulator);
    fSimulator->Start();
    const Answer open = OpenAnswer(ReceiptParameters());
    ASSERT_EQ(open.result, 0) << open.output;
    fHandle = std::atoi(FragmentElement(open.output, "Handle").c_str());
    fSimulator->ClearRequests();
  }

  std::string ReceiptParameters() const {
    return Element("GetReceiptText", "true") + fExtraParameters;
  }

  std::string Envelope(const std::string& aBody) const {
    return DeviceRequest(fHandle,
                         ConnectionXml() + Element("Parameters", ReceiptParameters()) + aBody);
  }

  Answer Print(const std::string& aReceipt) const {
    return Library().Call("PRINTFR", Envelope(aReceipt));
  }

  // The requests of the typical receipt printed without a fault on a fresh device, which is
  // then replaced by another fresh one.
  std::vector<std::string> CleanRunTargets() {
    Restart();
    EXPECT_EQ(Print(kTypicalReceipt).result, 0);
    std::vector<std::string> targets;
    for (const sim::RecordedRequest& request : fSimulator->Requests()) {
      targets.push_back(request.target);
    }
    Restart();
    return targets;
  }

  std::vector<sim::PrintedDocument> Receipts() const {
    std::vector<sim::PrintedDocument> receipts;
    for (const sim::PrintedDocument& document : fSimulator->Printed()) {
      if (document.kind == sim::PrintedKind::kReceipt) receipts.push_back(document);
    }
    return receipts;
  }

  // The answer against the simulator's record: success is exactly one new receipt with the
  // answered number and the request's total; failure is none, and never "may be printed"
  // while the device could be asked.
  void ExpectTruthful(const Answer& aAnswer, size_t aReceiptsBefore, int64_t aTotal) const {
    const std::vector<sim::PrintedDocument> receipts = Receipts();
    if (aAnswer.result == 0) {
      ASSERT_EQ(receipts.size(), aReceiptsBefore + 1) << "success without one new receipt";
      EXPECT_EQ(FragmentElement(aAnswer.output, "ReceiptNumber"),
                std::to_string(receipts.back().number));
      EXPECT_EQ(receipts.back().total, aTotal);
      EXPECT_EQ(FragmentElement(aAnswer.output, "Error"), "False");
    } else {
      EXPECT_EQ(receipts.size(), aReceiptsBefore) << "failure although printed: " << aAnswer.error;
      EXPECT_NE(aAnswer.error, kMayBePrinted) << FragmentElement(aAnswer.output, "MessageText");
      EXPECT_FALSE(aAnswer.error.empty());
    }
  }

  std::unique_ptr<sim::IboxSimulator> fSimulator;
  std::string fExtraParameters;
};

// Every fault kind on every request of a typical receipt (the time-out, which takes a second,
// on the first item, the last payment and the status after it).
TEST_F(ReceiptIntegrity, EveryFaultOnEveryRequestGivesATruthfulAnswer) {
  const std::vector<std::string> targets = CleanRunTargets();
  ASSERT_GT(targets.size(), 20u);

  int successes = 0;
  int failures = 0;
  for (size_t i = 0; i < targets.size(); ++i) {
    // A fault is matched by target text: it must single out this request.
    bool unique = true;
    for (size_t j = 0; j < i; ++j)
      unique = unique && targets[j].find(targets[i]) == std::string::npos;
    if (!unique) continue;
    const bool lastPaymentOrItsStatus =
        targets[i].find("Amount=5,00") != std::string::npos ||
        (i > 0 && targets[i - 1].find("Amount=5,00") != std::string::npos);
    const bool firstItem = targets[i].find("Order=PLU&Use=Sale&Code=1&") != std::string::npos;
    for (const FaultKind& kind : kFaultKinds) {
      if (kind.slow && !lastPaymentOrItsStatus && !firstItem) continue;
      SCOPED_TRACE(std::string(kind.name) + " on request " + std::to_string(i) + ": " + targets[i]);
      Restart();
      for (const sim::Fault& fault : kind.make(targets[i])) fSimulator->AddFault(fault);
      const Answer answer = Print(kTypicalReceipt);
      ExpectTruthful(answer, 0, kTypicalTotal);
      (answer.result == 0 ? successes : failures)++;
      EXPECT_TRUE(fSimulator->PendingFaults().empty()) << "the fault met its request";

      const size_t before = Receipts().size();
      const Answer next = Print(kSimpleReceipt);
      EXPECT_EQ(next.result, 0) << next.error;
      ExpectTruthful(next, before, 100);
    }
  }
  // Faults late in the receipt leave it printed, early ones stop it.
  EXPECT_GT(successes, 0);
  EXPECT_GT(failures, 0);
}

// The receipt closed on the device, but neither its answer nor any status comes back: the
// answer says it may have been printed, and the next receipt follows it.
TEST_F(ReceiptIntegrity, ADeviceThatCannotBeAskedGivesTheUncertainAnswer) {
  // The status request that would ask follows the payment's sequence number.
  std::string payment;
  for (const std::string& target : CleanRunTargets()) {
    if (target.find("Amount=5,00") != std::string::npos) payment = target;
  }
  const size_t seqNo = payment.find("SeqNo=");
  ASSERT_NE(seqNo, std::string::npos);
  const int askingSeqNo = std::atoi(payment.c_str() + seqNo + 6) + 1;
  fSimulator->AddFault(MakeFault(sim::FaultKind::kDropAfter, "Amount=5,00"));
  fSimulator->AddFault(MakeFault(sim::FaultKind::kDropConnection,
                                 "SeqNo=" + std::to_string(askingSeqNo) + "&db=gen_par"));
  const Answer answer = Print(kTypicalReceipt);
  EXPECT_EQ(answer.result, -1);
  EXPECT_EQ(answer.error, kMayBePrinted);
  EXPECT_EQ(FragmentElement(answer.output, "ReceiptNumber"), "");
  EXPECT_THAT(FragmentElement(answer.output, "MessageText"),
              HasSubstr("Error while processing Payments"));
  EXPECT_EQ(Receipts().size(), 1u) << "it was printed, which the driver could not know";

  fSimulator->ClearFaults();
  const Answer next = Print(kSimpleReceipt);
  EXPECT_EQ(next.result, 0) << next.error;
  EXPECT_EQ(FragmentElement(next.output, "ReceiptNumber"), "2");
  ExpectTruthful(next, 1, 100);
}

// The last payment's answer is lost: the device counted the receipt, so it is reported
// printed with its own number, and what failed is named in MessageText.
TEST_F(ReceiptIntegrity, ALostAnswerToTheLastPaymentIsAPrintedReceipt) {
  Restart();
  fSimulator->AddFault(MakeFault(sim::FaultKind::kDropAfter, "Amount=5,00"));
  const Answer answer = Print(kTypicalReceipt);
  EXPECT_EQ(answer.result, 0) << answer.error;
  EXPECT_EQ(answer.error, "");
  EXPECT_EQ(FragmentElement(answer.output, "ReceiptNumber"), "1");
  EXPECT_EQ(FragmentElement(answer.output, "EJClosingNumber"), "1");
  EXPECT_THAT(FragmentElement(answer.output, "MessageText"),
              HasSubstr("Error while processing Payments"));
  EXPECT_THAT(FragmentElement(answer.output, "ReceiptText"), HasSubstr("Olives"));
  ExpectTruthful(answer, 0, kTypicalTotal);
}

// Amounts the device would print otherwise, and values the wire cannot carry, are refused with
// a clear message before anything is sent; receipts the device prints as asked stay valid.
TEST_F(ReceiptIntegrity, AmountsAreCheckedBeforeAnythingIsSent) {
  const auto sale = [](const std::string& aQuantity, const std::string& aPrice,
                       const std::string& aAmount, const std::string& aDescription = "Item") {
    return "<ProductSale>" + Element("Description", aDescription) + Element("Quantity", aQuantity) +
           Element("Department", "1") + Element("Price", aPrice) + Element("Amount", aAmount) +
           "</ProductSale>";
  };
  const auto receipt = [](const std::string& aLines, const std::string& aPayment,
                          const std::string& aTotal = "", const std::string& aTrailer = "") {
    return "<Receipt><Type>Sale</Type>" + (aTotal.empty() ? "" : Element("TotalAmount", aTotal)) +
           Element("Lines", aLines) + "<Taxes/>" + Element("Payments", Payment("Cash", aPayment)) +
           Element("TrailerMessages", aTrailer) + "</Receipt>";
  };
  const std::string longest(200, 'x');
  const struct {
    const char* name;
    std::string receipt;
    std::string message;  // empty: printed, for aTotal hundredths
    int64_t total;
  } cases[] = {
      {"amount other than quantity x price", receipt(sale("2", "2.00", "5.00"), "5"),
       "Line 1: Amount 5.00 is not Quantity 2 x Price 2.00 = 4.00, which the device would print",
       0},
      {"total other than the lines'", receipt(sale("1", "1", "1"), "10", "10.00"),
       "TotalAmount 10.00 is not the total of the lines 1.00", 0},
      {"quantity beyond three decimals", receipt(sale("0.0005", "1000", "0.50"), "1"),
       "Line 1: Quantity 0.0005 has more than 3 decimals", 0},
      {"price beyond two decimals", receipt(sale("1000", "0.001", "1"), "1"),
       "Line 1: Price 0.001 has more than 2 decimals", 0},
      {"discount beyond two decimals",
       receipt(sale("1", "1", "1") + "<DiscountAmount><Amount>0.125</Amount></DiscountAmount>",
               "1"),
       "Line 2: Amount 0.125 has more than 2 decimals", 0},
      {"payment beyond two decimals", receipt(sale("1", "1", "1"), "1.005"),
       "Payment 1: Amount 1.005 has more than 2 decimals", 0},
      {"description too long", receipt(sale("1", "1", "1", longest + "x"), "1"),
       "Line 1: Description is longer than 200 characters", 0},
      {"description of ten megabytes",
       receipt(sale("1", "1", "1", std::string(10 << 20, 'y')), "1"),
       "Line 1: Description is longer than 200 characters", 0},
      {"trailer text too long",
       receipt(sale("1", "1", "1"), "1", "",
               "<Text><Value>" + longest + "x</Value><Alignment>left</Alignment></Text>"),
       "Trailer line 1: Value is longer than 200 characters", 0},
      // Rounded to the cent half away from zero, as the device prints it.
      {"a half cent rounds up", receipt(sale("1.5", "0.99", "1.49"), "1.49"), "", 149},
      {"a thousandth of a piece", receipt(sale("0.001", "10", "0.01"), "0.01"), "", 1},
      {"a matching total", receipt(sale("3", "1.10", "3.30"), "3.30", "3.30"), "", 330},
      {"the longest description", receipt(sale("1", "1", "1", longest), "1"), "", 100},
      {"a weighed item at its own amount",
       receipt("<WeightedProductSale><Description>Cheese</Description><Quantity>1.25</Quantity>"
               "<UOM>KG</UOM><Department>4</Department><Price>12.9</Price><Amount>16.13</Amount>"
               "</WeightedProductSale>",
               "16.13"),
       "", 1613},
  };
  Restart();
  size_t printed = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    fSimulator->ClearRequests();
    const Answer answer = Print(c.receipt);
    if (c.message.empty()) {
      ExpectTruthful(answer, printed++, c.total);
      EXPECT_EQ(answer.result, 0) << answer.error;
      continue;
    }
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.error, c.message);
    EXPECT_TRUE(fSimulator->Requests().empty()) << "nothing is sent";
  }
}

// The void of a receipt left open by a failure does not make an empty receipt a printed one.
TEST_F(ReceiptIntegrity, AnEmptyReceiptAfterOneLeftOpenIsNotPrinted) {
  Restart();
  sim::Fault refused = MakeFault(sim::FaultKind::kDeviceError, "Order=PLU&Use=Sale&Code=2&");
  refused.device_error = 1104;
  fSimulator->AddFault(refused);
  EXPECT_EQ(Print(kTypicalReceipt).result, -1);
  ASSERT_EQ(fSimulator->Device().open_document, sim::DocumentKind::kFiscal);

  const Answer empty = Print("<Receipt><Type>Sale</Type><Lines/><Taxes/><Payments/></Receipt>");
  EXPECT_EQ(empty.result, -1);
  EXPECT_EQ(empty.error, "No receipt was printed: the receipt sent nothing to the device");
  EXPECT_EQ(FragmentElement(empty.output, "ReceiptNumber"), "");
  EXPECT_TRUE(Receipts().empty());
  EXPECT_EQ(fSimulator->Printed().back().kind, sim::PrintedKind::kVoidedReceipt);
}

// A Greek shop's texts reach the paper roll as written with SupportSpecialChars; without it
// they are printable ASCII, so the Greek letters print as blanks.
TEST_F(ReceiptIntegrity, SupportSpecialCharsPrintsGreekAsWritten) {
  const std::string greek = "Ψωμί χωριάτικο";
  const std::string receipt = "<Receipt><Type>Sale</Type><Lines>" + Sale(greek, "1", "1.20") +
                              "</Lines><Taxes/><Payments>" + Payment("Cash", "1.20") +
                              "</Payments><TrailerMessages><Text><Value>Ευχαριστούμε</Value>"
                              "<Alignment>left</Alignment></Text></TrailerMessages></Receipt>";
  fExtraParameters = Element("SupportSpecialChars", "true");
  Restart();
  const Answer answer = Print(receipt);
  ASSERT_EQ(answer.result, 0) << answer.error;
  bool encoded = false;
  for (const sim::RecordedRequest& request : fSimulator->Requests()) {
    encoded = encoded || request.query.find("Descr=%CE%A8%CF%89%CE%BC%CE%AF%20%CF%87") == 0 ||
              request.query.find("&Descr=%CE%A8%CF%89%CE%BC%CE%AF%20%CF%87") != std::string::npos;
  }
  EXPECT_TRUE(encoded) << "the description goes out as percent-encoded UTF-8";
  EXPECT_THAT(Receipts().back().text, HasSubstr(greek));
  EXPECT_THAT(Receipts().back().text, HasSubstr("Ευχαριστούμε"));
  EXPECT_THAT(FragmentElement(answer.output, "ReceiptText"), HasSubstr(greek));

  // The non-fiscal receipt's texts too.
  const Answer nonFiscal = Library().Call(
      "PRINTNFR", Envelope("<NFReceipt><Lines><Text><Value>" + greek +
                           "</Value><Alignment>left</Alignment></Text></Lines></NFReceipt>"));
  ASSERT_EQ(nonFiscal.result, 0) << nonFiscal.error;
  const sim::PrintedDocument document = fSimulator->Printed().back();
  EXPECT_EQ(document.kind, sim::PrintedKind::kNonFiscal);
  EXPECT_THAT(document.text, HasSubstr(greek));

  fExtraParameters.clear();
  Restart();
  ASSERT_EQ(Print(receipt).result, 0);
  EXPECT_THAT(Receipts().back().text, ::testing::Not(HasSubstr("Ψ")));
}

}  // namespace
}  // namespace nvrp
