#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/date_time.hpp"
#include "base/host_environment.hpp"
#include "base/nv_exception.hpp"
#include "documents/receipt.hpp"
#include "documents/request_documents.hpp"
#include "ibox/fiscal_printer_rorerer.hpp"
#include "ibox/ibox_commands.hpp"
#include "ibox/ibox_test_support.hpp"
#include "ibox_simulator.hpp"
#include "support/ibox_targets.hpp"
#include "support/test_environment.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {
namespace {

namespace sim = ibox_sim;
using LA = tkReceiptMessageLineAlignment;
using PT = tkReceiptPaymentType;
using Targets = std::vector<std::string>;

// --- Expected request targets ------------------------------------------------------------------

std::string Status(int aSeqNo) { return StatusTarget(aSeqNo); }
std::string Tail(int aSeqNo) {
  return std::string("SeqNo=") + std::to_string(aSeqNo) + "&Do=&Sync=&makexmlotf=stat";
}
std::string Plu(const std::string& aUse, const std::string& aCode, const std::string& aQuant,
                const std::string& aPrice, int aSeqNo) {
  return std::string("/db_otf_xml.xml?Order=PLU&Use=") + aUse + "&Code=" + aCode +
         "&Quant=" + aQuant + "&Price=" + aPrice + "&" + Tail(aSeqNo);
}
std::string Comment(const std::string& aDescr, const std::string& aUse, int aSeqNo) {
  return std::string("/db_otf_xml.xml?Order=COMMENT&Descr=") + aDescr + "&Use=" + aUse + "&" +
         Tail(aSeqNo);
}
std::string Discount(const std::string& aAmount, int aSeqNo) {
  return std::string("/db_otf_xml.xml?Order=MOD&Amount=") + aAmount + "&" + Tail(aSeqNo);
}
std::string Markup(const std::string& aAmount, int aSeqNo) {
  return std::string("/db_otf_xml.xml?Order=MOD&MarkupOrDiscount=MarkUp&Amount=") + aAmount + "&" +
         Tail(aSeqNo);
}
std::string Pay(const std::string& aAmount, const std::string& aCode, int aSeqNo) {
  return std::string("/db_otf_xml.xml?Order=PAY&SeqNo=") + std::to_string(aSeqNo) +
         "&Amount=" + aAmount + "&Code=" + aCode + "&Do=&Sync=&makexmlotf=stat";
}
std::string Trailer(const std::array<std::string, 6>& aLines) {
  std::string target = "/?db=Titles&Code=2";
  for (size_t i = 0; i < aLines.size(); ++i) {
    target += "&Line_" + std::to_string(i + 1) + "=" + aLines[i];
  }
  return target + "&store=&Sync=";
}

// Begin on an empty device: the receipt state, then the trailer lines are cleared.
const Targets kBeginTargets = {Status(1), kClearTrailer, Status(1)};

Currency Money(int64_t aHundredths) { return Currency::FromRaw(aHundredths * 100); }

sim::Fault MakeFault(sim::FaultKind aKind, std::string aMatch, bool aSticky = false) {
  sim::Fault fault;
  fault.kind = aKind;
  fault.match = std::move(aMatch);
  fault.sticky = aSticky;
  return fault;
}
sim::Fault DeviceError(int32_t aCode, std::string aMatch, bool aSticky = false) {
  sim::Fault fault = MakeFault(sim::FaultKind::kDeviceError, std::move(aMatch), aSticky);
  fault.device_error = aCode;
  return fault;
}
sim::Fault HttpStatus(int aStatus, std::string aMatch, bool aSticky = false) {
  sim::Fault fault = MakeFault(sim::FaultKind::kHttpStatus, std::move(aMatch), aSticky);
  fault.http_status = aStatus;
  return fault;
}

template <typename TLine>
TLine& AddLine(kReceipt& aReceipt) {
  return aReceipt.fLines.Add(std::make_unique<TLine>(&aReceipt));
}

// The receipt primitives of a device object talking to the simulator (day 13 open).
class IBoxReceiptTest : public ::testing::Test {
 public:  // the case tables below drive the fixture
  IBoxReceiptTest() : fSim(Options()) {}

  static sim::SimulatorOptions Options() {
    sim::SimulatorOptions options;
    options.device.z_number = 12;
    return options;
  }

  void SetUp() override {
    fSim.SetClock({2023, 6, 5, 9, 5, 0}, true);
    fSim.Start();
    const std::string logId = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fDevice = testing::MakeDevice(fSim.BaseUrl(), logId);
    std::filesystem::remove(ConfigPath());
    fDevice->LoadConfig();
    fSim.ClearRequests();
  }
  void TearDown() override { std::filesystem::remove(ConfigPath()); }

  static std::string ConfigPath() { return JoinPath(ExeDirectory(), "NVRP_RORERER_10.ini"); }

