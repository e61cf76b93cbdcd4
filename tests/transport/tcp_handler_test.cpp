#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "support/test_socket.hpp"
#include "transport/io_handler_tcp.hpp"
#include "transport_log.hpp"

// The TCP handler against a device on a loopback port, on both systems.

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::ElapsedMs;
using testing::kTimeoutMarginMs;
using testing::LogEntries;
using testing::LoopbackDevice;
using testing::SocketHandle;
namespace test_socket = testing::test_socket;

// Answers "OK" + ETX to every request ending in ENQ.
void Answering(SocketHandle aClient, LoopbackDevice& aDevice) {
  while (!aDevice.Stopping()) {
    const std::string request = aDevice.ReceiveUpTo(aClient, '\x05');
    if (request.empty()) return;
    if (request.back() == '\x05') LoopbackDevice::SendAll(aClient, "OK\x03");
  }
}

// Answers "OK" ETX and then "rest" to a command ended by ENQ.
void AnsweringWithRest(SocketHandle aClient, LoopbackDevice& aDevice) {
  while (!aDevice.Stopping()) {
    if (aDevice.ReceiveUpTo(aClient, '\x05').empty()) return;
    LoopbackDevice::SendAll(aClient, "OK\x03rest");
  }
}

void Silent(SocketHandle aClient, LoopbackDevice& aDevice) { aDevice.WaitForClose(aClient); }

// Sends two bytes and hangs up.
void ClosingMidRead(SocketHandle aClient, LoopbackDevice&) {
  LoopbackDevice::SendAll(aClient, "AB");
}

// Sends unwanted bytes until the client goes away.
void Flooding(SocketHandle aClient, LoopbackDevice& aDevice) {
  const std::string chunk(512, 'x');
  while (!aDevice.Stopping()) {
    if (!test_socket::Ready(aClient, true, 50)) continue;
    if (test_socket::Send(aClient, chunk) <= 0) return;
  }
}

// Accepts and sends nothing; closes once the client did.
void AcceptOnly(SocketHandle aClient, LoopbackDevice& aDevice) { aDevice.WaitForClose(aClient); }

