#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cwchar>
#include <thread>
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

bool SameName(const std::wstring& aOne, const std::wstring& aOther) {
  return CompareStringOrdinal(aOne.c_str(), -1, aOther.c_str(), -1, TRUE) == CSTR_EQUAL;
}

// This process's environment block changed by aChanges, without gtest's variables.
std::wstring ChildEnvironment(const EnvironmentChanges& aChanges) {
  std::wstring block;
  wchar_t* strings = GetEnvironmentStringsW();
  for (const wchar_t* entry = strings; entry != nullptr && *entry != L'\0';
       entry += wcslen(entry) + 1) {
    const std::wstring text = entry;
    const std::wstring name = text.substr(0, text.find(L'=', 1));
    const bool changed = std::any_of(aChanges.begin(), aChanges.end(), [&](const auto& aChange) {
      return SameName(WideOf(aChange.first), name);
    });
    if (changed || SameName(name.substr(0, 6), L"GTEST_")) continue;
    block += text;
    block += L'\0';
  }
  if (strings != nullptr) FreeEnvironmentStringsW(strings);
  for (const auto& [name, value] : aChanges) {
    if (!value.empty()) block += WideOf(name) + L"=" + WideOf(value) + L'\0';
  }
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

bool CanStartInLocale() { return false; }

bool LocaleInstalled(const std::string&) { return false; }

ChildRun RunSelf(const std::string& aArguments, const EnvironmentChanges& aChanges,
                 std::chrono::seconds aLimit) {
  ChildRun run;
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(path) + L"\" " + WideOf(aArguments);
  std::wstring environment = ChildEnvironment(aChanges);
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
    std::thread reader([&] { run.fOutput = ReadAll(readEnd); });
    const DWORD limit = static_cast<DWORD>(aLimit.count() * 1000);
    if (WaitForSingleObject(process.hProcess, limit) != WAIT_OBJECT_0) {
      run.fTimedOut = true;
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, INFINITE);
    }
    reader.join();
    DWORD code = 0;
    if (!run.fTimedOut && GetExitCodeProcess(process.hProcess, &code)) {
      run.fExitCode = static_cast<int>(code);
    }
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
