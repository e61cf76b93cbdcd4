#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "transport/io_handler.hpp"
#include "transport/tcp_socket.hpp"

namespace nvrp {

// I/O handler of a device that speaks a line protocol over TCP. Connect only proves that the
// device can be reached; writing and reading connect on demand and keep the connection open
// until Disconnect. Every byte exchanged is logged.
class kIOHandler_TCP : public kIOHandler {
 public:
  // Host, port (its low 16 bits) and time-outs from the connection.
  kIOHandler_TCP(const kConnection* aConnection, std::string_view aDirectory,
                 std::string_view aFileName);
  ~kIOHandler_TCP() override;

  bool Connected() const override;
  // Banner, host and port lines; connects and disconnects again. False when unreachable.
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override;
  // Sends the text in code page CodePage(), or one byte per character when that is 0.
  // False, with the error recorded and nothing sent, when the text cannot be encoded or the
  // device cannot be reached.
  bool Write(const std::string& aMessage) override;
  // Sends the bytes unchanged. Writing fails, with the error recorded, when the device takes
  // no byte for the read time-out (a second when none is set).
  bool WriteBytes(const std::string& aBytes);
  // Reads within ReadTimeout milliseconds from the moment the connection is there (made by
  // the read when needed); each byte is the character of the same code.
  std::string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  std::string ReadChars(int32_t aCharsNum) override;
  // Reads until the device closes the connection or the read time-out has passed.
  std::string ReadAll() override;
  std::string DecodeError(int32_t aErrorCode) override;
  bool InputBufferContainsData() override;
  void SetParameter(const std::string& aName, const std::string& aValue) override;
  std::string ClassName() const override;

  const std::string& Host() const { return fHost; }
  uint16_t Port() const { return fPort; }
  const TcpSocket& TCPClient() const { return *fTCPClient; }

 private:
  // Connects when not connected; false with the error logged under aErrorTitle.
  bool EnsureConnected(std::string_view aErrorTitle, std::string& aError);
  bool Send(const std::string& aBytes);
  int32_t WriteStallTimeout() const;
  TcpSocket::Clock::time_point ReadDeadline() const;

  std::unique_ptr<TcpSocket> fTCPClient;
  std::string fHost;
  uint16_t fPort = 0;
};

}  // namespace nvrp