// Accepts and never reads, so that the line fills up.
void NeverReading(SocketHandle, LoopbackDevice& aDevice) {
  while (!aDevice.Stopping()) std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// Answers "A" a moment after the connection came.
void AnsweringLate(SocketHandle aClient, LoopbackDevice& aDevice) {
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  LoopbackDevice::SendAll(aClient, "A\x03");
  aDevice.WaitForClose(aClient);
}

class TcpHandlerTest : public testing::TransportLogTest {
 protected:
  std::unique_ptr<kIOHandler_TCP> Handler(int32_t aPort, int32_t aReadTimeout = 1000,
                                          int32_t aConnectTimeout = 2000) {
    kConnection connection;
    connection.SetConnectionType(tkConnectionType::TCP);
    connection.SetAddress("127.0.0.1");
    connection.SetPort(aPort);
    connection.SetConnectTimeOut(aConnectTimeout);
    connection.SetReadTimeOut(aReadTimeout);
    return std::make_unique<kIOHandler_TCP>(&connection, fDirectory, kLogName);
  }
  // Destroys the handler and answers its log.
  static std::vector<std::string> Finish(std::unique_ptr<kIOHandler_TCP>& aHandler) {
    const std::string file = aHandler->GetLogFileName();
    aHandler.reset();
    return LogEntries(file);
  }
};

TEST_F(TcpHandlerTest, ConnectProvesTheDeviceIsReachableAndLeavesTheSocketClosed) {
  LoopbackDevice device(AcceptOnly);
  // A port above 65535 keeps its low 16 bits.
  auto handler = Handler(0x10000 + device.Port());
  EXPECT_EQ(handler->Port(), device.Port());

  EXPECT_TRUE(handler->Connect());
  EXPECT_FALSE(handler->Connected());
  EXPECT_TRUE(handler->Disconnect());

  for (int i = 0; i < 100 && device.Connections() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const auto log = Finish(handler);
  EXPECT_TRUE(
      ContainsRun(log, {"I:*************************************************************",
                        "I:kIOHandler_TCP", "I:", "I:ConnectTimeout=2000", "I:ReadTimeout=1000",
                        "I:Host=127.0.0.1", "I:Port=" + std::to_string(device.Port())}))
      << ::testing::PrintToString(log);
  EXPECT_EQ(device.Connections(), 1);
}

TEST_F(TcpHandlerTest, DeviceThatNeverCompletesTheConnectionIsAConnectTimeout) {
  LoopbackDevice device(AcceptOnly, {.fSilent = true});
  auto handler = Handler(device.Port(), 1000, 500);
  bool connected = true;
  const int64_t elapsed = ElapsedMs([&] { connected = handler->Connect(); });
  EXPECT_FALSE(connected);
  EXPECT_GE(elapsed, 500);
  EXPECT_LT(elapsed, 500 + kTimeoutMarginMs);
  const auto log = Finish(handler);
  EXPECT_NE(std::find(log.begin(), log.end(), "E:Connect Timeout:"), log.end())
      << ::testing::PrintToString(log);
}

TEST_F(TcpHandlerTest, ConnectToNoListenerLogsTheError) {
  uint16_t port = 0;
  {
    LoopbackDevice gone(AcceptOnly);
    port = gone.Port();
  }
  auto handler = Handler(port);
  bool connected = true;
  EXPECT_LT(ElapsedMs([&] { connected = handler->Connect(); }), 2000)
      << "a refusal is not a time-out";
  EXPECT_FALSE(connected);
  const auto log = Finish(handler);
  EXPECT_EQ(log[log.size() - 2], "E:Connect Error:" + test_socket::RefusedReason());
}

TEST_F(TcpHandlerTest, UnknownHostIsAConnectError) {
  kConnection connection;
  connection.SetAddress("no-such-host.invalid");
  connection.SetPort(80);
  auto handler = std::make_unique<kIOHandler_TCP>(&connection, fDirectory, kLogName);
  EXPECT_FALSE(handler->Connect());
  const auto log = Finish(handler);
  EXPECT_EQ(log[log.size() - 2].rfind("E:Connect Error:", 0), 0u) << ::testing::PrintToString(log);
}

TEST_F(TcpHandlerTest, AnsweringDeviceReadUpToTheWantedCharacter) {
  LoopbackDevice device(Answering);
  auto handler = Handler(device.Port());
  for (const bool hexLog : {false, true}) {
    handler->SetHexLog(hexLog);
    EXPECT_TRUE(handler->Write("STATUS\x05"));
    EXPECT_EQ(handler->ReadUpTo({3, 6}), "OK\x03");
  }
  EXPECT_TRUE(handler->Connected());
  EXPECT_FALSE(handler->InputBufferContainsData());
  EXPECT_TRUE(handler->Disconnect());
  EXPECT_FALSE(handler->Connected());

  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:Write:STATUS\x05", "I:Waiting for:\x03,\x06", "I:Read:OK\x03"}))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(ContainsRun(log, {"I:Write:STATUS\x05 [53 54 41 54 55 53 05]",
                                "I:Waiting for:\x03,\x06 [03,06]", "I:Read:OK\x03 [4f 4b 03]"}))
      << ::testing::PrintToString(log);
  EXPECT_EQ(device.Received(), "STATUS\x05STATUS\x05");
}

