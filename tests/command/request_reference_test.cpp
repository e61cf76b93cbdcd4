// The request reference (docs/requests.md) against the library: every request it shows is an
// example file, shown exactly as the file holds it, and every answer it shows is the one the
// production library gives for that file on the simulator. The examples run in the order of
// the document, in one session as fiscalctl runs them: the handle OPEN answered goes into the
// later requests. Date-times of the host's clock, log paths and receipt pictures are masked,
// and the handle OPEN answered is compared as the one the document shows.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ibox_simulator.hpp"
#include "support/export_test.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

#if defined(NVRP_PRODUCTION_LIBRARY) && defined(NVRP_SOURCE_DIR)

const fs::path kSourceDir = NVRP_SOURCE_DIR;
// The simulator's clock while the examples run: the date-times the documentation shows.
const ibox_sim::CivilTime kDeviceClock{2024, 3, 1, 14, 5, 9};
const std::string kDeviceClockText = "2024-03-01T14:05:09";
const std::string kNoDateTime = "1899-12-30T00:00:00";

// One example of the document: "<!-- example COMMAND FILE -->", the request's code block, and,
// when "<!-- answer -->" follows before the next example, the answer's code block.
struct Example {
  std::string command;
  std::string source;  // a file under the source tree, or VERSION's driver name
  std::string shownRequest;
  bool hasAnswer = false;
  std::string shownAnswer;
};

