#include "base/named_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "base/text_utils.hpp"

namespace nvrp {

namespace {

constexpr const char* kLockDirectory = "/tmp/";

}  // namespace

tNV_NamedLock::~tNV_NamedLock() {
  // Closing the descriptor releases the lock; the file stays for the next holder.
  ::close(static_cast<int>(fHandle));
}

std::string tNV_NamedLock::LockFilePath(const std::string& aName) {
  // A name never reaches outside the lock directory.
  return kLockDirectory + ReplaceAll(ReplaceAll(aName, "/", "_"), "\\", "_") + ".lock";
}

std::unique_ptr<tNV_NamedLock> tNV_NamedLock::TryAcquire(const std::string& aName) {
  const int fd = ::open(LockFilePath(aName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<tNV_NamedLock>(new tNV_NamedLock(fd));
}

}  // namespace nvrp
