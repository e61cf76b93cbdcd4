#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

#include "base/nv_exception.hpp"
#include "transport/com_port.hpp"
#include "transport/io_handler_serial.hpp"
#include "transport_log.hpp"

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::ElapsedMs;
using testing::kTimeoutMarginMs;
using testing::LogEntries;

// A pseudo-terminal standing in for the device: the driver opens the terminal side as COMn
// (through NVRP_COM<n>), the test plays the device on the controlling side.
class PseudoDevice {
 public:
  explicit PseudoDevice(uint32_t aComNumber) : fVariable("NVRP_COM" + std::to_string(aComNumber)) {
    char name[256] = {};
    int terminal = -1;
    if (openpty(&fDevice, &terminal, name, nullptr, nullptr) != 0) {
      ADD_FAILURE() << "openpty failed";
      return;
    }
    close(terminal);  // the driver opens it by name
    setenv(fVariable.c_str(), name, 1);
  }
  ~PseudoDevice() {
    unsetenv(fVariable.c_str());
    if (fDevice >= 0) close(fDevice);
  }

  void Send(const std::string& aBytes) const {
    ASSERT_EQ(write(fDevice, aBytes.data(), aBytes.size()), static_cast<ssize_t>(aBytes.size()));
  }
  // What the driver sent, waiting up to two seconds for aCount bytes.
  std::string Receive(size_t aCount) const {
    std::string bytes;
    while (bytes.size() < aCount) {
      pollfd entry{fDevice, POLLIN, 0};
      if (poll(&entry, 1, 2000) <= 0) break;
      char chunk[256];
      const ssize_t count = read(fDevice, chunk, sizeof chunk);
      if (count <= 0) break;
      bytes.append(chunk, static_cast<size_t>(count));
    }
    return bytes;
  }
  void Hangup() {
    close(fDevice);
    fDevice = -1;
  }
  int Fd() const { return fDevice; }

 private:
  std::string fVariable;
  int fDevice = -1;
};

constexpr uint32_t kCom = 7;

kConnection SerialConnection(const std::string& aPort, int32_t aReadTimeout = 1000) {
  kConnection connection;
  connection.SetConnectionType(tkConnectionType::Serial);
  connection.SetSerialPort(aPort);
  connection.SetSpeed(19200);
  connection.SetDataBits(8);
  connection.SetParity(tkParity::Even);
  connection.SetStopBits(2);
  connection.SetReadTimeOut(aReadTimeout);
  return connection;
}

class SerialHandlerTest : public testing::TransportLogTest {
 protected:
  std::unique_ptr<kIOHandler_Serial> Handler(const std::string& aPort = "COM7",
                                             int32_t aReadTimeout = 1000) {
    const kConnection connection = SerialConnection(aPort, aReadTimeout);
    return std::make_unique<kIOHandler_Serial>(&connection, fDirectory, kLogName);
  }
  static std::vector<std::string> Finish(std::unique_ptr<kIOHandler_Serial>& aHandler) {
    const std::string file = aHandler->GetLogFileName();
    aHandler.reset();
    return LogEntries(file);
  }
};

TEST_F(SerialHandlerTest, ConnectOpensTheLineAndExchangesBytes) {
  PseudoDevice device(kCom);
  auto handler = Handler("com7");
  ASSERT_TRUE(handler->Connect());
  EXPECT_TRUE(handler->Connected());

  EXPECT_TRUE(handler->Write("\xCE\x91\xCE\xB2\x05"));  // Greek, sent in code page 1253
  EXPECT_EQ(device.Receive(3), "\xC1\xE2\x05");
  device.Send(
      "OK\x03"
      "rest");
  EXPECT_EQ(handler->ReadUpTo({3, 6}), "OK\x03");
  EXPECT_TRUE(handler->InputBufferContainsData());
  EXPECT_EQ(handler->ReadChars(4), "rest");
  device.Send("\xE9");
  EXPECT_EQ(handler->ReadChars(1), "\xC3\xA9");  // each byte is the character of its code
  EXPECT_THROW(handler->ReadAll(), Exception);

  EXPECT_TRUE(handler->Disconnect());
  EXPECT_FALSE(handler->Connected());
  const auto log = Finish(handler);
  EXPECT_TRUE(
      ContainsRun(log, {"I:ReadTimeout=1000", "I:Serial Driver Version: 1.0", "I:SerialPort=COM7",
                        "I:Speed=19200", "I:Parity=even", "I:DataBits=8", "I:StopBits=2"}))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(ContainsRun(log, {"I:Write:\xCE\x91\xCE\xB2\x05", "I:Waiting for:\x03,\x06",
                                "I:Read:OK\x03", "I:Read:rest"}))
      << ::testing::PrintToString(log);
}

