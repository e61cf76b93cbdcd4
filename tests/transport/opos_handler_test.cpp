#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "transport/io_handler_opos.hpp"
#include "transport_log.hpp"

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::LogEntries;

// An OPOS control that records every call and answers the result codes the test scripted
// (success for the rest).
class ScriptedControl : public kOposFiscalPrinter {
 public:
  struct Script {
    std::map<std::string, int32_t> results;
    int32_t extended = 0;
    std::string description = "scripted failure";
    std::vector<std::string> calls;
    bool enabled = false;
    bool enableSticks = true;  // SetDeviceEnabled takes effect
    bool throwOnOpen = false;
    std::string trailer;
    std::string date = "250320241530";
  };

  explicit ScriptedControl(Script& aScript) : s(aScript) {}

  int32_t Open(const std::string& aName) override {
    if (s.throwOnOpen) throw std::runtime_error("Class not registered");
    return Record("Open(" + aName + ")", "Open");
  }
  int32_t Close() override { return Record("Close", "Close"); }
  int32_t ClaimDevice(int32_t aTimeout) override {
    return Record("ClaimDevice(" + std::to_string(aTimeout) + ")", "ClaimDevice");
  }
  int32_t ReleaseDevice() override { return Record("ReleaseDevice", "ReleaseDevice"); }
  bool DeviceEnabled() override { return s.enabled; }
  void SetDeviceEnabled(bool aEnabled) override {
    s.calls.push_back(std::string("DeviceEnabled=") + (aEnabled ? "true" : "false"));
    if (s.enableSticks) s.enabled = aEnabled;
  }
  int32_t ResultCodeExtended() override { return s.extended; }
  std::string ErrorString() override { return s.description; }

