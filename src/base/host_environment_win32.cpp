#include "base/host_environment.hpp"

#include <windows.h>

#include <shellapi.h>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

constexpr const wchar_t* kHostDirVariable = L"NVRP_HOST_DIR";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Full path of the host process's executable (not of this library).
std::string ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return Utf8Of(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':') {
    path.pop_back();
  }
  return path;
}

bool IsDirectory(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(WideOf(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::string& path) {
  if (CreateDirectoryW(WideOf(path).c_str(), nullptr) != 0) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(path);
}

}  // namespace

std::string ExeDirectory() {
  // The process environment itself, so that a host's SetEnvironmentVariableW counts too.
  std::wstring configured(MAX_PATH, L'\0');
  DWORD length = GetEnvironmentVariableW(kHostDirVariable, configured.data(),
                                         static_cast<DWORD>(configured.size()));
  if (length >= configured.size()) {
    configured.resize(length);
    length = GetEnvironmentVariableW(kHostDirVariable, configured.data(), length);
  }
  if (length > 0 && length < configured.size()) {
    return WithoutTrailingSeparators(Utf8Of(configured.data(), length));
  }
  const std::string exe = ExecutablePath();
  const size_t separator = exe.find_last_of("/\\");
  if (separator == std::string::npos) return ".";
  return WithoutTrailingSeparators(exe.substr(0, separator + 1));
}

std::string ExeBaseName() {
  std::string name = ExtractFileName(ExecutablePath());
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::vector<std::string> HostParameters() {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> parameters;
  if (arguments == nullptr) return parameters;
  for (int i = 1; i < count; ++i) parameters.push_back(Utf8Of(arguments[i], wcslen(arguments[i])));
  LocalFree(arguments);
  return parameters;
}

bool ForceDirectories(const std::string& path) {
  const std::string target = WithoutTrailingSeparators(path);
  if (target.empty()) return false;
  if (IsDirectory(target)) return true;
  // Parents from the first separator after a drive ("C:\") or share root on.
  for (size_t at = target.find_first_of("/\\", 1); at != std::string::npos;
       at = target.find_first_of("/\\", at + 1)) {
    if (IsSeparator(target[at - 1]) || target[at - 1] == ':') continue;
    if (!IsDirectory(target.substr(0, at)) && !MakeDirectory(target.substr(0, at))) return false;
  }
  return MakeDirectory(target);
}

}  // namespace nvrp