  // Requests since the last call.
  Targets TakeTargets() {
    Targets targets;
    for (const auto& request : fSim.Requests()) targets.push_back(request.target);
    fSim.ClearRequests();
    return targets;
  }
  kIOHandler& Handler() const { return fDevice->IOHandler(); }

  bool Begin(tkReceiptType aType = tkReceiptType::rt_Sale) {
    fReceipt = std::make_unique<kReceipt>();
    fReceipt->fReceiptType = aType;
    return fDevice->BeginFiscalReceipt(*fReceipt);
  }
  bool Sell(const std::string& aDescription, const std::string& aDepartment, Currency aQuantity,
            Currency aPrice) {
    auto& line = AddLine<kReceiptLineProductSale>(*fReceipt);
    line.fDescription = aDescription;
    line.fDepartment = aDepartment;
    line.fTaxCode = "A";
    line.fQuantity = aQuantity;
    line.fPrice = aPrice;
    line.fAmount = aQuantity * aPrice;
    return fDevice->PrintProductSale(*fReceipt, line);
  }
  bool PayWith(PT aType, Currency aAmount) {
    fReceipt->fPayments.push_back({fReceipt.get(), aType, "", aAmount, "", {}, {}});
    return fDevice->PrintPayment(*fReceipt, fReceipt->fPayments.back());
  }
  bool TrailerText(const std::string& aText, LA aAlignment = LA::la_left, int32_t aSize = 1) {
    auto& line =
        fReceipt->fTrailerMessages.Add(std::make_unique<kReceiptMessageTextLine>(fReceipt.get()));
    line.fValue = aText;
    line.fAlignment = aAlignment;
    line.fSize = aSize;
    return fDevice->PrintTrailerTextLine(*fReceipt, line);
  }
  bool TrailerBarcode(const std::string& aValue, tkReceiptMessageBarcodeType aType) {
    auto& line = fReceipt->fTrailerMessages.Add(
        std::make_unique<kReceiptMessageBarcodeLine>(fReceipt.get()));
    line.fValue = aValue;
    line.fBarcodeType = aType;
    return fDevice->PrintTrailerBarcodeLine(*fReceipt, line);
  }
  void WriteConfig(const char* aContent) {
    if (aContent == nullptr) {
      std::filesystem::remove(ConfigPath());
    } else {
      std::ofstream(ConfigPath(), std::ios::binary) << aContent;
    }
    fDevice->LoadConfig();
  }
  // Text of the last document the simulator printed.
  std::string LastPrinted(sim::PrintedKind aKind) const {
    const auto printed = fSim.Printed();
    for (auto it = printed.rbegin(); it != printed.rend(); ++it) {
      if (it->kind == aKind) return it->text;
    }
    return "<none>";
  }
  bool ReceiptOpen() const { return fSim.Device().open_document == sim::DocumentKind::kFiscal; }

