#pragma once

#include <memory>
#include <string>

namespace nvrp {

// A lock shared between processes under a name (the counterpart of a named mutex). Held for
// the object's lifetime.
class tNV_NamedLock {
 public:
  tNV_NamedLock(const tNV_NamedLock&) = delete;
  tNV_NamedLock& operator=(const tNV_NamedLock&) = delete;
  virtual ~tNV_NamedLock();

  // Takes the lock without waiting; nullptr when another holder has it or it cannot be made.
  static std::unique_ptr<tNV_NamedLock> TryAcquire(const std::string& aName);
  // The file that carries the lock of this name.
  static std::string LockFilePath(const std::string& aName);

 private:
  explicit tNV_NamedLock(int aFd) : fFd(aFd) {}

  int fFd;
};

}  // namespace nvrp
