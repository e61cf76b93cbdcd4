// The Windows DLL driven as a point-of-sale program drives it: loaded with LoadLibraryW, its
// exports found by name and by ordinal, called with OleAut32 strings, talking WinHTTP to the
// ibox-sim program on the Linux side (ports in IBOX_SIM_PORT and IBOX_SIM_500_PORT).

#include <windows.h>

#include <oleauto.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/base64.hpp"
#include "base/utf.hpp"
#include "support/jpeg_decoder.hpp"
#include "support/xml_elements.hpp"

namespace nvrp {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

using CommandFunction = int16_t(__stdcall*)(BSTR, BSTR*, BSTR*);

const char* const kExports[] = {
    "PRINTFR",      "PRINTXR",      "PRINTZR",     "PRINTNFR",    "DISPLAY",
    "OPENDR",       "GETSTATUS",    "SETDATETIME", "OPEN",        "CLOSE",
    "GETDRSTATUS",  "SET",          "EJREPORT",    "GETVATTABLE", "SETVATTABLE",
    "GETDEPTTABLE", "SETDEPTTABLE", "PAY",         "REPRINTFR",   "GETLOTTERYRCPTSTATUS",
    "GETEJFILES",   "VERSION"};
constexpr int kFirstOrdinal = 2;

std::wstring Wide(const std::string& aText) {
  const std::u16string units = Utf8ToUtf16(aText);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(const wchar_t* aText, size_t aLength) {
  return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(aText), aLength));
}

int Port(const char* aVariable) {
  const char* value = std::getenv(aVariable);
  return value != nullptr ? std::atoi(value) : 0;
}

struct Answer {
  int16_t result = 0;
  std::string output;
  std::string error;
};

std::string Element(const std::string& aFragment, const std::string& aName) {
  return testing::FragmentElement(aFragment, aName);
}

std::string Request(int32_t aHandle, int aPort, const std::string& aBody = "") {
  return "<Request><Driver>NVRP_RORERER_10</Driver><Handle>" + std::to_string(aHandle) +
         "</Handle><LogId>wine</LogId><Connection><Type>HTTP</Type><Address>127.0.0.1</Address>"
         "<Port>" +
         std::to_string(aPort) +
         "</Port><ConnectTimeout>5</ConnectTimeout><ReadTimeout>10</ReadTimeout></Connection>" +
         aBody + "</Request>";
}

// The DLL, loaded once for the whole program after the host folder (with Greek letters in its
// name) is set: the library reads it when it starts.
class DllExports : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (sModule != nullptr) return;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    sHostDirectory = std::wstring(temp) + L"nvrp_\u03c4\u03b1\u03bc\u03b5\u03af\u03bf_" +
                     std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(sHostDirectory.c_str(), nullptr);
    SetEnvironmentVariableW(L"NVRP_HOST_DIR", sHostDirectory.c_str());
    sModule = LoadLibraryW(Wide(NVRP_WINDOWS_DLL).c_str());
  }

  void SetUp() override { ASSERT_NE(sModule, nullptr) << "LoadLibraryW: " << GetLastError(); }

  static CommandFunction Function(const char* aName) {
    return reinterpret_cast<CommandFunction>(
        reinterpret_cast<void*>(GetProcAddress(sModule, aName)));
  }

  static Answer Call(const char* aName, const std::string& aInput) {
    const std::wstring input = Wide(aInput);
    BSTR in = SysAllocStringLen(input.data(), static_cast<UINT>(input.size()));
    BSTR out = nullptr;
    BSTR error = nullptr;
    Answer answer;
    answer.result = Function(aName)(in, &out, &error);
    answer.output = Narrow(out != nullptr ? out : L"", SysStringLen(out));
    answer.error = Narrow(error != nullptr ? error : L"", SysStringLen(error));
    SysFreeString(in);
    SysFreeString(out);
    SysFreeString(error);
    return answer;
  }

  int32_t Open(int aPort) {
    const Answer open = Call("OPEN", Request(0, aPort));
    EXPECT_EQ(open.result, 0) << open.output << open.error;
    fLogFileName = Element(open.output, "LogFileName");
    return std::atoi(Element(open.output, "Handle").c_str());
  }

  static inline HMODULE sModule = nullptr;
  static inline std::wstring sHostDirectory;
  std::string fLogFileName;
};

