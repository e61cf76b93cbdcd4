#include "base/host_environment.hpp"
#include "base/host_file_system.hpp"

#include <windows.h>

#include <shellapi.h>

#include "base/win32_text.hpp"

namespace nvrp {

namespace {

constexpr const wchar_t* kHostDirVariable = L"NVRP_HOST_DIR";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

}  // namespace

namespace host_fs {

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

bool IsPathSeparator(char aChar) { return IsSeparator(aChar); }

bool IsRootWithoutFolder(std::string_view aPrefix) {
  return !aPrefix.empty() && aPrefix.back() == ':';
}

std::string WithoutTrailingSeparators(std::string aPath) {
  while (aPath.size() > 1 && IsSeparator(aPath.back()) && aPath[aPath.size() - 2] != ':') {
    aPath.pop_back();
  }
  return aPath;
}

bool IsDirectory(const std::string& aPath) {
  const DWORD attributes = GetFileAttributesW(WideOf(aPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeDirectory(const std::string& aPath) {
  if (CreateDirectoryW(WideOf(aPath).c_str(), nullptr) != 0) return true;
  return GetLastError() == ERROR_ALREADY_EXISTS && IsDirectory(aPath);
}

}  // namespace host_fs

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
    return host_fs::WithoutTrailingSeparators(Utf8Of(configured.data(), length));
  }
  const std::string exe = host_fs::ExecutablePath();
  const size_t separator = exe.find_last_of("/\\");
  if (separator == std::string::npos) return ".";
  return host_fs::WithoutTrailingSeparators(exe.substr(0, separator + 1));
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

}  // namespace nvrp
