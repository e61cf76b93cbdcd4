#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "support/test_platform.hpp"

namespace nvrp::testing {

void SetEnvironment(const std::string& aName, const std::string& aValue) {
  ::setenv(aName.c_str(), aValue.c_str(), 1);
}

void UnsetEnvironment(const std::string& aName) { ::unsetenv(aName.c_str()); }

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

std::string MissingLibraryReason() { return std::strerror(ENOENT); }

bool RunningUnderWine() { return false; }

// The log writer's appends take an exclusive lock; holding one keeps them out.
FileWriteHold::FileWriteHold(const std::string& aPath) {
  const int fd = ::open(aPath.c_str(), O_WRONLY | O_CREAT, 0644);
  if (fd < 0) return;
  fHandle = fd;
  fHeld = ::flock(fd, LOCK_EX) == 0;
}

FileWriteHold::~FileWriteHold() {
  if (fHandle >= 0) ::close(static_cast<int>(fHandle));
}

}  // namespace nvrp::testing
