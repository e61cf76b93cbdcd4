#include "support/test_environment.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/application.hpp"

namespace nvrp::testing {

namespace {

// "yyyy-mm-dd hh:mm:ss:zzz - " before every message.
constexpr size_t kStampLength = 26;

}  // namespace

void PrepareTestApplication() {
  const char* host = std::getenv("NVRP_HOST_DIR");
  if (host == nullptr || *host == '\0') {
    static const std::string directory = MakeTemporaryDirectory();
    SetEnvironment("NVRP_HOST_DIR", directory);
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
