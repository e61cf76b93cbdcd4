#include "transport/io_handler_factory.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "support/test_platform.hpp"
#include "transport/io_handler_http.hpp"
#include "transport/io_handler_opos.hpp"
#include "transport/io_handler_serial.hpp"
#include "transport/io_handler_spool.hpp"
#include "transport/io_handler_tcp.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

// A transport that only remembers how it was built.
class kIOHandler_Recorder : public kIOHandler {
 public:
  kIOHandler_Recorder(const kConnection& aConnection, const std::string& aDirectory,
                      const std::string& aFileName)
      : kIOHandler(&aConnection, aDirectory, aFileName),
        deviceName(aConnection.DeviceName()),
        directory(aDirectory),
        fileName(aFileName) {}

  bool Connected() const override { return true; }
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::string&) override { return true; }
  std::string ReadUpTo(const std::vector<uint8_t>&) override { return ""; }
  std::string ReadChars(int32_t) override { return ""; }
  std::string ReadAll() override { return ""; }
  std::string DecodeError(int32_t) override { return ""; }
  bool InputBufferContainsData() override { return false; }
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override { return "kIOHandler_Recorder"; }

  std::string deviceName;
  std::string directory;
  std::string fileName;
};

std::unique_ptr<kIOHandler> CreateRecorder(const kConnection& aConnection,
                                           const std::string& aDirectory,
                                           const std::string& aFileName) {
  return std::make_unique<kIOHandler_Recorder>(aConnection, aDirectory, aFileName);
}

constexpr tkConnectionType kAllTypes[] = {
    tkConnectionType::OPOS, tkConnectionType::TCP, tkConnectionType::HTTP, tkConnectionType::Serial,
    tkConnectionType::DLL,  tkConnectionType::Com, tkConnectionType::Spool};

kConnection ConnectionOfType(tkConnectionType aType) {
  kConnection connection;
  connection.SetConnectionType(aType);
  return connection;
}

// Leaves the registry as it found it and gives each test a log directory of its own.
class IOHandlerFactoryTest : public ::testing::Test {
 protected:
  IOHandlerFactoryTest() {
    static std::atomic<int> counter{0};
    logDir_ =
        (fs::temp_directory_path() / ("nvrp_iofactory_" + std::to_string(testing::ProcessId()) +
                                      "_" + std::to_string(counter++)))
            .string();
  }
  ~IOHandlerFactoryTest() override {
    for (const tkConnectionType type : kAllTypes) UnregisterIOHandlerClass(type);
    std::error_code ignored;
    fs::remove_all(logDir_, ignored);
  }

  std::string logDir_;
};

TEST(SafeLogBaseName, JoinsDriverAndLogIdWithoutPathSeparators) {
  const struct {
    const char* driver;
    const char* logId;
    const char* expected;
  } cases[] = {
      {"NVRP_RORERER_10", "till1", "NVRP_RORERER_10_till1"},
      {"NVRP_RORERER_10", "", "NVRP_RORERER_10_"},
      {"NVRP_RORERER_10", "../../etc/cron.d/x", "NVRP_RORERER_10_.._.._etc_cron.d_x"},
      {"NVRP_RORERER_10", "..\\..\\x", "NVRP_RORERER_10_.._.._x"},
      {"NVRP_RORERER_10", "..", "NVRP_RORERER_10_.."},
      {"/abs/driver", "till", "_abs_driver_till"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SafeLogBaseName(c.driver, c.logId), c.expected) << c.logId;
  }
}

