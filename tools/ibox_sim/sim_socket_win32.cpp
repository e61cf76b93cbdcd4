#include "sim_socket.hpp"

#include <ws2tcpip.h>

#include <climits>

namespace nvrp::ibox_sim {

namespace {

bool WaitFor(SimSocket sock, short events, int timeout_ms) {
  WSAPOLLFD descriptor{sock, events, 0};
  return WSAPoll(&descriptor, 1, timeout_ms) > 0;
}

int ChunkSize(size_t size) { return static_cast<int>(size > INT_MAX ? INT_MAX : size); }

}  // namespace

bool WaitReadable(SimSocket sock, int timeout_ms) { return WaitFor(sock, POLLRDNORM, timeout_ms); }

bool WaitWritable(SimSocket sock, int timeout_ms) { return WaitFor(sock, POLLWRNORM, timeout_ms); }

long ReceiveSome(SimSocket sock, char* buffer, size_t size) {
  return ::recv(sock, buffer, ChunkSize(size), 0);
}

long SendSome(SimSocket sock, const char* data, size_t size) {
  return ::send(sock, data, ChunkSize(size), 0);
}

bool SocketAddress(SimSocket sock, bool peer, std::string& ip, int& port) {
  sockaddr_storage address{};
  int length = sizeof address;
  auto* generic = reinterpret_cast<sockaddr*>(&address);
  if ((peer ? ::getpeername(sock, generic, &length) : ::getsockname(sock, generic, &length)) != 0) {
    return false;
  }
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof text);
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof text);
    port = ntohs(v6->sin6_port);
  }
  ip = text;
  return true;
}

void CloseConnection(SimSocket sock) {
  ::shutdown(sock, SD_BOTH);
  ::closesocket(sock);
}

// Windows lets a restarted listener bind at once; the exclusive use keeps a second simulator
// from sharing the port.
void AllowAddressReuse(SimSocket sock) {
  BOOL yes = TRUE;
  setsockopt(sock, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&yes),
             sizeof yes);
}

std::string LastSocketErrorText() {
  switch (const int error = WSAGetLastError()) {
    case 0:
      return {};
    case WSAEADDRINUSE:
      return "address already in use";
    case WSAEACCES:
      return "permission denied";
    case WSAEADDRNOTAVAIL:
      return "cannot assign requested address";
    default:
      return "socket error " + std::to_string(error);
  }
}

void ClearLastSocketError() { WSASetLastError(0); }

}  // namespace nvrp::ibox_sim
