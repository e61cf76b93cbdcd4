// The library as a host sees it: loaded with dlopen, called through its exports with system
// strings, outputs read with SysStringLen and released with SysFreeString.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "base/ole_string.hpp"
#include "base/utf.hpp"
#include "command/result_text.hpp"
#include "support/library_host.hpp"
#include "support/test_environment.hpp"

namespace nvrp {
namespace {

using testing::Answer;
using testing::CommandFunction;

// The test build of the library, loaded once for the whole program, with the calls that
// arrange and read its recording device.
class TestLibrary : public testing::LibraryHost {
 public:
  static TestLibrary& Get() {
    static TestLibrary library;
    return library;
  }

  void Arrange(const char* aPrimitive, bool aResult, int aCode, const char* aMessage) const {
    fArrange(aPrimitive, aResult ? 1 : 0, aCode, aMessage);
  }
  void Reset() const { fReset(); }
  // The journal lines of one device's primitive calls, by name.
  std::vector<std::string> Journal(int32_t aHandle) const {
    char* text = fJournal();
    std::istringstream lines(text == nullptr ? "" : text);
    std::free(text);
    std::vector<std::string> names;
    const std::string prefix = std::to_string(aHandle) + " ";
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind(prefix, 0) == 0) names.push_back(line.substr(prefix.size()));
    }
    return names;
  }

 private:
  TestLibrary() : LibraryHost(PreparedLibraryPath()) {
    fArrange = Resolve<void (*)(const char*, int, int, const char*)>("NvrpTest_Arrange");
    fJournal = Resolve<char* (*)()>("NvrpTest_Journal");
    fReset = Resolve<void (*)()>("NvrpTest_Reset");
  }

  // Device logs go to a temporary host directory, not beside the test program.
  static std::string PreparedLibraryPath() {
    testing::PrepareTestApplication();
    return NVRP_TESTDEV_LIBRARY;
  }

  void (*fArrange)(const char*, int, int, const char*) = nullptr;
  char* (*fJournal)() = nullptr;
  void (*fReset)() = nullptr;
};

std::string Request(int32_t aHandle, const std::string& aBody = "",
                    const std::string& aDriver = "TEST_DEVICE") {
  return "<Request><Driver>" + aDriver + "</Driver><Handle>" + std::to_string(aHandle) +
         "</Handle><LogId>boundary</LogId>" + aBody + "</Request>";
}

std::string FailureTail(const std::string& aMessage, const std::string& aLogFileName = "") {
  return "<Error>True</Error>\r\n<ErrorText>" + EscapeXml(aMessage) +
         "</ErrorText>\r\n<LogFileName>" + EscapeXml(aLogFileName) + "</LogFileName>";
}

bool EndsWith(const std::string& aText, const std::string& aEnd) {
  return aText.size() >= aEnd.size() &&
         aText.compare(aText.size() - aEnd.size(), aEnd.size(), aEnd) == 0;
}

const std::string kNotOpened = "Fiscal Printer has not previously opened";
const std::string kHandleNotFound = "Printer Handle not found";

class ExportedLibrary : public ::testing::Test {
 protected:
  void SetUp() override { Library().Reset(); }
  void TearDown() override { Library().Reset(); }

  static const TestLibrary& Library() { return TestLibrary::Get(); }

  // Opens a test device and answers its handle (0 on failure).
  static int32_t Open() {
    const Answer open = Library().Call("OPEN", Request(0));
    EXPECT_EQ(open.result, 0) << open.error;
    const std::string prefix = "<Handle>";
    if (open.output.rfind(prefix, 0) != 0) return 0;
    return std::atoi(open.output.c_str() + prefix.size());
  }
  static void Close(int32_t aHandle) {
    const Answer close = Library().Call("CLOSE", Request(aHandle));
    EXPECT_EQ(close.result, 0) << close.error;
  }
};

TEST_F(ExportedLibrary, LookupFailuresNameTheirCause) {
  const std::string payment = "<Payment><Amount>1.5</Amount></Payment>";
  struct Case {
    const char* command;
    std::string request;
    std::string message;
  };
  const Case cases[] = {
      {"GETSTATUS", Request(0), kNotOpened},
      {"SET", "<Request/>", kNotOpened},
      {"CLOSE", Request(-1), kNotOpened},
      {"GETSTATUS", Request(987654), kHandleNotFound},
      {"OPEN", Request(0, "", "test_device"),
       "Fiscal Printer Driver [test_device] not registered."},
      {"OPEN", Request(0, "", "a&lt;b&amp;c"), "Fiscal Printer Driver [a<b&c] not registered."},
      {"PAY", Request(0, payment, "Test_Device"),
       "Fiscal Printer Driver [Test_Device] not registered."},
  };
  for (const Case& c : cases) {
    const Answer answer = Library().Call(c.command, c.request);
    EXPECT_EQ(answer.result, -1) << c.command << " " << c.request;
    EXPECT_EQ(answer.error, c.message) << c.command << " " << c.request;
    EXPECT_TRUE(EndsWith(answer.output, FailureTail(c.message)))
        << c.command << " " << answer.output;
  }
}

