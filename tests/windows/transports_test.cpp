// The Windows transports under Wine: serial lines over the communications API (a
// pseudo-terminal on the Linux side when scripts/windows.sh provides one as
// NVRP_WINE_ECHO_COM), the print spooler (a private CUPS queue when the script provides one
// as NVRP_WINE_PRINTER), the OPOS control over COM with no control registered and with the
// test's own, and the exported OPEN with such connections. TCP over Winsock is tested with
// the Linux sockets, by tests/transport/tcp_handler_test.cpp in the transport suite.

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "base/nv_exception.hpp"
#include "base/text_raster.hpp"
#include "base/utf.hpp"
#include "fake_opos_control.hpp"
#include "transport/com_port.hpp"
#include "transport/io_handler_opos.hpp"
#include "transport/io_handler_serial.hpp"
#include "transport/io_handler_spool.hpp"
#include "transport/print_spooler.hpp"
#include "transport/transport_log.hpp"

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::ElapsedMs;
using ::testing::HasSubstr;
using testing::kTimeoutMarginMs;
using testing::LogEntries;
using ::testing::StartsWith;

std::wstring Wide(const std::string& aText) {
  const std::u16string units = Utf8ToUtf16(aText);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* aText, size_t aLength) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(aText), aLength));
}

class WineTransportTest : public testing::TransportLogTest {
 protected:
  template <typename THandler>
  static std::vector<std::string> Finish(std::unique_ptr<THandler>& aHandler) {
    const std::string file = aHandler->GetLogFileName();
    aHandler.reset();
    return LogEntries(file);
  }
};

// Serial lines. The echo line is a pseudo-terminal whose other side sends back every byte.
uint32_t EchoCom() {
  const char* value = std::getenv("NVRP_WINE_ECHO_COM");
  return value != nullptr ? static_cast<uint32_t>(std::atoi(value)) : 0;
}

class WineSerial : public WineTransportTest {
 protected:
  std::unique_ptr<kIOHandler_Serial> Handler(uint32_t aCom, int32_t aReadTimeout = 500) {
    kConnection connection;
    connection.SetConnectionType(tkConnectionType::Serial);
    connection.SetSerialPort("COM" + std::to_string(aCom));
    connection.SetSpeed(19200);
    connection.SetDataBits(8);
    connection.SetParity(tkParity::Even);
    connection.SetStopBits(2);
    connection.SetReadTimeOut(aReadTimeout);
    return std::make_unique<kIOHandler_Serial>(&connection, fDirectory, kLogName);
  }
};

TEST_F(WineSerial, MissingComPortIsNotAValidComPort) {
  auto handler = Handler(42);
  try {
    handler->Connect();
    ADD_FAILURE() << "opened a COM port that does not exist";
  } catch (const TComPortException& error) {
    EXPECT_STREQ(error.what(), "COM42 is not a valid COM port.");
  }
  EXPECT_FALSE(handler->Connected());
}

TEST_F(WineSerial, EchoLineExchangesBytesAndTimesOut) {
  const uint32_t com = EchoCom();
  if (com == 0) GTEST_SKIP() << "no echo line (NVRP_WINE_ECHO_COM)";
  auto handler = Handler(com);
  ASSERT_TRUE(handler->Connect());
  EXPECT_TRUE(handler->Connected());
  handler->ClearBuffers();

  EXPECT_TRUE(handler->Write("PING\x03"));
  EXPECT_EQ(handler->ReadUpTo({3}), "PING\x03");
  EXPECT_TRUE(handler->Write("ab"));
  for (int i = 0; i < 100 && !handler->InputBufferContainsData(); ++i) Sleep(10);
  EXPECT_TRUE(handler->InputBufferContainsData());
  EXPECT_EQ(handler->ReadChars(2), "ab");

  std::string late;
  const int64_t elapsed = ElapsedMs([&] { late = handler->ReadChars(1); });
  EXPECT_EQ(late, "");
  EXPECT_GE(elapsed, 500);
  EXPECT_LT(elapsed, 500 + kTimeoutMarginMs);

  EXPECT_TRUE(handler->Disconnect());
  EXPECT_FALSE(handler->Connected());
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:SerialPort=COM" + std::to_string(com), "I:Speed=19200",
                                "I:Parity=even", "I:DataBits=8", "I:StopBits=2"}))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(ContainsRun(log, {"I:Read:ab", "E:Read Timeout:"})) << ::testing::PrintToString(log);
}

