#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "transport/serial_port.hpp"

namespace nvrp::serial_port {

namespace {

struct tkSpeed {
  uint32_t baud;
  speed_t code;
};

constexpr tkSpeed kSpeeds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedCode(uint32_t aBaud, speed_t& aCode) {
  for (const tkSpeed& speed : kSpeeds) {
    if (speed.baud == aBaud) {
      aCode = speed.code;
      return true;
    }
  }
  return false;
}

bool DataBitsFlag(uint8_t aBits, tcflag_t& aFlag) {
  switch (aBits) {
    case 5:
      aFlag = CS5;
      return true;
    case 6:
      aFlag = CS6;
      return true;
    case 7:
      aFlag = CS7;
      return true;
    case 8:
      aFlag = CS8;
      return true;
    default:
      return false;
  }
}

// A UART sends one and a half stop bits when two are asked for with 5 data bits; like the
// Windows serial functions, one and a half with a longer character is refused.
bool StopBitsFlag(TStopBits aStopBits, uint8_t aDataBits, tcflag_t& aFlag) {
  if (aStopBits == TStopBits::sbOneHalf && aDataBits != 5) return false;
  aFlag = aStopBits == TStopBits::sbOne ? 0 : CSTOPB;
  return true;
}

tcflag_t ParityFlags(TParity aParity) {
  switch (aParity) {
    case TParity::ptNone:
      return 0;
    case TParity::ptOdd:
      return PARENB | PARODD;
    case TParity::ptEven:
      return PARENB;
    case TParity::ptMark:
      return PARENB | CMSPAR | PARODD;
    case TParity::ptSpace:
      return PARENB | CMSPAR;
  }
  return 0;
}

bool IsMissingDevice(int aErrno) { return aErrno == ENOENT || aErrno == ENODEV || aErrno == ENXIO; }

// A terminal whose other side hung up, or a device that was removed, answers reads with these
// for good.
bool IsGoneLine(int aErrno) { return aErrno == EIO || aErrno == EBADF || IsMissingDevice(aErrno); }

}  // namespace

std::string DevicePath(uint32_t aComNumber) {
  const std::string variable = "NVRP_COM" + std::to_string(aComNumber);
  const char* configured = std::getenv(variable.c_str());
  if (configured != nullptr && *configured != '\0') return configured;
  return "/dev/ttyS" + std::to_string(aComNumber - 1);
}

Handle Open(uint32_t aComNumber, int32_t& aError) {
  const int fd = open(DevicePath(aComNumber).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    aError = IsMissingDevice(errno) ? kFileNotFound : errno;
    return kNoHandle;
  }
  termios settings{};
  if (ioctl(fd, TIOCEXCL) != 0 || tcgetattr(fd, &settings) != 0) {
    aError = IsMissingDevice(errno) ? kFileNotFound : errno;
    close(fd);
    return kNoHandle;
  }
  // Bytes pass unchanged: no echo, no line editing, no translation of line ends.
  cfmakeraw(&settings);
  settings.c_cflag |= CLOCAL | CREAD;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  tcsetattr(fd, TCSANOW, &settings);
  return fd;
}

void Close(Handle aHandle) { close(static_cast<int>(aHandle)); }

tkLineResult SetLineParameters(Handle aHandle, const tkLineParameters& aParameters) {
  const int fd = static_cast<int>(aHandle);
  termios settings{};
  if (tcgetattr(fd, &settings) != 0) return tkLineResult::GetFailed;
  speed_t speed = 0;
  tcflag_t size = 0;
  tcflag_t stop = 0;
  if (!SpeedCode(aParameters.fBaudRate, speed) || !DataBitsFlag(aParameters.fDataBits, size) ||
      !StopBitsFlag(aParameters.fStopBits, aParameters.fDataBits, stop)) {
    return tkLineResult::SetFailed;
  }
  settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR);
  settings.c_cflag |= size | stop | ParityFlags(aParameters.fParity);
  if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0 ||
      tcsetattr(fd, TCSANOW, &settings) != 0) {
    return tkLineResult::SetFailed;
  }
  return tkLineResult::Ok;
}

// Every Read waits with its own time-out.
tkLineResult SetReadTimeout(Handle, uint32_t) { return tkLineResult::Ok; }

int32_t Read(Handle aHandle, char* aBuffer, int32_t aCount, uint32_t aTimeoutMs,
             int32_t& aErrorCode, bool& aLineGone) {
  const int fd = static_cast<int>(aHandle);
  pollfd entry{fd, POLLIN, 0};
  int ready;
  do {
    ready = poll(&entry, 1, static_cast<int>(aTimeoutMs));
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return 0;
  const ssize_t count = ready < 0 ? -1 : read(fd, aBuffer, static_cast<size_t>(aCount));
  if (count > 0) return static_cast<int32_t>(count);
  if (count == 0) {  // readable but empty: the line hung up
    aErrorCode = EIO;
    aLineGone = true;
    return -1;
  }
  if (errno == EAGAIN || errno == EINTR) return 0;
  aErrorCode = errno;
  aLineGone = IsGoneLine(errno) || (entry.revents & (POLLHUP | POLLNVAL)) != 0;
  return -1;
}

int64_t Write(Handle aHandle, std::string_view aBytes) {
  const int fd = static_cast<int>(aHandle);
  size_t written = 0;
  while (written < aBytes.size()) {
    const ssize_t count = write(fd, aBytes.data() + written, aBytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0 && errno == EAGAIN) {
      pollfd entry{fd, POLLOUT, 0};
      if (poll(&entry, 1, 1000) <= 0) return -1;  // the line takes nothing for a second
      continue;
    }
    if (count < 0) return -1;
    written += static_cast<size_t>(count);
  }
  return static_cast<int64_t>(written);
}

bool Purge(Handle aHandle) { return tcflush(static_cast<int>(aHandle), TCIOFLUSH) == 0; }

bool SetModemLine(Handle aHandle, tkModemLine aLine, bool aAssert) {
  int bits = aLine == tkModemLine::DTR ? TIOCM_DTR : TIOCM_RTS;
  return ioctl(static_cast<int>(aHandle), aAssert ? TIOCMBIS : TIOCMBIC, &bits) == 0;
}

int32_t BytesPending(Handle aHandle) {
  int count = 0;
  if (ioctl(static_cast<int>(aHandle), FIONREAD, &count) != 0) return 0;
  return count;
}

}  // namespace nvrp::serial_port