TEST_F(ExportedLibrary, HandlesCountUpAndAreNeverReused) {
  const Answer open = Library().Call("OPEN", Request(0));
  ASSERT_EQ(open.result, 0) << open.error;
  const int32_t handle = std::atoi(open.output.c_str() + std::string("<Handle>").size());
  ASSERT_GT(handle, 0);
  const std::string head = "<Handle>" + std::to_string(handle) +
                           "</Handle>\r\n<Error>False</Error>\r\n<ErrorText></ErrorText>\r\n"
                           "<LogFileName>";
  EXPECT_EQ(open.output.rfind(head, 0), 0u) << open.output;
  EXPECT_NE(open.output.find("/TEST_DEVICE_boundary"), std::string::npos) << open.output;
  EXPECT_TRUE(open.errorEmpty);

  const Answer reopen = Library().Call("OPEN", Request(handle));
  EXPECT_EQ(reopen.result, 0) << reopen.error;
  EXPECT_EQ(reopen.output.rfind("<Handle>" + std::to_string(handle) + "</Handle>", 0), 0u);

  Close(handle);
  for (const char* command : {"GETSTATUS", "CLOSE"}) {
    const Answer again = Library().Call(command, Request(handle));
    EXPECT_EQ(again.result, -1) << command;
    EXPECT_EQ(again.error, kHandleNotFound) << command;
  }
  const int32_t next = Open();
  EXPECT_EQ(next, handle + 1);
  Close(next);
}

TEST_F(ExportedLibrary, PayWithoutHandleCreatesADevice) {
  const int32_t before = Open();
  Close(before);
  Library().Call("PAY", Request(0, "<Payment><Amount>1.5</Amount></Payment>"));
  const Answer status = Library().Call("GETSTATUS", Request(before + 1));
  EXPECT_NE(status.error, kHandleNotFound);
  Close(before + 1);
  const int32_t after = Open();
  EXPECT_EQ(after, before + 2);
  Close(after);
}

TEST_F(ExportedLibrary, OpenInitialisesTheDeviceThenRefreshesStatusAndVatTable) {
  const int32_t handle = Open();
  const std::vector<std::string> calls = Library().Journal(handle);
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(calls.front(), "Init");
  const auto status = std::find(calls.begin(), calls.end(), "ReadStatus");
  const auto vat = std::find(calls.begin(), calls.end(), "ReadVatTable");
  if (status != calls.end() && vat != calls.end()) {
    EXPECT_LT(status, vat);
  }
  Close(handle);
}

TEST_F(ExportedLibrary, FailedOpenStillConsumesAHandle) {
  const int32_t before = Open();
  Close(before);
  Library().Arrange("Connect", false, 5, "No line <COM1>");
  const Answer open = Library().Call("OPEN", Request(0));
  EXPECT_EQ(open.result, -1);
  EXPECT_EQ(open.error, "No line <COM1>");
  EXPECT_EQ(open.output.rfind("<Handle>0</Handle>\r\n<Error>True</Error>\r\n"
                              "<ErrorText>No line &lt;COM1&gt;</ErrorText>\r\n",
                              0),
            0u)
      << open.output;
  Library().Reset();
  const int32_t after = Open();
  EXPECT_EQ(after, before + 2);
  // The caller never learned that handle: its device was freed with the failed OPEN.
  EXPECT_EQ(Library().Call("CLOSE", Request(before + 1)).error, "Printer Handle not found");
  Close(after);
}

TEST_F(ExportedLibrary, FailingDeviceClassConsumesNoHandle) {
  const int32_t before = Open();
  Close(before);
  Library().Arrange("Construct", false, 0, "Cannot build <device>");
  const Answer open = Library().Call("OPEN", Request(0));
  EXPECT_EQ(open.result, -1);
  EXPECT_EQ(open.output, "<Handle>0</Handle>\r\n" + FailureTail("Cannot build <device>"));
  Library().Reset();
  const int32_t after = Open();
  EXPECT_EQ(after, before + 1);
  Close(after);
}

TEST_F(ExportedLibrary, CloseRemovesTheDeviceWhateverCloseReports) {
  const int32_t handle = Open();
  Library().Arrange("Disconnect", false, 7, "Port busy");
  const Answer close = Library().Call("CLOSE", Request(handle));
  EXPECT_EQ(close.error, "Port busy");
  EXPECT_EQ(close.result, -1);
  const Answer after = Library().Call("GETSTATUS", Request(handle));
  EXPECT_EQ(after.error, kHandleNotFound);
}

