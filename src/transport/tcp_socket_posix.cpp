#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "transport/tcp_socket.hpp"

namespace nvrp {

namespace {

constexpr intptr_t kNoSocket = -1;
constexpr size_t kChunk = 4096;

// Rounded up, so that a wait never ends before the deadline.
int MillisecondsUntil(TcpSocket::Clock::time_point aDeadline) {
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(aDeadline - TcpSocket::Clock::now()).count();
  return left <= 0 ? 0 : static_cast<int>(left);
}

// Waits for the events on the socket until the deadline: 1 ready, 0 timed out, -1 error.
int WaitFor(int aSocket, short aEvents, TcpSocket::Clock::time_point aDeadline) {
  while (true) {
    pollfd entry{aSocket, aEvents, 0};
    const int ready = poll(&entry, 1, MillisecondsUntil(aDeadline));
    if (ready == 0 && TcpSocket::Clock::now() < aDeadline) continue;
    if (ready >= 0 || errno != EINTR) return ready;
  }
}

// A non-blocking connect to one address, finished within the deadline.
int ConnectOne(const addrinfo& aAddress, TcpSocket::Clock::time_point aDeadline, int& aError) {
  const int fd =
      socket(aAddress.ai_family, aAddress.ai_socktype | SOCK_CLOEXEC, aAddress.ai_protocol);
  if (fd < 0) {
    aError = errno;
    return -1;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  int result = connect(fd, aAddress.ai_addr, aAddress.ai_addrlen);
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
    return -1;
  }
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return fd;
}

}  // namespace

TcpSocket::TcpSocket() : fSocket(kNoSocket) {}

TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Connect(const std::string& aHost, uint16_t aPort, int32_t aTimeoutMs,
                        std::string& aError) {
  Close();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs);
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
  int error = ETIMEDOUT;
  for (const addrinfo* a = addresses; a != nullptr && fSocket == kNoSocket; a = a->ai_next) {
    const int fd = ConnectOne(*a, deadline, error);
    if (fd >= 0) fSocket = fd;
  }
  freeaddrinfo(addresses);
  if (fSocket == kNoSocket) aError = error == ETIMEDOUT ? "" : std::strerror(error);
  return fSocket != kNoSocket;
}

void TcpSocket::Close() {
  if (fSocket != kNoSocket) close(static_cast<int>(fSocket));
  fSocket = kNoSocket;
  fBuffer.clear();
  fBufferPos = 0;
}

bool TcpSocket::IsOpen() const { return fSocket != kNoSocket; }

bool TcpSocket::Send(std::string_view aBytes, std::string& aError) {
  const int fd = static_cast<int>(fSocket);
  while (!aBytes.empty()) {
    const ssize_t sent = send(fd, aBytes.data(), aBytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent < 0 && errno == EAGAIN) {
      WaitFor(fd, POLLOUT, Clock::now() + std::chrono::seconds(1));
      continue;
    }
    if (sent < 0) {
      aError = std::strerror(errno);
      return false;
    }
    aBytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

TcpSocket::tkReadResult TcpSocket::Fill(Clock::time_point aDeadline, std::string& aError) {
  const int fd = static_cast<int>(fSocket);
  const int ready = WaitFor(fd, POLLIN, aDeadline);
  if (ready == 0) return tkReadResult::Timeout;
  char chunk[kChunk];
  const ssize_t received = ready < 0 ? -1 : recv(fd, chunk, sizeof chunk, 0);
  if (received == 0) return tkReadResult::Closed;
  if (received < 0) {
    if (errno == EAGAIN || errno == EINTR) return tkReadResult::Timeout;
    aError = std::strerror(errno);
    return tkReadResult::Error;
  }
  fBuffer.assign(chunk, static_cast<size_t>(received));
  fBufferPos = 0;
  return tkReadResult::Byte;
}

bool TcpSocket::HasInput() {
  if (fBufferPos < fBuffer.size()) return true;
  if (fSocket == kNoSocket) return false;
  char probe;
  const ssize_t peeked = recv(static_cast<int>(fSocket), &probe, 1, MSG_PEEK | MSG_DONTWAIT);
  return peeked > 0;
}

void TcpSocket::DiscardInput() {
  fBuffer.clear();
  fBufferPos = 0;
  if (fSocket == kNoSocket) return;
  char chunk[kChunk];
  constexpr int kMaxChunks = 256;  // a flooding peer must not keep us here
  for (int i = 0; i < kMaxChunks; ++i) {
    if (recv(static_cast<int>(fSocket), chunk, sizeof chunk, MSG_DONTWAIT) <= 0) return;
  }
}

}  // namespace nvrp