TEST_F(IOHandlerFactoryTest, HttpConnectionGetsHttpHandlerWithDailyLog) {
  kConnection connection = ConnectionOfType(tkConnectionType::HTTP);
  connection.SetAddress("http://10.0.0.5");
  connection.SetPort(8080);
  for (const bool hex_log : {false, true}) {
    const auto handler = CreateIOHandlerForConnection(
        connection, logDir_, SafeLogBaseName("NVRP_RORERER_10", "till1"), hex_log);

    const auto* http = dynamic_cast<const kIOHandler_HTTP*>(handler.get());
    ASSERT_NE(http, nullptr);
    EXPECT_EQ(http->URL(), "http://10.0.0.5:8080");
    EXPECT_EQ(handler->HexLog(), hex_log);
    const std::string expected_file =
        (fs::path(logDir_) /
         ("NVRP_RORERER_10_till1_" + FormatDateTime("yyyymmdd", Now()) + ".log"))
            .string();
    EXPECT_EQ(testing::GenericPath(handler->GetLogFileName()), testing::GenericPath(expected_file));
  }
}

TEST_F(IOHandlerFactoryTest, StreamConnectionsGetTheirHandlersWithTheirSettings) {
  kConnection tcp = ConnectionOfType(tkConnectionType::TCP);
  tcp.SetAddress("192.0.2.7");
  tcp.SetPort(9100);
  const auto tcpHandler = CreateIOHandlerForConnection(tcp, logDir_, "NVRP_tcp", true);
  const auto* tcpClass = dynamic_cast<const kIOHandler_TCP*>(tcpHandler.get());
  ASSERT_NE(tcpClass, nullptr);
  EXPECT_EQ(tcpClass->Host(), "192.0.2.7");
  EXPECT_EQ(tcpClass->Port(), 9100);
  EXPECT_TRUE(tcpHandler->HexLog());

  kConnection serial = ConnectionOfType(tkConnectionType::Serial);
  serial.SetSerialPort("COM3");
  serial.SetSpeed(115200);
  serial.SetDataBits(7);
  serial.SetParity(tkParity::Odd);
  serial.SetStopBits(2);
  const auto serialHandler = CreateIOHandlerForConnection(serial, logDir_, "NVRP_serial", false);
  auto* serialClass = dynamic_cast<kIOHandler_Serial*>(serialHandler.get());
  ASSERT_NE(serialClass, nullptr);
  EXPECT_EQ(serialClass->ComPort().ComNumber(), 3u);
  EXPECT_EQ(serialClass->ComPort().BaudRate(), 115200u);
  EXPECT_EQ(serialClass->ComPort().DataBits(), 7);
  EXPECT_EQ(serialClass->ComPort().Parity(), TParity::ptOdd);
  EXPECT_EQ(serialClass->ComPort().StopBits(), TStopBits::sbTwo);
  EXPECT_FALSE(serialHandler->Connected());
}

TEST_F(IOHandlerFactoryTest, UnsafeLogNameStaysInLogDirectory) {
  const std::string log_file = [&] {
    const auto handler = CreateIOHandlerForConnection(ConnectionOfType(tkConnectionType::HTTP),
                                                      logDir_, "NVRP_../../escaped", false);
    return handler->GetLogFileName();
  }();
  EXPECT_EQ(fs::path(log_file).parent_path(), fs::path(logDir_));
  EXPECT_EQ(fs::path(log_file).filename().string().rfind("NVRP_.._.._escaped_", 0), 0u);
  EXPECT_TRUE(fs::exists(log_file));  // the start and stop banners were written there
}

TEST_F(IOHandlerFactoryTest, EveryTypeBuildsItsHandlerClass) {
  const struct {
    tkConnectionType type;
    const char* className;
  } cases[] = {
      {tkConnectionType::OPOS, "kIOHandler_OPOS"},
      {tkConnectionType::TCP, "kIOHandler_TCP"},
      {tkConnectionType::HTTP, "kIOHandler_HTTP"},
      {tkConnectionType::Serial, "kIOHandler_Serial"},
      {tkConnectionType::DLL, "kIOHandler_Dll"},
      {tkConnectionType::Com, "kIOHandler_Com"},
      {tkConnectionType::Spool, "kIOHandler_Spool"},
  };
  for (const auto& c : cases) {
    kConnection connection = ConnectionOfType(c.type);
    connection.SetSerialPort("COM1");
    connection.SetStopBits(1);
    connection.SetLibraryName(NVRP_TEST_TRANSPORT_PLUGIN);
    const auto handler = CreateIOHandlerForConnection(connection, logDir_, "NVRP_till1", true);
    ASSERT_NE(handler, nullptr) << c.className;
    EXPECT_EQ(handler->ClassName(), c.className);
    EXPECT_TRUE(handler->HexLog());
  }
}