  int32_t BeginFiscalReceipt(bool aHeader) override {
    return Record(std::string("BeginFiscalReceipt(") + (aHeader ? "true" : "false") + ")",
                  "BeginFiscalReceipt");
  }
  int32_t EndFiscalReceipt(bool aHeader) override {
    return Record(std::string("EndFiscalReceipt(") + (aHeader ? "true" : "false") + ")",
                  "EndFiscalReceipt");
  }
  int32_t PrintRecItem(const std::string& aDescription, Currency aPrice, int32_t aQuantity,
                       int32_t aVat, Currency aUnitPrice, const std::string& aUnit) override {
    return Record("PrintRecItem(" + aDescription + "," + CurrencyToText(aPrice) + "," +
                      std::to_string(aQuantity) + "," + std::to_string(aVat) + "," +
                      CurrencyToText(aUnitPrice) + "," + aUnit + ")",
                  "PrintRecItem");
  }
  int32_t PrintRecItemVoid(const std::string& aDescription, Currency, int32_t aQuantity, int32_t,
                           Currency, const std::string&) override {
    return Record("PrintRecItemVoid(" + aDescription + "," + std::to_string(aQuantity) + ")",
                  "PrintRecItemVoid");
  }
  int32_t PrintRecRefund(const std::string& aDescription, Currency aAmount, int32_t aVat) override {
    return Record("PrintRecRefund(" + aDescription + "," + CurrencyToText(aAmount) + "," +
                      std::to_string(aVat) + ")",
                  "PrintRecRefund");
  }
  int32_t PrintRecSubtotal(Currency a) override {
    return Record("PrintRecSubtotal(" + CurrencyToText(a) + ")", "PrintRecSubtotal");
  }
  int32_t PrintRecMessage(const std::string& a) override {
    return Record("PrintRecMessage(" + a + ")", "PrintRecMessage");
  }
  int32_t PrintRecItemAdjustment(int32_t, const std::string&, Currency, int32_t) override {
    return Record("PrintRecItemAdjustment", "PrintRecItemAdjustment");
  }
  int32_t PrintRecSubtotalAdjustment(int32_t, const std::string&, Currency) override {
    return Record("PrintRecSubtotalAdjustment", "PrintRecSubtotalAdjustment");
  }
  int32_t PrintRecTotal(Currency aTotal, Currency aPayment, const std::string& aDesc) override {
    return Record("PrintRecTotal(" + CurrencyToText(aTotal) + "," + CurrencyToText(aPayment) + "," +
                      aDesc + ")",
                  "PrintRecTotal");
  }
  int32_t PrintRecNotPaid(const std::string&, Currency) override {
    return Record("PrintRecNotPaid", "PrintRecNotPaid");
  }
  int32_t PrintRecTaxID(const std::string& a) override {
    return Record("PrintRecTaxID(" + a + ")", "PrintRecTaxID");
  }
  int32_t ResetPrinter() override { return Record("ResetPrinter", "ResetPrinter"); }
  int32_t BeginNonFiscal() override { return Record("BeginNonFiscal", "BeginNonFiscal"); }
  int32_t EndNonFiscal() override { return Record("EndNonFiscal", "EndNonFiscal"); }
  int32_t PrintNormal(int32_t aStation, const std::string& a) override {
    return Record("PrintNormal(" + std::to_string(aStation) + "," + a + ")", "PrintNormal");
  }
  int32_t BeginTraining() override { return Record("BeginTraining", "BeginTraining"); }
  int32_t EndTraining() override { return Record("EndTraining", "EndTraining"); }
  int32_t PrintXReport() override { return Record("PrintXReport", "PrintXReport"); }
  int32_t PrintZReport() override { return Record("PrintZReport", "PrintZReport"); }
  int32_t SetDate(const std::string& a) override { return Record("SetDate(" + a + ")", "SetDate"); }
  int32_t GetDate(std::string& aDate) override {
    aDate = s.date;
    return Record("GetDate", "GetDate");
  }
  int32_t GetData(int32_t aItem, int32_t&, std::string& aData) override {
    aData = "data" + std::to_string(aItem);
    return Record("GetData", "GetData");
  }
  int32_t DirectIO(int32_t, int32_t& aData, std::string& aString) override {
    aData += 1;
    aString += "!";
    return Record("DirectIO", "DirectIO");
  }
  bool CoverOpen() override { return true; }
  bool DayOpened() override { return false; }
  bool RecEmpty() override { return false; }
  bool RecNearEnd() override { return true; }
  bool TrainingModeActive() override { return false; }
  int32_t PrinterState() override { return 7; }
  int32_t RemainingFiscalMemory() override { return 1234; }
  int32_t SetFiscalReceiptType(int32_t a) override {
    return Record("FiscalReceiptType=" + std::to_string(a), "SetFiscalReceiptType");
  }
  int32_t SetPreLine(const std::string& a) override { return Record("PreLine=" + a, "SetPreLine"); }
  std::string AdditionalTrailer() override { return s.trailer; }
  int32_t SetAdditionalTrailer(const std::string& a) override {
    s.trailer = a;
    return Record("AdditionalTrailer=" + a, "SetAdditionalTrailer");
  }

 private:
  int32_t Record(const std::string& aCall, const std::string& aName) {
    s.calls.push_back(aCall);
    const auto found = s.results.find(aName);
    return found == s.results.end() ? 0 : found->second;
  }

  Script& s;
};

class OposHandlerTest : public testing::TransportLogTest {
 protected:
  std::unique_ptr<kIOHandler_OPOS> Handler() {
    kConnection connection;
    connection.SetDeviceName("FP1");
    connection.SetConnectTimeOut(2500);
    return std::make_unique<kIOHandler_OPOS>(&connection, fDirectory, kLogName,
                                             std::make_unique<ScriptedControl>(fScript));
  }
  static std::vector<std::string> Finish(std::unique_ptr<kIOHandler_OPOS>& aHandler) {
    const std::string file = aHandler->GetLogFileName();
    aHandler.reset();
    return LogEntries(file);
  }

  ScriptedControl::Script fScript;
};

