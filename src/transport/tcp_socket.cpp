#include "transport/tcp_socket.hpp"

#include "transport/io_handler_stream_messages.hpp"
#include "transport/tcp_socket_platform.hpp"

// The part of the TCP socket that does not depend on the system: the walk over the resolved
// addresses, sending until every byte went or the line stalled, and reading byte by byte from
// the buffer that each receive refills.

namespace nvrp {

namespace platform = tcp_socket_platform;
namespace msg = io_handler_stream_messages;

namespace {

constexpr size_t kChunk = 4096;

}  // namespace

TcpSocket::TcpSocket() : fSocket(platform::kNoSocket) {}

TcpSocket::~TcpSocket() { Close(); }

bool TcpSocket::Connect(const std::string& aHost, uint16_t aPort, int32_t aTimeoutMs,
                        std::string& aError) {
  Close();
  if (!platform::StartSockets(aError)) return false;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(aTimeoutMs);
  std::vector<platform::tkEndpoint> endpoints;
  if (!platform::Resolve(aHost, aPort, endpoints, aError)) return false;
  int error = platform::TimedOutCode();
  for (const platform::tkEndpoint& endpoint : endpoints) {
    fSocket = platform::ConnectOne(endpoint, deadline, error);
    if (fSocket != platform::kNoSocket) return true;
  }
  // An empty error tells a time-out from a refusal.
  aError = error == platform::TimedOutCode() ? std::string() : platform::ErrorText(error);
  return false;
}

void TcpSocket::Close() {
  if (fSocket != platform::kNoSocket) platform::CloseSocket(fSocket);
  fSocket = platform::kNoSocket;
  fBuffer.clear();
  fBufferPos = 0;
}

bool TcpSocket::IsOpen() const { return fSocket != platform::kNoSocket; }

bool TcpSocket::Send(std::string_view aBytes, int32_t aStallMs, std::string& aError) {
  if (!IsOpen()) {
    aError = msg::kNotConnected;
    return false;
  }
  while (!aBytes.empty()) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(aStallMs);
    size_t sent = 0;
    switch (platform::SendSome(fSocket, aBytes, deadline, sent, aError)) {
      case platform::tkSendResult::Stalled:
        aError = msg::WriteStalled(aStallMs);
        return false;
      case platform::tkSendResult::Error:
        return false;
      case platform::tkSendResult::Sent:
        aBytes.remove_prefix(sent);
        break;
    }
  }
  return true;
}

TcpSocket::tkReadResult TcpSocket::Fill(Clock::time_point aDeadline, std::string& aError) {
  char chunk[kChunk];
  size_t received = 0;
  const tkReadResult result =
      platform::Receive(fSocket, chunk, sizeof chunk, aDeadline, received, aError);
  if (result != tkReadResult::Byte) return result;
  fBuffer.assign(chunk, received);
  fBufferPos = 0;
  return tkReadResult::Byte;
}

TcpSocket::tkReadResult TcpSocket::ReadByte(Clock::time_point aDeadline, char& aByte,
                                            std::string& aError) {
  if (!IsOpen()) {
    aError = msg::kNotConnected;
    return tkReadResult::Error;
  }
  while (fBufferPos >= fBuffer.size()) {
    const tkReadResult filled = Fill(aDeadline, aError);
    if (filled != tkReadResult::Byte) return filled;
  }
  aByte = fBuffer[fBufferPos++];
  return tkReadResult::Byte;
}

bool TcpSocket::HasInput() {
  if (fBufferPos < fBuffer.size()) return true;
  return IsOpen() && platform::InputWaiting(fSocket);
}

void TcpSocket::DiscardInput() {
  fBuffer.clear();
  fBufferPos = 0;
  if (!IsOpen()) return;
  char chunk[kChunk];
  constexpr int kMaxChunks = 256;  // a flooding peer must not keep us here
  for (int i = 0; i < kMaxChunks && platform::ReceiveWaiting(fSocket, chunk, sizeof chunk); ++i) {
  }
}

}  // namespace nvrp