TEST_F(DllExports, EveryCommandIsExportedByNameAndByItsOrdinal) {
  int ordinal = kFirstOrdinal;
  for (const char* name : kExports) {
    SCOPED_TRACE(name);
    const FARPROC by_name = GetProcAddress(sModule, name);
    const FARPROC by_ordinal = GetProcAddress(sModule, MAKEINTRESOURCEA(ordinal));
    EXPECT_NE(by_name, nullptr);
    EXPECT_EQ(by_name, by_ordinal);
    ++ordinal;
  }
  // The string functions are the system's (OleAut32), not the library's own.
  EXPECT_EQ(GetProcAddress(sModule, "SysAllocString"), nullptr);
  EXPECT_EQ(GetProcAddress(sModule, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(GetProcAddress(sModule, MAKEINTRESOURCEA(24)), nullptr);
}

TEST_F(DllExports, VersionComesFromTheStringTable) {
  const Answer version = Call("VERSION", "NVRP_RORERER_10");
  EXPECT_EQ(version.result, 0);
  EXPECT_EQ(version.output, "Version 1.8 - 07/04/2022");
  EXPECT_EQ(Call("VERSION", "unknown").output, "");
}

TEST_F(DllExports, OpenPrintWithTextAndPictureCloseAndTheLogUnderAGreekFolder) {
  const int32_t handle = Open(Port("IBOX_SIM_PORT"));
  ASSERT_GT(handle, 0);
  const std::string receipt =
      "<Parameters><GetReceiptText>true</GetReceiptText><GetReceiptImage>true</GetReceiptImage>"
      "</Parameters><Receipt><Type>Sale</Type><Number>1</Number><CurrencyCode>EUR</CurrencyCode>"
      "<Lines><ProductSale><Code>C-1</Code><Description>Item</Description><Quantity>1</Quantity>"
      "<UOM>pcs</UOM><Department>1</Department><TaxCode>A</TaxCode><Price>10</Price>"
      "<Amount>10</Amount></ProductSale></Lines><Taxes/><Payments><Payment><Type>Cash</Type>"
      "<Description>Cash</Description><Amount>10</Amount></Payment></Payments></Receipt>";
  const Answer printed = Call("PRINTFR", Request(handle, Port("IBOX_SIM_PORT"), receipt));
  EXPECT_EQ(printed.result, 0) << printed.output << printed.error;
  EXPECT_EQ(Element(printed.output, "Error"), "False") << printed.output;
  const std::string text = Element(printed.output, "ReceiptText");
  EXPECT_FALSE(text.empty()) << printed.output;

  // The picture follows the layout: a line pitch of 1.3 text heights for every line and three
  // more, the widest line and 20 dots of margin. Wine's Courier is not Windows', so the test
  // takes the metrics from GDI rather than fixed numbers.
  testing::DecodedPicture picture;
  ASSERT_TRUE(testing::DecodeJpeg(Base64Decode(Element(printed.output, "ReceiptImage")), picture));
  HDC context = CreateCompatibleDC(nullptr);
  HFONT font =
      CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                  CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, FIXED_PITCH | FF_MODERN, L"Courier");
  SelectObject(context, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(context, &metrics);
  DeleteDC(context);
  DeleteObject(font);
  const int pitch = (metrics.tmAscent + metrics.tmDescent) * 13 / 10;
  ASSERT_GT(pitch, 0);
  EXPECT_EQ(picture.height % pitch, 0) << picture.height << " / " << pitch;
  EXPECT_GE(picture.height / pitch, 4);
  EXPECT_EQ((picture.width - 20) % metrics.tmAveCharWidth, 0) << picture.width;
  EXPECT_LT(picture.Darkest(0, 0, picture.width, picture.height), 128) << "no ink drawn";

  const Answer closed = Call("CLOSE", Request(handle, Port("IBOX_SIM_PORT")));
  EXPECT_EQ(closed.result, 0) << closed.output << closed.error;

  // The log file lies in the Greek-named host folder and holds the exchange.
  ASSERT_THAT(fLogFileName, StartsWith(Narrow(sHostDirectory.data(), sHostDirectory.size())));
  std::string log;
  for (int attempt = 0; attempt < 50 && log.find("Read [") == std::string::npos; ++attempt) {
    Sleep(20);
    std::ifstream file(std::filesystem::path(Wide(fLogFileName)), std::ios::binary);
    log.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  EXPECT_THAT(log, HasSubstr("Write:127.0.0.1:")) << fLogFileName;
  EXPECT_THAT(log, HasSubstr("Read ["));
}

TEST_F(DllExports, ARefusedConnectionAndAnHttpErrorFailWithTheirReason) {
  const Answer refused = Call("OPEN", Request(0, 1));
  EXPECT_EQ(refused.result, -1) << refused.output;
  EXPECT_THAT(refused.output, StartsWith("<Handle>0</Handle>\r\n<Error>True</Error>\r\n"));
  // The error names the refused connection and the unknown status.
  EXPECT_THAT(refused.error, HasSubstr("127.0.0.1:1/"));
  EXPECT_THAT(refused.error, EndsWith(" Unknown"));

  const Answer failing = Call("OPEN", Request(0, Port("IBOX_SIM_500_PORT")));
  EXPECT_EQ(failing.result, -1) << failing.output;
  EXPECT_EQ(failing.error, "Internal Server Error");
}

}  // namespace
}  // namespace nvrp
