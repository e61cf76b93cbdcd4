#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "base/win32_text.hpp"
#include "transport/tcp_socket_platform.hpp"

// TCP over Winsock 2: a non-blocking socket, every wait bounded by select.

namespace nvrp::tcp_socket_platform {

namespace {

// Winsock takes at most this much in one call.
constexpr size_t kMaxPiece = 1 << 20;

SOCKET AsSocket(intptr_t aSocket) { return static_cast<SOCKET>(aSocket); }

std::string WinsockErrorText(int aCode) { return SystemErrorText(static_cast<DWORD>(aCode)); }

// Rounded up, so that a wait never ends before the deadline.
timeval TimeUntil(Clock::time_point aDeadline) {
  const auto left = std::chrono::ceil<std::chrono::microseconds>(aDeadline - Clock::now()).count();
  const long long micros = left <= 0 ? 0 : left;
  return timeval{static_cast<long>(micros / 1000000), static_cast<long>(micros % 1000000)};
}

enum class tkWait { Read, Write };

// Waits until the socket can be read or written, or the deadline: 1 ready, 0 timed out,
// -1 error. A failed connect shows in the exception set and counts as ready, so that its
// error is read from the socket.
int WaitFor(SOCKET aSocket, tkWait aWait, Clock::time_point aDeadline) {
  while (true) {
    fd_set ready;
    fd_set failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(aSocket, &ready);
    FD_SET(aSocket, &failed);
    timeval wait = TimeUntil(aDeadline);
    const int count = aWait == tkWait::Read ? select(0, &ready, nullptr, &failed, &wait)
                                            : select(0, nullptr, &ready, &failed, &wait);
    if (count == 0 && Clock::now() < aDeadline) continue;
    return count == SOCKET_ERROR ? -1 : count;
  }
}

}  // namespace

// Winsock is started once for the process and kept: stopping it when the library unloads
// would run under the loader lock, where Winsock must not be called.
bool StartSockets(std::string& aError) {
  static const int error = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  if (error != 0) aError = WinsockErrorText(error);
  return error == 0;
}

bool Resolve(const std::string& aHost, uint16_t aPort, std::vector<tkEndpoint>& aEndpoints,
             std::string& aError) {
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  ADDRINFOW* addresses = nullptr;
  const int resolved =
      GetAddrInfoW(WideOf(aHost).c_str(), std::to_wstring(aPort).c_str(), &hints, &addresses);
  if (resolved != 0) {
    aError = WinsockErrorText(resolved);
    return false;
  }
  AddEndpoints(addresses, aEndpoints);
  FreeAddrInfoW(addresses);
  return true;
}

// Overlapped, as socket() makes it: 32-bit programs under Wine's WoW64 mode block in send() on
// a socket made without the flag, non-blocking mode or not.
intptr_t ConnectOne(const tkEndpoint& aEndpoint, Clock::time_point aDeadline, int& aError) {
  const SOCKET s = WSASocketW(aEndpoint.fFamily, aEndpoint.fType, aEndpoint.fProtocol, nullptr, 0,
                              WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) {
    aError = WSAGetLastError();
    return kNoSocket;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  const int result = connect(s, reinterpret_cast<const sockaddr*>(aEndpoint.fAddress.data()),
                             static_cast<int>(aEndpoint.fAddress.size()));
  int error = result == 0 ? 0 : WSAGetLastError();
  if (result != 0 && error == WSAEWOULDBLOCK) {
    error = WSAETIMEDOUT;
    if (WaitFor(s, tkWait::Write, aDeadline) > 0) {
      int length = sizeof error;
      getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length);
    }
  }
  if (error != 0) {
    aError = error;
    closesocket(s);
    return kNoSocket;
  }
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return static_cast<intptr_t>(s);
}

int TimedOutCode() { return WSAETIMEDOUT; }

std::string ErrorText(int aCode) { return WinsockErrorText(aCode); }

void CloseSocket(intptr_t aSocket) { closesocket(AsSocket(aSocket)); }

tkSendResult SendSome(intptr_t aSocket, std::string_view aBytes, Clock::time_point aDeadline,
                      size_t& aSent, std::string& aError) {
  const SOCKET s = AsSocket(aSocket);
  const int piece = static_cast<int>(std::min(aBytes.size(), kMaxPiece));
  while (true) {
    const int sent = send(s, aBytes.data(), piece, 0);
    if (sent != SOCKET_ERROR) {
      aSent = static_cast<size_t>(sent);
      return tkSendResult::Sent;
    }
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) {
      aError = WinsockErrorText(error);
      return tkSendResult::Error;
    }
    const int ready = WaitFor(s, tkWait::Write, aDeadline);
    if (ready == 0) return tkSendResult::Stalled;
    if (ready < 0) {
      aError = WinsockErrorText(WSAGetLastError());
      return tkSendResult::Error;
    }
  }
}

TcpSocket::tkReadResult Receive(intptr_t aSocket, char* aBuffer, size_t aSize,
                                Clock::time_point aDeadline, size_t& aReceived,
                                std::string& aError) {
  const SOCKET s = AsSocket(aSocket);
  const int ready = WaitFor(s, tkWait::Read, aDeadline);
  if (ready == 0) return TcpSocket::tkReadResult::Timeout;
  const int received = ready < 0 ? SOCKET_ERROR : recv(s, aBuffer, static_cast<int>(aSize), 0);
  if (received == 0) return TcpSocket::tkReadResult::Closed;
  if (received == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINTR) return TcpSocket::tkReadResult::Timeout;
    aError = WinsockErrorText(error);
    return TcpSocket::tkReadResult::Error;
  }
  aReceived = static_cast<size_t>(received);
  return TcpSocket::tkReadResult::Byte;
}

bool InputWaiting(intptr_t aSocket) {
  u_long waiting = 0;
  return ioctlsocket(AsSocket(aSocket), FIONREAD, &waiting) == 0 && waiting > 0;
}

// The socket is non-blocking, so recv answers at once.
bool ReceiveWaiting(intptr_t aSocket, char* aBuffer, size_t aSize) {
  return recv(AsSocket(aSocket), aBuffer, static_cast<int>(aSize), 0) > 0;
}

}  // namespace nvrp::tcp_socket_platform
