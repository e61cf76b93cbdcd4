#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace nvrp {

// A lock shared between processes under a name: a named mutex on Windows, a file lock
// elsewhere. Held for the object's lifetime.
class tNV_NamedLock {
 public:
  tNV_NamedLock(const tNV_NamedLock&) = delete;
  tNV_NamedLock& operator=(const tNV_NamedLock&) = delete;
  virtual ~tNV_NamedLock();

  // Takes the lock without waiting; nullptr when another holder has it or it cannot be made.
  static std::unique_ptr<tNV_NamedLock> TryAcquire(const std::string& aName);
  // What carries the lock of this name: the lock file, or on Windows the mutex's name.
  static std::string LockFilePath(const std::string& aName);

 private:
  explicit tNV_NamedLock(std::intptr_t aHandle) : fHandle(aHandle) {}

  std::intptr_t fHandle;  // file descriptor or mutex handle
};

}  // namespace nvrp
