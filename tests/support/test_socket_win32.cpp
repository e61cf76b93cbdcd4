#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "base/win32_text.hpp"
#include "support/test_socket.hpp"
#include "support/test_socket_loopback.hpp"

namespace nvrp::testing::test_socket {

namespace {

// Winsock for the tests' own sockets, started once and kept for the process.
void StartWinsock() {
  static const bool started = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}

SOCKET AsSocket(SocketHandle aSocket) { return static_cast<SOCKET>(aSocket); }

}  // namespace

SocketHandle Listen(int aBacklog, int aReceiveBuffer, uint16_t& aPort) {
  StartWinsock();
  const SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (aReceiveBuffer > 0) {
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&aReceiveBuffer),
               sizeof aReceiveBuffer);
  }
  sockaddr_in address = Loopback(0);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, aBacklog);
  int length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  aPort = ntohs(address.sin_port);
  return static_cast<SocketHandle>(listener);
}

SocketHandle Accept(SocketHandle aListener) {
  const SOCKET client = accept(AsSocket(aListener), nullptr, nullptr);
  return client == INVALID_SOCKET ? kNoSocketHandle : static_cast<SocketHandle>(client);
}

SocketHandle StartConnect(uint16_t aPort) {
  StartWinsock();
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  const sockaddr_in address = Loopback(aPort);
  connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return static_cast<SocketHandle>(s);
}

bool Ready(SocketHandle aSocket, bool aWrite, int aMs) {
  fd_set ready;
  FD_ZERO(&ready);
  FD_SET(AsSocket(aSocket), &ready);
  timeval wait{aMs / 1000, (aMs % 1000) * 1000};
  return (aWrite ? select(0, nullptr, &ready, nullptr, &wait)
                 : select(0, &ready, nullptr, nullptr, &wait)) > 0;
}

int64_t Receive(SocketHandle aSocket, char* aBuffer, size_t aSize) {
  return recv(AsSocket(aSocket), aBuffer, static_cast<int>(aSize), 0);
}

// A socket that select found writable takes at least some bytes without blocking.
int64_t Send(SocketHandle aSocket, std::string_view aBytes) {
  const int piece = static_cast<int>(std::min<size_t>(aBytes.size(), 1 << 16));
  return send(AsSocket(aSocket), aBytes.data(), piece, 0);
}

void Close(SocketHandle aSocket) {
  if (aSocket != kNoSocketHandle) closesocket(AsSocket(aSocket));
}

std::string RefusedReason() { return SystemErrorText(WSAECONNREFUSED); }

}  // namespace nvrp::testing::test_socket
