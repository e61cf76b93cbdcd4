#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/test_platform.hpp"

namespace nvrp::testing {

// Entries of a device log as "I:" or "E:" + message; read once the handler is gone, so that
// every queued line has been written.
inline std::vector<std::string> LogEntries(const std::string& aFileName) {
  std::ifstream file(aFileName, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  const std::string all = text.str();
  std::vector<std::string> entries;
  constexpr size_t kStampLength = 23;  // yyyy-mm-dd hh:mm:ss:zzz
  for (size_t start = 0; start < all.size();) {
    const size_t end = all.find("\r\n", start);
    const std::string line = all.substr(start, end - start);
    start = end == std::string::npos ? all.size() : end + 2;
    const std::string rest = line.size() > kStampLength ? line.substr(kStampLength) : "";
    if (rest.rfind(" - ERROR - ", 0) == 0) {
      entries.push_back("E:" + rest.substr(11));
    } else if (rest.size() >= 3) {
      entries.push_back("I:" + rest.substr(3));
    }
  }
  return entries;
}

// Whether the entries hold aExpected as one run of consecutive lines.
inline bool ContainsRun(const std::vector<std::string>& aEntries,
                        const std::vector<std::string>& aExpected) {
  return std::search(aEntries.begin(), aEntries.end(), aExpected.begin(), aExpected.end()) !=
         aEntries.end();
}

// A log directory of its own per test, removed afterwards.
class TransportLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    fDirectory =
        (std::filesystem::temp_directory_path() / ("nvrp_tr_" + std::to_string(ProcessId()) + "_" +
                                                   test->test_suite_name() + "_" + test->name()))
            .string();
    std::filesystem::remove_all(fDirectory);
  }
  void TearDown() override { std::filesystem::remove_all(fDirectory); }

  std::string fDirectory;
  static constexpr char kLogName[] = "NVRP_test";
};

// Measures how long a call took, in milliseconds.
template <typename TCall>
int64_t ElapsedMs(TCall&& aCall) {
  const auto start = std::chrono::steady_clock::now();
  aCall();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Time-outs end within this margin: loaded machines and sanitizer builds are slow.
inline constexpr int64_t kTimeoutMarginMs = 1000;

}  // namespace nvrp::testing
