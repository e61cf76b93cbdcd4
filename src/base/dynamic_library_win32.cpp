#include "base/dynamic_library.hpp"

#include <windows.h>

#include "base/win32_text.hpp"

namespace nvrp {

void* DynamicLibrary::OpenLibrary(const std::string& aPath, int32_t& aCode, std::string& aText) {
  // No error box for a library that cannot be loaded; the caller reports it.
  const UINT previous_mode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryW(WideOf(aPath).c_str());
  const DWORD error = GetLastError();
  SetErrorMode(previous_mode);
  if (module == nullptr) {
    aCode = static_cast<int32_t>(error);
    aText = SystemErrorText(error);
  }
  return reinterpret_cast<void*>(module);
}

void* DynamicLibrary::FindSymbol(void* aHandle, const char* aName) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(aHandle), aName));
}

void DynamicLibrary::CloseLibrary(void* aHandle) { FreeLibrary(static_cast<HMODULE>(aHandle)); }

}  // namespace nvrp
