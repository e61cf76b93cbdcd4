#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "transport/io_handler_tcp.hpp"
#include "transport_log.hpp"

namespace nvrp {
namespace {

using testing::ContainsRun;
using testing::ElapsedMs;
using testing::kTimeoutMarginMs;
using testing::LogEntries;

// A device on a loopback port. Each accepted connection is served by aBehaviour on the
// server's thread; the bytes the device received are kept.
class LoopbackDevice {
 public:
  using Behaviour = std::function<void(int aClient, LoopbackDevice& aDevice)>;

  explicit LoopbackDevice(Behaviour aBehaviour) : fBehaviour(std::move(aBehaviour)) {
    fListener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fListener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fListener, 4);
    socklen_t length = sizeof address;
    getsockname(fListener, reinterpret_cast<sockaddr*>(&address), &length);
    fPort = ntohs(address.sin_port);
    fThread = std::thread([this] { Serve(); });
  }
  ~LoopbackDevice() {
    fStop = true;
    fThread.join();
    close(fListener);
  }

  uint16_t Port() const { return fPort; }
  bool Stopping() const { return fStop; }
  int Connections() const { return fConnections; }
  std::string Received() {
    std::lock_guard lock(fMutex);
    return fReceived;
  }
  // Reads what the client sent until aCount bytes are in or the client went quiet.
  std::string ReceiveFrom(int aClient, size_t aCount) {
    std::string bytes;
    while (bytes.size() < aCount && !fStop) {
      pollfd entry{aClient, POLLIN, 0};
      if (poll(&entry, 1, 2000) <= 0) break;
      char chunk[256];
      const ssize_t count = recv(aClient, chunk, sizeof chunk, 0);
      if (count <= 0) break;
      bytes.append(chunk, static_cast<size_t>(count));
    }
    std::lock_guard lock(fMutex);
    fReceived += bytes;
    return bytes;
  }
  // Waits until the client closes its side (or the server stops).
  void WaitForClose(int aClient) {
    while (!fStop) {
      pollfd entry{aClient, POLLIN, 0};
      if (poll(&entry, 1, 50) > 0) {
        char chunk[256];
        const ssize_t count = recv(aClient, chunk, sizeof chunk, 0);
        if (count <= 0) return;
        std::lock_guard lock(fMutex);
        fReceived.append(chunk, static_cast<size_t>(count));
      }
    }
  }

 private:
  void Serve() {
    while (!fStop) {
      pollfd entry{fListener, POLLIN, 0};
      if (poll(&entry, 1, 50) <= 0) continue;
      const int client = accept4(fListener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      ++fConnections;
      fBehaviour(client, *this);
      close(client);
    }
  }

  Behaviour fBehaviour;
  int fListener = -1;
  uint16_t fPort = 0;
  std::atomic<bool> fStop{false};
  std::atomic<int> fConnections{0};
  std::mutex fMutex;
  std::string fReceived;
  std::thread fThread;
};

void SendAll(int aClient, const std::string& aBytes) {
  send(aClient, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
}

// Answers "OK" + ETX to every request ending in ENQ.
void Answering(int aClient, LoopbackDevice& aDevice) {
  while (!aDevice.Stopping()) {
    const std::string request = aDevice.ReceiveFrom(aClient, 1);
    if (request.empty()) return;
    if (request.back() == '\x05') SendAll(aClient, "OK\x03");
  }
}

void Silent(int aClient, LoopbackDevice& aDevice) { aDevice.WaitForClose(aClient); }

// Sends two bytes and hangs up.
void ClosingMidRead(int aClient, LoopbackDevice&) { SendAll(aClient, "AB"); }

// Sends unwanted bytes until the client goes away.
void Flooding(int aClient, LoopbackDevice& aDevice) {
  const std::string chunk(512, 'x');
  while (!aDevice.Stopping()) {
    pollfd entry{aClient, POLLOUT, 0};
    if (poll(&entry, 1, 50) <= 0) continue;
    if (send(aClient, chunk.data(), chunk.size(), MSG_NOSIGNAL) < 0) return;
  }
}

// Accepts and sends nothing; closes once the client did.
void AcceptOnly(int aClient, LoopbackDevice& aDevice) { aDevice.WaitForClose(aClient); }

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

// A listener that accepts nothing and has no room left in its queue: the system drops further
// connection requests, so connecting can only end by its time-out.
TEST_F(TcpHandlerTest, DeviceThatNeverCompletesTheConnectionIsAConnectTimeout) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, 0);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  std::vector<int> queued;
  for (int i = 0; i < 8; ++i) {
    queued.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    connect(queued.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(200));

  auto handler = Handler(ntohs(address.sin_port), 1000, 500);
  bool connected = true;
  const int64_t elapsed = ElapsedMs([&] { connected = handler->Connect(); });
  EXPECT_FALSE(connected);
  EXPECT_GE(elapsed, 500);
  EXPECT_LT(elapsed, 500 + kTimeoutMarginMs);
  for (const int fd : queued) close(fd);
  close(listener);
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
  EXPECT_FALSE(handler->Connect());
  const auto log = Finish(handler);
  EXPECT_EQ(log[log.size() - 2], "E:Connect Error:Connection refused");
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
  EXPECT_TRUE(ContainsRun(
      log, {"E:ReadChars Unexpected error:Connection closed by the device.", "E:Read Timeout:AB"}))
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
  EXPECT_EQ(handler->ErrorMessage(), "Connection refused");
  EXPECT_EQ(handler->ReadAll(), "");
  const auto log = Finish(handler);
  EXPECT_TRUE(ContainsRun(log, {"E:ReadAll Unexpected error:Connection refused"}));
}

}  // namespace
}  // namespace nvrp
