#include "sim_socket.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace nvrp::ibox_sim {

namespace {

bool WaitFor(SimSocket sock, short events, int timeout_ms) {
  pollfd descriptor{sock, events, 0};
  return ::poll(&descriptor, 1, timeout_ms) > 0;
}

}  // namespace

bool WaitReadable(SimSocket sock, int timeout_ms) { return WaitFor(sock, POLLIN, timeout_ms); }

bool WaitWritable(SimSocket sock, int timeout_ms) { return WaitFor(sock, POLLOUT, timeout_ms); }

long ReceiveSome(SimSocket sock, char* buffer, size_t size) {
  ssize_t received;
  do {
    received = ::recv(sock, buffer, size, 0);
  } while (received < 0 && errno == EINTR);
  return static_cast<long>(received);
}

long SendSome(SimSocket sock, const char* data, size_t size) {
  ssize_t sent;
  do {
    sent = ::send(sock, data, size, MSG_NOSIGNAL);
  } while (sent < 0 && errno == EINTR);
  return static_cast<long>(sent);
}

bool SocketAddress(SimSocket sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  auto* generic = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? ::getpeername(sock, generic, &length) : ::getsockname(sock, generic, &length)) != 0) {
    return false;
  }
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
  return true;
}

void CloseConnection(SimSocket sock) {
  ::shutdown(sock, SHUT_RDWR);
  ::close(sock);
}

// SO_REUSEADDR only: httplib's default SO_REUSEPORT would let a second simulator share the
// port and split the requests between them.
void AllowAddressReuse(SimSocket sock) {
  int yes = 1;
  setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

std::string LastSocketErrorText() {
  const int error = errno;
  if (error == 0) return {};
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

void ClearLastSocketError() { errno = 0; }

}  // namespace nvrp::ibox_sim
