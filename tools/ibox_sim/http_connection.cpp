#include "http_connection.hpp"

#include "sim_socket.hpp"
#include "wire_query.hpp"

#include <algorithm>

namespace nvrp::ibox_sim {

namespace {

thread_local ConnectionStream* tCurrentConnection = nullptr;

constexpr std::chrono::milliseconds kPollSlice{100};
constexpr std::chrono::milliseconds kReadTimeout{5000};
constexpr size_t kMaxReceived = 2 * 1024 * 1024;
constexpr size_t kReceiveChunk = 4096;
constexpr size_t kMaxHead = 64 * 1024;

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
    if (ibox_sim::WaitReadable(fSocket, static_cast<int>(kPollSlice.count()))) return true;
  }
  return false;
}

bool ConnectionStream::is_readable() const { return fFeedPos < fFeed.size() || WaitReadable(); }

bool ConnectionStream::is_writable() const {
  return !fDropped && WaitWritable(fSocket, static_cast<int>(kReadTimeout.count()));
}

bool ConnectionStream::ReceiveMore() {
  if (fReceived.size() >= kMaxReceived || !WaitReadable()) return false;
  char chunk[kReceiveChunk];
  const long received = ReceiveSome(fSocket, chunk, sizeof chunk);
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
    const long n = SendSome(fSocket, ptr + sent, size - sent);
    if (n <= 0) return -1;
    sent += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(sent);
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(fSocket, true, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
  SocketAddress(fSocket, false, ip, port);
}

ConnectionStream* CurrentConnection() { return tCurrentConnection; }

bool SimHttpServer::process_and_close_socket(socket_t sock) {
  ConnectionStream stream(sock, fStopping, kReadTimeout);
  tCurrentConnection = &stream;
  bool connection_closed = false;
  const bool served = process_request(stream, true, connection_closed, nullptr);
  tCurrentConnection = nullptr;
  CloseConnection(sock);
  return served;
}

}  // namespace nvrp::ibox_sim