TEST_F(SerialHandlerTest, QuietLineEndsReadsAtTheTimeout) {
  PseudoDevice device(kCom);
  constexpr int32_t kTimeout = 300;
  auto handler = Handler("COM7", kTimeout);
  ASSERT_TRUE(handler->Connect());
  for (const bool upTo : {false, true}) {
    std::string text = "unset";
    const int64_t elapsed =
        ElapsedMs([&] { text = upTo ? handler->ReadUpTo({3}) : handler->ReadChars(2); });
    EXPECT_EQ(text, "");
    EXPECT_GE(elapsed, kTimeout);
    EXPECT_LT(elapsed, kTimeout + kTimeoutMarginMs);
  }
  const auto log = Finish(handler);
  EXPECT_EQ(std::count(log.begin(), log.end(), "E:Read Timeout:"), 2);
}

TEST_F(SerialHandlerTest, LineSendingUnwantedBytesCannotHoldAReadPastTheTimeout) {
  PseudoDevice device(kCom);
  constexpr int32_t kTimeout = 300;
  auto handler = Handler("COM7", kTimeout);
  ASSERT_TRUE(handler->Connect());
  std::atomic<bool> stop{false};
  std::thread flood([&] {
    while (!stop) {
      if (write(device.Fd(), "xxxxxxxx", 8) < 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  });
  std::string text;
  const int64_t elapsed = ElapsedMs([&] { text = handler->ReadUpTo({3}); });
  stop = true;
  flood.join();
  EXPECT_LT(elapsed, kTimeout + kTimeoutMarginMs);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_not_of('x'), std::string::npos);
}

// A line that is gone (the other side hung up) ends every read at once, after one error line.
// (A line error that later bytes may follow, such as a parity or framing error, is logged and
// reading goes on; a pseudo-terminal cannot produce one.)
TEST_F(SerialHandlerTest, HungUpLineEndsEveryReadAtOnce) {
  PseudoDevice device(kCom);
  auto handler = Handler("COM7", 5000);
  ASSERT_TRUE(handler->Connect());
  device.Send("A");
  EXPECT_EQ(handler->ReadChars(1), "A");
  device.Hangup();  // reading the terminal now fails with an I/O error
  const std::function<std::string()> reads[] = {
      [&] { return handler->ReadUpTo({3}); },
      [&] { return handler->ReadChars(2); },
  };
  for (const auto& read : reads) {
    std::string text = "unset";
    EXPECT_LT(ElapsedMs([&] { text = read(); }), kTimeoutMarginMs);
    EXPECT_EQ(text, "");
  }
  EXPECT_TRUE(handler->ComPort().LineGone());
  const auto log = Finish(handler);
  const std::string error = "E:Read Error:" + std::to_string(EIO);
  EXPECT_TRUE(
      ContainsRun(log, {"I:Waiting for:\x03", error, "E:Read Timeout:", error, "E:Read Timeout:"}))
      << ::testing::PrintToString(log);
}

TEST_F(SerialHandlerTest, MissingDeviceIsNotAValidComPort) {
  setenv("NVRP_COM8", "/nonexistent/ttyNVRP", 1);
  auto handler = Handler("COM8");
  try {
    handler->Connect();
    ADD_FAILURE() << "opened a missing device";
  } catch (const TComPortException& error) {
    EXPECT_STREQ(error.what(), "COM8 is not a valid COM port.");
  }
  EXPECT_FALSE(handler->Connected());
  unsetenv("NVRP_COM8");
}

TEST_F(SerialHandlerTest, DeviceThatCannotBeOpenedNamesTheError) {
  setenv("NVRP_COM9", fDirectory.c_str(), 1);  // a directory: no terminal
  std::filesystem::create_directories(fDirectory);
  TComPort port(9);
  try {
    port.Open();
    ADD_FAILURE() << "opened a directory";
  } catch (const TComPortException& error) {
    EXPECT_STREQ(error.what(),
                 ("Cannot open COM9 (error #" + std::to_string(EISDIR) + ").").c_str());
  }
  unsetenv("NVRP_COM9");
}

TEST(SerialHandlerSettings, BadSettingsStopCreation) {
  const struct {
    std::string port;
    int32_t stopBits;
    tkParity parity;
    std::string message;
  } cases[] = {
      {"COM1", 0, tkParity::None, "Stop Bits 0 invalid"},
      {"COM1", 3, tkParity::None, "Stop Bits 3 invalid"},
      {"COM1", 1, static_cast<tkParity>(9), "Parity invalid"},
      {"COM", 1, tkParity::None, "'' is not a valid integer value"},
      {"COMx", 1, tkParity::None, "'x' is not a valid integer value"},
      {"ttyS0", 1, tkParity::None, "'S0' is not a valid integer value"},
      {"COM99999", 1, tkParity::None, "COM99999 is not a valid COM port."},
      {"COM0", 1, tkParity::None, "COM0 is not a valid COM port."},
      {"LPT1", 1, tkParity::None, "LPT1 is not a valid COM port."},
  };
  for (const auto& c : cases) {
    kConnection connection = SerialConnection(c.port);
    connection.SetStopBits(c.stopBits);
    connection.SetParity(c.parity);
    try {
      kIOHandler_Serial handler(&connection, "", "");
      ADD_FAILURE() << c.message << ": created";
    } catch (const Exception& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
  // A parity word spelt oddly is refused by the connection settings already.
  EXPECT_THROW(kConnection::ConvertParity("Spce"), Exception);
}

TEST(SerialHandlerSettings, PortNumbersAndDevicePaths) {
  EXPECT_EQ(kIOHandler_Serial::ComNumberOf("COM3"), 3u);
  EXPECT_EQ(kIOHandler_Serial::ComNumberOf("COM12"), 12u);
  EXPECT_EQ(kIOHandler_Serial::ComNumberOf("com255"), 255u);
  unsetenv("NVRP_COM10");
  EXPECT_EQ(serial_port::DevicePath(1), "/dev/ttyS0");
  EXPECT_EQ(serial_port::DevicePath(10), "/dev/ttyS9");
  setenv("NVRP_COM10", "/dev/ttyUSB0", 1);
  EXPECT_EQ(serial_port::DevicePath(10), "/dev/ttyUSB0");
  unsetenv("NVRP_COM10");
}

TEST(ComPort, ClosedPortRefusesEveryLineOperation) {
  TComPort port(7);
  char byte = 0;
  int32_t error = 0;
  const struct {
    std::function<void()> call;
    const char* message;
  } cases[] = {
      {[&] { port.Read(&byte, 1, 100, error); }, "Cannot read because COM port is not open."},
      {[&] { port.WriteText("x"); }, "Cannot write because COM port is not open."},
      {[&] { port.SetRTS(true); }, "SetRTS failed because COM port not open."},
      {[&] { port.SetDTR(true); }, "SetDTR failed because COM port not open."},
  };
  for (const auto& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.message;
    } catch (const TComPortException& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
  EXPECT_EQ(port.GetBytesPending(), 0);
  EXPECT_NO_THROW(port.ClearBuffers());
  EXPECT_EQ(port.BaudRate(), 9600u);
  EXPECT_EQ(port.DataBits(), 8);
  EXPECT_EQ(port.StopBits(), TStopBits::sbOne);
  EXPECT_EQ(port.Parity(), TParity::ptNone);
  EXPECT_EQ(TComPort::DriverVersion(), "1.0");
}

TEST(ComPort, LineParametersReachTheTerminal) {
  PseudoDevice device(kCom);
  TComPort port(kCom, 9600, 8, TStopBits::sbOne, TParity::ptNone);
  port.Open();
  EXPECT_EQ(port.CurrentComTimeout(), TComPort::kNoTimeout);
  const struct {
    uint32_t baud;
    uint8_t data;
    TStopBits stop;
    TParity parity;
    bool accepted;
  } cases[] = {
      {115200, 7, TStopBits::sbTwo, TParity::ptOdd, true},
      {4800, 5, TStopBits::sbOneHalf, TParity::ptMark, true},
      {9600, 8, TStopBits::sbOne, TParity::ptSpace, true},
      {9600, 8, TStopBits::sbOneHalf, TParity::ptNone, false},  // 1.5 only with 5 data bits
      {12345, 8, TStopBits::sbOne, TParity::ptNone, false},
      {9600, 9, TStopBits::sbOne, TParity::ptNone, false},
  };
  for (const auto& c : cases) {
    if (c.accepted) {
      EXPECT_NO_THROW(port.SetLineParameters(c.baud, c.data, c.stop, c.parity)) << c.baud;
      EXPECT_EQ(port.BaudRate(), c.baud);
      EXPECT_EQ(port.DataBits(), c.data);
      EXPECT_EQ(port.StopBits(), c.stop);
      EXPECT_EQ(port.Parity(), c.parity);
    } else {
      try {
        port.SetLineParameters(c.baud, c.data, c.stop, c.parity);
        ADD_FAILURE() << c.baud << " accepted";
      } catch (const TComPortException& e) {
        EXPECT_STREQ(e.what(), "SetCommState failed!");
      }
    }
  }
  char byte = 0;
  int32_t error = 0;
  EXPECT_EQ(port.Read(&byte, 1, 50, error), 0);
  EXPECT_EQ(port.CurrentComTimeout(), 50u);
  device.Send("Z");
  EXPECT_EQ(port.Read(&byte, 1, 0, error), 1);  // 0 keeps the time-out handed before
  EXPECT_EQ(byte, 'Z');
  EXPECT_TRUE(port.WriteText("hello"));
  EXPECT_EQ(device.Receive(5), "hello");
  port.Close();
  EXPECT_FALSE(port.ComIsOpen());
}

}  // namespace
}  // namespace nvrp
