#include "transport/tcp_socket.hpp"

#include "transport/io_handler_stream_messages.hpp"

// The part of the TCP socket that does not depend on the system: reading byte by byte from the
// buffer that Fill (tcp_socket_<os>.cpp) refills from the line.

namespace nvrp {

TcpSocket::tkReadResult TcpSocket::ReadByte(Clock::time_point aDeadline, char& aByte,
                                            std::string& aError) {
  if (!IsOpen()) {
    aError = io_handler_stream_messages::kNotConnected;
    return tkReadResult::Error;
  }
  while (fBufferPos >= fBuffer.size()) {
    const tkReadResult filled = Fill(aDeadline, aError);
    if (filled != tkReadResult::Byte) return filled;
  }
  aByte = fBuffer[fBufferPos++];
  return tkReadResult::Byte;
}

}  // namespace nvrp
