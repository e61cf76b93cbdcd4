// Fiscal receipts through the production library's PRINTFR export against the in-process iBox
// simulator: the exact requests the device receives, the exact result fragment, failures and
// the receipt that follows them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/base64.hpp"
#include "base/host_environment.hpp"
#include "base/text_utils.hpp"
#include "base/utf.hpp"
#include "command/result_text.hpp"
#include "ibox_simulator.hpp"
#include "support/export_test.hpp"
#include "support/ibox_targets.hpp"
#include "support/jpeg_decoder.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;
namespace sim = ibox_sim;

using ::testing::HasSubstr;
using Targets = std::vector<std::string>;

// The device clock stands still, so that the receipt date in the result is known.
const sim::CivilTime kDeviceClock{2024, 3, 1, 14, 5, 9};
const std::string kDeviceClockText = "2024-03-01T14:05:09";
const std::string kNoDateTime = "1899-12-30T00:00:00";

// Payment codes of the configuration file; types without a line are paid with code 1.
const std::string kConfiguration = "cash=1\r\nCreditCard=3\r\nvoucher=6\r\nMealVoucher=8\r\n";

// Receipt picture layout of ten-point Courier on this machine.
constexpr int kLinePitch = 19;
constexpr int kCharacterAdvance = 8;

// Device messages (bilingual, with their final blank) and the driver's own.
const std::string kPaperMessage = "CHECK THE PRINTER PAPER! - ΕΛΕΓΞΤΕ TO XΑΡΤI ΕΚΤΥΠΩΤΗ! ";
const std::string kWrongPrice = "WRONG PRICE PARAMETER! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΤΙΜΗΣ! ";
const std::string kWrongQuantity = "WRONG QUANTITY PARAMETER! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΠΟΣΟΤΗΤΑΣ! ";
const std::string kTooLarge =
    "YOU KILLED A VERY LARGE NUMBER! - ΠΛΗΚΤΡΟΛΟΓΗΣΑΤΕ ΠΟΛΥ ΜΕΓΑΛΟ ΑΡΙΘΜΟ! ";
const std::string kTooManyLines =
    "THE PROOF HAS MANY MOVEMENTS! - Η ΑΠΟΔΕΙΞΗ ΕΧΕΙ ΠΟΛΛΕΣ ΚΙΝΗΣΕΙΣ! ";
const std::string kWrongAmount = "WRONG PARAMETER AMOUNT! - ΛΑΘΟΣ ΠΑΡΑΜΕΤΡΟΣ ΠΟΣΟY! ";
const std::string kPaymentsFailed = "Error while processing Payments";
const std::string kReceiptNotClosed =
    "The receipt was not closed: its payments do not reach its total";
const std::string kNoReceiptPrinted =
    "No receipt was printed: the receipt sent nothing to the device";
const std::string kSaleOnly = "Receipt Type must be SALE. Other types are unsupported";

// --- Requests ------------------------------------------------------------------------------------

std::string Sale(const std::string& aDescription, const std::string& aDepartment,
                 const std::string& aQuantity, const std::string& aPrice,
                 const std::string& aAmount) {
  return "<ProductSale>" + Element("Code", "C-" + aDepartment) +
         Element("Description", aDescription) + Element("Quantity", aQuantity) +
         Element("UOM", "pcs") + Element("Department", aDepartment) + Element("TaxCode", "A") +
         Element("Price", aPrice) + Element("Amount", aAmount) + "</ProductSale>";
}

std::string Payment(const std::string& aType, const std::string& aAmount) {
  return "<Payment>" + Element("Type", aType) + Element("Description", aType) +
         Element("Amount", aAmount) + "</Payment>";
}

std::string TrailerText(const std::string& aValue, const std::string& aAlignment = "left",
                        const std::string& aSize = "1") {
  return "<Text>" + Element("Value", aValue) + Element("Size", aSize) +
         Element("Alignment", aAlignment) + "</Text>";
}

std::string TrailerBarcode(const std::string& aValue, const std::string& aType) {
  return "<Barcode>" + Element("Value", aValue) + Element("Type", aType) + "</Barcode>";
}

// A receipt element: its lines, payments and trailer lines, with "Extra" header elements.
std::string Receipt(const std::string& aLines, const std::string& aPayments,
                    const std::string& aTrailer = "", const std::string& aExtra = "",
                    const std::string& aType = "Sale") {
  return "<Receipt>" + Element("Type", aType) + Element("Number", "125") +
         Element("CurrencyCode", "EUR") + aExtra + Element("Lines", aLines) + "<Taxes/>" +
         Element("Payments", aPayments) + Element("TrailerMessages", aTrailer) + "</Receipt>";
}

// One item of 10.00 paid in cash.
std::string SimpleReceipt() {
  return Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "10"));
}

std::string FourDigits(int aNumber) {
  const std::string digits = std::to_string(aNumber);
  return std::string(4 - std::min<size_t>(4, digits.size()), '0') + digits;
}

// --- Expected requests -------------------------------------------------------------------------