TEST_F(TcpHandlerTest, ExchangeKeepsWhatFollowsTheWantedByteForTheNextRead) {
  LoopbackDevice device(AnsweringWithRest);
  auto handler = Handler(device.Port(), 500);
  EXPECT_TRUE(handler->Write("STATUS\x05"));
  EXPECT_EQ(handler->ReadUpTo({3, 6}), "OK\x03");
  for (int i = 0; i < 100 && !handler->InputBufferContainsData(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(handler->InputBufferContainsData());
  EXPECT_EQ(handler->ReadChars(4), "rest");

  std::string late;
  const int64_t elapsed = ElapsedMs([&] { late = handler->ReadChars(1); });
  EXPECT_EQ(late, "");
  EXPECT_GE(elapsed, 500);
  EXPECT_LT(elapsed, 500 + kTimeoutMarginMs);

  // A second command on the same connection; its rest is discarded.
  EXPECT_TRUE(handler->Write("AGAIN\x05"));
  EXPECT_EQ(handler->ReadUpTo({3}), "OK\x03");
  for (int i = 0; i < 100 && !handler->InputBufferContainsData(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  handler->ClearBuffers();
  EXPECT_EQ(handler->ReadChars(4), "");
  EXPECT_EQ(device.Connections(), 1);
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:Write:STATUS\x05", "I:Waiting for:\x03,\x06", "I:Read:OK\x03",
                                "I:Read:rest", "E:Read Timeout:"}))
      << ::testing::PrintToString(log);
}

TEST_F(TcpHandlerTest, SilentDeviceEndsEveryReadAtTheTimeout) {
  LoopbackDevice device(Silent);
  constexpr int32_t kTimeout = 300;
  auto handler = Handler(device.Port(), kTimeout);
  const std::function<std::string()> reads[] = {
      [&] { return handler->ReadChars(4); },
      [&] { return handler->ReadUpTo({3}); },
      [&] { return handler->ReadAll(); },
  };
  for (const auto& read : reads) {
    std::string text = "unset";
    const int64_t elapsed = ElapsedMs([&] { text = read(); });
    EXPECT_EQ(text, "");
    EXPECT_GE(elapsed, kTimeout);
    EXPECT_LT(elapsed, kTimeout + kTimeoutMarginMs);
  }
  const auto log = Finish(handler);
  EXPECT_EQ(std::count(log.begin(), log.end(), "E:Read Timeout:"), 3)
      << ::testing::PrintToString(log);
}

TEST_F(TcpHandlerTest, DeviceClosingMidReadGivesWhatArrived) {
  LoopbackDevice device(ClosingMidRead);
  auto handler = Handler(device.Port());
  EXPECT_EQ(handler->ReadChars(5), "AB");
  handler->Disconnect();
  EXPECT_EQ(handler->ReadUpTo({3}), "AB");
  handler->Disconnect();
  EXPECT_EQ(handler->ReadAll(), "AB");
  EXPECT_FALSE(handler->Connected());

  const auto log = Finish(handler);
  // One failure, one line: the close ends ReadChars without a time-out line after it.
  EXPECT_TRUE(ContainsRun(
      log, {"E:ReadChars Unexpected error:Connection closed by the device.", "I:Waiting for:\x03"}))
      << ::testing::PrintToString(log);
  EXPECT_TRUE(ContainsRun(
      log, {"I:Waiting for:\x03", "E:ReadUpTo Unexpected error:Connection closed by the device."}))
      << ::testing::PrintToString(log);
  EXPECT_EQ(log[log.size() - 2], "I:Read:AB");  // ReadAll: the close ends it normally
}

TEST_F(TcpHandlerTest, FloodingDeviceCannotHoldAReadPastTheTimeout) {
  LoopbackDevice device(Flooding);
  constexpr int32_t kTimeout = 300;
  auto handler = Handler(device.Port(), kTimeout);
  std::string upTo;
  std::string all;
  EXPECT_LT(ElapsedMs([&] { upTo = handler->ReadUpTo({3}); }), kTimeout + kTimeoutMarginMs);
  EXPECT_LT(ElapsedMs([&] { all = handler->ReadAll(); }), kTimeout + kTimeoutMarginMs);
  EXPECT_FALSE(upTo.empty());
  EXPECT_EQ(upTo.find_first_not_of('x'), std::string::npos);
  EXPECT_FALSE(all.empty());
  EXPECT_EQ(handler->ReadChars(10), std::string(10, 'x'));
  EXPECT_TRUE(handler->InputBufferContainsData());
  EXPECT_LT(ElapsedMs([&] { handler->ClearBuffers(); }), kTimeoutMarginMs);

  const auto log = Finish(handler);
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& e) { return e.rfind("E:Read Timeout:x", 0) == 0; }),
            2);
  EXPECT_TRUE(ContainsRun(log, {"I:Read:xxxxxxxxxx"}));
}

