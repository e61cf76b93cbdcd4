#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace nvrp {

enum class TStopBits { sbOne, sbOneHalf, sbTwo };
enum class TParity { ptNone, ptOdd, ptEven, ptMark, ptSpace };

struct tkLineParameters {
  uint32_t fBaudRate = 9600;
  uint8_t fDataBits = 8;
  TStopBits fStopBits = TStopBits::sbOne;
  TParity fParity = TParity::ptNone;
};

// The operating system's serial lines (serial_port_<os>.cpp). COMn is the Windows name of a
// line; on Linux the environment variable NVRP_COM<n> names its device (for example
// /dev/ttyUSB0), else it is /dev/ttyS<n-1>.
namespace serial_port {

using Handle = intptr_t;
inline constexpr Handle kNoHandle = -1;
// The error code of a device that does not exist (the same number on both systems).
inline constexpr int32_t kFileNotFound = 2;

enum class tkLineResult { Ok, GetFailed, SetFailed };
enum class tkModemLine { DTR, RTS };

// The device that serves COMn.
std::string DevicePath(uint32_t aComNumber);
// Opens COMn for reading and writing, for this process only, in raw byte mode; kNoHandle with
// aError set (kFileNotFound for a missing device) on failure.
Handle Open(uint32_t aComNumber, int32_t& aError);
void Close(Handle aHandle);
// Speed, data bits, stop bits and parity; every other setting stays as it was.
tkLineResult SetLineParameters(Handle aHandle, const tkLineParameters& aParameters);
// Total time a Read waits for its first byte, in milliseconds; GetFailed when the line's
// time-outs cannot be read, SetFailed when they cannot be written.
tkLineResult SetReadTimeout(Handle aHandle, uint32_t aTimeoutMs);
// Up to aCount bytes, waiting aTimeoutMs for the first; -1 with the line's error code, and
// aLineGone set when the line will not come back (hung up, device removed) rather than
// having met an error on the way (parity, framing, overrun, break).
int32_t Read(Handle aHandle, char* aBuffer, int32_t aCount, uint32_t aTimeoutMs,
             int32_t& aErrorCode, bool& aLineGone);
// Bytes written, -1 on failure.
int64_t Write(Handle aHandle, std::string_view aBytes);
// Drops unsent and unread bytes in both directions.
bool Purge(Handle aHandle);
bool SetModemLine(Handle aHandle, tkModemLine aLine, bool aAssert);
// Received bytes waiting; 0 when the line cannot be asked.
int32_t BytesPending(Handle aHandle);

}  // namespace serial_port

}  // namespace nvrp