TEST_F(ExportedLibrary, VersionAnswersOnlyRegisteredDriverNames) {
  const Answer known = Library().Call("VERSION", std::string("TEST_DEVICE"));
  EXPECT_EQ(known.result, 0);
  EXPECT_EQ(known.output.rfind("Version ", 0), 0u) << known.output;
  EXPECT_TRUE(known.errorEmpty);
  for (const std::string& name :
       {std::string("test_device"), std::string("NVRP_RORERER_1"), std::string()}) {
    const Answer unknown = Library().Call("VERSION", name);
    EXPECT_EQ(unknown.result, 0) << name;
    EXPECT_TRUE(unknown.outputEmpty) << name;
    EXPECT_TRUE(unknown.errorEmpty) << name;
  }
}

TEST_F(ExportedLibrary, OutVariablesAreResetWithoutBeingReleasedAndNullOnesSkipped) {
  // Whatever the variables hold on entry is not the library's to free: a free of this static
  // text would be reported by the address sanitizer.
  static char16_t notOwned[] = u"stale";
  BSTR input = Library().Alloc(Utf8ToUtf16(Request(0)));
  BSTR output = notOwned;
  BSTR error = notOwned;
  EXPECT_EQ(Library().Resolve<CommandFunction>("GETSTATUS")(input, &output, &error), -1);
  EXPECT_EQ(Library().Take(error), kNotOpened);
  EXPECT_TRUE(EndsWith(Library().Take(output), FailureTail(kNotOpened)));

  const int32_t before = Open();
  Close(before);
  EXPECT_EQ(Library().Resolve<CommandFunction>("OPEN")(input, nullptr, nullptr), 0);
  EXPECT_EQ(Library().Resolve<CommandFunction>("VERSION")(input, nullptr, nullptr), 0);
  Close(before + 1);
  BSTR onlyError = notOwned;
  EXPECT_EQ(Library().Resolve<CommandFunction>("GETSTATUS")(input, nullptr, &onlyError), -1);
  EXPECT_EQ(Library().Take(onlyError), kNotOpened);
  Library().Take(input);
}

TEST_F(ExportedLibrary, UnusualInputsEndInAnErrorFragment) {
  const std::string pad(5 * 1024 * 1024, 'x');
  struct Case {
    const char* name;
    const char* command;
    std::u16string input;
    std::string message;  // empty: any message
  };
  const Case cases[] = {
      {"empty", "GETSTATUS", u"", ""},
      {"not xml", "GETSTATUS", u"this is not xml", ""},
      {"unbalanced", "OPEN", u"<a><b></a>", ""},
      {"embedded NUL", "GETSTATUS", std::u16string(u"<Request>\0</Request>", 20), ""},
      {"5 MB element", "GETSTATUS", Utf8ToUtf16(Request(0, "<Pad>" + pad + "</Pad>")), kNotOpened},
      {"5 MB of text", "PRINTFR", Utf8ToUtf16(pad), ""},
      {"lone surrogate", "OPEN", u"<Request><Driver>A\xD800</Driver><Handle>0</Handle></Request>",
       "Fiscal Printer Driver [A\xEF\xBF\xBD] not registered."},
  };
  for (const Case& c : cases) {
    const Answer answer = Library().Call(c.command, c.input);
    EXPECT_EQ(answer.result, -1) << c.name;
    EXPECT_FALSE(answer.error.empty()) << c.name;
    if (!c.message.empty()) {
      EXPECT_EQ(answer.error, c.message) << c.name;
    }
    EXPECT_TRUE(EndsWith(answer.output, FailureTail(answer.error))) << c.name;
  }
  const Answer null = Library().CallWith("GETSTATUS", nullptr);
  EXPECT_EQ(null.result, -1);
  EXPECT_TRUE(EndsWith(null.output, FailureTail(null.error)));
  const Answer nullVersion = Library().CallWith("VERSION", nullptr);
  EXPECT_EQ(nullVersion.result, 0);
  EXPECT_TRUE(nullVersion.outputEmpty);
}

TEST_F(ExportedLibrary, ThousandsOfCallsLeaveNothingBehind) {
  for (int i = 0; i < 3000; ++i) {
    ASSERT_EQ(Library().Call("GETSTATUS", Request(0)).error, kNotOpened);
    ASSERT_EQ(Library().Call("VERSION", std::string("TEST_DEVICE")).result, 0);
  }
  for (int i = 0; i < 100; ++i) {
    const int32_t handle = Open();
    ASSERT_GT(handle, 0);
    Library().Call("GETSTATUS", Request(handle));
    Close(handle);
  }
}

}  // namespace
}  // namespace nvrp