TEST_F(TcpHandlerTest, WriteEncodesTextByCodePage) {
  LoopbackDevice device(Silent);
  auto handler = Handler(device.Port());
  const struct {
    int32_t codePage;
    std::string text;
    std::string bytes;
  } cases[] = {
      {0, "caf\xC3\xA9", "caf\xE9"},           // one byte per character up to 255
      {1253, "\xCE\x91\xCE\xB2", "\xC1\xE2"},  // Greek capital alpha, small beta
      {1252, "\xE2\x82\xAC", "\x80"},          // the euro sign
      {1252, "\xCE\x91", "?"},                 // a character the code page lacks
  };
  std::string expected;
  for (const auto& c : cases) {
    handler->SetCodePage(c.codePage);
    EXPECT_TRUE(handler->Write(c.text)) << c.codePage;
    expected += c.bytes;
  }
  EXPECT_TRUE(handler->WriteBytes(std::string("\x00\xFF", 2)));
  expected += std::string("\x00\xFF", 2);
  EXPECT_FALSE(handler->ErrorFound());
  handler->Disconnect();
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"I:Write:\xCE\x91\xCE\xB2"}));
  for (int i = 0; i < 50 && device.Received().size() < expected.size(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(device.Received(), expected);
}

TEST_F(TcpHandlerTest, TextThatCannotBeEncodedIsNotSent) {
  LoopbackDevice device(Silent);
  auto handler = Handler(device.Port());
  // Greek alpha is above 255: without a code page it cannot go over the line.
  EXPECT_FALSE(handler->Write("A\xCE\x91"));
  EXPECT_TRUE(handler->ErrorFound());
  EXPECT_EQ(handler->ErrorMessage(),
            "The text holds a character above 255, which cannot be sent without a code page");
  handler->SetCodePage(99999);
  EXPECT_FALSE(handler->Write("A"));
  EXPECT_EQ(handler->ErrorMessage(), "Code page 99999 is not known");
  EXPECT_EQ(device.Connections(), 0);
  EXPECT_EQ(device.Received(), "");
}

TEST_F(TcpHandlerTest, WriteToNoListenerFailsWithTheReason) {
  uint16_t port = 0;
  {
    LoopbackDevice gone(AcceptOnly);
    port = gone.Port();
  }
  auto handler = Handler(port);
  EXPECT_FALSE(handler->Write("X"));
  EXPECT_EQ(handler->ErrorMessage(), test_socket::RefusedReason());
  EXPECT_EQ(handler->ReadAll(), "");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"E:ReadAll Unexpected error:" + test_socket::RefusedReason()}));
}

// A device that accepts and never reads, with a small receive buffer: once the buffers of the
// line are full, a write gives up after the read time-out (a second when none is set) with
// no byte moving, instead of holding the caller.
TEST_F(TcpHandlerTest, WriteToADeviceThatNeverReadsEndsAtTheTimeout) {
  // More than the system's largest send buffer and the device's receive buffer hold.
  const std::string block(6 << 20, 'x');
  const struct {
    int32_t readTimeout;
    bool bytes;
    int32_t stallMs;
  } cases[] = {{300, false, 300}, {0, true, 1000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.readTimeout);
    LoopbackDevice device(NeverReading, {.fReceiveBuffer = 4096});
    auto handler = Handler(device.Port(), c.readTimeout);
    bool written = true;
    const int64_t elapsed =
        ElapsedMs([&] { written = c.bytes ? handler->WriteBytes(block) : handler->Write(block); });
    const std::string stalled = "The device took no byte for " + std::to_string(c.stallMs) + " ms.";
    EXPECT_FALSE(written);
    EXPECT_GE(elapsed, c.stallMs);
    // Encoding and logging the block and filling the line's buffers come on top (seconds on
    // a loaded machine with the sanitizers); without the time-out the write never ends.
    EXPECT_LT(elapsed, c.stallMs + 5 * kTimeoutMarginMs);
    EXPECT_TRUE(handler->ErrorFound());
    EXPECT_EQ(handler->ErrorMessage(), stalled);
    EXPECT_FALSE(handler->Connected());
    const auto log = Finish(handler);
    EXPECT_EQ(log[log.size() - 2], "E:Write Error:" + stalled);
  }
}

// A connection that takes longer than the read time-out to come (the device's queue is full
// at first, so the first request is dropped and sent again): the read time-out starts once
// the connection is there, so the answer that follows it is read.
TEST_F(TcpHandlerTest, ReadTimeoutStartsOnceTheConnectionIsMade) {
  constexpr int32_t kReadTimeout = 500;
  const std::function<std::string(kIOHandler_TCP&)> reads[] = {
      [](kIOHandler_TCP& aHandler) { return aHandler.ReadChars(2); },
      [](kIOHandler_TCP& aHandler) { return aHandler.ReadUpTo({3}); },
      [](kIOHandler_TCP& aHandler) { return aHandler.ReadAll(); },
  };
  for (size_t i = 0; i < std::size(reads); ++i) {
    SCOPED_TRACE(i);
    LoopbackDevice device(AnsweringLate, {.fSilent = true});
    auto handler = Handler(device.Port(), kReadTimeout, 5000);
    std::thread opening([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      device.StartAnswering();
    });
    std::string text;
    const int64_t elapsed = ElapsedMs([&] { text = reads[i](*handler); });
    opening.join();
    EXPECT_EQ(text, "A\x03");
    EXPECT_GT(elapsed, kReadTimeout) << "the connection came too soon to show the fault";
  }
}

}  // namespace
}  // namespace nvrp