TEST(WineComPort, LineSettingsApplyToAnOpenLine) {
  const uint32_t com = EchoCom();
  if (com == 0) GTEST_SKIP() << "no echo line (NVRP_WINE_ECHO_COM)";
  TComPort port(com, 9600, 7, TStopBits::sbOne, TParity::ptOdd);
  port.Open();
  ASSERT_TRUE(port.ComIsOpen());
  port.SetLineParameters(115200, 8, TStopBits::sbTwo, TParity::ptNone);
  EXPECT_EQ(port.BaudRate(), 115200u);
  EXPECT_EQ(port.StopBits(), TStopBits::sbTwo);
  EXPECT_TRUE(port.WriteText("z"));
  char byte = 0;
  int32_t error = 0;
  EXPECT_EQ(port.Read(&byte, 1, 1000, error), 1);
  EXPECT_EQ(byte, 'z');
  port.Close();
  EXPECT_FALSE(port.ComIsOpen());
  EXPECT_THROW(port.WriteText("z"), TComPortException);
}

// A line that takes no more bytes (its other side never reads): a write gives up instead of
// holding the caller.
TEST(WineComPort, WriteToALineThatTakesNothingFails) {
  const char* value = std::getenv("NVRP_WINE_STALLED_COM");
  if (value == nullptr) GTEST_SKIP() << "no stalled line (NVRP_WINE_STALLED_COM)";
  TComPort port(static_cast<uint32_t>(std::atoi(value)));
  port.Open();
  const std::string block(1 << 20, 'x');
  const int64_t elapsed = ElapsedMs([&] {
    try {
      port.WriteText(block);
      ADD_FAILURE() << "a line that takes nothing took a megabyte";
    } catch (const TComPortException& error) {
      EXPECT_STREQ(error.what(), "Write to com port failed.");
    }
  });
  EXPECT_LT(elapsed, 10000);
}

// The print spooler: Wine has no printer here.
class WineSpool : public WineTransportTest {
 protected:
  static constexpr char kPrinter[] = "NVRP Missing Printer";
  std::unique_ptr<kIOHandler_Spool> Handler() {
    kConnection connection;
    connection.SetConnectionType(tkConnectionType::Spool);
    connection.SetPrinterName(kPrinter);
    return std::make_unique<kIOHandler_Spool>(&connection, fDirectory, kLogName);
  }
};

TEST_F(WineSpool, UnknownPrinterFailsRawAndBitmapOutput) {
  auto handler = Handler();
  handler->SetOutputType(tkSpoolOutputType::Raw);
  EXPECT_FALSE(handler->Write("receipt text"));
  EXPECT_TRUE(handler->ErrorFound());
  EXPECT_FALSE(handler->ErrorMessage().empty());
  EXPECT_FALSE(handler->WriteBytes("\x1b@"));

  handler->SetOutputType(tkSpoolOutputType::Normal);
  GrayCanvas bitmap(10, 10);
  handler->SetBitmap(&bitmap);
  try {
    handler->Write("");
    ADD_FAILURE() << "printed to a printer that does not exist";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(),
                 "kIOHandler_Spool.WriteNormal: Printer NVRP Missing Printer not found");
  }
  std::string found;
  EXPECT_FALSE(print_spooler::FindPrinter(kPrinter, found));
}

