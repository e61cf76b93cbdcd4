#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "support/test_socket.hpp"
#include "support/test_socket_loopback.hpp"

namespace nvrp::testing::test_socket {

SocketHandle Listen(int aBacklog, int aReceiveBuffer, uint16_t& aPort) {
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (aReceiveBuffer > 0) {
    setsockopt(listener, SOL_SOCKET, SO_RCVBUF, &aReceiveBuffer, sizeof aReceiveBuffer);
  }
  sockaddr_in address = Loopback(0);
  bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener, aBacklog);
  socklen_t length = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  aPort = ntohs(address.sin_port);
  return listener;
}

SocketHandle Accept(SocketHandle aListener) {
  const int client = accept4(static_cast<int>(aListener), nullptr, nullptr, SOCK_CLOEXEC);
  return client < 0 ? kNoSocketHandle : client;
}

SocketHandle StartConnect(uint16_t aPort) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  const sockaddr_in address = Loopback(aPort);
  connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  return fd;
}

bool Ready(SocketHandle aSocket, bool aWrite, int aMs) {
  pollfd entry{static_cast<int>(aSocket), static_cast<short>(aWrite ? POLLOUT : POLLIN), 0};
  return poll(&entry, 1, aMs) > 0;
}

int64_t Receive(SocketHandle aSocket, char* aBuffer, size_t aSize) {
  return recv(static_cast<int>(aSocket), aBuffer, aSize, 0);
}

int64_t Send(SocketHandle aSocket, std::string_view aBytes) {
  return send(static_cast<int>(aSocket), aBytes.data(), aBytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
}

void Close(SocketHandle aSocket) {
  if (aSocket != kNoSocketHandle) close(static_cast<int>(aSocket));
}

std::string RefusedReason() { return std::strerror(ECONNREFUSED); }

}  // namespace nvrp::testing::test_socket
