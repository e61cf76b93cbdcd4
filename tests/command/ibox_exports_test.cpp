// The production library driven as a host drives it: loaded with dlopen, called through its
// exports with system strings, talking HTTP to the in-process iBox simulator.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/date_time.hpp"
#include "command/result_text.hpp"
#include "ibox_simulator.hpp"
#include "support/export_test.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const std::string kHandleNotFound = "Printer Handle not found";
const std::string kClearErrorsQuery =
    "Order=Cmd&Action=Clr_Errors&Creator=0&Do=&Sync=&makexmlotf=stat";

// The envelope of a request to the iBox over HTTP at 127.0.0.1:aPort.
std::string Request(int32_t aHandle, int aPort, const std::string& aLogId,
                    const std::string& aType = "HTTP") {
  return "<Request><Driver>" + kDriver + "</Driver><Handle>" + std::to_string(aHandle) +
         "</Handle><LogId>" + EscapeXml(aLogId) + "</LogId><Connection><Type>" + aType +
         "</Type><Address>127.0.0.1</Address><Port>" + std::to_string(aPort) +
         "</Port><ConnectTimeout>10</ConnectTimeout><ReadTimeout>20</ReadTimeout>"
         "</Connection></Request>";
}

// The text of one element of a result fragment.
std::string Element(const std::string& aFragment, const std::string& aName) {
  return testing::FragmentElement(aFragment, aName);
}

std::string Today() { return FormatDateTime("yyyymmdd", Now()); }

// Devices opened with log ids of their own, on this simulator or another one.
class IboxExports : public testing::ExportTest {
 protected:
  IboxExports() : ExportTest("ibox") { UseSimulator(fSimulator); }

  void SetUp() override { fSimulator.Start(); }

  // Opens a device on the simulator and answers its handle; checks the fragment on the way.
  int32_t Open(const std::string& aLogId) { return Open(aLogId, fSimulator.Port()); }
  int32_t Open(const std::string& aLogId, int aPort) {
    const Answer open = Library().Call("OPEN", Request(0, aPort, aLogId));
    EXPECT_EQ(open.result, 0) << open.output;
    EXPECT_EQ(Element(open.output, "Error"), "False") << open.output;
    const int32_t handle = std::atoi(Element(open.output, "Handle").c_str());
    EXPECT_GT(handle, sLastHandle) << "handles only increase";
    sLastHandle = std::max(sLastHandle, handle);
    fLogFileName = Element(open.output, "LogFileName");
    return handle;
  }

  Answer Close(int32_t aHandle) {
    return Library().Call("CLOSE", Request(aHandle, fSimulator.Port(), "unused"));
  }

  static int32_t LastHandle() { return sLastHandle; }

  ibox_sim::IboxSimulator fSimulator;

 private:
  static inline int32_t sLastHandle = 0;
};

TEST_F(IboxExports, OpenCreatesTheDeviceAndCloseFreesIt) {
  const std::string before = Today();
  const int32_t handle = Open("till1");
  ASSERT_GT(handle, 0);

  const std::vector<ibox_sim::RecordedRequest> requests = fSimulator.Requests();
  ASSERT_FALSE(requests.empty());
  EXPECT_EQ(requests.front().path, "/db_otf_xml.xml");
  EXPECT_EQ(requests.front().query, kClearErrorsQuery);

  const std::string directory = HostDirectory() + "/LogFiles/FiscalPrinter/";
  const std::string after = Today();
  EXPECT_TRUE(fLogFileName == directory + kDriver + "_till1_" + before + ".log" ||
              fLogFileName == directory + kDriver + "_till1_" + after + ".log")
      << fLogFileName;

  const Answer close = Close(handle);
  EXPECT_EQ(close.result, 0) << close.output;
  EXPECT_EQ(Element(close.output, "Error"), "False") << close.output;
  for (const char* command : {"GETSTATUS", "CLOSE"}) {
    const Answer again = Library().Call(command, Request(handle, fSimulator.Port(), "till1"));
    EXPECT_EQ(again.result, -1) << command;
    EXPECT_EQ(again.error, kHandleNotFound) << command;
  }

  // The device is gone, so its log writer has written out every line (the writer works in the
  // background: before that the file may not exist yet).
  ASSERT_TRUE(fs::is_regular_file(fLogFileName)) << fLogFileName;
  const std::vector<std::string> log = testing::ReadLogMessages(fLogFileName);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "*************************** START ***************************");
  EXPECT_EQ(log.back(), "*************************** STOP ****************************");
  const std::vector<std::string> banner = {
      "*************************************************************",
      "kIOHandler_HTTP",
      "Version 1.8 - 07/04/2022",
      "ConnectTimeout=10",
      "ReadTimeout=20",
      "URL=127.0.0.1:" + std::to_string(fSimulator.Port()),
  };
  EXPECT_NE(std::search(log.begin(), log.end(), banner.begin(), banner.end()), log.end())
      << ::testing::PrintToString(log);
}

