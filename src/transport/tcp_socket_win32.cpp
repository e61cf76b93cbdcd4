#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>

#include "base/win32_text.hpp"
#include "transport/io_handler_stream_messages.hpp"
#include "transport/tcp_socket.hpp"

// TCP over Winsock 2: a non-blocking socket, connect and reads bounded by select.

namespace nvrp {

namespace {

constexpr intptr_t kNoSocket = static_cast<intptr_t>(INVALID_SOCKET);
constexpr size_t kChunk = 4096;

// Winsock is started once for the process and kept: stopping it when the library unloads
// would run under the loader lock, where Winsock must not be called.
int WinsockStartError() {
  static const int error = [] {
    WSADATA data{};
    return WSAStartup(MAKEWORD(2, 2), &data);
  }();
  return error;
}

// The system's text of a Winsock error; empty for a time-out, as the interface asks.
std::string ErrorText(int aCode) {
  return aCode == WSAETIMEDOUT ? std::string() : SystemErrorText(static_cast<DWORD>(aCode));
}

SOCKET AsSocket(intptr_t aSocket) { return static_cast<SOCKET>(aSocket); }

// Rounded up, so that a wait never ends before the deadline.
timeval TimeUntil(TcpSocket::Clock::time_point aDeadline) {
  const auto left =
      std::chrono::ceil<std::chrono::microseconds>(aDeadline - TcpSocket::Clock::now()).count();
  const long long micros = left <= 0 ? 0 : left;
  return timeval{static_cast<long>(micros / 1000000), static_cast<long>(micros % 1000000)};
}

enum class tkWait { Read, Write };

// Waits until the socket can be read or written, or the deadline: 1 ready, 0 timed out,
// -1 error. A failed connect shows in the exception set and counts as ready, so that its
// error is read from the socket.
int WaitFor(SOCKET aSocket, tkWait aWait, TcpSocket::Clock::time_point aDeadline) {
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
    if (count == 0 && TcpSocket::Clock::now() < aDeadline) continue;
    return count == SOCKET_ERROR ? -1 : count;
  }
}

// A non-blocking connect to one address, finished within the deadline.
SOCKET ConnectOne(const ADDRINFOW& aAddress, TcpSocket::Clock::time_point aDeadline, int& aError) {
  const SOCKET s = WSASocketW(aAddress.ai_family, aAddress.ai_socktype, aAddress.ai_protocol,
                              nullptr, 0, WSA_FLAG_NO_HANDLE_INHERIT);
  if (s == INVALID_SOCKET) {
    aError = WSAGetLastError();
    return INVALID_SOCKET;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  int result = connect(s, aAddress.ai_addr, static_cast<int>(aAddress.ai_addrlen));
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
    return INVALID_SOCKET;
  }
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  return s;
}

}  // namespace

TcpSocket::TcpSocket() : fSocket(kNoSocket) {}

TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Connect(const std::string& aHost, uint16_t aPort, int32_t aTimeoutMs,
                        std::string& aError) {
  Close();
  if (const int started = WinsockStartError(); started != 0) {
    aError = SystemErrorText(static_cast<DWORD>(started));
    return false;
  }
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs);
  ADDRINFOW hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  ADDRINFOW* addresses = nullptr;
  const int resolved =
      GetAddrInfoW(WideOf(aHost).c_str(), std::to_wstring(aPort).c_str(), &hints, &addresses);
  if (resolved != 0) {
    aError = SystemErrorText(static_cast<DWORD>(resolved));
    return false;
  }
  int error = WSAETIMEDOUT;
  for (const ADDRINFOW* a = addresses; a != nullptr && fSocket == kNoSocket; a = a->ai_next) {
    const SOCKET s = ConnectOne(*a, deadline, error);
    if (s != INVALID_SOCKET) fSocket = static_cast<intptr_t>(s);
  }
  FreeAddrInfoW(addresses);
  if (fSocket == kNoSocket) aError = ErrorText(error);
  return fSocket != kNoSocket;
}

void TcpSocket::Close() {
  if (fSocket != kNoSocket) closesocket(AsSocket(fSocket));
  fSocket = kNoSocket;
  fBuffer.clear();
  fBufferPos = 0;
}

bool TcpSocket::IsOpen() const { return fSocket != kNoSocket; }

bool TcpSocket::Send(std::string_view aBytes, std::string& aError) {
  if (fSocket == kNoSocket) {
    aError = io_handler_stream_messages::kNotConnected;
    return false;
  }
  const SOCKET s = AsSocket(fSocket);
  while (!aBytes.empty()) {
    const int piece = static_cast<int>(std::min<size_t>(aBytes.size(), 1 << 20));
    const int sent = send(s, aBytes.data(), piece, 0);
    if (sent == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
      WaitFor(s, tkWait::Write, Clock::now() + std::chrono::seconds(1));
      continue;
    }
    if (sent == SOCKET_ERROR) {
      aError = SystemErrorText(static_cast<DWORD>(WSAGetLastError()));
      return false;
    }
    aBytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

TcpSocket::tkReadResult TcpSocket::Fill(Clock::time_point aDeadline, std::string& aError) {
  const SOCKET s = AsSocket(fSocket);
  const int ready = WaitFor(s, tkWait::Read, aDeadline);
  if (ready == 0) return tkReadResult::Timeout;
  char chunk[kChunk];
  const int received = ready < 0 ? SOCKET_ERROR : recv(s, chunk, sizeof chunk, 0);
  if (received == 0) return tkReadResult::Closed;
  if (received == SOCKET_ERROR) {
    const int error = WSAGetLastError();
    if (error == WSAEWOULDBLOCK || error == WSAEINTR) return tkReadResult::Timeout;
    aError = SystemErrorText(static_cast<DWORD>(error));
    return tkReadResult::Error;
  }
  fBuffer.assign(chunk, static_cast<size_t>(received));
  fBufferPos = 0;
  return tkReadResult::Byte;
}

bool TcpSocket::HasInput() {
  if (fBufferPos < fBuffer.size()) return true;
  if (fSocket == kNoSocket) return false;
  u_long waiting = 0;
  return ioctlsocket(AsSocket(fSocket), FIONREAD, &waiting) == 0 && waiting > 0;
}

void TcpSocket::DiscardInput() {
  fBuffer.clear();
  fBufferPos = 0;
  if (fSocket == kNoSocket) return;
  char chunk[kChunk];
  constexpr int kMaxChunks = 256;  // a flooding peer must not keep us here
  for (int i = 0; i < kMaxChunks; ++i) {
    if (recv(AsSocket(fSocket), chunk, sizeof chunk, 0) <= 0) return;  // non-blocking
  }
}

}  // namespace nvrp
