#include "transport/serial_port.hpp"

// Serial lines over the Win32 communications API are not wired in this build yet: opening a
// line fails with ERROR_NOT_SUPPORTED, and nothing else is reached without an open line.

namespace nvrp::serial_port {

namespace {

constexpr int32_t kNotSupported = 50;  // ERROR_NOT_SUPPORTED

}  // namespace

std::string DevicePath(uint32_t aComNumber) { return "\\\\.\\COM" + std::to_string(aComNumber); }

Handle Open(uint32_t, int32_t& aError) {
  aError = kNotSupported;
  return kNoHandle;
}

void Close(Handle) {}

tkLineResult SetLineParameters(Handle, const tkLineParameters&) { return tkLineResult::GetFailed; }

bool SetReadTimeout(Handle, uint32_t) { return false; }

int32_t Read(Handle, char*, int32_t, uint32_t, int32_t& aErrorCode) {
  aErrorCode = kNotSupported;
  return -1;
}

int64_t Write(Handle, std::string_view) { return -1; }

bool Purge(Handle) { return false; }

bool SetModemLine(Handle, tkModemLine, bool) { return false; }

int32_t BytesPending(Handle) { return 0; }

}  // namespace nvrp::serial_port