// The requests a receipt should cause, built in order. Every order with a sequence number
// takes the next one; the device confirms it in its status answer, and voiding restarts it.
class Wire {
 public:
  Wire& Status() {
    return Add("/db_otf_xml.xml?Order=Cmd&Action=Status&Creator=0&SeqNo=" + Next() +
               "&db=gen_par&Sync=&MakeXmlOtf=stat");
  }
  // The receipt state (read again after clearing a device error that hides it), the void of a
  // document left open, then the trailer lines are emptied.
  Wire& Begin(bool aErrorPending = false, bool aDocumentOpen = false) {
    Status();
    if (aErrorPending) Add(kClearErrors).Status();
    if (aDocumentOpen) Add(kVoid).Status();
    fSeqNo = 0;
    return Add(kClearTrailer).Status();
  }
  Wire& Trailer(const std::array<std::string, 6>& aLines) {
    std::string target = "/?db=Titles&Code=2";
    for (size_t i = 0; i < aLines.size(); ++i) {
      target += "&Line_" + std::to_string(i + 1) + "=" + aLines[i];
    }
    return Add(target + "&store=&Sync=");
  }
  Wire& Plu(const std::string& aUse, const std::string& aCode, const std::string& aQuant,
            const std::string& aPrice) {
    return Add("/db_otf_xml.xml?Order=PLU&Use=" + aUse + "&Code=" + aCode + "&Quant=" + aQuant +
               "&Price=" + aPrice + "&" + Tail())
        .Status();
  }
  // An item and its description.
  Wire& Item(const std::string& aUse, const std::string& aCode, const std::string& aQuant,
             const std::string& aPrice, const std::string& aDescr) {
    return Plu(aUse, aCode, aQuant, aPrice).Comment(aDescr, "Line");
  }
  Wire& Comment(const std::string& aDescr, const std::string& aUse) {
    return Add("/db_otf_xml.xml?Order=COMMENT&Descr=" + aDescr + "&Use=" + aUse + "&" + Tail())
        .Status();
  }
  // A text line: the receipt state decides how the comment is used.
  Wire& TextLine(const std::string& aDescr, const std::string& aUse) {
    return Status().Comment(aDescr, aUse);
  }
  Wire& Discount(const std::string& aAmount) {
    return Add("/db_otf_xml.xml?Order=MOD&Amount=" + aAmount + "&" + Tail()).Status();
  }
  Wire& Markup(const std::string& aAmount) {
    return Add("/db_otf_xml.xml?Order=MOD&MarkupOrDiscount=MarkUp&Amount=" + aAmount + "&" + Tail())
        .Status();
  }
  Wire& SubTotal() { return Add(kSubTotal).Status(); }
  Wire& Pay(const std::string& aAmount, const std::string& aCode) {
    return Add("/db_otf_xml.xml?Order=PAY&SeqNo=" + Next() + "&Amount=" + aAmount +
               "&Code=" + aCode + "&Do=&Sync=&makexmlotf=stat")
        .Status();
  }
  // The last receipt's numbers, then its text file when asked for.
  Wire& Refresh() { return Status(); }
  Wire& ReceiptText(int aReceipt) { return Add("/*/Z0001/F" + FourDigits(aReceipt) + "_A."); }
  // The last order got no answer, so no status request followed it.
  Wire& Unanswered() {
    fTargets.pop_back();
    --fSeqNo;
    return *this;
  }
  Wire& Add(const std::string& aTarget) {
    fTargets.push_back(aTarget);
    return *this;
  }

  const Targets& Requests() const { return fTargets; }
  void Clear() { fTargets.clear(); }

 private:
  std::string Next() { return std::to_string(++fSeqNo); }
  std::string Tail() { return "SeqNo=" + Next() + "&Do=&Sync=&makexmlotf=stat"; }

  // OPEN's status read leaves the device's count at 1.
  int fSeqNo = 1;
  Targets fTargets;
};

// --- Expected fragments ------------------------------------------------------------------------

struct PrintedFields {
  std::string receiptDateTime = kNoDateTime;
  std::string receiptNumber;
  std::string deviceSerialNumber;
  std::string ejNumber;
  std::string ejClosingNumber;
  std::string serverSerialNumber;
  std::string receiptText;  // escaped
  std::string receiptImage;
  std::string messageText;
  bool error = true;
  std::string errorText;
  std::string logFileName;
};

std::string Fragment(const PrintedFields& aFields) {
  const std::string crlf = "\r\n";
  return Element("ReceiptDateTime", aFields.receiptDateTime) + crlf +
         Element("ReceiptNumber", aFields.receiptNumber) + crlf +
         Element("DeviceSerialNumber", aFields.deviceSerialNumber) + crlf +
         Element("EJNumber", aFields.ejNumber) + crlf +
         Element("EJClosingNumber", aFields.ejClosingNumber) + crlf +
         Element("ServerSerialNumber", aFields.serverSerialNumber) + crlf +
         Element("ReceiptText", aFields.receiptText) + crlf +
         Element("ReceiptImage", aFields.receiptImage) + crlf + Element("InvoiceNumber", "") +
         crlf + Element("InvoiceDateTime", kNoDateTime) + crlf +
         Element("MessageText", aFields.messageText) + crlf +
         Element("Error", aFields.error ? "True" : "False") + crlf +
         Element("ErrorText", EscapeXml(aFields.errorText)) + crlf +
         Element("LogFileName", aFields.logFileName);
}

// A receipt printed on the simulator as its aNumber-th receipt of the first day.
// The serial number is the one OPEN read from the device (or its processor).
PrintedFields Printed(int aNumber, const std::string& aLogFileName,
                      const std::string& aSerialNumber = "SIM00000001") {
  PrintedFields fields;
  fields.receiptDateTime = kDeviceClockText;
  fields.receiptNumber = std::to_string(aNumber);
  fields.ejNumber = "0";
  fields.ejClosingNumber = "1";
  fields.deviceSerialNumber = aSerialNumber;
  fields.error = false;
  fields.logFileName = aLogFileName;
  return fields;
}

// A failed command: every field cleared, the message, and the log file when the device was
// found.
std::string FailedFragment(const std::string& aMessage, const std::string& aLogFileName) {
  PrintedFields fields;
  fields.errorText = aMessage;
  fields.logFileName = aLogFileName;
  return Fragment(fields);
}