TEST(OposErrorText, NamesTheResultAndTheExtendedResult) {
  const struct {
    int32_t code;
    int32_t extended;
    const char* expected;
  } cases[] = {
      {106, 0, "[106] OPOS_E_ILLEGAL - why"},
      {101, 0, "[101] OPOS_E_CLOSED - why"},
      {115, 0, "[115] OPOS_E_DEPRECATED - why"},
      {114, 203, "[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - why"},
      {114, 201, "[114] OPOS_E_EXTENDED [201] OPOS_EFPTR_COVER_OPEN - why"},
      {114, 224, "[114] OPOS_E_EXTENDED [224] OPOS_EFPTR_DAY_END_REQUIRED - why"},
      {114, 225, "[114] OPOS_E_EXTENDED [225] UNKNOWN - why"},
      {300, 0, "[300] UNKNOWN - why"},
      {100, 0, "[100] UNKNOWN - why"},
      {-1, 0, "[-1] UNKNOWN - why"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(kIOHandler_OPOS::FormatOposError(c.code, c.extended, "why"), c.expected);
  }
}

TEST_F(OposHandlerTest, ConnectOpensClaimsAndEnablesTheDevice) {
  auto handler = Handler();
  EXPECT_TRUE(handler->Connect());
  EXPECT_TRUE(handler->Connected());
  EXPECT_TRUE(handler->Disconnect());
  EXPECT_FALSE(handler->Connected());
  EXPECT_EQ(fScript.calls,
            (std::vector<std::string>{"Open(FP1)", "ClaimDevice(2500)", "DeviceEnabled=true",
                                      "DeviceEnabled=false", "ReleaseDevice", "Close"}));
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:kIOHandler_OPOS"}));
  EXPECT_TRUE(ContainsRun(
      log, {"I:DeviceName=FP1", "I:[Connect]->Open(FP1)", "I:[Connect]->ClaimDevice(2500)",
            "I:[Connect]->DeviceEnabled:=true", "I:[Disconnect]->DeviceEnabled:=false",
            "I:[Disconnect]->ReleaseDevice", "I:[Disconnect]->Close"}))
      << ::testing::PrintToString(log);
}

TEST_F(OposHandlerTest, FailedClaimStopsConnectAndIsNotConnected) {
  fScript.results["ClaimDevice"] = 114;
  fScript.extended = 203;
  fScript.description = "Paper out";
  auto handler = Handler();
  EXPECT_FALSE(handler->Connect());
  EXPECT_FALSE(handler->Connected());
  EXPECT_TRUE(handler->ErrorFound());
  EXPECT_EQ(handler->ErrorCode(), 114);
  EXPECT_EQ(handler->ErrorMessage(),
            "[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - Paper out");
  EXPECT_EQ(fScript.calls, (std::vector<std::string>{"Open(FP1)", "ClaimDevice(2500)"}));
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"E:[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - Paper out"}));
}

TEST_F(OposHandlerTest, ControlThatRaisesIsLoggedAndGivesFalse) {
  fScript.throwOnOpen = true;
  auto handler = Handler();
  EXPECT_FALSE(handler->Connect());
  EXPECT_FALSE(handler->Connected());
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"E:[Connect]:Class not registered"}));
}

TEST_F(OposHandlerTest, SystemWithoutOposControlFailsConnectClearly) {
  kConnection connection;
  connection.SetDeviceName("FP1");
  auto handler = std::make_unique<kIOHandler_OPOS>(&connection, fDirectory, kLogName);
  EXPECT_FALSE(handler->Connect());
  EXPECT_FALSE(handler->Connected());
#ifdef _WIN32
  // The control is reached over COM; its ProgID is not registered where the tests run.
  EXPECT_EQ(handler->ErrorMessage(),
            "[104] OPOS_E_NOSERVICE - The OPOS control OPOS.FiscalPrinter is not registered "
            "(HRESULT 0x800401F3)");
#else
  EXPECT_EQ(handler->ErrorMessage(),
            "[104] OPOS_E_NOSERVICE - No OPOS fiscal printer control (OPOS.FiscalPrinter) is "
            "available on this system");
#endif
}

