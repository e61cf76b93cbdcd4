#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A device on a loopback TCP port for the transport tests of both systems, on a few socket
// calls that each system spells its own way (test_socket_<os>.cpp).

namespace nvrp::testing {

using SocketHandle = intptr_t;
inline constexpr SocketHandle kNoSocketHandle = -1;

namespace test_socket {

// A listening socket on 127.0.0.1 and a free port; a receive buffer of aReceiveBuffer bytes
// for the accepted connections when that is above 0.
SocketHandle Listen(int aBacklog, int aReceiveBuffer, uint16_t& aPort);
SocketHandle Accept(SocketHandle aListener);
// Starts a connection to the loopback port without waiting for it.
SocketHandle StartConnect(uint16_t aPort);
// Whether the socket can be read (or, with aWrite, written) within aMs milliseconds.
bool Ready(SocketHandle aSocket, bool aWrite, int aMs);
// Bytes received or sent; 0 or less when the connection is closed or failed.
int64_t Receive(SocketHandle aSocket, char* aBuffer, size_t aSize);
int64_t Send(SocketHandle aSocket, std::string_view aBytes);
void Close(SocketHandle aSocket);
// The system's text for a connection that was refused.
std::string RefusedReason();

}  // namespace test_socket

struct tkDeviceOptions {
  // The receive buffer of each accepted connection (0: the system's default).
  int fReceiveBuffer = 0;
  // A listener that accepts nothing and has no room left in its queue: the system drops
  // further connection requests, so connecting can end only by its time-out, until
  // StartAnswering.
  bool fSilent = false;
};

// A device on a loopback port. Each accepted connection is served by aBehaviour on the
// device's thread, one at a time; the bytes the device received are kept.
class LoopbackDevice {
 public:
  using Behaviour = std::function<void(SocketHandle aClient, LoopbackDevice& aDevice)>;

  explicit LoopbackDevice(Behaviour aBehaviour, tkDeviceOptions aOptions = {});
  ~LoopbackDevice();
  LoopbackDevice(const LoopbackDevice&) = delete;
  LoopbackDevice& operator=(const LoopbackDevice&) = delete;

  // A silent device makes room in its queue and serves connections from now on.
  void StartAnswering();

  uint16_t Port() const { return fPort; }
  bool Stopping() const { return fStop; }
  int Connections() const { return fConnections; }
  std::string Received();

  // Reads what the client sent until aEnd arrived, the client went quiet for two seconds or
  // closed.
  std::string ReceiveUpTo(SocketHandle aClient, char aEnd);
  // Waits until the client closes its side (or the device stops).
  void WaitForClose(SocketHandle aClient);
  // Sends every byte, as long as the client takes them.
  static void SendAll(SocketHandle aClient, std::string_view aBytes);

 private:
  void Serve();
  void Keep(const char* aBytes, size_t aCount);

  Behaviour fBehaviour;
  SocketHandle fListener = kNoSocketHandle;
  std::vector<SocketHandle> fQueued;
  uint16_t fPort = 0;
  std::atomic<bool> fAnswering{true};
  std::atomic<bool> fStop{false};
  std::atomic<int> fConnections{0};
  std::mutex fMutex;
  std::string fReceived;
  std::thread fThread;
};

}  // namespace nvrp::testing
