#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <cwctype>
#include <vector>

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

namespace {

bool IsLocaleVariable(const std::wstring& aName, const std::wstring& aMarker) {
  std::wstring upper = aName;
  for (wchar_t& c : upper) c = static_cast<wchar_t>(towupper(c));
  return upper == L"LANG" || upper == L"LC_ALL" || upper == L"LC_NUMERIC" || aName == aMarker ||
         upper.rfind(L"GTEST_", 0) == 0;
}

// This process's environment block without the locale variables and gtest's sharding, then
// LANG and the marker.
std::wstring ChildEnvironment(const std::string& aLocale, const std::string& aMarker) {
  const std::wstring marker = WideOf(aMarker);
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    if (IsLocaleVariable(text.substr(0, text.find(L'=', 1)), marker)) continue;
    block += text;
    block += L'\0';
  }
  if (strings != nullptr) FreeEnvironmentStringsW(strings);
  block += L"LANG=" + WideOf(aLocale) + L'\0';
  block += marker + L"=" + WideOf(aLocale) + L'\0';
  block += L'\0';
  return block;
}

std::string ReadAll(HANDLE aPipe) {
  std::string text;
  char buffer[4096];
  DWORD count = 0;
  while (ReadFile(aPipe, buffer, sizeof buffer, &count, nullptr) && count > 0) {
    text.append(buffer, count);
  }
  return text;
}

}  // namespace

// Wine takes a process's Windows user locale from the Unix locale of its environment; Windows
// itself does not, so there the locale runs are left out.
bool LocaleInstalled(const std::string&) { return RunningUnderWine(); }

ChildRun RunSelfInLocale(const std::string& aArguments, const std::string& aLocale,
                         const std::string& aMarker) {
  ChildRun run;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(path) + L"\" " + WideOf(aArguments);
  std::wstring environment = ChildEnvironment(aLocale, aMarker);
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process{};
  const BOOL started =
      CreateProcessW(path, commandLine.data(), nullptr, nullptr, TRUE, CREATE_UNICODE_ENVIRONMENT,
                     environment.data(), nullptr, &startup, &process);
  CloseHandle(writeEnd);
  if (started) {
    run.fOutput = ReadAll(readEnd);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(process.hProcess, &code)) run.fExitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  CloseHandle(readEnd);
  return run;
}

SmallFileSystem::SmallFileSystem(const std::string& aPath, int, bool) : fPath(aPath) {
  fReason = "Windows has no small file system to mount";
}

SmallFileSystem::~SmallFileSystem() = default;

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
