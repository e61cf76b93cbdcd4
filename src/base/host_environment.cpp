#include "base/host_environment.hpp"

#include "base/host_file_system.hpp"

#include "base/nv_exception.hpp"
#include "base/utf.hpp"
#include "base/value_messages.hpp"

// The parts of the host environment that are the same on every system.

namespace nvrp {

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

bool HasInvalidPathCharacter(std::string_view part) {
  for (char c : part) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '"' || c == '<' || c == '>' || c == '|') {
      return true;
    }
  }
  return false;
}

// Rooted ("/...", "\..." including "\\?\...") or with a drive and root ("C:\...").
bool IsAbsolutePath(std::string_view path) {
  if (!path.empty() && IsSeparator(path[0])) return true;
  const bool drive_letter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                                 (path[0] >= 'a' && path[0] <= 'z'));
  return drive_letter && path[1] == ':' && IsSeparator(path[2]);
}

}  // namespace

std::string FindSwitch(std::string_view name, bool whole) {
  return FindSwitchIn(HostParameters(), name, whole);
}

std::string FindSwitchIn(const std::vector<std::string>& parameters, std::string_view name,
                         bool whole) {
  const std::string lower_name = AsciiLower(name);
  for (const std::string& parameter : parameters) {
    const std::string lower = AsciiLower(parameter);
    const bool matches = lower == lower_name || lower.starts_with(lower_name + ":") ||
                         lower.starts_with(lower_name + "=");
    if (!matches) continue;
    if (whole) return parameter;
    return parameter.size() > name.size() ? parameter.substr(name.size() + 1) : std::string();
  }
  return {};
}

std::string JoinPath(std::string_view directory, std::string_view name) {
  if (HasInvalidPathCharacter(directory) || HasInvalidPathCharacter(name)) {
    throw Exception(std::string(kMsgInvalidPathCharacters));
  }
  if (directory.empty() || IsAbsolutePath(name)) return std::string(name);
  if (name.empty()) return std::string(directory);
  std::string joined(directory);
  if (!IsSeparator(joined.back())) joined += '/';
  joined += name;
  return joined;
}

std::string ExtractFileName(std::string_view path) {
  const size_t separator = path.find_last_of("/\\");
  return std::string(separator == path.npos ? path : path.substr(separator + 1));
}

std::string ExeBaseName() {
  std::string name = ExtractFileName(host_fs::ExecutablePath());
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

// Every missing level from the top down. A separator right after another one or after a drive
// ("C:\\") ends no folder of its own; a level that exists is left as it is.
bool ForceDirectories(const std::string& path) {
  const std::string target = host_fs::WithoutTrailingSeparators(path);
  if (target.empty()) return false;
  if (host_fs::IsDirectory(target)) return true;
  for (size_t at = 1; at < target.size(); ++at) {
    if (!host_fs::IsPathSeparator(target[at]) || host_fs::IsPathSeparator(target[at - 1])) {
      continue;
    }
    const std::string level = target.substr(0, at);
    if (host_fs::IsRootWithoutFolder(level)) continue;
    if (!host_fs::IsDirectory(level) && !host_fs::MakeDirectory(level)) return false;
  }
  return host_fs::MakeDirectory(target);
}

}  // namespace nvrp
