#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "transport/tcp_socket_platform.hpp"

// TCP over POSIX sockets: a non-blocking socket, every wait bounded by poll.

namespace nvrp::tcp_socket_platform {

namespace {

// Rounded up, so that a wait never ends before the deadline.
int MillisecondsUntil(Clock::time_point aDeadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(aDeadline - Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

// Waits for the events on the socket until the deadline: 1 ready, 0 timed out, -1 error.
int WaitFor(int aSocket, short aEvents, Clock::time_point aDeadline) {
  while (true) {
    pollfd entry{aSocket, aEvents, 0};
    const int ready = poll(&entry, 1, MillisecondsUntil(aDeadline));
    if (ready == 0 && Clock::now() < aDeadline) continue;
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

}  // namespace

bool StartSockets(std::string&) { return true; }

bool Resolve(const std::string& aHost, uint16_t aPort, std::vector<tkEndpoint>& aEndpoints,
             std::string& aError) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* addresses = nullptr;
  const int resolved =
      getaddrinfo(aHost.c_str(), std::to_string(aPort).c_str(), &hints, &addresses);
  if (resolved != 0) {
    aError = gai_strerror(resolved);
    return false;
  }
  AddEndpoints(addresses, aEndpoints);
  freeaddrinfo(addresses);
  return true;
}

intptr_t ConnectOne(const tkEndpoint& aEndpoint, Clock::time_point aDeadline, int& aError) {
  const int fd = socket(aEndpoint.fFamily, aEndpoint.fType | SOCK_CLOEXEC, aEndpoint.fProtocol);
  if (fd < 0) {
    aError = errno;
    return kNoSocket;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  int result = connect(fd, reinterpret_cast<const sockaddr*>(aEndpoint.fAddress.data()),
                       static_cast<socklen_t>(aEndpoint.fAddress.size()));
  if (result != 0 && errno == EINPROGRESS) {
    const int ready = WaitFor(fd, POLLOUT, aDeadline);
    int soError = ETIMEDOUT;
    socklen_t length = sizeof soError;
    if (ready > 0) getsockopt(fd, SOL_SOCKET, SO_ERROR, &soError, &length);
    result = soError == 0 ? 0 : -1;
    errno = soError;
  }
  if (result != 0) {
    aError = errno;
    close(fd);
    return kNoSocket;
  }
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

int TimedOutCode() { return ETIMEDOUT; }

std::string ErrorText(int aCode) { return std::strerror(aCode); }

void CloseSocket(intptr_t aSocket) { close(static_cast<int>(aSocket)); }

tkSendResult SendSome(intptr_t aSocket, std::string_view aBytes, Clock::time_point aDeadline,
                      size_t& aSent, std::string& aError) {
  const int fd = static_cast<int>(aSocket);
  while (true) {
    const ssize_t sent = send(fd, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
    if (sent >= 0) {
      aSent = static_cast<size_t>(sent);
      return tkSendResult::Sent;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) break;
    const int ready = WaitFor(fd, POLLOUT, aDeadline);
    if (ready == 0) return tkSendResult::Stalled;
    if (ready < 0) break;
  }
  aError = std::strerror(errno);
  return tkSendResult::Error;
}

TcpSocket::tkReadResult Receive(intptr_t aSocket, char* aBuffer, size_t aSize,
                                Clock::time_point aDeadline, size_t& aReceived,
                                std::string& aError) {
  const int fd = static_cast<int>(aSocket);
  const int ready = WaitFor(fd, POLLIN, aDeadline);
  if (ready == 0) return TcpSocket::tkReadResult::Timeout;
  const ssize_t received = ready < 0 ? -1 : recv(fd, aBuffer, aSize, 0);
  if (received == 0) return TcpSocket::tkReadResult::Closed;
  if (received < 0) {
    if (errno == EAGAIN || errno == EINTR) return TcpSocket::tkReadResult::Timeout;
    aError = std::strerror(errno);
    return TcpSocket::tkReadResult::Error;
  }
  aReceived = static_cast<size_t>(received);
  return TcpSocket::tkReadResult::Byte;
}

bool InputWaiting(intptr_t aSocket) {
  char probe;
  return recv(static_cast<int>(aSocket), &probe, 1, MSG_PEEK | MSG_DONTWAIT) > 0;
}

bool ReceiveWaiting(intptr_t aSocket, char* aBuffer, size_t aSize) {
  return recv(static_cast<int>(aSocket), aBuffer, aSize, MSG_DONTWAIT) > 0;
}

}  // namespace nvrp::tcp_socket_platform
