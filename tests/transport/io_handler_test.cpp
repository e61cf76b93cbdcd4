#include "transport/io_handler.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/date_time.hpp"
#include "base/host_environment.hpp"
#include "base/utf.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

// The smallest transport: every slot answers without doing anything.
class kTestIOHandler : public kIOHandler {
 public:
  using kIOHandler::kIOHandler;
  bool Connected() const override { return false; }
  bool Disconnect() override { return true; }
  void ClearBuffers() override {}
  bool Write(const std::string&) override { return true; }
  std::string ReadUpTo(const std::vector<uint8_t>&) override { return {}; }
  std::string ReadChars(int32_t) override { return {}; }
  std::string ReadAll() override { return {}; }
  std::string DecodeError(int32_t) override { return {}; }
  bool InputBufferContainsData() override { return false; }
  void SetParameter(const std::string&, const std::string&) override {}
  std::string ClassName() const override { return "kTestIOHandler"; }
  using kIOHandler::HexDump;
};

constexpr char kStart[] = "*************************** START ***************************";
constexpr char kStop[] = "*************************** STOP ****************************";

// A fresh log directory per test, removed afterwards.
class IOHandlerLog : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    directory_ = (std::filesystem::temp_directory_path() /
                  ("nvrp_io_" + std::to_string(testing::ProcessId()) + "_" + test->name()))
                     .string();
    std::filesystem::remove_all(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::unique_ptr<kTestIOHandler> Open(const kConnection* connection = nullptr) {
    return std::make_unique<kTestIOHandler>(connection, directory_, "NVRP_RORERER_10_till1");
  }

  // Entries of the log file as "I:" or "E:" + message; the handler must be gone already.
  std::vector<std::string> Entries(const std::string& file_name) const {
    std::ifstream file(file_name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    std::vector<std::string> entries;
    const std::string all = text.str();
    for (size_t start = 0; start < all.size();) {
      const size_t end = all.find("\r\n", start);
      const std::string line = all.substr(start, end - start);
      start = end == std::string::npos ? all.size() : end + 2;
      constexpr size_t kStampLength = 23;  // yyyy-mm-dd hh:mm:ss:zzz
      const std::string rest = line.substr(kStampLength);
      if (rest.rfind(" - ERROR - ", 0) == 0) {
        entries.push_back("E:" + rest.substr(11));
      } else {
        entries.push_back("I:" + rest.substr(3));
      }
    }
    return entries;
  }

  std::string directory_;
};

TEST_F(IOHandlerLog, DailyLogFileUnderTheDirectory) {
  auto handler = Open();
  EXPECT_EQ(
      handler->GetLogFileName(),
      JoinPath(directory_, "NVRP_RORERER_10_till1_" + FormatDateTime("yyyymmdd", Now()) + ".log"));
}

TEST_F(IOHandlerLog, BannersAndConnectionBlock) {
  kConnection connection;
  connection.SetConnectTimeOut(3000);
  connection.SetReadTimeOut(4000);
  auto handler = Open(&connection);
  const std::string file_name = handler->GetLogFileName();
  handler->SetVersion("1.8.0");
  EXPECT_TRUE(handler->Connect());
  handler.reset();

  EXPECT_EQ(std::string(kStart).size(), 61u);
  EXPECT_EQ(std::string(kStop).size(), 61u);
  EXPECT_EQ(Entries(file_name), (std::vector<std::string>{
                                    std::string("I:") + kStart,
                                    "I:" + std::string(61, '*'),
                                    "I:kTestIOHandler",
                                    "I:1.8.0",
                                    "I:ConnectTimeout=3000",
                                    "I:ReadTimeout=4000",
                                    std::string("I:") + kStop,
                                }));
}

TEST_F(IOHandlerLog, ConnectWithoutVersionWritesAnEmptyLine) {
  auto handler = Open();
  const std::string file_name = handler->GetLogFileName();
  handler->Connect();
  handler.reset();
  const auto entries = Entries(file_name);
  ASSERT_EQ(entries.size(), 7u);
  EXPECT_EQ(entries[3], "I:");
  EXPECT_EQ(entries[4], "I:ConnectTimeout=0");  // no connection given
}

TEST_F(IOHandlerLog, WriteLogAndDebug) {
  struct Case {
    bool hex_log;
    tNV_MessageType type;
    const char* title;
    const char* message;
    const char* expected;
  };
  using MT = tNV_MessageType;
  const Case cases[] = {
      {false, MT::let_info, "Write", "abc", "I:Write:abc"},
      {true, MT::let_info, "Write", "abc", "I:Write:abc [61 62 63]"},
      {true, MT::let_error, "Read", "\xCE\xB1", "E:Read:\xCE\xB1 [3b1]"},
      {true, MT::let_info, "Read", "\xF0\x9F\x98\x80", "I:Read:\xF0\x9F\x98\x80 [d83d de00]"},
      {true, MT::let_info, "Read", "\x01\n", "I:Read:\x01\n [01 0a]"},
      {true, MT::let_info, "Empty", "", "I:Empty: []"},
      {false, MT::let_info, "", "100%s", "I::100%s"},
  };
  auto handler = Open();
  const std::string file_name = handler->GetLogFileName();
  for (const auto& c : cases) {
    handler->SetHexLog(c.hex_log);
    handler->WriteLog(c.type, c.title, c.message);
  }
  handler->Debug(tNV_MessageType::let_error, "raw %d text");
  handler.reset();

  std::vector<std::string> expected{std::string("I:") + kStart};
  for (const auto& c : cases) expected.emplace_back(c.expected);
  expected.emplace_back("E:raw %d text");
  expected.push_back(std::string("I:") + kStop);
  const std::vector<std::string> entries = Entries(file_name);
  EXPECT_EQ(entries, expected);
}

// The dump is built from a digit table; it must read exactly as "%02x" of every UTF-16 unit.
TEST(IOHandlerHexDump, MatchesFormattedUnitCodes) {
  const std::string cases[] = {
      "",
      "abc",
      std::string("\0\x01\x0f\x10\x7f", 5),
      "\xC4\x80\xDF\xBF",                      // U+0100, U+07FF: three digits
      "\xE0\xA0\x80\xEF\xBF\xBF\xE2\x82\xAC",  // U+0800, U+FFFF, euro sign
      "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",      // pairs at both ends of the range
      "a\xFF\x80"
      "b\xCE",  // invalid bytes: fffd each
  };
  for (const std::string& text : cases) {
    std::string expected;
    for (const char16_t unit : Utf8ToUtf16(text)) {
      char code[8];
      std::snprintf(code, sizeof code, "%02x", static_cast<unsigned>(unit));
      if (!expected.empty()) expected += ' ';
      expected += code;
    }
    EXPECT_EQ(kTestIOHandler::HexDump(text), expected) << text;
  }
}

TEST_F(IOHandlerLog, TemporaryReadTimeouts) {
  kConnection connection;  // read time-out 1000
  auto handler = Open(&connection);
  const std::string file_name = handler->GetLogFileName();
  struct Step {
    int32_t set;  // 0 in `reset` steps
    bool reset;
    int32_t read_timeout_after;
    const char* line;
  };
  const Step steps[] = {
      {0, true, 1000, "Reset Timeout to 0 ms"},  // nothing saved yet: unchanged
      {0, false, 1000, "Set Read Timeout to 0ms from 1000 ms"},
      {-5, false, 1000, "Set Read Timeout to -5ms from 1000 ms"},
      {5000, false, 5000, "Set Read Timeout to 5000ms from 1000 ms"},
      {0, true, 1000, "Reset Timeout to 1000 ms"},
      {0, true, 1000, "Reset Timeout to 1000 ms"},  // the saved value stays
      {5000, false, 5000, "Set Read Timeout to 5000ms from 1000 ms"},
      {7000, false, 7000, "Set Read Timeout to 7000ms from 5000 ms"},
      {0, true, 5000, "Reset Timeout to 5000 ms"},  // back to the first temporary value
  };
  std::vector<std::string> expected{std::string("I:") + kStart};
  for (const auto& step : steps) {
    if (step.reset) {
      handler->ResetTemporaryReadTimeout();
    } else {
      handler->SetTemporaryReadTimeout(step.set);
    }
    EXPECT_EQ(handler->ReadTimeout(), step.read_timeout_after) << step.line;
    expected.push_back(std::string("I:") + step.line);
  }
  handler.reset();
  expected.push_back(std::string("I:") + kStop);
  EXPECT_EQ(Entries(file_name), expected);
}

TEST_F(IOHandlerLog, WithoutDirectoryOrNameNothingIsWritten) {
  const std::pair<std::string, std::string> setups[] = {{"", "name"}, {directory_, ""}};
  for (const auto& [directory, name] : setups) {
    kTestIOHandler handler(nullptr, directory, name);
    EXPECT_EQ(handler.GetLogFileName(), "");
    handler.SetHexLog(true);
    EXPECT_TRUE(handler.Connect());
    handler.Debug(tNV_MessageType::let_info, "x");
    handler.WriteLog(tNV_MessageType::let_error, "Write", "abc");
    handler.SetTemporaryReadTimeout(5000);
    EXPECT_EQ(handler.ReadTimeout(), 5000);
  }
  EXPECT_FALSE(std::filesystem::exists(directory_));
}

TEST(IOHandler, CopiesTheConnectionTimeouts) {
  kConnection connection;
  connection.SetConnectTimeOut(2500);
  connection.SetReadTimeOut(3500);
  const kTestIOHandler handler(&connection, "", "");
  EXPECT_EQ(handler.ConnectTimeout(), 2500);
  EXPECT_EQ(handler.ReadTimeout(), 3500);
}

TEST(IOHandler, ErrorStateKeepsTheLastErrorUntilReset) {
  kTestIOHandler handler(nullptr, "", "");
  EXPECT_FALSE(handler.ErrorFound());
  handler.SetCustomError(404, "Not Found");
  handler.SetCustomError(500, "Internal Server Error");
  EXPECT_TRUE(handler.ErrorFound());
  EXPECT_EQ(handler.ErrorCode(), 500);
  EXPECT_EQ(handler.ErrorMessage(), "Internal Server Error");
  handler.ResetCustomError();
  EXPECT_FALSE(handler.ErrorFound());
  EXPECT_EQ(handler.ErrorCode(), 0);
  EXPECT_EQ(handler.ErrorMessage(), "");
}

}  // namespace
}  // namespace nvrp