// Lines of a text at CR LF, CR or LF (a final break adds no line) and their widest, in
// characters.
struct TextShape {
  int lines = 0;
  int widest = 0;
};
TextShape ShapeOf(const std::string& aText) {
  TextShape shape;
  size_t start = 0;
  while (start < aText.size()) {
    size_t end = aText.find_first_of("\r\n", start);
    if (end == std::string::npos) end = aText.size();
    ++shape.lines;
    shape.widest = std::max(
        shape.widest,
        static_cast<int>(Utf8ToUtf16(std::string_view(aText).substr(start, end - start)).size()));
    start = end + (aText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return shape;
}

// The log thread writes behind the calls: waits up to five seconds for a line to arrive.
bool LogGetsLine(const std::string& aLogFile, const std::string& aLine) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::vector<std::string> log = testing::ReadLogMessages(aLogFile);
    if (std::find(log.begin(), log.end(), aLine) != log.end()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// --- Fixture -------------------------------------------------------------------------------------

// A device opened on a fresh simulator for every test and closed after it.
class PrintfrExports : public testing::ExportTest {
 protected:
  PrintfrExports() : ExportTest("printfr") { UseSimulator(fSimulator); }

  // The host directory also holds the payment code file.
  static void SetUpTestSuite() {
    Library();
    std::ofstream(testing::ConfigFile(), std::ios::binary) << kConfiguration;
  }
  static void TearDownTestSuite() { fs::remove(testing::ConfigFile()); }

  void SetUp() override { OpenOnStandingClock(kDeviceClock); }

  std::string Envelope(int32_t aHandle, const std::string& aParameters,
                       const std::string& aBody) const {
    return DeviceRequest(aHandle, Element("Parameters", aParameters) + aBody);
  }

  // PRINTFR of a receipt element on the test's device; the request text is kept.
  Answer Print(const std::string& aReceipt, const std::string& aParameters = "") {
    fLastRequest = Envelope(fHandle, aParameters, aReceipt);
    return Library().Call("PRINTFR", fLastRequest);
  }

  // The text file of a receipt of the first day.
  std::string Journal(int aReceipt) const {
    return fSimulator.JournalFile("Z0001/F" + FourDigits(aReceipt) + "_A.").value_or("");
  }

  // A printed receipt as its aNumber-th: the exact fragment, the requests, the device closed it.
  void ExpectPrinted(const Answer& aAnswer, int aNumber, Wire& aWire,
                     const std::string& aSerialNumber = "SIM00000001",
                     const std::string& aMessageText = "") {
    EXPECT_EQ(aAnswer.result, 0) << aAnswer.error;
    PrintedFields fields = Printed(aNumber, fLogFileName, aSerialNumber);
    fields.messageText = aMessageText;
    EXPECT_EQ(aAnswer.output, Fragment(fields));
    EXPECT_TRUE(aAnswer.errorEmpty || aAnswer.error.empty()) << aAnswer.error;
    EXPECT_EQ(TakeRequests(), aWire.Requests());
    aWire.Clear();
    EXPECT_EQ(fSimulator.Device().open_document, sim::DocumentKind::kNone);
    EXPECT_EQ(fSimulator.Device().day_receipt_count, aNumber);
  }

  // A failed receipt: -1, the message, every result field cleared.
  void ExpectFailed(const Answer& aAnswer, const std::string& aMessage) {
    EXPECT_EQ(aAnswer.result, -1) << aAnswer.output;
    EXPECT_EQ(aAnswer.error, aMessage);
    EXPECT_EQ(aAnswer.output, FailedFragment(aMessage, fLogFileName));
  }

  // As the library names it in its messages (the host folder, "/", the file name).
  static std::string ConfigFile() {
    return JoinPath(std::getenv("NVRP_HOST_DIR"), "NVRP_RORERER_10.ini");
  }

  sim::IboxSimulator fSimulator;
  std::string fLastRequest;
};

// --- Printing ------------------------------------------------------------------------------------

TEST_F(PrintfrExports, TypicalReceiptGoesOutInOrderAndAnswersItsNumbers) {
  const std::string receipt =
      Receipt(Sale("Freddo Espresso", "02", "2", "2.50", "5.00") +
                  Sale("Spanakopita", "1", "1", "3.20", "3.20") +
                  Sale("Olives 500g", "3", "1", "4.80", "4.80") +
                  "<DiscountAmount><Amount>1.00</Amount><Description>Loyalty</Description>"
                  "</DiscountAmount>",
              Payment("Cash", "10.00") + Payment("CreditCard", "2.00"),
              TrailerText("Thank you", "center") + TrailerText("See you soon"));

  Wire wire;
  // Trailer lines go to the title table before the first item; the department 02 is sent as 2.
  wire.Begin()
      .Trailer({"%3E+Thank%20you", "See%20you%20soon", "", "", "", ""})
      .Item("Sale", "2", "2,000", "2,50", "Freddo%20Espresso")
      .Item("Sale", "1", "1,000", "3,20", "Spanakopita")
      .Item("Sale", "3", "1,000", "4,80", "Olives%20500g")
      .Discount("1,00")
      .Pay("10,00", "1")
      .Pay("2,00", "3")
      .Refresh();
  ExpectPrinted(Print(receipt), 1, wire);

  const std::vector<sim::PrintedDocument> printed = fSimulator.Printed();
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(printed[0].kind, sim::PrintedKind::kReceipt);
  EXPECT_EQ(printed[0].total, 1200);
  for (const char* text : {"Freddo Espresso", "Olives 500g", "DISCOUNT", "Thank you"}) {
    EXPECT_THAT(printed[0].text, HasSubstr(text));
  }

  // The next receipt follows on the same device with the next number.
  wire.Begin().Item("Sale", "1", "1,000", "10,00", "Item").Pay("10,00", "1").Refresh();
  ExpectPrinted(Print(SimpleReceipt()), 2, wire);
}

// Every kind of sale line, after one item of 10.00 and before a payment of 100.00 in cash.
TEST_F(PrintfrExports, EveryLineKindSendsItsOrder) {
  const struct {
    const char* name;
    std::string line;
    std::function<void(Wire&)> expected;
  } cases[] = {
      {"product sale", Sale("Cola", "02", "2", "1.50", "3.00"),
       [](Wire& w) { w.Item("Sale", "2", "2,000", "1,50", "Cola"); }},
      {"product return, any letter case",
       "<productRETURN><Description>Return</Description><Quantity>1</Quantity><Department>1"
       "</Department><Price>2</Price><Amount>2</Amount></productRETURN>",
       [](Wire& w) { w.Item("Refund", "1", "1,000", "2,00", "Return"); }},
      // A text line with quantity and unit price, then one unit at the line's amount.
      {"weighted product sale",
       "<WeightedProductSale><Description>Cheese</Description><Quantity>1.25</Quantity><UOM>KG"
       "</UOM><Department>4</Department><Price>12.9</Price><Amount>16.13</Amount><Tare>0.01"
       "</Tare></WeightedProductSale>",
       [](Wire& w) {
         w.TextLine("%201.250%20kg%20x%20EUR%2012.90/kg", "Line")
             .Item("Sale", "4", "1,000", "16,13", "Cheese");
       }},
      {"voucher sale",
       "<VoucherSale><Description>Voucher</Description><Department>5</Department><Price>5"
       "</Price></VoucherSale>",
       [](Wire& w) { w.Item("Sale", "5", "1,000", "5,00", "Voucher"); }},
      {"voucher redeem",
       "<VoucherRedeem><Description>Voucher</Description><Department>5</Department><Price>3"
       "</Price></VoucherRedeem>",
       [](Wire& w) { w.Item("Refund", "5", "1,000", "3,00", "Voucher"); }},
      {"gift card sale",
       "<GiftCardSale><Description>Gift card</Description><Department>6</Department><Price>20"
       "</Price></GiftCardSale>",
       [](Wire& w) { w.Item("Sale", "6", "1,000", "20,00", "Gift%20card"); }},
      {"gift card redeem",
       "<GiftCardRedeem><Description>Gift card</Description><Department>6</Department><Price>4"
       "</Price></GiftCardRedeem>",
       [](Wire& w) { w.Item("Refund", "6", "1,000", "4,00", "Gift%20card"); }},
      {"collect amount",
       "<CollectAmount><Description>Deposit</Description><Department>7</Department><Amount>7.5"
       "</Amount></CollectAmount>",
       [](Wire& w) { w.Item("Sale", "7", "1,000", "7,50", "Deposit"); }},
      {"negative collect amount",
       "<CollectAmount><Description>Deposit</Description><Department>7</Department><Amount>-5"
       "</Amount></CollectAmount>",
       [](Wire& w) { w.Item("Refund", "7", "1,000", "5,00", "Deposit"); }},
      {"zero collect amount",
       "<CollectAmount><Description>Deposit</Description><Department>7</Department><Amount>0"
       "</Amount></CollectAmount>",
       [](Wire& w) { w.Item("Sale", "7", "1,000", "0,00", "Deposit"); }},
      {"subtotal", "<SubTotal><Amount>10</Amount></SubTotal>", [](Wire& w) { w.SubTotal(); }},
      {"text", "<Text><Description>Gift wrapped</Description></Text>",
       [](Wire& w) { w.TextLine("Gift%20wrapped", "Line"); }},
      {"discount amount", "<DiscountAmount><Amount>1.5</Amount></DiscountAmount>",
       [](Wire& w) { w.Discount("1,50"); }},
      // Percentage kinds send their amount, not the percentage.
      {"discount percentage",
       "<DiscountPercentage><Percentage>10</Percentage><Amount>1</Amount></DiscountPercentage>",
       [](Wire& w) { w.Discount("1,00"); }},
      {"discount amount on subtotal",
       "<DiscountAmountOnSubtotal><Amount>0.5</Amount></DiscountAmountOnSubtotal>",
       [](Wire& w) { w.Discount("0,50"); }},
      {"discount percentage on subtotal",
       "<DiscountPercentageOnSubTotal><Percentage>5</Percentage><Amount>0.5</Amount>"
       "</DiscountPercentageOnSubTotal>",
       [](Wire& w) { w.Discount("0,50"); }},
      {"markup amount", "<MarkupAmount><Amount>2</Amount></MarkupAmount>",
       [](Wire& w) { w.Markup("2,00"); }},
      {"markup percentage",
       "<MarkupPercentage><Percentage>20</Percentage><Amount>2</Amount></MarkupPercentage>",
       [](Wire& w) { w.Markup("2,00"); }},
      {"markup amount on subtotal",
       "<MarkupAmountOnSubtotal><Amount>1.25</Amount></MarkupAmountOnSubtotal>",
       [](Wire& w) { w.Markup("1,25"); }},
      {"markup percentage on subtotal",
       "<MarkupPercentageOnSubTotal><Percentage>10</Percentage><Amount>1</Amount>"
       "</MarkupPercentageOnSubTotal>",
       [](Wire& w) { w.Markup("1,00"); }},
  };
  // One sequence of requests: each receipt's numbers run on from the last one's.
  Wire wire;
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    wire.Begin().Item("Sale", "1", "1,000", "10,00", "Item");
    c.expected(wire);
    wire.Pay("100,00", "1").Refresh();
    ExpectPrinted(
        Print(Receipt(Sale("Item", "1", "1", "10", "10") + c.line, Payment("Cash", "100"))),
        ++number, wire);
  }
}

// Up to six trailer lines reach the title table before the first item; image lines are skipped,
// further lines dropped, and the device prints them at the end of the receipt.
TEST_F(PrintfrExports, TrailerLinesGoToTheTitleTable) {
  const std::string six = TrailerText("Thanks", "center") + TrailerText("Right", "right") +
                          TrailerText("Big", "left", "2") +
                          TrailerBarcode("https://e.gr/r?id=7&t=1", "QRCODE") +
                          "<Image><Alignment>left</Alignment></Image>" +
                          TrailerBarcode("12345", "code39") + TrailerText("Sixth");
  const std::array<std::string, 6> sixOnWire = {
      "%3E+Thanks",  "%3E%3ERight", "%7C%7BBig", "%60[Qhttps%3A%2F%2Fe.gr%2Fr%3Fid%3D7%26t%3D1]",
      "%60[112345]", "Sixth"};
  const struct {
    const char* name;
    std::string trailer;
    std::optional<std::array<std::string, 6>> onWire;
  } cases[] = {
      {"none", "", std::nullopt},
      {"six", six, sixOnWire},
      {"eight", six + TrailerText("Seventh") + TrailerText("Eighth"), sixOnWire},
  };
  Wire wire;
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    wire.Begin();
    if (c.onWire) wire.Trailer(*c.onWire);
    wire.Item("Sale", "1", "1,000", "10,00", "Item").Pay("10,00", "1").Refresh();
    ExpectPrinted(
        Print(Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "10"), c.trailer)),
        ++number, wire);
    const std::string text = fSimulator.Printed().back().text;
    if (c.onWire) {
      for (const char* line : {"Thanks", "Right", "B i g", "[QR https://e.gr/r?id=7&t=1]",
                               "[BARCODE 12345]", "Sixth"}) {
        EXPECT_THAT(text, HasSubstr(line));
      }
    }
    EXPECT_THAT(text, ::testing::Not(HasSubstr("Seventh")));
  }
}

