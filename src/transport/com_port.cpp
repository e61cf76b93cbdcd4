#include "transport/com_port.hpp"

#include "transport/io_handler_stream_messages.hpp"

namespace nvrp {

namespace msg = io_handler_stream_messages;

TComPort::TComPort(uint32_t ncom) : fComNumber(ncom) {}

TComPort::TComPort(uint32_t ncom, uint32_t baud) : fComNumber(ncom), fBaudRate(baud) {}

TComPort::TComPort(uint32_t ncom, uint32_t baud, uint8_t data, TStopBits stop, TParity parity)
    : fComNumber(ncom), fBaudRate(baud), fDataBits(data), fStopBits(stop), fParity(parity) {}

TComPort::~TComPort() { Close(); }

void TComPort::Open() {
  if (fIsOpen) return;
  int32_t error = 0;
  const serial_port::Handle handle = serial_port::Open(fComNumber, error);
  if (handle == serial_port::kNoHandle) {
    if (error == serial_port::kFileNotFound) {
      throw TComPortException(msg::NotAValidComPort(msg::ComName(fComNumber)));
    }
    throw TComPortException(msg::CannotOpenCom(fComNumber, error));
  }
  fComHandle = handle;
  try {
    ApplyLineParameters({fBaudRate, fDataBits, fStopBits, fParity});
  } catch (...) {
    serial_port::Close(fComHandle);
    fComHandle = serial_port::kNoHandle;
    throw;
  }
  fIsOpen = true;
  fCurrentComTimeout = kNoTimeout;
}

void TComPort::Close() {
  if (fIsOpen && serial_port::Purge(fComHandle)) serial_port::Close(fComHandle);
  fComHandle = serial_port::kNoHandle;
  fIsOpen = false;
}

void TComPort::ApplyLineParameters(const tkLineParameters& aParameters) {
  switch (serial_port::SetLineParameters(fComHandle, aParameters)) {
    case serial_port::tkLineResult::GetFailed:
      throw TComPortException(std::string(msg::kGetCommStateFailed));
    case serial_port::tkLineResult::SetFailed:
      throw TComPortException(std::string(msg::kSetCommStateFailed));
    case serial_port::tkLineResult::Ok:
      break;
  }
  fBaudRate = aParameters.fBaudRate;
  fDataBits = aParameters.fDataBits;
  fStopBits = aParameters.fStopBits;
  fParity = aParameters.fParity;
}

void TComPort::SetLineParameters(uint32_t baud, uint8_t data, TStopBits stop, TParity pty) {
  const tkLineParameters parameters{baud, data, stop, pty};
  if (!fIsOpen) {  // kept for Open
    fBaudRate = baud;
    fDataBits = data;
    fStopBits = stop;
    fParity = pty;
    return;
  }
  ApplyLineParameters(parameters);
}

int32_t TComPort::Read(char* buffer, int32_t nbytes, uint32_t timeout, int32_t& ErrorCode) {
  if (!fIsOpen) throw TComPortException(std::string(msg::kReadNotOpen));
  if (timeout != 0 && timeout != fCurrentComTimeout) {
    switch (serial_port::SetReadTimeout(fComHandle, timeout)) {
      case serial_port::tkLineResult::GetFailed:
        throw TComPortException(std::string(msg::kGetCommTimeoutsFailed));
      case serial_port::tkLineResult::SetFailed:
        throw TComPortException(std::string(msg::kSetCommTimeoutsFailed));
      case serial_port::tkLineResult::Ok:
        break;
    }
    fCurrentComTimeout = timeout;
  }
  const uint32_t wait = fCurrentComTimeout == kNoTimeout ? 0 : fCurrentComTimeout;
  ErrorCode = 0;
  fLineGone = false;
  return serial_port::Read(fComHandle, buffer, nbytes, wait, ErrorCode, fLineGone);
}

bool TComPort::WriteText(const std::string& S) {
  if (!fIsOpen) throw TComPortException(std::string(msg::kWriteNotOpen));
  const int64_t written = serial_port::Write(fComHandle, S);
  if (written < 0) throw TComPortException(std::string(msg::kWriteFailed));
  return static_cast<size_t>(written) == S.size();
}

int32_t TComPort::GetBytesPending() const {
  return fIsOpen ? serial_port::BytesPending(fComHandle) : 0;
}

void TComPort::ClearBuffers() {
  if (fIsOpen && !serial_port::Purge(fComHandle)) {
    throw TComPortException(std::string(msg::kPurgeFailed));
  }
}

void TComPort::SetDTR(bool assert) {
  if (!fIsOpen) throw TComPortException(std::string(msg::kSetDTRNotOpen));
  if (!serial_port::SetModemLine(fComHandle, serial_port::tkModemLine::DTR, assert)) {
    throw TComPortException(std::string(msg::kSetDTRFailed));
  }
}

void TComPort::SetRTS(bool assert) {
  if (!fIsOpen) throw TComPortException(std::string(msg::kSetRTSNotOpen));
  if (!serial_port::SetModemLine(fComHandle, serial_port::tkModemLine::RTS, assert)) {
    throw TComPortException(std::string(msg::kSetRTSFailed));
  }
}

std::string TComPort::DriverVersion() { return std::string(msg::kDriverVersion); }

}  // namespace nvrp
