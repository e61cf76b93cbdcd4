#include "base/named_lock.hpp"

#include <windows.h>

#include "base/text_utils.hpp"
#include "base/win32_text.hpp"

namespace nvrp {

tNV_NamedLock::~tNV_NamedLock() {
  // The mutex goes away with its last handle; then the next instance may take the name.
  CloseHandle(reinterpret_cast<HANDLE>(fHandle));
}

std::string tNV_NamedLock::LockFilePath(const std::string& aName) {
  // A backslash would name a kernel namespace; the name stays in the session's own.
  return ReplaceAll(aName, "\\", "_");
}

std::unique_ptr<tNV_NamedLock> tNV_NamedLock::TryAcquire(const std::string& aName) {
  HANDLE mutex = CreateMutexW(nullptr, TRUE, WideOf(LockFilePath(aName)).c_str());
  if (mutex == nullptr) return nullptr;
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return nullptr;
  }
  return std::unique_ptr<tNV_NamedLock>(new tNV_NamedLock(reinterpret_cast<std::intptr_t>(mutex)));
}

}  // namespace nvrp
