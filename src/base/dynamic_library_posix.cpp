#include "base/dynamic_library.hpp"

#include <cerrno>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace nvrp {

namespace {

#if defined(_WIN32)

// Windows: LoadLibraryW on the UTF-16 path, GetProcAddress, FreeLibrary, GetLastError.
void* OpenLibrary(const std::string& aPath, int32_t& aCode, std::string& aText) {
  (void)aPath;
  aCode = 0;
  aText = "LoadLibrary is not wired on this platform yet";
  return nullptr;
}
void* FindSymbol(void* aHandle, const char* aName) {
  (void)aHandle;
  (void)aName;
  return nullptr;  // GetProcAddress
}
void CloseLibrary(void* aHandle) { (void)aHandle; }  // FreeLibrary

#else

// dlopen does not promise errno; when it left none, a file that cannot be read still gives
// its code (ENOENT, EACCES ...). Otherwise the code is unknown: 0.
int32_t LoadErrorCode(const std::string& aPath, int aErrno) {
  if (aErrno != 0) return aErrno;
  errno = 0;
  return access(aPath.c_str(), R_OK) == 0 ? 0 : errno;
}

void* OpenLibrary(const std::string& aPath, int32_t& aCode, std::string& aText) {
  errno = 0;
  void* handle = dlopen(aPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    aCode = LoadErrorCode(aPath, errno);
    const char* text = dlerror();
    aText = text != nullptr ? text : "";
  }
  return handle;
}

void* FindSymbol(void* aHandle, const char* aName) { return dlsym(aHandle, aName); }

void CloseLibrary(void* aHandle) { dlclose(aHandle); }

#endif

}  // namespace

DynamicLibrary::~DynamicLibrary() { Unload(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& aOther) noexcept
    : fHandle(std::exchange(aOther.fHandle, nullptr)),
      fErrorCode(aOther.fErrorCode),
      fErrorText(std::move(aOther.fErrorText)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& aOther) noexcept {
  if (this != &aOther) {
    Unload();
    fHandle = std::exchange(aOther.fHandle, nullptr);
    fErrorCode = aOther.fErrorCode;
    fErrorText = std::move(aOther.fErrorText);
  }
  return *this;
}

bool DynamicLibrary::Load(const std::string& aPath) {
  Unload();
  fErrorCode = 0;
  fErrorText.clear();
  fHandle = OpenLibrary(aPath, fErrorCode, fErrorText);
  return fHandle != nullptr;
}

void* DynamicLibrary::Symbol(const char* aName) const {
  if (fHandle == nullptr || aName == nullptr) return nullptr;
  return FindSymbol(fHandle, aName);
}

void DynamicLibrary::Unload() {
  if (fHandle != nullptr) CloseLibrary(fHandle);
  fHandle = nullptr;
}

}  // namespace nvrp
