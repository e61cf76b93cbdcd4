#include "support/test_platform.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <vector>

#include <gtest/gtest.h>

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

namespace {

constexpr const char* kHostLocaleMarker = "NVRP_TEST_HOST_LOCALE";

std::string CurrentTestName() {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(test->test_suite_name()) + "." + test->name();
}

// The locale children check number formats, not leaks (the parent's suites check the same
// code for leaks): LeakSanitizer's tracer can crash at the exit of a child on a loaded
// machine after its test passed, a fault of the sanitizer runtime.
std::string LocaleChildSanitizerOptions() {
  const char* options = std::getenv("ASAN_OPTIONS");
  return (options != nullptr && options[0] != '\0' ? std::string(options) + ":" : "") +
         "detect_leaks=0";
}

}  // namespace

void CheckInHostLocales(std::initializer_list<const char*> aLocales,
                        const std::function<void()>& aChecks) {
  const char* marker = std::getenv(kHostLocaleMarker);
  if (marker != nullptr && marker[0] != '\0') {
    const bool wanted = std::any_of(aLocales.begin(), aLocales.end(), [&](const char* aLocale) {
      return std::string(aLocale) == marker;
    });
    if (!wanted) GTEST_SKIP() << "checked in other locales than " << marker;
    aChecks();
    return;
  }
  if (!CanStartInLocale()) {
    GTEST_SKIP() << "a child here does not take its locale from its environment; "
                    "scripts/windows.sh runs this test in a Greek user locale";
  }
  std::vector<std::string> missing;
  for (const char* locale : aLocales) {
    if (!LocaleInstalled(locale)) {
      missing.emplace_back(locale);
      continue;
    }
    const ChildRun run = RunSelf("--gtest_filter=" + CurrentTestName(),
                                 {{"LC_ALL", ""},
                                  {"LC_NUMERIC", ""},
                                  {"LANG", locale},
                                  {kHostLocaleMarker, locale},
                                  {"ASAN_OPTIONS", LocaleChildSanitizerOptions()}});
    const bool passed =
        run.fExitCode == 0 && run.fOutput.find("[  PASSED  ] 1 test.") != std::string::npos;
    EXPECT_TRUE(passed) << "in the locale " << locale << " (exit code " << run.fExitCode << "):\n"
                        << run.fOutput;
  }
  if (missing.size() == aLocales.size()) {
    GTEST_SKIP() << "none of the locales is installed (scripts/setup.sh generates them)";
  }
  for (const std::string& locale : missing) {
    std::cout << "[ NOTE ] locale " << locale << " not installed, not checked\n";
  }
}

}  // namespace nvrp::testing