TEST_F(OposHandlerTest, FiscalOperationsLogTheirCallsAndCheckResults) {
  fScript.results["PrintRecMessage"] = 106;
  fScript.results["PrintRecTotal"] = 300;
  fScript.description = "bad";
  auto handler = Handler();
  EXPECT_TRUE(handler->BeginFiscalReceipt());
  EXPECT_TRUE(handler->PrintRecItem("P1", "Tom's \"milk\"", 1.5, "kg", 2, Currency::FromDouble(1.2),
                                    Currency::FromDouble(1.8)));
  EXPECT_TRUE(handler->PrintRecItemVoid("P1", "x", 1.001, "", 1, Currency(), Currency()));
  EXPECT_TRUE(
      handler->PrintRecRefund("P2", "Back", 1, "", 3, Currency(), Currency::FromDouble(-2.5)));
  EXPECT_TRUE(handler->PrintRecSubtotal(Currency::FromDouble(1234.5)));
  EXPECT_FALSE(handler->PrintRecMessage("it's"));
  EXPECT_EQ(handler->ErrorMessage(), "[106] OPOS_E_ILLEGAL - bad");
  EXPECT_FALSE(handler->PrintRecTotal(Currency::FromDouble(10), Currency::FromDouble(20), "Cash"));
  EXPECT_EQ(handler->ErrorMessage(), "[300] UNKNOWN - bad");
  EXPECT_TRUE(handler->PrintNormal("line"));
  EXPECT_FALSE(handler->ErrorFound());  // each check starts clear
  EXPECT_TRUE(handler->PrintRecTaxid("123456789"));
  EXPECT_TRUE(handler->SetFiscalReceiptType(4));
  EXPECT_TRUE(handler->SetPreLine("pre"));
  EXPECT_TRUE(handler->EndFiscalReceipt());

  EXPECT_EQ(fScript.calls[1], "PrintRecItem(Tom's \"milk\",1.8,1500,2,1.2,kg)");
  EXPECT_EQ(fScript.calls[2], "PrintRecItemVoid(x,1001)");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(
      log,
      {"I:[BeginFiscalReceipt]->BeginFiscalReceipt(true)",
       "I:[PrintRecItem]->PrintRecItem('Tom''s \"milk\"',1.8,1,2,1.2,'kg')",
       "I:[PrintRecItemVoid]->PrintRecItemVoid('x',0,1,1,0,'')",
       "I:[PrintRecRefund]->PrintRecRefund('Back',-2.5,3)",
       "I:[PrintRecSubtotal]->PrintRecSubTotal(1234.5)",
       "I:[PrintRecMessage]->PrintRecMessage('it''s')", "E:[106] OPOS_E_ILLEGAL - bad",
       "I:[PrintRecTotal]->PrintRecTotal(10,20,'Cash')", "E:[300] UNKNOWN - bad",
       "I:[PrintNormal]->PrintNormal(2,'line')", "I:[PrintRecTaxid]->PrintRecTaxid('123456789')",
       "I:[SetFiscalReceiptType]->FiscalReceiptType=4", "I:[SetPreLine]->PreLine='pre'",
       "I:[EndFiscalReceipt]->EndFiscalReceipt(false)"}))
      << ::testing::PrintToString(log);
}

TEST_F(OposHandlerTest, QuantityThatDoesNotFitIsRefusedWithoutACall) {
  auto handler = Handler();
  EXPECT_FALSE(handler->PrintRecItem("", "x", 1e12, "", 1, Currency(), Currency()));
  EXPECT_TRUE(handler->ErrorFound());
  EXPECT_TRUE(fScript.calls.empty());
}

TEST_F(OposHandlerTest, TrailerLinesAppendWithLineBreaks) {
  auto handler = Handler();
  EXPECT_TRUE(handler->SetAdditionalTrailerLine("one", false));
  EXPECT_TRUE(handler->SetAdditionalTrailerLine("two", false));
  EXPECT_EQ(fScript.trailer, "one\r\ntwo\r\n");
  EXPECT_TRUE(handler->SetAdditionalTrailerLine("new", true));
  EXPECT_EQ(fScript.trailer, "new");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:[SetAdditionalTrailerLine]->AdditionalTrailer=+'one'",
                                "I:[SetAdditionalTrailerLine]->AdditionalTrailer=+'two'",
                                "I:[SetAdditionalTrailerLine]->AdditionalTrailer='new'"}));
}

