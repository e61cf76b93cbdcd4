#include <windows.h>

#include <algorithm>

#include "base/win32_text.hpp"
#include "transport/serial_port.hpp"

// Serial lines over the Win32 communications API on \\.\COMn, with synchronous I/O; the
// time-outs of the line (COMMTIMEOUTS) bound every read and write.

namespace nvrp::serial_port {

namespace {

constexpr DWORD kByteIntervalMs = 100;
// A write that moves no byte for this long gives up: flow control holding the line must not
// hold the caller.
constexpr DWORD kWriteStallMs = 1000;

HANDLE AsHandle(Handle aHandle) { return reinterpret_cast<HANDLE>(aHandle); }

BYTE StopBitsCode(TStopBits aStopBits) {
  switch (aStopBits) {
    case TStopBits::sbOne:
      return ONESTOPBIT;
    case TStopBits::sbOneHalf:
      return ONE5STOPBITS;
    case TStopBits::sbTwo:
      return TWOSTOPBITS;
  }
  return ONESTOPBIT;
}

BYTE ParityCode(TParity aParity) {
  switch (aParity) {
    case TParity::ptNone:
      return NOPARITY;
    case TParity::ptOdd:
      return ODDPARITY;
    case TParity::ptEven:
      return EVENPARITY;
    case TParity::ptMark:
      return MARKPARITY;
    case TParity::ptSpace:
      return SPACEPARITY;
  }
  return NOPARITY;
}

// A freshly opened line may wait for ever on a read; until a read time-out is set, reads
// answer at once with what has arrived.
bool SetInitialTimeouts(HANDLE aHandle) {
  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = MAXDWORD;
  timeouts.WriteTotalTimeoutConstant = kWriteStallMs;
  return SetCommTimeouts(aHandle, &timeouts) != 0;
}

}  // namespace

std::string DevicePath(uint32_t aComNumber) { return "\\\\.\\COM" + std::to_string(aComNumber); }

Handle Open(uint32_t aComNumber, int32_t& aError) {
  const HANDLE handle =
      CreateFileW(WideOf(DevicePath(aComNumber)).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    aError = static_cast<int32_t>(GetLastError());
    return kNoHandle;
  }
  if (!SetInitialTimeouts(handle)) {  // not a serial line
    aError = static_cast<int32_t>(GetLastError());
    CloseHandle(handle);
    return kNoHandle;
  }
  return reinterpret_cast<Handle>(handle);
}

void Close(Handle aHandle) { CloseHandle(AsHandle(aHandle)); }

tkLineResult SetLineParameters(Handle aHandle, const tkLineParameters& aParameters) {
  DCB state{};
  state.DCBlength = sizeof state;
  if (GetCommState(AsHandle(aHandle), &state) == 0) return tkLineResult::GetFailed;
  if (aParameters.fDataBits < 5 || aParameters.fDataBits > 8) return tkLineResult::SetFailed;
  state.BaudRate = aParameters.fBaudRate;
  state.ByteSize = aParameters.fDataBits;
  state.StopBits = StopBitsCode(aParameters.fStopBits);
  state.Parity = ParityCode(aParameters.fParity);
  state.fParity = aParameters.fParity != TParity::ptNone ? TRUE : FALSE;
  state.fBinary = TRUE;  // Windows supports binary transfers only
  if (SetCommState(AsHandle(aHandle), &state) == 0) return tkLineResult::SetFailed;
  return tkLineResult::Ok;
}

tkLineResult SetReadTimeout(Handle aHandle, uint32_t aTimeoutMs) {
  COMMTIMEOUTS timeouts{};
  if (GetCommTimeouts(AsHandle(aHandle), &timeouts) == 0) return tkLineResult::GetFailed;
  timeouts.ReadIntervalTimeout = kByteIntervalMs;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = aTimeoutMs;
  if (SetCommTimeouts(AsHandle(aHandle), &timeouts) == 0) return tkLineResult::SetFailed;
  return tkLineResult::Ok;
}

// The line's own time-outs (SetReadTimeout) bound the wait, so aTimeoutMs is not used here.
// A failed read reports the line's error flags (parity, framing, overrun, break: the read was
// aborted, the line goes on), or the system's error code when the line shows none: the
// device is gone (unplugged, its handle no longer valid), unless the read was only aborted.
int32_t Read(Handle aHandle, char* aBuffer, int32_t aCount, uint32_t, int32_t& aErrorCode,
             bool& aLineGone) {
  DWORD count = 0;
  if (aCount <= 0) return 0;
  if (ReadFile(AsHandle(aHandle), aBuffer, static_cast<DWORD>(aCount), &count, nullptr) != 0) {
    return static_cast<int32_t>(count);
  }
  const DWORD systemError = GetLastError();
  DWORD lineErrors = 0;
  const bool asked = ClearCommError(AsHandle(aHandle), &lineErrors, nullptr) != 0;
  aErrorCode = static_cast<int32_t>(lineErrors != 0 ? lineErrors : systemError);
  aLineGone = !asked || (lineErrors == 0 && systemError != ERROR_OPERATION_ABORTED);
  return -1;
}

int64_t Write(Handle aHandle, std::string_view aBytes) {
  size_t written = 0;
  while (written < aBytes.size()) {
    const DWORD piece = static_cast<DWORD>(std::min<size_t>(aBytes.size() - written, 1 << 16));
    DWORD count = 0;
    if (WriteFile(AsHandle(aHandle), aBytes.data() + written, piece, &count, nullptr) == 0) {
      return -1;
    }
    if (count == 0) return -1;  // the line took nothing within the write time-out
    written += count;
  }
  return static_cast<int64_t>(written);
}

bool Purge(Handle aHandle) {
  return PurgeComm(AsHandle(aHandle),
                   PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR) != 0;
}

bool SetModemLine(Handle aHandle, tkModemLine aLine, bool aAssert) {
  DWORD function = 0;
  if (aLine == tkModemLine::DTR) {
    function = aAssert ? SETDTR : CLRDTR;
  } else {
    function = aAssert ? SETRTS : CLRRTS;
  }
  return EscapeCommFunction(AsHandle(aHandle), function) != 0;
}

int32_t BytesPending(Handle aHandle) {
  DWORD errors = 0;
  COMSTAT status{};
  if (ClearCommError(AsHandle(aHandle), &errors, &status) == 0) return 0;
  return static_cast<int32_t>(std::min<DWORD>(status.cbInQue, INT32_MAX));
}

}  // namespace nvrp::serial_port
