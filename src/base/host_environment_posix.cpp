#include "base/host_environment.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace nvrp {

namespace {

constexpr const char* kHostDirVariable = "NVRP_HOST_DIR";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return {};
  buffer.resize(static_cast<size_t>(length));
  return buffer;
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
  return path;
}

bool IsDirectory(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectory(const std::string& path) {
  if (mkdir(path.c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsDirectory(path);
}

}  // namespace

std::string ExeDirectory() {
  const char* configured = std::getenv(kHostDirVariable);
  if (configured != nullptr && configured[0] != '\0') {
    return WithoutTrailingSeparators(configured);
  }
  const std::string exe = ExecutablePath();
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
}

std::string ExeBaseName() {
  std::string name = ExtractFileName(ExecutablePath());
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

std::vector<std::string> HostParameters() {
  std::ifstream file("/proc/self/cmdline", std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
  std::vector<std::string> parameters;
  size_t start = 0;
  bool program_name = true;
  while (start < content.size()) {
    size_t end = content.find('\0', start);
    if (end == std::string::npos) end = content.size();
    if (!program_name) parameters.emplace_back(content.substr(start, end - start));
    program_name = false;
    start = end + 1;
  }
  return parameters;
}

bool ForceDirectories(const std::string& path) {
  const std::string target = WithoutTrailingSeparators(path);
  if (target.empty()) return false;
  if (IsDirectory(target)) return true;
  for (size_t slash = target.find('/', 1); slash != std::string::npos;
       slash = target.find('/', slash + 1)) {
    if (target[slash - 1] == '/') continue;  // doubled separator
    if (!MakeDirectory(target.substr(0, slash))) return false;
  }
  return MakeDirectory(target);
}

}  // namespace nvrp