// A printer of the system, when scripts/windows.sh provides one (a private CUPS queue that
// writes every job to a file, seen by Wine as a printer): raw bytes arrive unchanged, a
// picture arrives as the page the printer's driver made of it.
std::string PrinterOutput(const std::string& aFile, size_t aMinimum) {
  std::string bytes;
  for (int i = 0; i < 200 && bytes.size() < aMinimum; ++i) {
    Sleep(50);
    std::ifstream file(std::filesystem::path(Wide("Z:" + aFile)), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  return bytes;
}

TEST_F(WineSpool, JobsReachTheSystemsPrinter) {
  const char* printer = std::getenv("NVRP_WINE_PRINTER");
  const char* output = std::getenv("NVRP_WINE_PRINTER_OUTPUT");
  if (printer == nullptr || output == nullptr) GTEST_SKIP() << "no printer (NVRP_WINE_PRINTER)";
  std::filesystem::remove(std::filesystem::path(Wide(std::string("Z:") + output)));
  kConnection connection;
  connection.SetPrinterName(printer);
  auto handler = std::make_unique<kIOHandler_Spool>(&connection, fDirectory, kLogName);
  handler->SetOutputType(tkSpoolOutputType::Raw);
  const std::string raw("\x1b@RAW\x00\xff\r\n", 9);
  ASSERT_TRUE(handler->WriteBytes(raw)) << handler->ErrorMessage();
  EXPECT_EQ(PrinterOutput(output, raw.size()), raw);

  // The page of the driver (A4 here), found under its name in other letter case.
  const tkPageGeometry page = print_spooler::PageGeometry(printer);
  EXPECT_GT(page.fDotsPerInch, 0);
  EXPECT_NEAR(page.fPrintableWidth + 2 * page.fOffsetX, 8.27 * page.fDotsPerInch, 2);
  EXPECT_NEAR(page.fPrintableHeight + 2 * page.fOffsetY, 11.69 * page.fDotsPerInch, 2);
  std::filesystem::remove(std::filesystem::path(Wide(std::string("Z:") + output)));
  connection.SetPrinterName(AsciiLower(printer));
  auto bitmapHandler = std::make_unique<kIOHandler_Spool>(&connection, fDirectory, kLogName);
  GrayCanvas bitmap(300, 100);
  for (int x = 0; x < 300; ++x) bitmap.Ink(x, 50, 255);
  bitmapHandler->SetBitmap(&bitmap);
  ASSERT_TRUE(bitmapHandler->Write("")) << bitmapHandler->ErrorMessage();
  // The driver's page holds the job's title and the drawn picture.
  const std::string page_description = PrinterOutput(output, 1000);
  EXPECT_THAT(page_description, StartsWith("%!PS-Adobe"));
  EXPECT_THAT(page_description, HasSubstr("Kassimo Spool Output"));
  EXPECT_THAT(page_description, HasSubstr("\nimage\n"));
}

TEST(WinePrintSpooler, PrinterWithoutDeviceContextGetsA4At300Dpi) {
  const tkPageGeometry page = print_spooler::PageGeometry("NVRP Missing Printer");
  EXPECT_EQ(page.fDotsPerInch, 300);
  EXPECT_EQ(page.fPrintableWidth, 2480);
  EXPECT_EQ(page.fPrintableHeight, 3507);
  std::string error;
  EXPECT_FALSE(print_spooler::PrintBitmap("NVRP Missing Printer", "t", GrayCanvas(4, 4), page,
                                          tkBitmapPlacement{0, 0, 4, 4}, error));
  EXPECT_FALSE(error.empty());
}

// The OPOS control: its ProgID is not registered under Wine.
TEST_F(WineTransportTest, UnregisteredOposControlFailsConnectWithTheProgIdAndResult) {
  testing::FakeOposRegistration::RemoveProgId();
  kConnection connection;
  connection.SetDeviceName("FP1");
  auto handler = std::make_unique<kIOHandler_OPOS>(&connection, fDirectory, kLogName);
  EXPECT_FALSE(handler->Connect());
  EXPECT_FALSE(handler->Connected());
  EXPECT_EQ(handler->ErrorMessage(),
            "[104] OPOS_E_NOSERVICE - The OPOS control OPOS.FiscalPrinter is not registered "
            "(HRESULT 0x800401F3)");
  EXPECT_FALSE(handler->BeginFiscalReceipt());
  EXPECT_THAT(handler->ErrorMessage(), StartsWith("[101] OPOS_E_CLOSED - "));
  handler.reset();

  // The control left COM on this thread as it found it: a new apartment of another kind can
  // be entered.
  const HRESULT entered = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  EXPECT_EQ(entered, S_OK);
  if (SUCCEEDED(entered)) CoUninitialize();
}

// The OPOS control over COM, with the test's control registered under the ProgID.
class WineOposControl : public WineTransportTest {
 protected:
  void SetUp() override {
    WineTransportTest::SetUp();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    fRegistration = std::make_unique<testing::FakeOposRegistration>(fState);
    ASSERT_TRUE(fRegistration->Registered());
  }
  void TearDown() override {
    fRegistration.reset();
    CoUninitialize();
    WineTransportTest::TearDown();
  }

  testing::FakeOposState fState;
  std::unique_ptr<testing::FakeOposRegistration> fRegistration;
};

TEST_F(WineOposControl, EveryCallReachesTheControlWithItsArguments) {
  auto control = CreateOposFiscalPrinter();
  ASSERT_EQ(control->Open("FP1"), 0);
  const Currency price = Currency::FromRaw(125000);
  const Currency unit = Currency::FromRaw(83333);
  const Currency refund = Currency::FromRaw(-50000);
  const struct {
    std::function<int32_t()> call;
    std::vector<std::string> seen;
  } cases[] = {
      {[&] { return control->ClaimDevice(1500); }, {"ClaimDevice(1500)"}},
      {[&] { return control->ReleaseDevice(); }, {"ReleaseDevice()"}},
      {[&] { return control->BeginFiscalReceipt(true); }, {"BeginFiscalReceipt(true)"}},
      {[&] { return control->EndFiscalReceipt(false); }, {"EndFiscalReceipt(false)"}},
      {[&] { return control->PrintRecItem("Ψωμί", price, 1500, 2, unit, "τεμ"); },
       {"PrintRecItem('Ψωμί',cy125000,1500,2,cy83333,'τεμ')"}},
      {[&] { return control->PrintRecItemVoid("Ψωμί", price, 1500, 2, unit, ""); },
       {"PrintRecItemVoid('Ψωμί',cy125000,1500,2,cy83333,'')"}},
      {[&] { return control->PrintRecRefund("back", refund, 1); },
       {"PrintRecRefund('back',cy-50000,1)"}},
      {[&] { return control->PrintRecSubtotal(price); }, {"PrintRecSubtotal(cy125000)"}},
      {[&] { return control->PrintRecMessage("it's"); }, {"PrintRecMessage('it's')"}},
      {[&] { return control->PrintRecItemAdjustment(1, "off", unit, 3); },
       {"PrintRecItemAdjustment(1,'off',cy83333,3)"}},
      {[&] { return control->PrintRecSubtotalAdjustment(2, "off", unit); },
       {"PrintRecSubtotalAdjustment(2,'off',cy83333)"}},
      {[&] { return control->PrintRecTotal(price, unit, "Cash"); },
       {"PrintRecTotal(cy125000,cy83333,'Cash')"}},
      {[&] { return control->PrintRecNotPaid("later", unit); },
       {"PrintRecNotPaid('later',cy83333)"}},
      {[&] { return control->PrintRecTaxID("094014201"); }, {"PrintRecTaxID('094014201')"}},
      {[&] { return control->ResetPrinter(); }, {"ResetPrinter()"}},
      {[&] { return control->BeginNonFiscal(); }, {"BeginNonFiscal()"}},
      {[&] { return control->EndNonFiscal(); }, {"EndNonFiscal()"}},
      {[&] { return control->PrintNormal(2, "line"); }, {"PrintNormal(2,'line')"}},
      {[&] { return control->BeginTraining(); }, {"BeginTraining()"}},
      {[&] { return control->EndTraining(); }, {"EndTraining()"}},
      {[&] { return control->PrintXReport(); }, {"PrintXReport()"}},
      {[&] { return control->PrintZReport(); }, {"PrintZReport()"}},
      {[&] { return control->SetDate("101220261530"); }, {"SetDate('101220261530')"}},
      {[&] { return control->SetFiscalReceiptType(4); }, {"FiscalReceiptType=4", "ResultCode?"}},
      {[&] { return control->SetPreLine("pre"); }, {"PreLine='pre'", "ResultCode?"}},
      {[&] { return control->SetAdditionalTrailer("Ευχαριστούμε"); },
       {"AdditionalTrailer='Ευχαριστούμε'", "ResultCode?"}},
      {[&] { return control->Close(); }, {"Close()"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.seen.front());
    fState.calls.clear();
    EXPECT_EQ(c.call(), 0);
    EXPECT_EQ(fState.calls, c.seen);
  }
  // Result codes come back as the control answers them.
  fState.results["PrintRecMessage"] = 106;
  EXPECT_EQ(control->PrintRecMessage("x"), 106);
  fState.results["ResultCode"] = 114;
  EXPECT_EQ(control->SetPreLine("x"), 114);
}

TEST_F(WineOposControl, OutArgumentsAndPropertiesComeBack) {
  auto control = CreateOposFiscalPrinter();
  ASSERT_EQ(control->Open("FP1"), 0);
  std::string date;
  EXPECT_EQ(control->GetDate(date), 0);
  EXPECT_EQ(date, "101220261530");
  int32_t options = 1;
  std::string data;
  EXPECT_EQ(control->GetData(5, options, data), 0);
  EXPECT_EQ(options, 7);
  EXPECT_EQ(data, "ΔΕΔΟΜΕΝΑ");
  int32_t number = 21;
  std::string text = "in";
  EXPECT_EQ(control->DirectIO(9, number, text), 0);
  EXPECT_EQ(number, 42);
  EXPECT_EQ(text, "in!");
  EXPECT_THAT(fState.calls, ::testing::ElementsAre("Open('FP1')", "GetDate(&'')",
                                                   "GetData(5,&1,&'')", "DirectIO(9,&21,&'in')"));

  EXPECT_FALSE(control->DeviceEnabled());
  control->SetDeviceEnabled(true);
  EXPECT_TRUE(control->DeviceEnabled());
  EXPECT_TRUE(control->CoverOpen());
  EXPECT_TRUE(control->DayOpened());
  EXPECT_FALSE(control->RecEmpty());
  EXPECT_TRUE(control->RecNearEnd());
  EXPECT_FALSE(control->TrainingModeActive());
  EXPECT_EQ(control->PrinterState(), 3);
  EXPECT_EQ(control->RemainingFiscalMemory(), 1234);  // answered as a 16-bit integer
  EXPECT_EQ(control->ErrorString(), "fake error");
  control->SetAdditionalTrailer("one\r\n");
  EXPECT_EQ(control->AdditionalTrailer(), "one\r\n");

  // A COM exception, its description given at once or only when asked for.
  fState.raiseOn = "PrintXReport";
  for (const bool deferred : {false, true}) {
    fState.deferDescription = deferred;
    try {
      control->PrintXReport();
      ADD_FAILURE() << "a COM exception passed as a result";
    } catch (const Exception& error) {
      EXPECT_STREQ(error.what(),
                   "OPOS.FiscalPrinter.PrintXReport failed (HRESULT 0x80020009): device on fire");
    }
  }
}

TEST_F(WineOposControl, HandlerConnectsReportsExtendedResultsAndDisconnects) {
  kConnection connection;
  connection.SetDeviceName("FP1");
  connection.SetConnectTimeOut(1500);
  auto handler = std::make_unique<kIOHandler_OPOS>(&connection, fDirectory, kLogName);
  ASSERT_TRUE(handler->Connect()) << handler->ErrorMessage();
  EXPECT_TRUE(handler->Connected());
  EXPECT_THAT(fState.calls, ::testing::ElementsAre("Open('FP1')", "ClaimDevice(1500)",
                                                   "DeviceEnabled=true", "DeviceEnabled?"));

  fState.results["PrintRecMessage"] = 114;
  fState.extended = 203;
  EXPECT_FALSE(handler->PrintRecMessage("x"));
  EXPECT_EQ(handler->ErrorMessage(),
            "[114] OPOS_E_EXTENDED [203] OPOS_EFPTR_REC_EMPTY - fake error");

  // A control that raises during the disconnection: logged and false.
  fState.raiseOn = "ReleaseDevice";
  EXPECT_FALSE(handler->Disconnect());
  const auto log = Finish(handler);
  EXPECT_THAT(log, ::testing::Contains("E:[Disconnect]:OPOS.FiscalPrinter.ReleaseDevice failed "
                                       "(HRESULT 0x80020009): device on fire"))
      << ::testing::PrintToString(log);
}

// The exported OPEN with a transport the iBox cannot use: the handler is built and refused.
class WineExports : public ::testing::Test {
 protected:
  using CommandFunction = int16_t(__stdcall*)(BSTR, BSTR*, BSTR*);

  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring host =
        std::wstring(temp) + L"nvrp_transports_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(host.c_str(), nullptr);
    SetEnvironmentVariableW(L"NVRP_HOST_DIR", host.c_str());
    sModule = LoadLibraryW(Wide(NVRP_WINDOWS_DLL).c_str());
  }

  static std::pair<int16_t, std::string> Open(const std::string& aConnection) {
    const std::wstring input = Wide(
        "<Request><Driver>NVRP_RORERER_10</Driver><Handle>0</Handle><LogId>transports</LogId>"
        "<Connection>" +
        aConnection + "</Connection></Request>");
    const auto open =
        reinterpret_cast<CommandFunction>(reinterpret_cast<void*>(GetProcAddress(sModule, "OPEN")));
    BSTR in = SysAllocStringLen(input.data(), static_cast<UINT>(input.size()));
    BSTR out = nullptr;
    BSTR error = nullptr;
    const int16_t result = open(in, &out, &error);
    std::string text = Narrow(error != nullptr ? error : L"", SysStringLen(error));
    SysFreeString(in);
    SysFreeString(out);
    SysFreeString(error);
    return {result, text};
  }

  static inline HMODULE sModule = nullptr;
};

TEST_F(WineExports, OpenWithAStreamSpoolerOrOposConnectionFailsCleanly) {
  ASSERT_NE(sModule, nullptr) << "LoadLibraryW: " << GetLastError();
  const std::string connections[] = {
      "<Type>TCP</Type><Address>127.0.0.1</Address><Port>1</Port>",
      "<Type>Serial</Type><SerialPort>COM42</SerialPort><Speed>9600</Speed><DataBits>8</DataBits>"
      "<Parity>None</Parity><StopBits>1</StopBits>",
      "<Type>Spool</Type><PrinterName>NVRP Missing Printer</PrinterName>",
      "<Type>OPOS</Type><DeviceName>FP1</DeviceName>",
  };
  for (const std::string& connection : connections) {
    SCOPED_TRACE(connection);
    const auto [result, error] = Open(connection);
    EXPECT_EQ(result, -1);
    EXPECT_EQ(error, "Invalid class typecast");
  }
  // Bad serial settings stop the handler before the device sees it.
  const auto [result, error] = Open(
      "<Type>Serial</Type><SerialPort>COM42</SerialPort><Parity>None</Parity>"
      "<StopBits>3</StopBits>");
  EXPECT_EQ(result, -1);
  EXPECT_EQ(error, "Stop Bits 3 invalid");
}

}  // namespace
}  // namespace nvrp