// Change is worked out by the device; codes come from the configuration file, else 1.
TEST_F(PrintfrExports, PaymentsSendTheirCodes) {
  Wire wire;
  wire.Begin()
      .Item("Sale", "1", "1,000", "50,00", "Item")
      .Pay("5,00", "6")
      .Pay("5,00", "3")
      .Pay("5,00", "8")
      .Pay("5,00", "1")
      .Pay("40,00", "1")
      .Refresh();
  ExpectPrinted(
      Print(Receipt(Sale("Item", "1", "1", "50", "50"),
                    Payment("Voucher", "5") + Payment("creditcard", "5") +
                        Payment("MealVoucher", "5") + Payment("NHSCard", "5") +
                        Payment("Cash", "40") + Payment("Change", "10"))),
      1, wire, "SIM00000001",
      "Payment type nhscard was sent with code 1: " + ConfigFile() + " has no line for it");
  EXPECT_THAT(fSimulator.Printed().back().text, HasSubstr("CHANGE"));
}

// A payment other than cash that the configuration file gives no code goes out as code 1, and
// the printed receipt says so to the host (each type once), as the device log does; cash needs
// no line. The file is read when the device is opened.
TEST_F(PrintfrExports, PaymentsWithoutACodeAreNamedInMessageText) {
  const std::string file = ConfigFile();
  const std::string noLine = " was sent with code 1: " + file + " has no line for it";
  const std::string noFile = " was sent with code 1: " + file + " was not found";
  const struct {
    const char* name;
    bool configured;
    std::string payments;
    std::string messageText;
    std::string logLine;
  } cases[] = {
      {"a card without a line", true, Payment("DebitCard", "10"), "Payment type debitcard" + noLine,
       "Warning: payment type debitcard has no line in " + file + "; it is sent with code 1"},
      {"codes for every type", true, Payment("Cash", "5") + Payment("Voucher", "5"), "", ""},
      {"no file, a card paid twice", false, Payment("CreditCard", "4") + Payment("creditcard", "6"),
       "Payment type creditcard" + noFile,
       "Warning: no NVRP_RORERER_10.ini in " + fs::path(file).parent_path().string() +
           "; payment type creditcard is sent with code 1"},
      {"no file, cash only", false, Payment("Cash", "10"), "", ""},
      {"no file, two types", false, Payment("Cheque", "5") + Payment("GiftCard", "5"),
       "Payment type cheque" + noFile + "; Payment type giftcard" + noFile, ""},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.configured) {
      std::ofstream(file, std::ios::binary) << kConfiguration;
    } else {
      fs::remove(file);
    }
    fHandle = Open();
    const Answer answer = Print(Receipt(Sale("Item", "1", "1", "10", "10"), c.payments));
    EXPECT_EQ(answer.result, 0) << answer.error;
    EXPECT_EQ(FragmentElement(answer.output, "MessageText"), EscapeXml(c.messageText));
    EXPECT_EQ(FragmentElement(answer.output, "ReceiptNumber"), std::to_string(++number));
    if (!c.logLine.empty()) {
      EXPECT_TRUE(LogGetsLine(fLogFileName, c.logLine)) << c.logLine;
    }
  }
  std::ofstream(file, std::ios::binary) << kConfiguration;
}