TEST_F(OposHandlerTest, ReadsGiveTheControlsValues) {
  auto handler = Handler();
  DateTime date = 0;
  EXPECT_TRUE(handler->GetDate(date));
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", date), "2024-03-25 15:30");
  fScript.results["GetDate"] = 111;
  const DateTime before = Now();
  EXPECT_FALSE(handler->GetDate(date));
  EXPECT_GE(date, before);  // a failed call gives now
  bool flag = false;
  EXPECT_TRUE(handler->GetCoverOpen(flag));
  EXPECT_TRUE(flag);
  EXPECT_TRUE(handler->GetRecNearEnd(flag));
  EXPECT_TRUE(flag);
  int32_t value = 0;
  EXPECT_TRUE(handler->PrinterState(value));
  EXPECT_EQ(value, 7);
  EXPECT_TRUE(handler->RemainingFiscalMemory(value));
  EXPECT_EQ(value, 1234);
  std::string output;
  EXPECT_TRUE(handler->GetData(5, 0, output));
  EXPECT_EQ(output, "data5");
  int32_t data = 1;
  std::string text = "a'b";
  EXPECT_TRUE(handler->DirectIO(9, data, text));
  EXPECT_EQ(data, 2);
  EXPECT_TRUE(handler->SetDate(EncodeDateTime({2024, 3, 25, 15, 30})));
  EXPECT_EQ(fScript.calls.back(), "SetDate(250320241530)");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:[GetDate]->GetDate", "I:[GetDate]->aDate=250320241530"}));
  EXPECT_TRUE(
      ContainsRun(log, {"I:[GetCoverOpen]->CoverOpen(aResult)", "I:[GetCoverOpen]->aResult=true"}));
  EXPECT_TRUE(ContainsRun(log, {"I:[GetRecNearEmpty]->RecNearEmpty(aResult)"}));
  EXPECT_TRUE(
      ContainsRun(log, {"I:[GetData]->GetData(5,0,aOutput)", "I:[GetData]->aOutput=data5"}));
  EXPECT_TRUE(ContainsRun(
      log, {"I:[DirectIO]->DirectIO(9,1,'a''b')", "I:[DirectIO]->Output(Data:=2, Obj:='a''b!')"}));
  EXPECT_TRUE(ContainsRun(log, {"I:[SetDate]->SetDate('250320241530')"}));
}

// A control that succeeds with text that is no date: a failure naming the text, and the
// date asked for is left alone rather than taken from this computer's clock.
TEST_F(OposHandlerTest, DateTextThatIsNoDateIsAnError) {
  auto handler = Handler();
  for (const std::string text : {"", "garbage", "2503202415", "25032024 530", "310220241530",
                                 "251320241530", "250320242460"}) {
    SCOPED_TRACE(text);
    fScript.date = text;
    DateTime date = 12.5;
    EXPECT_FALSE(handler->GetDate(date));
    EXPECT_EQ(date, 12.5);
    EXPECT_TRUE(handler->ErrorFound());
    EXPECT_EQ(handler->ErrorMessage(),
              "The date the control gave, '" + text + "', is not a date (ddmmyyyyhhnn)");
  }
  fScript.date = "010120250000";
  DateTime date = 0;
  EXPECT_TRUE(handler->GetDate(date));
  EXPECT_FALSE(handler->ErrorFound());
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", date), "2025-01-01 00:00");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:[GetDate]->aDate=garbage",
                                "E:The date the control gave, 'garbage', is not a date "
                                "(ddmmyyyyhhnn)"}))
      << ::testing::PrintToString(log);
}

TEST_F(OposHandlerTest, ByteStreamOperationsAreUnsupported) {
  auto handler = Handler();
  const struct {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { handler->Write("x"); }, "Write Unsupported"},
      {[&] { handler->ReadUpTo({3}); }, "ReadUpto Unsupported"},
      {[&] { handler->ReadChars(1); }, "ReadChars Unsupported"},
      {[&] { handler->ReadAll(); }, "ReadAll Unsupported"},
      {[&] { handler->InputBufferContainsData(); }, "InputBufferContainsData Unsupported"},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.message;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST_F(OposHandlerTest, DestroyDisconnectsAConnectedDevice) {
  {
    auto handler = Handler();
    ASSERT_TRUE(handler->Connect());
  }
  EXPECT_EQ(fScript.calls.back(), "Close");
}

}  // namespace
}  // namespace nvrp