TEST_F(IOHandlerFactoryTest, HandlersReadTheirOwnSettings) {
  kConnection opos = ConnectionOfType(tkConnectionType::OPOS);
  opos.SetDeviceName("FiscalPrinter1");
  const auto oposHandler = CreateIOHandlerForConnection(opos, "", "", false);
  EXPECT_EQ(dynamic_cast<kIOHandler_OPOS&>(*oposHandler).DeviceName(), "FiscalPrinter1");

  kConnection spool = ConnectionOfType(tkConnectionType::Spool);
  spool.SetPrinterName("Receipts");
  const auto spoolHandler = CreateIOHandlerForConnection(spool, "", "", false);
  EXPECT_EQ(dynamic_cast<kIOHandler_Spool&>(*spoolHandler).PrinterName(), "Receipts");

  // A library that cannot be loaded stops the construction with its reason.
  kConnection dll = ConnectionOfType(tkConnectionType::DLL);
  dll.SetLibraryName("/nonexistent/plugin.so");
  EXPECT_THROW(CreateIOHandlerForConnection(dll, "", "", false), Exception);
}

TEST_F(IOHandlerFactoryTest, RegisteredClassBuildsItsType) {
  RegisterIOHandlerClass(tkConnectionType::OPOS, CreateRecorder);
  kConnection connection = ConnectionOfType(tkConnectionType::OPOS);
  connection.SetDeviceName("FiscalPrinter1");

  const auto handler = CreateIOHandlerForConnection(connection, logDir_, "NVRP_a/b", true);

  const auto* recorder = dynamic_cast<const kIOHandler_Recorder*>(handler.get());
  ASSERT_NE(recorder, nullptr);
  EXPECT_EQ(recorder->deviceName, "FiscalPrinter1");
  EXPECT_EQ(recorder->directory, logDir_);
  EXPECT_EQ(recorder->fileName, "NVRP_a_b");
  EXPECT_TRUE(handler->HexLog());

  UnregisterIOHandlerClass(tkConnectionType::OPOS);
  EXPECT_NE(
      dynamic_cast<kIOHandler_OPOS*>(CreateIOHandlerForConnection(connection, "", "", false).get()),
      nullptr);
}

TEST_F(IOHandlerFactoryTest, RegistrationReplacesBuiltInHttpUntilRemoved) {
  const kConnection connection = ConnectionOfType(tkConnectionType::HTTP);
  RegisterIOHandlerClass(tkConnectionType::HTTP, CreateRecorder);
  EXPECT_NE(dynamic_cast<kIOHandler_Recorder*>(
                CreateIOHandlerForConnection(connection, "", "", false).get()),
            nullptr);

  UnregisterIOHandlerClass(tkConnectionType::HTTP);
  EXPECT_NE(
      dynamic_cast<kIOHandler_HTTP*>(CreateIOHandlerForConnection(connection, "", "", false).get()),
      nullptr);
}

TEST_F(IOHandlerFactoryTest, FactoryThatBuildsNothingCountsAsUnsupported) {
  RegisterIOHandlerClass(tkConnectionType::TCP,
                         [](const kConnection&, const std::string&, const std::string&) {
                           return std::unique_ptr<kIOHandler>();
                         });
  EXPECT_THROW(CreateIOHandlerForConnection(ConnectionOfType(tkConnectionType::TCP), "", "", false),
               Exception);
}

}  // namespace
}  // namespace nvrp