// A text line opens the receipt when none is open and joins it otherwise.
TEST_F(PrintfrExports, TextLinesStartOrJoinTheReceipt) {
  Wire wire;
  wire.Begin()
      .TextLine("Welcome%20back", "Start")
      .Item("Sale", "1", "1,000", "10,00", "Item")
      .TextLine("Enjoy", "Line")
      .Pay("10,00", "1")
      .Refresh();
  ExpectPrinted(Print(Receipt("<Text><Description>Welcome back</Description></Text>" +
                                  Sale("Item", "1", "1", "10", "10") +
                                  "<text><Description>Enjoy</Description></text>",
                              Payment("Cash", "10"))),
                1, wire);
  const std::string text = fSimulator.Printed().back().text;
  EXPECT_LT(text.find("Welcome back"), text.find("Enjoy"));
}

// Descriptions reach the device as printable ASCII, percent-encoded; "|" and "^" are blanks.
TEST_F(PrintfrExports, TextsAreSentPrintableAndEncoded) {
  const struct {
    const char* name;
    std::string description;
    std::string onWire;
  } cases[] = {
      {"Greek letters become blanks", "Φέτα ΠΟΠ Feta", "%20%20%20%20%20%20%20%20%20Feta"},
      {"an emoji is two blanks", "Cake 😀!", "Cake%20%20%20!"},
      {"ampersand", "Salt & Pepper", "Salt%20%26%20Pepper"},
      {"bar and caret", "a|b^c", "a%20b%20c"},
      {"control characters", "Tab\there\x01.", "Tab%20here%20."},
      {"delete character", "Del\x7F", "Del%7F"},
      {"device characters", "50% *off* <now> #1", "50%25%20%2Aoff%2A%20%3Cnow%3E%20%231"},
      {"letters with accents", "CAFÉ À LA CRÈME 5€", "CAFE%20A%20LA%20CREME%205E"},
  };
  std::string lines;
  Wire wire;
  wire.Begin();
  for (const auto& c : cases) {
    lines += Sale(EscapeXml(c.description), "1", "1", "1", "1");
    wire.Item("Sale", "1", "1,000", "1,00", c.onWire);
  }
  wire.Pay("8,00", "1").Refresh();
  ExpectPrinted(Print(Receipt(lines, Payment("Cash", "8"))), 1, wire);
}

TEST_F(PrintfrExports, OnlySalesArePrinted) {
  for (const std::string type : {"Refund", "Void", "InvoiceSale", "InvoiceSaleFromReceipt"}) {
    SCOPED_TRACE(type);
    ExpectFailed(
        Print(Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "10"), "", "", type)),
        kSaleOnly);
    EXPECT_TRUE(TakeRequests().empty());
  }
}

// --- Failures in the middle of a receipt -------------------------------------------------------

// The HTTP library's own text for a connection dropped before the answer. WinHTTP's names the
// address, with the port the test's simulator listens on in place of "{port}".
#if defined(_WIN32)
constexpr const char* kDroppedConnectionMessage =
    "The server returned an invalid response: 127.0.0.1:{port}/db_otf_xml.xml?Order=COMMENT"
    "&Descr=Second&Use=Line&SeqNo=8&Do=&Sync=&makexmlotf=stat (WinHTTP error 12152) Unknown";
#else
constexpr const char* kDroppedConnectionMessage = "Empty reply from server Unknown";
#endif

struct MidReceiptFailure {
  const char* name;
  sim::Fault fault;
  std::string message;
  std::function<void(Wire&)> failedPart;  // after Begin
};

class PrintfrFailures : public PrintfrExports,
                        public ::testing::WithParamInterface<MidReceiptFailure> {};