  sim::IboxSimulator fSim;
  std::unique_ptr<kFiscalPrinter_RORERER> fDevice;
  std::unique_ptr<kReceipt> fReceipt = std::make_unique<kReceipt>();
};

TEST_F(IBoxReceiptTest, TypicalReceiptGoesOutInOrderAndIsReadBack) {
  EXPECT_TRUE(fDevice->CheckDeviceReady());  // nothing to recover: Begin voids what is open
  ASSERT_TRUE(Begin());
  EXPECT_EQ(TakeTargets(), kBeginTargets);
  EXPECT_EQ(fDevice->PrintSequence(),
            (tkFiscalPrinterPrintSequence{tkFiscalPrinterPrintSection::fpps_TrailerMessages,
                                          tkFiscalPrinterPrintSection::fpps_Lines,
                                          tkFiscalPrinterPrintSection::fpps_Payments}));

  ASSERT_TRUE(TrailerText("Thank you", LA::la_center));
  EXPECT_TRUE(TakeTargets().empty());  // recorded, not sent
  ASSERT_TRUE(Sell("Apple", "01", Money(200), Money(150)));
  ASSERT_TRUE(Sell("Pear", "2", Money(100), Money(75)));
  ASSERT_TRUE(PayWith(PT::rpt_Cash, Money(500)));
  ASSERT_TRUE(fDevice->RefreshLastReceiptInfo(*fReceipt));
  EXPECT_EQ(TakeTargets(),
            (Targets{Trailer({"%3E+Thank%20you", "", "", "", "", ""}),
                     Plu("Sale", "1", "2,000", "1,50", 2), Status(3), Comment("Apple", "Line", 4),
                     Status(5), Plu("Sale", "2", "1,000", "0,75", 6), Status(7),
                     Comment("Pear", "Line", 8), Status(9), Pay("5,00", "1", 10), Status(11),
                     Status(12)}));
  EXPECT_FALSE(Handler().ErrorFound());

  DateTime dateTime = 0;
  std::string number, ejNumber, ejClosingNumber, serial = "x";
  ASSERT_TRUE(fDevice->GetLastReceiptInfo(dateTime, number, ejNumber, ejClosingNumber, serial));
  EXPECT_TRUE(TakeTargets().empty());
  EXPECT_DOUBLE_EQ(dateTime, EncodeDateTime({2023, 6, 5, 9, 5, 0, 0}));
  EXPECT_EQ(number, "1");
  EXPECT_EQ(ejNumber, "0");
  EXPECT_EQ(ejClosingNumber, "13");
  EXPECT_EQ(serial, "");  // filled by the status operation only

  kReceiptReference reference;
  reference.fReceiptNumber = number;
  reference.fEJClosingNumber = ejClosingNumber;
  std::string text;
  ASSERT_TRUE(fDevice->GetReceiptText(reference, text));
  EXPECT_EQ(TakeTargets(), Targets{"/*/Z0013/F0001_A."});
  EXPECT_EQ(text, fSim.JournalFile("Z0013/F0001_A.").value_or("<missing>"));
  for (const char* printed : {"Apple", "Pear", "Thank you", "CHANGE"}) {
    EXPECT_NE(text.find(printed), std::string::npos) << printed;
  }
}

TEST_F(IBoxReceiptTest, AmpersandIsPrintedAsItself) {
  ASSERT_TRUE(Begin());
  ASSERT_TRUE(TrailerText("Salt & Pepper"));
  TakeTargets();
  ASSERT_TRUE(Sell("A&B", "1", Money(100), Money(100)));
  EXPECT_EQ(TakeTargets()[0], Trailer({"Salt%20%26%20Pepper", "", "", "", "", ""}));
  ASSERT_TRUE(PayWith(PT::rpt_Cash, Money(100)));
  const std::string text = LastPrinted(sim::PrintedKind::kReceipt);
  EXPECT_NE(text.find("A&B"), std::string::npos) << text;
  EXPECT_NE(text.find("Salt & Pepper"), std::string::npos) << text;
  EXPECT_EQ(text.find("A8B"), std::string::npos) << text;
}

TEST_F(IBoxReceiptTest, EveryLineKindGoesOutAsItsOrder) {
  using Print = std::function<bool(kFiscalPrinter_RORERER&, kReceipt&)>;
  struct Case {
    const char* name;
    Print print;
    Targets expected;  // after a sale of 10.00 in an open receipt (next SeqNo 6)
    const char* label;
  };
  const auto productSale = [](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
    auto& line = AddLine<kReceiptLineProductSale>(aReceipt);
    line.fDescription = "Bread";
    line.fDepartment = "03";
    line.fQuantity = Money(200);
    line.fPrice = Money(150);
    line.fAmount = Money(300);
    return aDevice.PrintProductSale(aReceipt, line);
  };
  const auto productReturn = [](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
    auto& line = AddLine<kReceiptLineProductReturn>(aReceipt);
    line.fDescription = "Bottle";
    line.fDepartment = "1";
    line.fQuantity = Money(100);
    line.fPrice = Money(20);
    line.fAmount = Money(20);
    return aDevice.PrintProductReturn(aReceipt, line);
  };
  const auto voucher = [](bool aRedeem) {
    return [aRedeem](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
      auto& line = aRedeem ? AddLine<kReceiptLineVoucherRedeem>(aReceipt)
                           : AddLine<kReceiptLineVoucherSale>(aReceipt);
      line.fDescription = "Voucher";
      line.fDepartment = "2";
      line.fPrice = Money(500);
      return aRedeem ? aDevice.PrintVoucherRedeem(aReceipt,
                                                  static_cast<kReceiptLineVoucherRedeem&>(line))
                     : aDevice.PrintVoucherSale(aReceipt, line);
    };
  };
  const auto giftCard = [](bool aRedeem) {
    return [aRedeem](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
      auto& line = aRedeem ? AddLine<kReceiptLineGiftCardRedeem>(aReceipt)
                           : AddLine<kReceiptLineGiftCardSale>(aReceipt);
      line.fDescription = "Card";
      line.fDepartment = "4";
      line.fPrice = Money(500);
      return aRedeem ? aDevice.PrintGiftCardRedeem(aReceipt,
                                                   static_cast<kReceiptLineGiftCardRedeem&>(line))
                     : aDevice.PrintGiftCardSale(aReceipt, line);
    };
  };
  const auto collect = [](int64_t aHundredths) {
    return [aHundredths](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
      auto& line = AddLine<kReceiptLineCollectAmount>(aReceipt);
      line.fDescription = "Deposit";
      line.fDepartment = "5";
      line.fAmount = Money(aHundredths);
      return aDevice.PrintCollectAmount(aReceipt, line);
    };
  };
  const auto textLine = [](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
    auto& line = AddLine<kReceiptLineText>(aReceipt);
    line.fDescription = "Note";
    return aDevice.PrintTextLine(aReceipt, line);
  };
  const auto subtotal = [](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
    return aDevice.PrintSubtotal(aReceipt, AddLine<kReceiptLineSubtotal>(aReceipt));
  };
  // Discounts and markups: the amount is sent, never the percentage or the description.
  const auto modifier = [](auto aTag, auto aCall, int64_t aHundredths) {
    return [=](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
      auto& line = AddLine<typename decltype(aTag)::type>(aReceipt);
      line.fDescription = "ignored";
      line.fAmount = Money(aHundredths);
      if constexpr (requires { line.fPercentage; }) line.fPercentage = Money(1000);
      return (aDevice.*aCall)(aReceipt, line);
    };
  };
  using K = kFiscalPrinter_RORERER;
  const auto payment = [](kFiscalPrinter_RORERER& aDevice, kReceipt& aReceipt) {
    aReceipt.fPayments.push_back({&aReceipt, PT::rpt_Cash, "Cash", Money(1000), "", {}, {}});
    return aDevice.PrintPayment(aReceipt, aReceipt.fPayments.back());
  };
  const Case cases[] = {
      {"product sale",
       productSale,
       {Plu("Sale", "3", "2,000", "1,50", 6), Status(7), Comment("Bread", "Line", 8), Status(9)},
       "ProductSale"},
      {"product return",
       productReturn,
       {Plu("Refund", "1", "1,000", "0,20", 6), Status(7), Comment("Bottle", "Line", 8), Status(9)},
       "ProductReturn"},
      {"voucher sale",
       voucher(false),
       {Plu("Sale", "2", "1,000", "5,00", 6), Status(7), Comment("Voucher", "Line", 8), Status(9)},
       "VoucherSale"},
      {"voucher redeem",
       voucher(true),
       {Plu("Refund", "2", "1,000", "5,00", 6), Status(7), Comment("Voucher", "Line", 8),
        Status(9)},
       "VoucherRedeem"},
      {"gift card sale",
       giftCard(false),
       {Plu("Sale", "4", "1,000", "5,00", 6), Status(7), Comment("Card", "Line", 8), Status(9)},
       "GiftCardSale"},
      {"gift card redeem",
       giftCard(true),
       {Plu("Refund", "4", "1,000", "5,00", 6), Status(7), Comment("Card", "Line", 8), Status(9)},
       "GiftCardRedeem"},
      {"collect amount redeemed",
       collect(-500),
       {Plu("Refund", "5", "1,000", "5,00", 6), Status(7), Comment("Deposit", "Line", 8),
        Status(9)},
       "CollectAmount[Redeem]"},
      {"collect amount zero",
       collect(0),
       {Plu("Sale", "5", "1,000", "0,00", 6), Status(7), Comment("Deposit", "Line", 8), Status(9)},
       "CollectAmount"},
      {"text line", textLine, {Status(6), Comment("Note", "Line", 7), Status(8)}, ""},
      {"subtotal", subtotal, {kSubTotal, Status(6)}, "SubTotal"},
      {"discount amount",
       modifier(std::type_identity<kReceiptLineDiscountAmount>{}, &K::PrintDiscountAmount, 100),
       {Discount("1,00", 6), Status(7)},
       "DiscountAmount"},
      {"discount percentage",
       modifier(std::type_identity<kReceiptLineDiscountPercentage>{}, &K::PrintDiscountPercentage,
                250),
       {Discount("2,50", 6), Status(7)},
       "DiscountPercentage"},
      {"discount amount on subtotal",
       modifier(std::type_identity<kReceiptLineDiscountAmountOnSubTotal>{},
                &K::PrintDiscountAmountOnSubtotal, 100),
       {Discount("1,00", 6), Status(7)},
       "DiscountAmountOnSubtotal"},
      {"discount percentage on subtotal",
       modifier(std::type_identity<kReceiptLineDiscountPercentageOnSubTotal>{},
                &K::PrintDiscountPercentageOnSubtotal, 50),
       {Discount("0,50", 6), Status(7)},
       "DiscountPercentageOnSubtotal"},
      {"markup amount",
       modifier(std::type_identity<kReceiptLineMarkupAmount>{}, &K::PrintMarkupAmount, 100),
       {Markup("1,00", 6), Status(7)},
       "MarkupAmount"},
      {"markup percentage",
       modifier(std::type_identity<kReceiptLineMarkupPercentage>{}, &K::PrintMarkupPercentage, 250),
       {Markup("2,50", 6), Status(7)},
       "MarkupPercentage"},
      {"markup amount on subtotal",
       modifier(std::type_identity<kReceiptLineMarkupAmountOnSubTotal>{},
                &K::PrintMarkupAmountOnSubtotal, 100),
       {Markup("1,00", 6), Status(7)},
       "MarkupAmountOnSubtotal"},
      {"markup percentage on subtotal",
       modifier(std::type_identity<kReceiptLineMarkupPercentageOnSubTotal>{},
                &K::PrintMarkupPercentageOnSubtotal, 50),
       {Markup("0,50", 6), Status(7)},
       "MarkupPercentageOnSubtotal"},
      {"payment", payment, {Pay("10,00", "1", 6), Status(7)}, "Total"},
  };
  std::vector<std::string> expectedLabels;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Begin());  // voids the receipt the previous case left open
    ASSERT_TRUE(Sell("Base", "1", Money(100), Money(1000)));
    TakeTargets();
    EXPECT_TRUE(c.print(*fDevice, *fReceipt));
    EXPECT_FALSE(Handler().ErrorFound()) << Handler().ErrorMessage();
    EXPECT_EQ(TakeTargets(), c.expected);
    expectedLabels.push_back("*ProductSale*");
    if (*c.label != '\0') expectedLabels.push_back(std::string("*") + c.label + "*");
  }

  // The log names every order by its label (status, void, clearing and comments left out).
  const std::string logFile = Handler().GetLogFileName();
  fDevice.reset();
  std::vector<std::string> labels;
  for (const std::string& message : testing::ReadLogMessages(logFile)) {
    const bool label =
        message.size() > 2 && message.front() == '*' && message[1] != '*' && message.back() == '*';
    if (!label) continue;
    if (message == "*int_GetStatus*" || message == "*ClearTrailerMessages*" ||
        message == "*Reset: Void Receipt*" || message == "*ClearErrors*" ||
        message == "*PrintDescription*") {
      continue;
    }
    labels.push_back(message);
  }
  EXPECT_EQ(labels, expectedLabels);
}

