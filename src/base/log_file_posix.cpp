#include "base/log_file.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>

namespace nvrp {

namespace {

bool WriteAll(int aFd, std::string_view aData) {
  while (!aData.empty()) {
    const ssize_t written = ::write(aFd, aData.data(), aData.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    aData.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

}  // namespace

// One open-append-close cycle. The exclusive lock keeps a second writer on the same path
// (another object or another process) out while the line is being written.
bool AppendLogText(const std::string& aFileName, const std::string& aText) {
  const int fd = ::open(aFileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  bool ok = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ok = ok && WriteAll(fd, aText);
  // Closing releases the lock.
  ok = (::close(fd) == 0) && ok;
  return ok;
}

// Moves the file aside without ever replacing an existing file.
void RenameNoReplace(const std::string& aFrom, const std::string& aTo) {
  if (::renameat2(AT_FDCWD, aFrom.c_str(), AT_FDCWD, aTo.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno != EINVAL && errno != ENOSYS) return;
  // The file system cannot refuse replacement by itself.
  struct stat target {};
  if (::stat(aTo.c_str(), &target) == 0) return;
  (void)std::rename(aFrom.c_str(), aTo.c_str());
}

int64_t FileSizeOf(const std::string& aFileName) {
  struct stat info {};
  if (::stat(aFileName.c_str(), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

}  // namespace nvrp