TEST_F(IboxExports, VersionAnswersTheDriversRelease) {
  const Answer version = Library().Call("VERSION", kDriver);
  EXPECT_EQ(version.result, 0);
  EXPECT_EQ(version.output, "Version 1.8 - 07/04/2022");
  EXPECT_TRUE(version.errorEmpty);
}

// The iBox is reached over HTTP only: the handler of another connection type is built and
// then refused by the device.
TEST_F(IboxExports, OpenWithoutAnHttpConnectionFails) {
  for (const std::string type : {"TCP", "OPOS", "Spool", "Com"}) {
    const Answer open = Library().Call("OPEN", Request(0, fSimulator.Port(), "other", type));
    const std::string message = "Invalid class typecast";
    EXPECT_EQ(open.result, -1) << type;
    EXPECT_EQ(open.error, message) << type;
    EXPECT_EQ(open.output, "<Handle>0</Handle>\r\n<Error>True</Error>\r\n<ErrorText>" + message +
                               "</ErrorText>\r\n<LogFileName></LogFileName>")
        << type;
  }
  EXPECT_TRUE(fSimulator.Requests().empty());
}

TEST_F(IboxExports, OpenWithNothingListeningReportsTheTransportError) {
  const int port = fSimulator.Port();
  fSimulator.Stop();
  const int32_t lastHandle = LastHandle();

  const Answer open = Library().Call("OPEN", Request(0, port, "nolistener"));

  EXPECT_EQ(open.result, -1) << open.output;
  EXPECT_THAT(open.output, StartsWith("<Handle>0</Handle>\r\n<Error>True</Error>\r\n"));
  // The error names the refused connection, not just the unknown status.
  EXPECT_THAT(open.error, HasSubstr("127.0.0.1"));
  EXPECT_THAT(open.error, EndsWith(" Unknown"));
  EXPECT_EQ(Element(open.output, "ErrorText"), EscapeXml(open.error));
  const std::string logFileName = Element(open.output, "LogFileName");
  EXPECT_THAT(logFileName, HasSubstr("_nolistener_"));

  // The failed device stays listed under a handle the caller was not told: it lies between
  // the handles before and after it. Closing it writes out its log.
  ibox_sim::IboxSimulator live;
  live.Start();
  const int32_t next = Open("after", live.Port());
  for (int32_t handle = lastHandle + 1; handle <= next; ++handle) Close(handle);

  // The device log names the reason the HTTP library gave.
  const std::vector<std::string> log = testing::ReadLogMessages(logFileName);
  const std::string reasonLine = "ERROR - HTTP Error:";
  EXPECT_NE(std::find_if(log.begin(), log.end(),
                         [&](const std::string& line) {
                           return line.rfind(reasonLine, 0) == 0 &&
                                  line.find("127.0.0.1") != std::string::npos;
                         }),
            log.end())
      << ::testing::PrintToString(log);
}

// Path separators in the log identity cannot move the device log out of its folder.
TEST_F(IboxExports, LogIdentityStaysInsideTheLogFolder) {
  const fs::path folder = fs::path(HostDirectory()) / "LogFiles" / "FiscalPrinter";
  for (const std::string logId : {"../escape", "..\\escape", "a/../../../b", "/abs"}) {
    const int32_t handle = Open(logId);
    ASSERT_GT(handle, 0) << logId;
    const fs::path file(fLogFileName);
    EXPECT_EQ(file.parent_path(), folder) << logId;
    EXPECT_THAT(file.filename().string(), StartsWith(kDriver + "_")) << logId;
    EXPECT_EQ(Close(handle).result, 0) << logId;
    EXPECT_TRUE(fs::is_regular_file(file)) << logId;
  }
  // Nothing was written beside the folder either (the process log lives in LogFiles).
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(HostDirectory())) {
    if (!entry.is_regular_file()) continue;
    EXPECT_TRUE(entry.path().parent_path() == folder ||
                entry.path().parent_path() == folder.parent_path())
        << entry.path();
  }
}

}  // namespace
}  // namespace nvrp