TEST_F(IBoxReceiptTest, TextLineStartsAReceiptOrJoinsTheOpenOne) {
  struct Case {
    const char* name;
    std::function<void(IBoxReceiptTest&)> before;  // after Begin
    int lines;
    Targets expected;
    int32_t errorCode;  // 0: success
  };
  const Case cases[] = {
      {"nothing open: Start, then Line while the receipt is open",
       [](IBoxReceiptTest&) {},
       2,
       {Status(2), Comment("Hello", "Start", 3), Status(4), Status(5), Comment("Hello", "Line", 6),
        Status(7)},
       0},
      {"fiscal receipt open",
       [](IBoxReceiptTest& aTest) { ASSERT_TRUE(aTest.Sell("Tea", "1", Money(100), Money(100))); },
       1,
       {Status(6), Comment("Hello", "Line", 7), Status(8)},
       0},
      // Another document open: the device refuses the Start comment.
      {"non-fiscal document open",
       [](IBoxReceiptTest& aTest) {
         const tkIBoxArgument line[] = {{ibox_params::kDescr, "NF"}};
         ASSERT_TRUE(aTest.fDevice->SendCommand(tkIBoxCommandId::ibc_PrintNoFiscalTextLine, line));
       },
       1,
       {Status(4), Comment("Hello", "Start", 5), Status(6)},
       1003},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Handler().ResetCustomError();
    ASSERT_TRUE(Begin());
    c.before(*this);
    TakeTargets();
    bool ok = true;
    for (int i = 0; i < c.lines; ++i) {
      auto& line = AddLine<kReceiptLineText>(*fReceipt);
      line.fDescription = "Hello";
      ok = fDevice->PrintTextLine(*fReceipt, line) && ok;
    }
    EXPECT_EQ(TakeTargets(), c.expected);
    EXPECT_EQ(ok, c.errorCode == 0);
    EXPECT_EQ(Handler().ErrorCode(), c.errorCode);
  }
}

