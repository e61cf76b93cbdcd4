#pragma once

#include <cstdint>
#include <string>

#include "base/nv_exception.hpp"
#include "transport/serial_port.hpp"

namespace nvrp {

// Raised by TComPort; carries only its message.
class TComPortException : public Exception {
 public:
  using Exception::Exception;
};

// One serial line COMn with its line parameters. Errors raise TComPortException.
class TComPort {
 public:
  static constexpr uint32_t kNoTimeout = 0xFFFFFFFFu;

  explicit TComPort(uint32_t ncom);
  TComPort(uint32_t ncom, uint32_t baud);
  TComPort(uint32_t ncom, uint32_t baud, uint8_t data, TStopBits stop, TParity parity);
  TComPort(const TComPort&) = delete;
  TComPort& operator=(const TComPort&) = delete;
  // Closes an open port.
  virtual ~TComPort();

  void Open();
  void Close();
  // Bytes read into buffer (0 when none came within timeout ms), or -1 with the line's error
  // code. A timeout of 0 keeps the one handed to the port before.
  int32_t Read(char* buffer, int32_t nbytes, uint32_t timeout, int32_t& ErrorCode);
  // Whether the last Read failed because the line is gone (hung up, device removed), so
  // that reading on is of no use; false after a line error that later bytes may follow.
  bool LineGone() const { return fLineGone; }
  // Whether every byte was written.
  bool WriteText(const std::string& S);
  void SetLineParameters(uint32_t baud, uint8_t data, TStopBits stop, TParity pty);
  int32_t GetBytesPending() const;
  void ClearBuffers();
  void SetDTR(bool assert);
  void SetRTS(bool assert);

  uint32_t ComNumber() const { return fComNumber; }
  uint32_t BaudRate() const { return fBaudRate; }
  uint8_t DataBits() const { return fDataBits; }
  TStopBits StopBits() const { return fStopBits; }
  TParity Parity() const { return fParity; }
  bool ComIsOpen() const { return fIsOpen; }
  uint32_t CurrentComTimeout() const { return fCurrentComTimeout; }
  static std::string DriverVersion();

 private:
  void ApplyLineParameters(const tkLineParameters& aParameters);

  uint32_t fComNumber;
  uint32_t fBaudRate = 9600;
  uint8_t fDataBits = 8;
  TStopBits fStopBits = TStopBits::sbOne;
  TParity fParity = TParity::ptNone;
  serial_port::Handle fComHandle = serial_port::kNoHandle;
  bool fIsOpen = false;
  uint32_t fCurrentComTimeout = kNoTimeout;
  bool fLineGone = false;
};

}  // namespace nvrp
