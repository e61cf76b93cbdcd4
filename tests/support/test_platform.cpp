#include "support/test_platform.hpp"

#include <atomic>
#include <chrono>
#include <filesystem>

namespace nvrp::testing {

std::string MakeTemporaryDirectory() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() /
      ("nvrp_test_" + std::to_string(stamp) + "_" + std::to_string(counter++));
  std::filesystem::create_directories(path);
  return path.string();
}

}  // namespace nvrp::testing
