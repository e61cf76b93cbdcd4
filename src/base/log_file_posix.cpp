#include "base/log_file.hpp"

#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace nvrp {

namespace {

int Descriptor(intptr_t aHandle) { return static_cast<int>(aHandle); }

}  // namespace

tNV_LogDirectory::~tNV_LogDirectory() { Close(); }

bool tNV_LogDirectory::OpenParentOf(const std::string& aFilePath, std::string& aName) {
  Close();
  const size_t slash = aFilePath.rfind('/');
  std::string directory = ".";
  if (slash != std::string::npos) directory = slash == 0 ? "/" : aFilePath.substr(0, slash);
  aName = slash == std::string::npos ? aFilePath : aFilePath.substr(slash + 1);
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  fHandle = fd;
  fOpen = true;
  return true;
}

void tNV_LogDirectory::Close() {
  if (!fOpen) return;
  ::close(Descriptor(fHandle));
  fHandle = kNoHandle;
  fOpen = false;
}

bool tNV_LogDirectory::RenameNoReplace(const std::string& aFrom, const std::string& aTo) const {
  if (!fOpen) return false;
  const int dir = Descriptor(fHandle);
  if (::renameat2(dir, aFrom.c_str(), dir, aTo.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // The file system cannot refuse replacement by itself.
  struct stat target {};
  if (::fstatat(dir, aTo.c_str(), &target, 0) == 0) return false;
  return ::renameat(dir, aFrom.c_str(), dir, aTo.c_str()) == 0;
}

tNV_LogFile::~tNV_LogFile() { (void)Close(); }

bool tNV_LogFile::Open(const tNV_LogDirectory& aDirectory, const std::string& aName) {
  (void)Close();
  fHeldByAnother = false;
  if (!aDirectory.IsOpen()) return false;
  const int fd = ::openat(Descriptor(aDirectory.fHandle), aName.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  // The exclusive lock keeps a second writer on the same path (another object or another
  // process) out while the line is written; it ends with the close.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    fHeldByAnother = errno == EWOULDBLOCK;
    ::close(fd);
    return false;
  }
  fHandle = fd;
  return true;
}

int64_t tNV_LogFile::Size() const {
  struct stat info {};
  if (!IsOpen() || ::fstat(Descriptor(fHandle), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

bool tNV_LogFile::Append(std::string_view aText) {
  if (!IsOpen()) return false;
  while (!aText.empty()) {
    const ssize_t written = ::write(Descriptor(fHandle), aText.data(), aText.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    aText.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool tNV_LogFile::Close() {
  if (!IsOpen()) return true;
  const bool closed = ::close(Descriptor(fHandle)) == 0;
  fHandle = kNoHandle;
  return closed;
}

int64_t FileSizeOf(const std::string& aPath) {
  struct stat info {};
  if (::stat(aPath.c_str(), &info) != 0) return -1;
  return static_cast<int64_t>(info.st_size);
}

void NameLogThread() { (void)::pthread_setname_np(::pthread_self(), "nvrp-log"); }

}  // namespace nvrp
