#include "support/test_environment.hpp"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/application.hpp"

namespace nvrp::testing {

namespace {

// "yyyy-mm-dd hh:mm:ss:zzz - " before every message.
constexpr size_t kStampLength = 26;

}  // namespace

std::string MakeTemporaryDirectory() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("nvrp_test_" + std::to_string(stamp) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(path);
  return path.string();
}

void PrepareTestApplication() {
  const char* host = std::getenv("NVRP_HOST_DIR");
  if (host == nullptr || *host == '\0') {
    static const std::string directory = MakeTemporaryDirectory();
    setenv("NVRP_HOST_DIR", directory.c_str(), 1);
  }
  CreateApplication();
}

std::vector<std::string> ReadLogMessages(const std::string& aFileName) {
  std::vector<std::string> messages;
  std::ifstream file(aFileName);
  for (std::string line; std::getline(file, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    messages.push_back(line.size() >= kStampLength ? line.substr(kStampLength) : line);
  }
  return messages;
}

}  // namespace nvrp::testing