// The receipt ends with the error once the device, its error cleared, shows the receipt still
// open and not counted; the next one voids what was left open and prints.
TEST_P(PrintfrFailures, EndTheReceiptAndTheNextOneStartsClean) {
  const MidReceiptFailure& failure = GetParam();
  fSimulator.AddFault(failure.fault);
  const std::string receipt =
      Receipt(Sale("First", "1", "1", "4", "4") + Sale("Second", "2", "1", "6", "6"),
              Payment("Cash", "10"));

  Wire wire;
  wire.Begin();
  failure.failedPart(wire);
  wire.Add(kClearErrors).Status();
  ExpectFailed(Print(receipt),
               ReplaceAll(failure.message, "{port}", std::to_string(fSimulator.Port())));
  EXPECT_EQ(TakeRequests(), wire.Requests());
  EXPECT_EQ(fSimulator.Device().open_document, sim::DocumentKind::kFiscal);
  wire.Clear();

  wire.Begin(/*aErrorPending=*/false, /*aDocumentOpen=*/true)
      .Item("Sale", "1", "1,000", "4,00", "First")
      .Item("Sale", "2", "1,000", "6,00", "Second")
      .Pay("10,00", "1")
      .Refresh();
  ExpectPrinted(Print(receipt), 1, wire);
  const std::vector<sim::PrintedDocument> printed = fSimulator.Printed();
  ASSERT_EQ(printed.size(), 2u);
  EXPECT_EQ(printed[0].kind, sim::PrintedKind::kVoidedReceipt);
  EXPECT_EQ(printed[1].kind, sim::PrintedKind::kReceipt);
}

sim::Fault DeviceErrorOnSecondItem() {
  sim::Fault fault = MakeFault(sim::FaultKind::kDeviceError, "Order=PLU&Use=Sale&Code=2&");
  fault.device_error = 101;
  return fault;
}

sim::Fault ServerErrorOnPayment() {
  sim::Fault fault = MakeFault(sim::FaultKind::kHttpStatus, "PAY");
  fault.http_status = 500;
  fault.body = "busy";
  return fault;
}

INSTANTIATE_TEST_SUITE_P(
    , PrintfrFailures,
    ::testing::Values(
        MidReceiptFailure{
            "DeviceErrorOnAnItem", DeviceErrorOnSecondItem(), kPaperMessage,
            [](Wire& w) {
              w.Item("Sale", "1", "1,000", "4,00", "First").Plu("Sale", "2", "1,000", "6,00");
            }},
        MidReceiptFailure{"ServerErrorOnThePayment", ServerErrorOnPayment(), kPaymentsFailed,
                          [](Wire& w) {
                            w.Item("Sale", "1", "1,000", "4,00", "First")
                                .Item("Sale", "2", "1,000", "6,00", "Second")
                                .Pay("10,00", "1")
                                .Unanswered();
                          }},
        MidReceiptFailure{"ConnectionDroppedOnADescription",
                          MakeFault(sim::FaultKind::kDropConnection, "Descr=Second"),
                          kDroppedConnectionMessage,
                          [](Wire& w) {
                            w.Item("Sale", "1", "1,000", "4,00", "First")
                                .Item("Sale", "2", "1,000", "6,00", "Second")
                                .Unanswered();
                          }}),
    [](const ::testing::TestParamInfo<MidReceiptFailure>& aInfo) { return aInfo.param.name; });

// --- Receipt text and picture ------------------------------------------------------------------

TEST_F(PrintfrExports, ReceiptTextAndPictureOnRequest) {
  const struct {
    const char* name;
    std::string getText;
    std::string getImage;
    bool journalFails;
    bool text;
    bool image;
  } cases[] = {
      {"neither", "", "", false, false, false},
      {"text", "true", "false", false, true, false},
      {"picture alone also reads the text", "", "TRUE", false, true, true},
      {"both", "True", "true", false, true, true},
      {"other words are not true", "yes", "1", false, false, false},
      {"a failed text read leaves the receipt printed", "true", "true", true, false, false},
  };
  Wire wire;
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.journalFails) {
      sim::Fault fault = MakeFault(sim::FaultKind::kHttpStatus, "Journal");
      fault.http_status = 404;
      fSimulator.AddFault(fault);
    }
    const Answer answer =
        Print(Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "10"),
                      TrailerText("A trailer line that is the longest of them all")),
              Element("GetReceiptText", c.getText) + Element("GetReceiptImage", c.getImage));
    ++number;
    wire.Begin()
        .Trailer({"A%20trailer%20line%20that%20is%20the%20longest%20of%20them%20all", "", "", "",
                  "", ""})
        .Item("Sale", "1", "1,000", "10,00", "Item")
        .Pay("10,00", "1")
        .Refresh();
    if (c.text || c.journalFails) wire.ReceiptText(number);
    EXPECT_EQ(TakeRequests(), wire.Requests());
    wire.Clear();

    const std::string journal = Journal(number);
    ASSERT_FALSE(journal.empty());
    PrintedFields expected = Printed(number, fLogFileName);
    if (c.text) expected.receiptText = EscapeXml(journal);
    if (c.journalFails) expected.messageText = "The receipt text could not be read: Not Found";
    const std::string image = FragmentElement(answer.output, "ReceiptImage");
    if (c.image) expected.receiptImage = image;
    EXPECT_EQ(answer.result, 0);
    EXPECT_EQ(answer.output, Fragment(expected));
    if (!c.image) continue;

    // The picture: one line pitch a text line and three more, the widest line and a margin.
    testing::DecodedPicture picture;
    ASSERT_TRUE(testing::DecodeJpeg(Base64Decode(image), picture));
    const TextShape shape = ShapeOf(journal);
    EXPECT_EQ(picture.height, kLinePitch * (shape.lines + 3));
    EXPECT_EQ(picture.width, kCharacterAdvance * shape.widest + 20);
  }
}

// --- Requests that cannot be parsed ------------------------------------------------------------

