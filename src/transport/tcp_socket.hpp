#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

// A TCP client socket with an input buffer, connect, read and write time-outs. The socket
// calls of each system live in tcp_socket_<os>.cpp (tcp_socket_platform.hpp).
class TcpSocket {
 public:
  using Clock = std::chrono::steady_clock;

  enum class tkReadResult { Byte, Timeout, Closed, Error };

  TcpSocket();
  ~TcpSocket();
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;

  // Connects to the first address of aHost that answers within aTimeoutMs milliseconds.
  // False when none does, with aError the reason, or empty when the time-out passed.
  bool Connect(const std::string& aHost, uint16_t aPort, int32_t aTimeoutMs, std::string& aError);
  void Close();
  bool IsOpen() const;

  // Sends every byte; false with aError set when the connection fails or the line takes no
  // byte for aStallMs milliseconds.
  bool Send(std::string_view aBytes, int32_t aStallMs, std::string& aError);

  // One byte from the buffer or the line, waiting until aDeadline at most.
  tkReadResult ReadByte(Clock::time_point aDeadline, char& aByte, std::string& aError);

  // Whether received bytes are waiting (buffered or on the line).
  bool HasInput();
  // Drops the buffered bytes and whatever has already arrived.
  void DiscardInput();

 private:
  // Fills the buffer from the line, waiting until aDeadline at most.
  tkReadResult Fill(Clock::time_point aDeadline, std::string& aError);

  intptr_t fSocket;
  std::string fBuffer;
  size_t fBufferPos = 0;
};

}  // namespace nvrp
