// The command template in process, over a recording device registered as "REC".

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "base/nv_exception.hpp"
#include "command/command_tables.hpp"
#include "command/command_wrappers.hpp"
#include "command/result_text.hpp"
#include "support/recording_device.hpp"
#include "support/test_environment.hpp"
#include "support/wrapper_run.hpp"

namespace nvrp {
namespace {

using testing::Formatted;
using testing::kRecordingDevice;

// The wrapper run on the request, in this process.
template <typename Wrapper>
Formatted Serve(const std::string& aXml) {
  return testing::RunWrapper<Wrapper>(aXml);
}

std::string Request(int32_t aHandle, const std::string& aTag = "") {
  return "<Request><Driver>REC</Driver><Handle>" + std::to_string(aHandle) +
         "</Handle><LogId>proc</LogId><Tag>" + aTag + "</Tag></Request>";
}

class CommandProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::PrepareTestApplication();
    fLogDirectory = testing::MakeTemporaryDirectory();
    CreateCommandTables();
    CommandTables().DriverRegistry.Add(
        "REC", kDriverClass{[this](kReceiptPrinterHandler& aHandler) {
                              auto device =
                                  std::make_unique<kRecordingDevice>(aHandler, fLogDirectory);
                              if (fArrange) fArrange(*device);
                              return std::unique_ptr<kFiscalPrinterDevice>(std::move(device));
                            },
                            &kFiscalPrinterDevice::GetDriverVersion});
  }
  void TearDown() override {
    // The table does not own its devices: free whatever the test left open.
    for (int32_t handle = 1; handle <= CommandTables().LastDeviceHandle; ++handle) {
      if (kFiscalPrinterDevice* device = CommandTables().DeviceTable.Find(handle)) {
        DestroyDevice(handle, *device);
      }
    }
    DestroyCommandTables();
  }

  static kRecordingDevice& Device(int32_t aHandle) {
    kFiscalPrinterDevice* device = CommandTables().DeviceTable.Find(aHandle);
    if (device == nullptr) throw std::runtime_error("no device");
    return static_cast<kRecordingDevice&>(*device);
  }

  std::string fLogDirectory;
  std::function<void(kRecordingDevice&)> fArrange;
};

TEST_F(CommandProcess, OpenRaisingAfterASuccessfulOpenKeepsHandleAndErrorFalse) {
  const std::string message = "Init <failed> & stopped";
  fArrange = [&](kRecordingDevice& aDevice) {
    aDevice.OnCall("Init", [&] { throw Exception(message); });
  };
  const Formatted open = Serve<kFiscalPrinterWrapper_OPEN>(Request(0));
  const std::string logFile = Device(1).IOHandler().GetLogFileName();
  ASSERT_FALSE(logFile.empty());
  EXPECT_EQ(open.output, "<Handle>1</Handle>\r\n<Error>False</Error>\r\n<ErrorText>" +
                             EscapeXml(message) + "</ErrorText>\r\n<LogFileName>" +
                             EscapeXml(logFile) + "</LogFileName>");
  EXPECT_EQ(open.errorMessage, message);
  EXPECT_EQ(open.result, 0);

  EXPECT_EQ(Serve<kFiscalPrinterWrapper_CLOSE>(Request(1)).result, 0);
  const auto lines = testing::ReadLogMessages(logFile);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "ERROR - " + message), lines.end());
}

// The caller never learns the handle of a device whose OPEN failed, so the device is freed;
// its handle stays used.
TEST_F(CommandProcess, OpenReportingADeviceErrorSkipsInitAndFreesTheDevice) {
  bool initCalled = false;
  fArrange = [&](kRecordingDevice& aDevice) {
    aDevice.TestIOHandler().FailConnect(3, "Offline");
    aDevice.OnCall("Init", [&] { initCalled = true; });
  };
  const Formatted open = Serve<kFiscalPrinterWrapper_OPEN>(Request(0));
  EXPECT_EQ(open.result, -1);
  EXPECT_EQ(open.errorMessage, "Offline");
  EXPECT_EQ(open.output.rfind("<Handle>0</Handle>\r\n<Error>True</Error>\r\n", 0), 0u);
  EXPECT_FALSE(initCalled);
  EXPECT_EQ(CommandTables().DeviceTable.Count(), 0u);
  EXPECT_EQ(CommandTables().LastDeviceHandle, 1);

  fArrange = nullptr;
  const Formatted next = Serve<kFiscalPrinterWrapper_OPEN>(Request(0));
  EXPECT_EQ(next.output.rfind("<Handle>2</Handle>", 0), 0u) << next.output;
}

TEST_F(CommandProcess, AFailedOpenOfAHeldDeviceKeepsIt) {
  ASSERT_EQ(Serve<kFiscalPrinterWrapper_OPEN>(Request(0)).result, 0);
  Device(1).TestIOHandler().FailConnect(3, "Offline");
  EXPECT_EQ(Serve<kFiscalPrinterWrapper_OPEN>(Request(1)).result, -1);
  EXPECT_NE(CommandTables().DeviceTable.Find(1), nullptr);
}

TEST_F(CommandProcess, LookupClearsTheDeviceErrorLeftByAnEarlierCommand) {
  ASSERT_EQ(Serve<kFiscalPrinterWrapper_OPEN>(Request(0)).result, 0);
  Device(1).IOHandler().SetCustomError(9, "stale error");
  const Formatted reopen = Serve<kFiscalPrinterWrapper_OPEN>(Request(1));
  EXPECT_EQ(reopen.result, 0) << reopen.errorMessage;
  EXPECT_EQ(reopen.output.rfind("<Handle>1</Handle>\r\n<Error>False</Error>", 0), 0u);
}

TEST_F(CommandProcess, OnlyFlaggedCommandsKeepTheRequestText) {
  ASSERT_EQ(Serve<kFiscalPrinterWrapper_OPEN>(Request(0, "open")).result, 0);
  EXPECT_EQ(Device(1).XmlString(), Request(0, "open"));
  struct Case {
    const char* command;
    std::function<Formatted(const std::string&)> serve;
    bool keeps;
  };
  const Case cases[] = {
      {"OPEN", Serve<kFiscalPrinterWrapper_OPEN>, true},
      {"GETSTATUS", Serve<kFiscalPrinterWrapper_GETSTATUS>, true},
      {"SET", Serve<kFiscalPrinterWrapper_SET>, false},
      {"SETDATETIME", Serve<kFiscalPrinterWrapper_SETDATETIME>, false},
      {"GETVATTABLE", Serve<kFiscalPrinterWrapper_GETVATTABLE>, false},
      {"GETDEPTTABLE", Serve<kFiscalPrinterWrapper_GETDEPTTABLE>, false},
  };
  for (const Case& c : cases) {
    Device(1).SetXmlString("before");
    const std::string request = Request(1, c.command);
    c.serve(request);
    EXPECT_EQ(Device(1).XmlString(), c.keeps ? request : "before") << c.command;
  }
}

TEST_F(CommandProcess, CloseFreesTheDeviceAndItsHandleIsNotReused) {
  ASSERT_EQ(Serve<kFiscalPrinterWrapper_OPEN>(Request(0)).result, 0);
  EXPECT_EQ(Serve<kFiscalPrinterWrapper_CLOSE>(Request(1)).result, 0);
  EXPECT_EQ(CommandTables().DeviceTable.Find(1), nullptr);
  const Formatted open = Serve<kFiscalPrinterWrapper_OPEN>(Request(0));
  EXPECT_EQ(open.output.rfind("<Handle>2</Handle>", 0), 0u) << open.output;
}

}  // namespace
}  // namespace nvrp
