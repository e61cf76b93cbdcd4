#include <windows.h>

#include <cstdlib>

#include "base/win32_text.hpp"
#include "support/test_platform.hpp"

namespace nvrp::testing {

// Both the C runtime's copy (getenv) and the process environment (GetEnvironmentVariableW).
void SetEnvironment(const std::string& aName, const std::string& aValue) {
  const std::wstring name = WideOf(aName);
  const std::wstring value = WideOf(aValue);
  _wputenv_s(name.c_str(), value.c_str());
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}

void UnsetEnvironment(const std::string& aName) {
  const std::wstring name = WideOf(aName);
  _wputenv_s(name.c_str(), L"");
  SetEnvironmentVariableW(name.c_str(), nullptr);
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

std::string MissingLibraryReason() { return SystemErrorText(ERROR_MOD_NOT_FOUND); }

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// Open for writing, sharing reads only: as the log writer opens its file, so its appends fail
// with a sharing violation until the handle closes.
FileWriteHold::FileWriteHold(const std::string& aPath) {
  HANDLE file = CreateFileW(WideOf(aPath).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  fHandle = reinterpret_cast<intptr_t>(file);
  fHeld = true;
}

FileWriteHold::~FileWriteHold() {
  if (fHeld) CloseHandle(reinterpret_cast<HANDLE>(fHandle));
}

}  // namespace nvrp::testing