TEST_F(PrintfrExports, ParseErrorsAreReportedAndNothingIsSent) {
  const std::string sale = Sale("Item", "1", "1", "10", "10");
  const std::string cash = Payment("Cash", "10");
  const std::string kNotXml = "<Receipt><Type>Sale</Type>";
  const auto withLine = [&](const std::string& aLine) { return Receipt(aLine, cash); };
  const auto invalidNode = [](const std::string& aNode, const std::string& aType,
                              const std::string& aConversion) {
    return "Error in processing node " + aNode + " as " + aType + ".\r\n" + aConversion;
  };
  const struct {
    const char* name;
    std::string body;
    std::string message;
  } cases[] = {
      {"no receipt", "", "Receipt node not found"},
      {"no lines", "<Receipt><Type>Sale</Type><Taxes/><Payments/></Receipt>",
       "Unable to find Lines node "},
      {"no taxes", "<Receipt><Type>Sale</Type><Lines/><Payments/></Receipt>",
       "Unable to find Taxes node "},
      {"no payments", "<Receipt><Type>Sale</Type><Lines/><Taxes/></Receipt>",
       "Unable to find Payments node "},
      {"no type", "<Receipt><Lines/><Taxes/><Payments/></Receipt>", "ReceiptType  is invalid"},
      {"unknown type", Receipt(sale, cash, "", "", "Gift"), "ReceiptType gift is invalid"},
      {"unknown line kind", withLine("<Coupon><Amount>1</Amount></Coupon>"),
       "LineType coupon is invalid"},
      {"unknown payment type", Receipt(sale, Payment("Card", "10")), "PaymentType card is invalid"},
      {"unknown tax type",
       "<Receipt><Type>Sale</Type><Lines/><Taxes><Tax><Type>GST</Type></Tax></Taxes><Payments/>"
       "</Receipt>",
       "TaxType gst is invalid"},
      {"trailer text without alignment", Receipt(sale, cash, "<Text><Value>Bye</Value></Text>"),
       "Alignment  is invalid"},
      {"unknown barcode type", Receipt(sale, cash, TrailerBarcode("1", "Hologram")),
       "BarcodeType hologram is invalid"},
      {"quantity not a number", withLine(Sale("Item", "1", "two", "10", "10")),
       invalidNode("Quantity", "currency", "'two' is not a valid floating point value")},
      {"decimal comma", withLine(Sale("Item", "1", "1", "1,50", "1.50")),
       invalidNode("Price", "currency", "'1,50' is not a valid floating point value")},
      {"amount beyond the currency type",
       withLine(Sale("Item", "1", "1", "1", "922337203685477.5808")),
       invalidNode("Amount", "currency",
                   "'922337203685477.5808' is not a valid floating point value")},
      {"free of charge not a Boolean",
       withLine("<ProductSale><Department>1</Department><FreeOfCharge>maybe</FreeOfCharge>"
                "</ProductSale>"),
       invalidNode("FreeOfCharge", "boolean", "'maybe' is not a valid boolean value")},
      {"trailer size not an integer", Receipt(sale, cash, TrailerText("Bye", "left", "big")),
       invalidNode("Size", "integer", "'big' is not a valid integer value")},
      {"date not a date", Receipt(sale, cash, "", Element("DateTime", "yesterday")),
       invalidNode("DateTime", "datetime", "DateTime Format invalid: [yesterday]")},
      {"header holding elements",
       Receipt(sale, cash, "", "<Headers><Line><b>bold</b></Line></Headers>"),
       "Element has child elements"},
      // The parser stops at the name of the end tag that does not match.
      {"not XML", kNotXml,
       "Invalid XML: Start-end tags mismatch at offset " +
           std::to_string(Envelope(fHandle, "", kNotXml).rfind("</Request>") + 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Answer answer = Library().Call("PRINTFR", Envelope(fHandle, "", c.body));
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.error, c.message);
    // The request is refused before its device is looked up: no log file either.
    EXPECT_EQ(answer.output, FailedFragment(c.message, ""));
    EXPECT_TRUE(TakeRequests().empty());
  }
}

// --- Bad input that reaches the device ---------------------------------------------------------

TEST_F(PrintfrExports, BadInputFailsWithItsMessageAndNeverReportsSuccess) {
  const std::string cash = Payment("Cash", "10");
  const std::string total = Element("TotalAmount", "1");
  std::string thousand;
  for (int i = 0; i < 1000; ++i) thousand += Sale("Line", "1", "1", "1", "1");
  const struct {
    const char* name;
    std::string receipt;
    std::string message;
  } cases[] = {
      {"no lines", Receipt("", Payment("Cash", "1")), kPaymentsFailed},
      // Nothing reaches the device, so the last receipt is still the one before.
      {"no lines and no payments", Receipt("", ""), kNoReceiptPrinted},
      // The device would keep such receipts open: they are refused before anything is sent.
      {"payments short of the total",
       Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "4")),
       "The payments 4.00 do not reach the receipt's total 10.00: nothing was sent to the device"},
      // The device keeps receipts open that it cannot close; they were not printed.
      {"text lines only", Receipt("<Text><Description>Hello</Description></Text>", ""),
       kReceiptNotClosed},
      {"a thousand lines", Receipt(thousand, Payment("Cash", "1000")), kTooManyLines},
      // Values the wire cannot carry are refused before anything is sent.
      {"price at the top of the currency type",
       Receipt(Sale("Item", "1", "1", "922337203685477.5807", "1"), cash, "", total),
       "Line 1: Price 922337203685477.5807 has more than 2 decimals"},
      {"quantity at the top of the currency type",
       Receipt(Sale("Item", "1", "922337203685477.5807", "1", "1"), cash, "", total),
       "Line 1: Quantity 922337203685477.5807 has more than 3 decimals"},
      {"price at the bottom of the currency type",
       Receipt(Sale("Item", "1", "1", "-922337203685477.5808", "1"), cash, "", total),
       "Line 1: Price -922337203685477.5808 has more than 2 decimals"},
      {"price above the device's limit",
       Receipt(Sale("Item", "1", "1", "10000000", "10000000"), Payment("Cash", "10000000")),
       kTooLarge},
      {"amounts whose sum leaves the currency type",
       Receipt(Sale("A", "1", "1", "1", "922337203685477") +
                   Sale("B", "1", "1", "1", "922337203685477"),
               cash),
       "Currency value out of range"},
      {"negative price", Receipt(Sale("Item", "1", "1", "-5", "-5"), cash), kWrongPrice},
      {"negative quantity", Receipt(Sale("Item", "1", "-1", "5", "-5"), cash), kWrongQuantity},
      {"negative discount",
       Receipt(Sale("Item", "1", "1", "10", "10") +
                   "<DiscountAmount><Amount>-1</Amount></DiscountAmount>",
               Payment("Cash", "11")),
       kWrongAmount},
      {"negative payment",
       Receipt(Sale("Item", "1", "1", "10", "10"), Payment("Cash", "-10") + Payment("Cash", "20")),
       kPaymentsFailed},
      {"department not a number", Receipt(Sale("Item", "abc", "1", "10", "10"), cash),
       "'abc' is not a valid integer value"},
      {"no department",
       Receipt("<ProductSale><Description>Item</Description><Quantity>1</Quantity><Price>10"
               "</Price><Amount>10</Amount></ProductSale>",
               cash),
       "'' is not a valid integer value"},
  };
  int number = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Answer failed = Print(c.receipt);
    ExpectFailed(failed, c.message);
    // The device is usable afterwards: the next receipt prints.
    const Answer next = Print(SimpleReceipt());
    EXPECT_EQ(next.result, 0) << next.error;
    EXPECT_EQ(next.output, Fragment(Printed(++number, fLogFileName)));
    TakeRequests();
  }
}