TEST_F(IBoxReceiptTest, TrailerLinesAreWrittenBeforeTheFirstItemSixAtMost) {
  using BT = tkReceiptMessageBarcodeType;
  struct Case {
    const char* name;
    std::function<void(IBoxReceiptTest&)> record;
    std::optional<std::array<std::string, 6>> written;  // none: no title write at all
    std::vector<std::string> printed;
    std::vector<std::string> notPrinted;
  };
  const Case cases[] = {
      {"none", [](IBoxReceiptTest&) {}, std::nullopt, {}, {}},
      {"six of every kind",
       [](IBoxReceiptTest& aTest) {
         aTest.TrailerText("One");
         aTest.TrailerText("Two", LA::la_right);
         aTest.TrailerText("Three", LA::la_center, 2);
         aTest.TrailerText("Four & more");
         aTest.TrailerBarcode("https://e.gr/q?a=1&b=2", BT::bt_QRCODE);
         aTest.TrailerBarcode("5201234567890", BT::bt_EAN13);
       },
       std::array<std::string, 6>{"One", "%3E%3ETwo", "%7C%7B%3E+Three", "Four%20%26%20more",
                                  "%60[Qhttps%3A%2F%2Fe.gr%2Fq%3Fa%3D1%26b%3D2]",
                                  "%60[15201234567890]"},
       {"One", "Two", "T h r e e", "Four & more", "[QR https://e.gr/q?a=1&b=2]",
        "[BARCODE 5201234567890]"},
       {}},
      {"eight: the seventh and eighth are dropped",
       [](IBoxReceiptTest& aTest) {
         for (int i = 1; i <= 8; ++i) aTest.TrailerText("Line" + std::to_string(i));
       },
       std::array<std::string, 6>{"Line1", "Line2", "Line3", "Line4", "Line5", "Line6"},
       {"Line1", "Line6"},
       {"Line7", "Line8"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Begin());
    TakeTargets();
    c.record(*this);
    EXPECT_EQ(fDevice->FooterLineNumber(), c.written ? 6 : 0);
    EXPECT_TRUE(TakeTargets().empty());
    ASSERT_TRUE(Sell("Item", "1", Money(100), Money(100)));
    ASSERT_TRUE(Sell("Other", "1", Money(100), Money(100)));  // written once only
    Targets expected = {
        Plu("Sale", "1", "1,000", "1,00", 2), Status(3), Comment("Item", "Line", 4),  Status(5),
        Plu("Sale", "1", "1,000", "1,00", 6), Status(7), Comment("Other", "Line", 8), Status(9)};
    if (c.written) expected.insert(expected.begin(), Trailer(*c.written));
    EXPECT_EQ(TakeTargets(), expected);
    EXPECT_FALSE(fDevice->HasTrailerMessages());
    ASSERT_TRUE(PayWith(PT::rpt_Cash, Money(200)));
    const std::string text = LastPrinted(sim::PrintedKind::kReceipt);
    for (const std::string& line : c.printed) EXPECT_NE(text.find(line), std::string::npos) << line;
    for (const std::string& line : c.notPrinted) EXPECT_EQ(text.find(line), std::string::npos);
  }
}

TEST_F(IBoxReceiptTest, RefusedTrailerWriteDropsTheLinesButNotTheItem) {
  ASSERT_TRUE(Begin());
  ASSERT_TRUE(TrailerText("Bye"));
  fSim.AddFault(DeviceError(1111, "Line_1=Bye"));
  EXPECT_TRUE(Sell("Item", "1", Money(100), Money(100)));
  EXPECT_FALSE(fDevice->HasTrailerMessages());
  EXPECT_TRUE(PayWith(PT::rpt_Cash, Money(100)));
  EXPECT_EQ(LastPrinted(sim::PrintedKind::kReceipt).find("Bye"), std::string::npos);
}

TEST_F(IBoxReceiptTest, PaymentsGoOutWithTheirConfiguredCodes) {
  struct Case {
    const char* name;
    const char* config;  // null: no configuration file
    PT type;
    int64_t amount;
    Targets expected;  // after a sale of 10.00 (next SeqNo 6)
    bool closes;
  };
  const Case cases[] = {
      {"change is never sent", nullptr, PT::Rpt_Change, 100, {}, false},
      {"cash without a file", nullptr, PT::rpt_Cash, 1000, {Pay("10,00", "1", 6), Status(7)}, true},
      {"card without a file",
       nullptr,
       PT::rpt_CreditCard,
       400,
       {Pay("4,00", "1", 6), Status(7)},
       false},
      {"card with its code",
       "CreditCard=3\r\n",
       PT::rpt_CreditCard,
       400,
       {Pay("4,00", "3", 6), Status(7)},
       false},
      {"voucher with its code",
       "cash=2\r\nvoucher=6\r\n",
       PT::Rpt_Voucher,
       250,
       {Pay("2,50", "6", 6), Status(7)},
       false},
      {"type without a line",
       "creditcard=3\r\n",
       PT::Rpt_MealVoucher,
       100,
       {Pay("1,00", "1", 6), Status(7)},
       false},
      {"more than due: the device gives change",
       nullptr,
       PT::rpt_Cash,
       2000,
       {Pay("20,00", "1", 6), Status(7)},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteConfig(c.config);
    ASSERT_TRUE(Begin());
    ASSERT_TRUE(Sell("Item", "1", Money(100), Money(1000)));
    TakeTargets();
    EXPECT_TRUE(PayWith(c.type, Money(c.amount)));
    EXPECT_FALSE(Handler().ErrorFound()) << Handler().ErrorMessage();
    EXPECT_EQ(TakeTargets(), c.expected);
    EXPECT_EQ(ReceiptOpen(), !c.closes);
  }
  EXPECT_NE(LastPrinted(sim::PrintedKind::kReceipt).find("CHANGE"), std::string::npos);
}

TEST_F(IBoxReceiptTest, OnlySaleReceiptsBeginAndNothingIsSentForOthers) {
  for (const tkReceiptType type :
       {tkReceiptType::rt_Refund, tkReceiptType::rt_Void, tkReceiptType::rt_InvoiceSale,
        tkReceiptType::rt_InvoiceSaleFromReceipt}) {
    try {
      Begin(type);
      ADD_FAILURE() << "began a receipt of type " << static_cast<int>(type);
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(), "Receipt Type must be SALE. Other types are unsupported");
    }
  }
  EXPECT_TRUE(TakeTargets().empty());
}

TEST_F(IBoxReceiptTest, DepartmentThatIsNotANumberSendsNothing) {
  ASSERT_TRUE(Begin());
  ASSERT_TRUE(TrailerText("Kept"));
  TakeTargets();
  try {
    Sell("Item", "A1", Money(100), Money(100));
    ADD_FAILURE() << "sold through department A1";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "'A1' is not a valid integer value");
  }
  EXPECT_TRUE(TakeTargets().empty());
  EXPECT_TRUE(fDevice->HasTrailerMessages());
}

