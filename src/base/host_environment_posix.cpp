#include "base/host_environment.hpp"
#include "base/host_file_system.hpp"

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

}  // namespace

namespace host_fs {

std::string ExecutablePath() {
  std::string buffer(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length <= 0) return {};
  buffer.resize(static_cast<size_t>(length));
  return buffer;
}

bool IsPathSeparator(char aChar) { return aChar == '/'; }

bool IsRootWithoutFolder(std::string_view) { return false; }

std::string WithoutTrailingSeparators(std::string aPath) {
  while (aPath.size() > 1 && IsSeparator(aPath.back())) aPath.pop_back();
  return aPath;
}

bool IsDirectory(const std::string& aPath) {
  struct stat info {};
  return stat(aPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MakeDirectory(const std::string& aPath) {
  if (mkdir(aPath.c_str(), 0777) == 0) return true;
  return errno == EEXIST && IsDirectory(aPath);
}

}  // namespace host_fs

std::string ExeDirectory() {
  const char* configured = std::getenv(kHostDirVariable);
  if (configured != nullptr && configured[0] != '\0') {
    return host_fs::WithoutTrailingSeparators(configured);
  }
  const std::string exe = host_fs::ExecutablePath();
  const size_t slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : exe.substr(0, slash);
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

}  // namespace nvrp