std::string ReadFile(const fs::path& aPath) {
  std::ifstream file(aPath, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The code block that starts at or after `aPosition`; `aPosition` moves past it.
std::string NextCodeBlock(const std::string& aText, size_t& aPosition) {
  const size_t open = aText.find("```", aPosition);
  if (open == std::string::npos) return {};
  const size_t start = aText.find('\n', open) + 1;
  const size_t close = aText.find("\n```", start);
  aPosition = close + 4;
  return aText.substr(start, close - start + 1);  // with its last line break
}

std::vector<Example> ReadExamples(const std::string& aDocument) {
  static const std::regex kMarker(R"(<!-- example (\w+) (\S+) -->)");
  std::vector<Example> examples;
  for (auto it = std::sregex_iterator(aDocument.begin(), aDocument.end(), kMarker);
       it != std::sregex_iterator(); ++it) {
    Example example{(*it)[1], (*it)[2], {}, false, {}};
    size_t position = static_cast<size_t>(it->position() + it->length());
    example.shownRequest = NextCodeBlock(aDocument, position);
    const size_t next = aDocument.find("<!-- example ", position);
    const size_t answer = aDocument.find("<!-- answer -->", position);
    if (answer != std::string::npos && answer < next) {
      position = answer;
      example.hasAnswer = true;
      example.shownAnswer = NextCodeBlock(aDocument, position);
    }
    examples.push_back(std::move(example));
  }
  return examples;
}

// Every non-empty content of the element `aName` replaced by `aMark`. (No std::regex here: it
// recurses per character and would overflow the stack on a receipt picture.)
std::string MaskElement(std::string aText, const std::string& aName, const std::string& aMark) {
  const std::string open = "<" + aName + ">";
  const std::string close = "</" + aName + ">";
  for (size_t at = aText.find(open); at != std::string::npos; at = aText.find(open, at)) {
    const size_t start = at + open.size();
    const size_t end = aText.find(close, start);
    if (end == std::string::npos) break;
    if (end > start) aText.replace(start, end - start, aMark);
    at = start;
  }
  return aText;
}

// CR LF as LF; date-times other than the device clock's and the empty one, log paths and
// receipt pictures replaced by a mark.
std::string Masked(std::string aText) {
  for (size_t at = aText.find("\r\n"); at != std::string::npos; at = aText.find("\r\n", at)) {
    aText.erase(at, 1);
  }
  aText = MaskElement(aText, "LogFileName", "(log path)");
  aText = MaskElement(aText, "ReceiptImage", "(JPEG in Base64)");
  static const std::regex kDateTime(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d)");
  std::string masked;
  auto last = aText.cbegin();
  for (auto it = std::sregex_iterator(aText.begin(), aText.end(), kDateTime);
       it != std::sregex_iterator(); ++it) {
    masked.append(last, (*it)[0].first);
    const std::string found = it->str();
    masked += found == kDeviceClockText || found == kNoDateTime ? found : "(host date-time)";
    last = (*it)[0].second;
  }
  masked.append(last, aText.cend());
  return masked;
}

// The drawer stays open once opened, so that the drawer status shown is the one read.
ibox_sim::SimulatorOptions SimulatorOptions() {
  ibox_sim::SimulatorOptions options;
  options.device.drawer_close_after = std::chrono::milliseconds(0);
  return options;
}

std::string Replaced(std::string aText, const std::string& aFrom, const std::string& aTo) {
  const size_t at = aText.find(aFrom);
  if (at != std::string::npos) aText.replace(at, aFrom.size(), aTo);
  return aText;
}

// The examples name their own devices, so the fixture opens none.
class RequestReference : public testing::ExportTest {
 protected:
  RequestReference() : ExportTest("reference") { UseSimulator(fSimulator); }

  void SetUp() override {
    fs::copy_file(kSourceDir / "examples" / "NVRP_RORERER_10.ini", testing::ConfigFile(),
                  fs::copy_options::overwrite_existing);
    fSimulator.SetClock(kDeviceClock, /*frozen=*/true);
    fSimulator.Start();
    fExamples = ReadExamples(ReadFile(kSourceDir / "docs" / "requests.md"));
  }

  // The host folder is the process's: the tests that run later see no configuration file.
  void TearDown() override {
    std::error_code ignored;
    fs::remove(fs::path(std::getenv("NVRP_HOST_DIR")) / "NVRP_RORERER_10.ini", ignored);
  }

  // The request as fiscalctl sends it: the simulator's port, the handle OPEN answered.
  std::string Prepared(const std::string& aRequest) const {
    std::string request = Replaced(aRequest, "<Port>PORT</Port>",
                                   "<Port>" + std::to_string(fSimulator.Port()) + "</Port>");
    if (!fHandle.empty()) {
      request = Replaced(request, "<Handle>0</Handle>", "<Handle>" + fHandle + "</Handle>");
    }
    return request;
  }

  // The handle an OPEN answer gives, empty when it gives none.
  static std::string HandleIn(const std::string& aAnswer) {
    std::smatch handle;
    static const std::regex kHandle("<Handle>([1-9][0-9]*)</Handle>");
    return std::regex_search(aAnswer, handle, kHandle) ? handle[1].str() : std::string();
  }

  // The document shows a fresh process's first handle; earlier tests in this process may have
  // opened devices, so the answer's handle is written as the shown one.
  std::string WithShownHandle(const std::string& aAnswer) const {
    if (fHandle.empty() || fShownHandle.empty()) return aAnswer;
    std::string answer = aAnswer;
    const std::string from = "<Handle>" + fHandle + "</Handle>";
    const std::string to = "<Handle>" + fShownHandle + "</Handle>";
    for (size_t at = answer.find(from); at != std::string::npos; at = answer.find(from, at)) {
      answer.replace(at, from.size(), to);
      at += to.size();
    }
    return answer;
  }

  ibox_sim::IboxSimulator fSimulator{SimulatorOptions()};
  std::vector<Example> fExamples;
  std::string fHandle;
  std::string fShownHandle;
};

TEST_F(RequestReference, EveryShownAnswerIsTheLibrarysAnswerToTheShownExample) {
  const testing::LibraryHost& library = Library();
  ASSERT_FALSE(fExamples.empty());
  for (const Example& example : fExamples) {
    SCOPED_TRACE(example.command + " " + example.source);
    std::string request = example.source;
    if (example.command != "VERSION") {
      request = ReadFile(kSourceDir / example.source);
      ASSERT_FALSE(request.empty()) << "no such example file";
    }
    EXPECT_EQ(example.shownRequest, request + (example.command == "VERSION" ? "\n" : ""))
        << "the document does not show the example as its file holds it";
    const testing::Answer answer = library.Call(example.command.c_str(), Prepared(request));
    if (example.command == "OPEN") {
      fHandle = HandleIn(answer.output);
      if (example.hasAnswer) fShownHandle = HandleIn(example.shownAnswer);
    }
    if (example.hasAnswer) {
      EXPECT_EQ(Masked(example.shownAnswer), Masked(WithShownHandle(answer.output) + "\n"));
    }
  }
}

// Every command has an example, and every example file is shown in the document.
TEST_F(RequestReference, ShowsAnExampleOfEveryCommandAndEveryExampleFile) {
  std::set<std::string> commands;
  std::set<std::string> shownFiles;
  for (const Example& example : fExamples) {
    commands.insert(example.command);
    if (example.command != "VERSION") shownFiles.insert(example.source);
  }
  for (const char* command :
       {"PRINTFR",      "REPRINTFR",    "PRINTNFR",    "PRINTXR",     "PRINTZR",
        "DISPLAY",      "OPENDR",       "GETDRSTATUS", "GETSTATUS",   "SET",
        "SETDATETIME",  "OPEN",         "CLOSE",       "GETVATTABLE", "SETVATTABLE",
        "GETDEPTTABLE", "SETDEPTTABLE", "EJREPORT",    "GETEJFILES",  "GETLOTTERYRCPTSTATUS",
        "PAY",          "VERSION"}) {
    EXPECT_TRUE(commands.count(command)) << command << " has no example";
  }
  for (const auto& entry : fs::directory_iterator(kSourceDir / "examples")) {
    if (entry.path().extension() != ".xml") continue;
    const std::string name = "examples/" + entry.path().filename().string();
    EXPECT_TRUE(shownFiles.count(name)) << name << " is not shown in docs/requests.md";
  }
}

#endif

}  // namespace
}  // namespace nvrp
