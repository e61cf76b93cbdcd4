#include "http_connection.hpp"

#include "wire_query.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace nvrp::ibox_sim {

namespace {

thread_local ConnectionStream* tCurrentConnection = nullptr;

constexpr std::chrono::milliseconds kPollSlice{100};
constexpr std::chrono::milliseconds kReadTimeout{5000};
constexpr size_t kMaxReceived = 2 * 1024 * 1024;
constexpr size_t kReceiveChunk = 4096;
constexpr size_t kMaxHead = 64 * 1024;

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
  }
  ip = text;
}

bool WaitFor(socket_t sock, short events, int timeout_ms) {
  pollfd descriptor{sock, events, 0};
  return ::poll(&descriptor, 1, timeout_ms) > 0;
}

bool HasHeader(std::string_view head, std::string_view name) {
  size_t pos = head.find("\r\n");
  while (pos != std::string_view::npos && pos + 2 < head.size()) {
    const std::string_view line = head.substr(pos + 2, head.find("\r\n", pos + 2) - pos - 2);
    if (line.size() > name.size() && line[name.size()] == ':' &&
        EqualsNoCase(line.substr(0, name.size()), name)) {
      return true;
    }
    pos = head.find("\r\n", pos + 2);
  }
  return false;
}

// The raw bytes with "Content-Length: 0" added to a head that announces no body.
std::string WithEmptyBodyDeclared(const std::string& raw) {
  const size_t head_end = raw.find("\r\n\r\n");
  if (head_end == std::string::npos) return raw;
  const std::string_view head(raw.data(), head_end + 2);
  if (HasHeader(head, "Content-Length") || HasHeader(head, "Transfer-Encoding")) return raw;
  std::string patched = raw;
  patched.insert(head_end + 2, "Content-Length: 0\r\n");
  return patched;
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t sock, const std::atomic<bool>& stopping,
                                   std::chrono::milliseconds read_timeout)
    : fSocket(sock), fStopping(stopping), fReadTimeout(read_timeout) {}

bool ConnectionStream::WaitReadable() const {
  for (auto waited = std::chrono::milliseconds(0); waited < fReadTimeout; waited += kPollSlice) {
    if (fStopping.load()) return false;
    if (WaitFor(fSocket, POLLIN, static_cast<int>(kPollSlice.count()))) return true;
  }
  return false;
}

bool ConnectionStream::is_readable() const { return fFeedPos < fFeed.size() || WaitReadable(); }

bool ConnectionStream::is_writable() const {
  return !fDropped && WaitFor(fSocket, POLLOUT, static_cast<int>(kReadTimeout.count()));
}

bool ConnectionStream::ReceiveMore() {
  if (fReceived.size() >= kMaxReceived || !WaitReadable()) return false;
  char chunk[kReceiveChunk];
  ssize_t received;
  do {
    received = ::recv(fSocket, chunk, sizeof chunk, 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) {
    if (fHeadComplete || fReceived.empty()) return false;
    fHeadComplete = true;  // the peer closed inside the head: hand over what came
    fFeed = fReceived;
    return true;
  }
  fReceived.append(chunk, static_cast<size_t>(received));
  if (fHeadComplete) {
    fFeed.append(chunk, static_cast<size_t>(received));
  } else if (fReceived.find("\r\n\r\n") != std::string::npos || fReceived.size() > kMaxHead) {
    fHeadComplete = true;
    fFeed = WithEmptyBodyDeclared(fReceived);
  }
  return true;
}

ssize_t ConnectionStream::read(char* ptr, size_t size) {
  while (fFeedPos == fFeed.size()) {
    if (!ReceiveMore()) return fReceived.empty() ? 0 : -1;
  }
  const size_t count = std::min(size, fFeed.size() - fFeedPos);
  fFeed.copy(ptr, count, fFeedPos);
  fFeedPos += count;
  return static_cast<ssize_t>(count);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
  if (fDropped) return -1;
  size_t sent = 0;
  while (sent < size) {
    const ssize_t n = ::send(fSocket, ptr + sent, size - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    sent += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(sent);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getpeername(fSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    AddressOf(address, ip, port);
  }
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (::getsockname(fSocket, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    AddressOf(address, ip, port);
  }
}

ConnectionStream* CurrentConnection() { return tCurrentConnection; }

bool SimHttpServer::process_and_close_socket(socket_t sock) {
  ConnectionStream stream(sock, fStopping, kReadTimeout);
  tCurrentConnection = &stream;
  bool connection_closed = false;
  const bool served = process_request(stream, true, connection_closed, nullptr);
  tCurrentConnection = nullptr;
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
  return served;
}

}  // namespace nvrp::ibox_sim
