#include "base/dynamic_library.hpp"

#include <cerrno>

#include <dlfcn.h>
#include <unistd.h>

namespace nvrp {

namespace {

// dlopen does not promise errno; when it left none, a file that cannot be read still gives
// its code (ENOENT, EACCES ...). Otherwise the code is unknown: 0.
int32_t LoadErrorCode(const std::string& aPath, int aErrno) {
  if (aErrno != 0) return aErrno;
  errno = 0;
  return access(aPath.c_str(), R_OK) == 0 ? 0 : errno;
}

}  // namespace

void* DynamicLibrary::OpenLibrary(const std::string& aPath, int32_t& aCode, std::string& aText) {
  errno = 0;
  void* handle = dlopen(aPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    aCode = LoadErrorCode(aPath, errno);
    const char* text = dlerror();
    aText = text != nullptr ? text : "";
  }
  return handle;
}

void* DynamicLibrary::FindSymbol(void* aHandle, const char* aName) { return dlsym(aHandle, aName); }

void DynamicLibrary::CloseLibrary(void* aHandle) { dlclose(aHandle); }

}  // namespace nvrp
