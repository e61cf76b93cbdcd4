#include "transport/tcp_socket.hpp"

// TCP over Winsock is not wired in this build yet: connecting fails with this reason, and a
// socket that never connected reads and writes nothing.

namespace nvrp {

namespace {

constexpr intptr_t kNoSocket = -1;
constexpr const char* kNotAvailable = "TCP connections are not available in this Windows build";

}  // namespace

TcpSocket::TcpSocket() : fSocket(kNoSocket) {}
TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Connect(const std::string&, uint16_t, int32_t, std::string& aError) {
  aError = kNotAvailable;
  return false;
}

void TcpSocket::Close() {
  fBuffer.clear();
  fBufferPos = 0;
}

bool TcpSocket::IsOpen() const { return false; }

bool TcpSocket::Send(std::string_view, std::string& aError) {
  aError = kNotAvailable;
  return false;
}

TcpSocket::tkReadResult TcpSocket::Fill(Clock::time_point, std::string& aError) {
  aError = kNotAvailable;
  return tkReadResult::Error;
}

TcpSocket::tkReadResult TcpSocket::ReadByte(Clock::time_point aDeadline, char&,
                                            std::string& aError) {
  return Fill(aDeadline, aError);
}

bool TcpSocket::HasInput() { return false; }

void TcpSocket::DiscardInput() {}

}  // namespace nvrp
