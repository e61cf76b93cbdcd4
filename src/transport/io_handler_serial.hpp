#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "transport/com_port.hpp"
#include "transport/io_handler.hpp"

namespace nvrp {

// I/O handler of a device on a serial line COMn. Port errors raise TComPortException and pass
// to the caller; every byte exchanged is logged.
class kIOHandler_Serial : public kIOHandler {
 public:
  // Port number, speed, data bits, stop bits and parity from the connection. A port name that
  // is not COM followed by 1 to 3 digits, a parity other than none, even and odd, or stop
  // bits other than 1 and 2 throw nvrp::Exception.
  kIOHandler_Serial(const kConnection* aConnection, std::string_view aDirectory,
                    std::string_view aFileName);
  ~kIOHandler_Serial() override;

  bool Connected() const override;
  // Banner and line settings; opens the port. True when it is open.
  bool Connect() override;
  bool Disconnect() override;
  void ClearBuffers() override;
  // Sends the text in the system's ANSI code page.
  bool Write(const std::string& aMessage) override;
  // Both read one byte at a time, 100 ms per attempt, for ReadTimeout milliseconds in all.
  // A line error is logged and reading goes on; a line that is gone ends the read at once.
  std::string ReadUpTo(const std::vector<uint8_t>& aChars) override;
  std::string ReadChars(int32_t aCharsNum) override;
  // Not offered by this transport: throws nvrp::Exception.
  std::string ReadAll() override;
  std::string DecodeError(int32_t aErrorCode) override;
  bool InputBufferContainsData() override;
  void SetParameter(const std::string& aName, const std::string& aValue) override;
  std::string ClassName() const override;

  TComPort& ComPort() { return *fComPort; }

  // The n of a port name COMn (letter case ignored).
  static uint32_t ComNumberOf(const std::string& aSerialPort);

 private:
  enum class tkByteRead { Byte, Nothing, LineError, LineGone };
  tkByteRead ReadOneByte(char& aByte);

  std::unique_ptr<TComPort> fComPort;
};

}  // namespace nvrp