TEST_F(IBoxReceiptTest, VoidReceiptVoidsWhateverIsOpenAndRestartsTheSequence) {
  struct Case {
    const char* name;
    std::function<void(IBoxReceiptTest&)> open;  // after Begin; next SeqNo noted below
    Targets expected;
  };
  const Case cases[] = {
      {"nothing open", [](IBoxReceiptTest&) {}, {Status(2)}},
      {"fiscal receipt",
       [](IBoxReceiptTest& aTest) { ASSERT_TRUE(aTest.Sell("Tea", "1", Money(100), Money(100))); },
       {Status(6), kVoid, Status(7)}},
      {"non-fiscal document",
       [](IBoxReceiptTest& aTest) {
         const tkIBoxArgument line[] = {{ibox_params::kDescr, "NF"}};
         ASSERT_TRUE(aTest.fDevice->SendCommand(tkIBoxCommandId::ibc_PrintNoFiscalTextLine, line));
       },
       {Status(4), kVoid, Status(5)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(Begin());
    c.open(*this);
    TakeTargets();
    EXPECT_TRUE(fDevice->VoidReceipt());
    EXPECT_EQ(TakeTargets(), c.expected);
    EXPECT_EQ(fDevice->SeqNo(), 0);
    EXPECT_EQ(fSim.Device().open_document, sim::DocumentKind::kNone);
  }
  EXPECT_NE(LastPrinted(sim::PrintedKind::kVoidedReceipt).find("Tea"), std::string::npos);
}

// A receipt that fails at some step (device or transport error), then a new receipt: the new
// one begins by voiding what the failed one left open and prints only its own lines.
TEST_F(IBoxReceiptTest, FailedStepStopsTheReceiptAndTheNextOneStartsClean) {
  enum class Step { kBegin, kFirstItem, kSecondItem, kPayment, kNone };
  struct Case {
    const char* name;
    sim::Fault fault;
    Step failsAt;
    int32_t errorCode;  // -1: a transport error without an HTTP status
    bool leftOpen;      // the failed receipt stays open on the device
  };
  const Case cases[] = {
      {"item refused", DeviceError(1101, "PLU"), Step::kFirstItem, 1101, false},
      {"description refused", DeviceError(1062, "COMMENT"), Step::kFirstItem, 1062, true},
      {"payment refused", DeviceError(1141, "PAY"), Step::kPayment, 1141, true},
      {"device reports an error on every status", DeviceError(101, "Status", true), Step::kBegin,
       101, false},
      {"item answered 503", HttpStatus(503, "PLU"), Step::kFirstItem, 503, false},
      {"second description dropped", MakeFault(sim::FaultKind::kDropConnection, "Descr=Pear"),
       Step::kSecondItem, -1, true},
      {"payment dropped", MakeFault(sim::FaultKind::kDropConnection, "PAY"), Step::kPayment, -1,
       true},
      {"device unreachable", HttpStatus(503, "", true), Step::kBegin, 503, false},
      // The trailer clear's result is not used: the receipt goes on.
      {"trailer clear answered 503", HttpStatus(503, "Titles"), Step::kNone, 0, false},
      {"trailer clear refused", DeviceError(1111, "Titles"), Step::kNone, 0, false},
  };
  const std::function<bool(IBoxReceiptTest&)> steps[] = {
      [](IBoxReceiptTest& aTest) { return aTest.Begin() && aTest.TrailerText("Thanks"); },
      [](IBoxReceiptTest& aTest) { return aTest.Sell("Apple", "1", Money(100), Money(200)); },
      [](IBoxReceiptTest& aTest) { return aTest.Sell("Pear", "2", Money(100), Money(100)); },
      [](IBoxReceiptTest& aTest) { return aTest.PayWith(PT::rpt_Cash, Money(300)); },
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t printedBefore = fSim.Printed().size();
    Handler().ResetCustomError();
    fSim.AddFault(c.fault);
    Step failed = Step::kNone;
    for (size_t i = 0; i < std::size(steps) && failed == Step::kNone; ++i) {
      if (!steps[i](*this)) failed = static_cast<Step>(i);
    }
    EXPECT_EQ(failed, c.failsAt);
    if (c.failsAt != Step::kNone) {
      ASSERT_TRUE(Handler().ErrorFound());
      if (c.errorCode >= 0) {
        EXPECT_EQ(Handler().ErrorCode(), c.errorCode);
      }
      EXPECT_FALSE(Handler().ErrorMessage().empty());
    }
    EXPECT_EQ(ReceiptOpen(), c.leftOpen);
    fSim.ClearFaults();

    ASSERT_TRUE(Begin());
    ASSERT_TRUE(Sell("Fresh", "5", Money(100), Money(300)));
    ASSERT_TRUE(PayWith(PT::rpt_Cash, Money(300)));
    EXPECT_FALSE(ReceiptOpen());
    const auto printed = fSim.Printed();
    ASSERT_FALSE(printed.empty());
    EXPECT_EQ(printed.back().kind, sim::PrintedKind::kReceipt);
    EXPECT_EQ(printed.back().total, 300);
    EXPECT_EQ(printed.back().text.find("Apple"), std::string::npos);
    const bool voided = printed.size() >= printedBefore + 2 &&
                        printed[printed.size() - 2].kind == sim::PrintedKind::kVoidedReceipt;
    EXPECT_EQ(voided, c.leftOpen);
  }
}

TEST_F(IBoxReceiptTest, FailedVoidKeepsItsErrorAndStillClearsTheTrailer) {
  ASSERT_TRUE(Begin());
  ASSERT_TRUE(Sell("Tea", "1", Money(100), Money(100)));
  TakeTargets();
  fSim.AddFault(HttpStatus(503, "Void_Rcpt"));
  EXPECT_FALSE(Begin());
  EXPECT_EQ(TakeTargets(), (Targets{Status(6), kVoid, kClearErrors, kClearTrailer, Status(1)}));
  EXPECT_EQ(Handler().ErrorCode(), 503);
  EXPECT_EQ(Handler().ErrorMessage(), Handler().DecodeError(503));
  EXPECT_EQ(fDevice->FooterLineNumber(), 0);
}

TEST_F(IBoxReceiptTest, LastReceiptInfoAndTextFailures) {
  ASSERT_TRUE(Begin());
  ASSERT_TRUE(Sell("Tea", "1", Money(100), Money(100)));
  ASSERT_TRUE(PayWith(PT::rpt_Cash, Money(100)));
  ASSERT_TRUE(fDevice->RefreshLastReceiptInfo(*fReceipt));

  // A failed status leaves the last receipt as it was.
  fSim.AddFault(DeviceError(101, "Status"));
  EXPECT_FALSE(fDevice->RefreshLastReceiptInfo(*fReceipt));
  EXPECT_EQ(Handler().ErrorCode(), 101);
  fSim.AddFault(MakeFault(sim::FaultKind::kDropConnection, "Status"));
  EXPECT_FALSE(fDevice->RefreshLastReceiptInfo(*fReceipt));
  DateTime dateTime = 0;
  std::string number, ejNumber, ejClosingNumber, serial;
  fDevice->GetLastReceiptInfo(dateTime, number, ejNumber, ejClosingNumber, serial);
  EXPECT_EQ(number, "1");
  EXPECT_EQ(ejClosingNumber, "13");

  struct Case {
    const char* name;
    const char* closing;
    const char* receipt;
    std::optional<sim::Fault> fault;
    int32_t errorCode;
    const char* target;
  };
  const Case cases[] = {
      {"file that does not exist", "13", "2", std::nullopt, 404, "/*/Z0013/F0002_A."},
      {"journal answered 503", "13", "1", HttpStatus(503, "Journal"), 503, "/*/Z0013/F0001_A."},
      {"long numbers keep their last four digits", "10013", "20001", std::nullopt, 0,
       "/*/Z0013/F0001_A."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Handler().ResetCustomError();
    if (c.fault) fSim.AddFault(*c.fault);
    kReceiptReference reference;
    reference.fEJClosingNumber = c.closing;
    reference.fReceiptNumber = c.receipt;
    std::string text = "stale";
    TakeTargets();
    EXPECT_EQ(fDevice->GetReceiptText(reference, text), c.errorCode == 0);
    EXPECT_EQ(Handler().ErrorCode(), c.errorCode);
    EXPECT_EQ(TakeTargets().front(), c.target);
    EXPECT_EQ(text.empty(), c.errorCode != 0);
  }

  kReceiptReference bad;
  bad.fEJClosingNumber = "13";
  bad.fReceiptNumber = "x";
  std::string text;
  EXPECT_THROW(fDevice->GetReceiptText(bad, text), Exception);
  EXPECT_TRUE(TakeTargets().empty());
}

}  // namespace
}  // namespace nvrp