// --- Fiscal processor and RT server ------------------------------------------------------------

// The processor named at OPEN rewrites the receipt before printing, or refuses it.
TEST_F(PrintfrExports, ProcessorRewritesOrRefusesTheReceipt) {
  fHandle = Open(Element("Processor", NVRP_TEST_PROCESSOR_FULL));
  ASSERT_GT(fHandle, 0);
  TakeRequests();

  Wire wire;
  wire.Begin().Item("Sale", "1", "1,000", "7,00", "Rewritten").Pay("7,00", "1").Refresh();
  ExpectPrinted(Print(Receipt(Sale("Original", "2", "1", "3", "3"), Payment("Cash", "3"), "",
                              Element("ExternalReference", "rewrite"))),
                1, wire, /*aSerialNumber=*/"SN1");  // the processor's status overrides the device's

  const Answer refused = Print(Receipt(Sale("Original", "2", "1", "3", "3"), Payment("Cash", "3"),
                                       "", Element("ExternalReference", "fail")));
  ExpectFailed(refused, "refused: " + fLastRequest);
  EXPECT_TRUE(TakeRequests().empty());
}

// With the RT server the numbers come from its signature; a refused signature prints nothing.
TEST_F(PrintfrExports, RTServerSignsBeforePrinting) {
  std::string library = NVRP_TEST_RT_SERVER_PLUGIN;
  ASSERT_TRUE(library.ends_with(testing::kLibrarySuffix));
  library.resize(library.size() - testing::kLibrarySuffix.size());  // the bridge adds it itself
  fHandle = Open(Element("RTServer", "true") + Element("RTServerDriver", library) +
                 Element("RTServerHost", "rt.local") + Element("RTServerPort", "9000") +
                 Element("RTServerUser", "user") + Element("RTServerPassword", "secret") +
                 Element("RTServerTillSerial", "TILL-9"));
  ASSERT_GT(fHandle, 0);
  TakeRequests();

  Wire wire;
  wire.Begin().Item("Sale", "1", "1,000", "10,00", "Item").Pay("10,00", "1").Refresh();
  const Answer answer = Print(SimpleReceipt(), Element("GetReceiptText", "true"));
  EXPECT_EQ(answer.result, 0) << answer.error;
  EXPECT_EQ(TakeRequests(), wire.Requests());
  EXPECT_GT(std::atoi(FragmentElement(answer.output, "ReceiptNumber").c_str()), 0);
  EXPECT_EQ(FragmentElement(answer.output, "EJNumber"), "0");
  EXPECT_EQ(FragmentElement(answer.output, "EJClosingNumber"), "5");
  EXPECT_EQ(FragmentElement(answer.output, "DeviceSerialNumber"), "TILL-9");
  EXPECT_EQ(FragmentElement(answer.output, "ServerSerialNumber"), "SRV-1");
  EXPECT_EQ(FragmentElement(answer.output, "ReceiptText"), "");
  EXPECT_EQ(FragmentElement(answer.output, "Error"), "False");

  std::string unsigned_ = SimpleReceipt();
  unsigned_.replace(unsigned_.find("<Number>125"), 11, "<Number>FAIL");
  ExpectFailed(Print(unsigned_), "signature refused");
  EXPECT_TRUE(TakeRequests().empty());
}

// --- Payments against the total ----------------------------------------------------------------

// Payments (change excluded) short of the total are refused before the first request, naming
// both amounts; payments that reach it print, with an overpayment given back as change, with
// discounts and with returned items.
TEST_F(PrintfrExports, PaymentsShortOfTheTotalAreRefusedBeforeAnythingIsSent) {
  const std::string item = Sale("Item", "1", "1", "10", "10");
  const std::string discount =
      "<DiscountAmount><Amount>1.50</Amount><Description>Card</Description></DiscountAmount>";
  const std::string returned = "<ProductReturn>" + Element("Description", "Back") +
                               Element("Quantity", "1") + Element("Department", "1") +
                               Element("Price", "2") + Element("Amount", "2") + "</ProductReturn>";
  const struct {
    const char* name;
    std::string receipt;
    std::string refusal;  // empty: the receipt prints
  } cases[] = {
      {"short", Receipt(item, Payment("Cash", "9.99")),
       "The payments 9.99 do not reach the receipt's total 10.00: nothing was sent to the device"},
      {"no payments", Receipt(item, ""),
       "The payments 0.00 do not reach the receipt's total 10.00: nothing was sent to the device"},
      {"change does not pay", Receipt(item, Payment("Cash", "4") + Payment("Change", "6")),
       "The payments 4.00 do not reach the receipt's total 10.00: nothing was sent to the device"},
      {"a given total short",
       Receipt(item + Sale("Other", "2", "2", "1.25", "2.50"), Payment("CreditCard", "12"), "",
               Element("TotalAmount", "12.50")),
       "The payments 12.00 do not reach the receipt's total 12.50: nothing was sent to the device"},
      {"exact", Receipt(item, Payment("Cash", "10")), ""},
      {"overpaid with change", Receipt(item, Payment("Cash", "20") + Payment("Change", "10")), ""},
      {"split", Receipt(item, Payment("Cash", "4") + Payment("CreditCard", "6")), ""},
      {"discount", Receipt(item + discount, Payment("Cash", "8.50")), ""},
      {"returned item", Receipt(item + returned, Payment("Cash", "8")), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TakeRequests();
    const Answer answer = Print(c.receipt);
    if (c.refusal.empty()) {
      EXPECT_EQ(answer.result, 0) << answer.error;
      EXPECT_FALSE(TakeRequests().empty());
      continue;
    }
    EXPECT_EQ(answer.result, -1);
    EXPECT_EQ(answer.error, c.refusal);
    EXPECT_TRUE(TakeRequests().empty());
  }
}

}  // namespace
}  // namespace nvrp
