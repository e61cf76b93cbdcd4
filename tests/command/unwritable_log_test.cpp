// A host whose log folder is full or read-only: the receipts print and answer as always, and
// the host ends within seconds instead of waiting for every log line's tries. The host is this
// test program again, in a child process that loads the production library.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>

#include "ibox_simulator.hpp"
#include "support/library_host.hpp"
#include "support/test_environment.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using testing::Answer;

constexpr const char* kHostMarker = "NVRP_TEST_UNWRITABLE_LOG_HOST";
constexpr int kReceipts = 50;
constexpr const char* kWorkEnded = "[ HOST ] work ended at ";

std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + aValue + "</" + aName + ">";
}

std::string FragmentElement(const std::string& aFragment, const std::string& aName) {
  const std::string open = "<" + aName + ">";
  const size_t start = aFragment.find(open);
  if (start == std::string::npos) return {};
  const size_t from = start + open.size();
  return aFragment.substr(from, aFragment.find("</" + aName + ">", from) - from);
}

const std::string kReceipt =
    "<Receipt><Type>Sale</Type><Lines><ProductSale><Description>Item</Description>"
    "<Quantity>1</Quantity><Department>1</Department><Price>2</Price><Amount>2</Amount>"
    "</ProductSale></Lines><Taxes/><Payments><Payment><Type>Cash</Type><Amount>2</Amount>"
    "</Payment></Payments></Receipt>";

// The host's work: OPEN, the receipts, CLOSE; then it ends, unloading the library.
void PrintReceiptsAsAHost() {
  testing::PrepareTestApplication();
  static const testing::LibraryHost library(NVRP_PRODUCTION_LIBRARY);
  ibox_sim::IboxSimulator simulator;
  simulator.Start();
  int32_t handle = 0;
  const auto envelope = [&](const std::string& aBody) {
    return "<Request><Driver>NVRP_RORERER_10</Driver>" + Element("Handle", std::to_string(handle)) +
           Element("LogId", "fulldisk") +
           "<Connection><Type>HTTP</Type><Address>http://127.0.0.1</Address><Port>" +
           std::to_string(simulator.Port()) +
           "</Port><ConnectTimeout>10</ConnectTimeout><ReadTimeout>20</ReadTimeout></Connection>" +
           "<Parameters/>" + aBody + "</Request>";
  };
  const Answer open = library.Call("OPEN", envelope(""));
  ASSERT_EQ(open.result, 0) << open.error;
  handle = std::atoi(FragmentElement(open.output, "Handle").c_str());
  std::set<std::string> numbers;
  for (int i = 0; i < kReceipts; ++i) {
    const Answer printed = library.Call("PRINTFR", envelope(kReceipt));
    ASSERT_EQ(printed.result, 0) << printed.error;
    numbers.insert(FragmentElement(printed.output, "ReceiptNumber"));
  }
  EXPECT_EQ(numbers.size(), static_cast<size_t>(kReceipts));  // each its own receipt
  const auto closing = Clock::now();
  EXPECT_EQ(library.Call("CLOSE", envelope("")).result, 0);
  EXPECT_LT(Clock::now() - closing, std::chrono::seconds(5));
  // The steady clock is the system's: the parent measures from here to the process's end.
  std::cout << kWorkEnded << Clock::now().time_since_epoch().count() << std::endl;
}

// How long the host took from the end of its work to the end of its process.
std::chrono::nanoseconds EndingTime(const std::string& aOutput) {
  const size_t at = aOutput.find(kWorkEnded);
  if (at == std::string::npos) return std::chrono::hours(1);
  const Clock::duration ended(std::stoll(aOutput.substr(at + std::string(kWorkEnded).size())));
  return Clock::now().time_since_epoch() - ended;
}

TEST(UnwritableLog, ReceiptsPrintAndTheHostEndsWithinSeconds) {
  if (std::getenv(kHostMarker) != nullptr) {
    PrintReceiptsAsAHost();
    return;
  }
  struct Case {
    const char* name;
    bool readOnly;
  };
  for (const Case c : {Case{"full", false}, Case{"read-only", true}}) {
    SCOPED_TRACE(c.name);
    const fs::path host = testing::MakeTemporaryDirectory();
    const fs::path logs = host / "LogFiles";
    fs::create_directories(logs);
    {
      const testing::SmallFileSystem small(logs.string(), 64, c.readOnly);
      if (!small.Mounted()) {
        fs::remove_all(host);
        GTEST_SKIP() << small.Reason();
      }
      if (!c.readOnly) {
        std::ofstream filler(logs / "filler", std::ios::binary);
        const std::string block(1024, 'f');
        for (int i = 0; i < 128 && filler.good(); ++i) filler.write(block.data(), 1024).flush();
      }
      const testing::ChildRun run = testing::RunSelf(
          "--gtest_filter=UnwritableLog.*", {{"NVRP_HOST_DIR", host.string()}, {kHostMarker, "1"}});
      EXPECT_EQ(run.fExitCode, 0) << run.fOutput;
      EXPECT_NE(run.fOutput.find("[  PASSED  ] 1 test."), std::string::npos) << run.fOutput;
      // Unloading the library waits for the process log a few seconds at most.
      EXPECT_LT(EndingTime(run.fOutput), std::chrono::seconds(5)) << run.fOutput;
    }
    fs::remove_all(host);
  }
}

}  // namespace
}  // namespace nvrp
