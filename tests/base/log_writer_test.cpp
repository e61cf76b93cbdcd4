#include "base/log_writer.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/date_time.hpp"
#include "base/nv_exception.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string ReadFile(const fs::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Lines of a CR LF text, without their line ends.
std::vector<std::string> Lines(const std::string& aText) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = aText.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(aText.substr(start, end - start));
  }
  if (start < aText.size()) lines.push_back(aText.substr(start));
  return lines;
}

// The message part of a line: what follows the stamp and the separator.
std::string MessageOf(const std::string& aLine) {
  static const std::regex kLine(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3} - (ERROR - )?)");
  return std::regex_replace(aLine, kLine, "", std::regex_constants::format_first_only);
}

void WriteBytes(const fs::path& aPath, size_t aCount) {
  std::ofstream out(aPath, std::ios::binary | std::ios::trunc);
  out << std::string(aCount, 'x');
}

// Waits until the file holds at least aCount lines (the writer works in the background).
bool WaitForLines(const fs::path& aPath, size_t aCount) {
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    if (Lines(ReadFile(aPath)).size() >= aCount) return true;
    std::this_thread::sleep_for(milliseconds(5));
  }
  return false;
}

std::vector<fs::path> FilesIn(const fs::path& aDirectory) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(aDirectory)) files.push_back(entry.path());
  return files;
}

class LogWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { fDir = testing::MakeTemporaryDirectory(); }
  void TearDown() override { fs::remove_all(fDir); }

  std::unique_ptr<tNV_LogWriter> MakeWriter(int32_t aMaxMessageLength = 0) {
    return std::make_unique<tNV_LogWriter>("test", fDir.string(), aMaxMessageLength, false);
  }
  fs::path LogPath() const { return fDir / "test.log"; }

  fs::path fDir;
};

TEST_F(LogWriterTest, LineFormatPerEntryType) {
  struct Case {
    tNV_MessageType type;
    std::string separator;
  };
  const Case cases[] = {{tNV_MessageType::let_info, " - "},
                        {tNV_MessageType::let_error, " - ERROR - "}};
  for (const Case& c : cases) {
    fs::remove(LogPath());
    const std::string before = FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", Now());
    auto writer = MakeWriter();
    writer->Write(c.type, "hello");
    writer.reset();
    const std::string after = FormatDateTime("yyyy-mm-dd hh:nn:ss:zzz", Now());

    const std::string text = ReadFile(LogPath());
    ASSERT_TRUE(std::regex_match(text, std::regex(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}:\d{3})" +
                                                  c.separator + "hello\r\n")))
        << text;
    const std::string stamp = text.substr(0, 23);
    EXPECT_LE(before, stamp);
    EXPECT_GE(after, stamp);
  }
}

TEST_F(LogWriterTest, MessageCutToMaxLengthInUtf16Units) {
  struct Case {
    int32_t max_length;
    std::string message;
    std::string expected;
  };
  const Case cases[] = {
      {0, std::string(3000, 'a'), std::string(3000, 'a')},
      {-1, "hello world", "hello world"},
      {10, "hello world", "hello worl"},
      {10, "short", "short"},
      {3, "\xCE\xB1\xCE\xB2\xCE\xB3\xCE\xB4", "\xCE\xB1\xCE\xB2\xCE\xB3"},  // Greek letters
      {3,
       "a\xF0\x9F\x98\x80"
       "b",
       "a\xF0\x9F\x98\x80"},  // emoji: 2 units
      {2,
       "a\xF0\x9F\x98\x80"
       "b",
       "a"},  // a cut inside the pair drops the emoji
      {0, "first\r\nsecond", "first\r\nsecond"},
  };
  for (const Case& c : cases) {
    fs::remove(LogPath());
    auto writer = MakeWriter(c.max_length);
    writer->Write(tNV_MessageType::let_error, c.message);
    writer.reset();
    const std::string text = ReadFile(LogPath());
    EXPECT_EQ(MessageOf(text), c.expected + "\r\n") << "max " << c.max_length;
  }
}

TEST_F(LogWriterTest, FileNameIsBuiltAtCreation) {
  const std::string day_before = FormatDateTime("yyyymmdd", Now());
  tNV_LogWriter daily("dev", (fDir / "a" / "b").string(), 0, true);
  const std::string day_after = FormatDateTime("yyyymmdd", Now());
  EXPECT_THAT(
      testing::GenericPath(daily.FileName()),
      ::testing::AnyOf(testing::GenericPath(fDir / "a" / "b" / ("dev_" + day_before + ".log")),
                       testing::GenericPath(fDir / "a" / "b" / ("dev_" + day_after + ".log"))));
  EXPECT_TRUE(daily.Daily());
  EXPECT_TRUE(fs::is_directory(fDir / "a" / "b"));  // directory created with its parents
  EXPECT_FALSE(fs::exists(daily.FileName()));       // the file only with the first line

  tNV_LogWriter plain("dev", fDir.string(), 0, false);
  EXPECT_EQ(testing::GenericPath(plain.FileName()), testing::GenericPath(fDir / "dev.log"));
  EXPECT_EQ(plain.Directory(), fDir.string());
  EXPECT_EQ(plain.MaxLogFileSize(), 5000);
  EXPECT_EQ(plain.GetLogFileSize(), -1);
}

TEST_F(LogWriterTest, SetFileNameAndDirectory) {
  auto writer = MakeWriter();
  writer->SetFileName("/elsewhere/other.txt");
  EXPECT_EQ(testing::GenericPath(writer->FileName()), testing::GenericPath(fDir / "other.txt"));
  writer->SetFileName("plain");
  EXPECT_EQ(testing::GenericPath(writer->FileName()), testing::GenericPath(fDir / "plain"));

  const fs::path moved = fDir / "x" / "y";
  writer->SetDirectory(moved.string());
  EXPECT_EQ(writer->Directory(), moved.string());
  EXPECT_EQ(testing::GenericPath(writer->FileName()), testing::GenericPath(moved / "plain"));
  EXPECT_TRUE(fs::is_directory(moved));

  writer->Write(tNV_MessageType::let_info, "moved");
  writer.reset();
  EXPECT_EQ(MessageOf(ReadFile(moved / "plain")), "moved\r\n");
}

TEST_F(LogWriterTest, InvalidCharactersInPath) {
  EXPECT_THROW(
      {
        try {
          tNV_LogWriter bad("test", fDir.string() + "/a|b", 0, false);
        } catch (const Exception& e) {
          EXPECT_STREQ(e.what(), "Invalid characters in path");
          throw;
        }
      },
      Exception);
  auto writer = MakeWriter();
  const std::vector<std::string> bad_values = {"a<b", "a>b", "a\"b", std::string("a\x01") + "b"};
  for (const std::string& bad : bad_values) {
    EXPECT_THROW(writer->SetDirectory(bad), Exception) << bad;
    EXPECT_THROW(writer->SetFileName(bad), Exception) << bad;
  }
  // A refused value leaves the writer as it was.
  EXPECT_EQ(testing::GenericPath(writer->FileName()), testing::GenericPath(LogPath()));
  EXPECT_EQ(writer->Directory(), fDir.string());
}

TEST_F(LogWriterTest, EmptyFileNameIsAnError) {
  tNV_LogWriter writer("test", "", 0, false);
  writer.SetFileName("");
  ASSERT_EQ(writer.FileName(), "");
  try {
    writer.Write(tNV_MessageType::let_info, "x");
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Log filename is empty ");
  }
}

// The check runs before the 1st, 21st, 41st ... line; a file above the limit is moved aside
// and the line starts a new file under the unchanged name.
TEST_F(LogWriterTest, RotationAtSizeBoundary) {
  struct Case {
    size_t initial_size;
    bool rotated;
  };
  for (const Case c : {Case{1024, false}, Case{1025, true}}) {
    fs::remove_all(fDir);
    fs::create_directories(fDir);
    WriteBytes(LogPath(), c.initial_size);
    auto writer = MakeWriter();
    writer->SetMaxLogFileSize(1);
    writer->Write(tNV_MessageType::let_info, "next");
    writer.reset();

    const auto files = FilesIn(fDir);
    const std::string text = ReadFile(LogPath());
    if (!c.rotated) {
      EXPECT_EQ(files.size(), 1u);
      EXPECT_EQ(text.size(), 1024u + 23u + 3u + 4u + 2u);
      continue;
    }
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(MessageOf(text), "next\r\n");
    const fs::path rotated = files[0] == LogPath() ? files[1] : files[0];
    EXPECT_TRUE(std::regex_match(rotated.filename().string(), std::regex(R"(test_\d{17}\.log)")))
        << rotated;
    EXPECT_EQ(fs::file_size(rotated), 1025u);
  }
}

TEST_F(LogWriterTest, SizeCheckedEveryTwentiethLine) {
  auto writer = MakeWriter();
  writer->SetMaxLogFileSize(1);
  writer->Write(tNV_MessageType::let_info, "line 1");  // no file yet: nothing to rotate
  ASSERT_TRUE(WaitForLines(LogPath(), 1));
  {
    std::ofstream pad(LogPath(), std::ios::binary | std::ios::app);
    pad << std::string(2000, 'p') << "\r\n";
  }
  for (int i = 2; i <= 20; ++i)
    writer->Write(tNV_MessageType::let_info, "line " + std::to_string(i));
  ASSERT_TRUE(WaitForLines(LogPath(), 21));
  EXPECT_EQ(FilesIn(fDir).size(), 1u);  // lines 2 to 20 skip the check

  writer->Write(tNV_MessageType::let_info, "line 21");
  writer.reset();
  EXPECT_EQ(FilesIn(fDir).size(), 2u);
  const auto lines = Lines(ReadFile(LogPath()));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(MessageOf(lines[0]), "line 21");
}

// The writer keeps its directory open between lines; a directory moved away and replaced by
// a new one under the same path must still receive the lines from the next size check on.
TEST_F(LogWriterTest, FollowsADirectoryReplacedUnderItsPath) {
  const fs::path directory = fDir / "logs";
  auto writer = std::make_unique<tNV_LogWriter>("test", directory.string(), 0, false);
  writer->Write(tNV_MessageType::let_info, "line 1");
  ASSERT_TRUE(WaitForLines(directory / "test.log", 1));
  fs::rename(directory, fDir / "moved");
  fs::create_directories(directory);
  for (int i = 2; i <= 21; ++i)
    writer->Write(tNV_MessageType::let_info, "line " + std::to_string(i));
  writer.reset();

  const auto lines = Lines(ReadFile(directory / "test.log"));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(MessageOf(lines.back()), "line 21");
  EXPECT_EQ(Lines(ReadFile(fDir / "moved" / "test.log")).size() + lines.size(), 21u);
}

TEST_F(LogWriterTest, DestroyWritesOutTheWholeQueueInOrder) {
  constexpr int kCount = 2000;
  auto writer = MakeWriter();
  for (int i = 0; i < kCount; ++i) writer->Write(tNV_MessageType::let_info, std::to_string(i));
  writer.reset();
  const auto lines = Lines(ReadFile(LogPath()));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i)
    ASSERT_EQ(MessageOf(lines[static_cast<size_t>(i)]), std::to_string(i));
}

TEST_F(LogWriterTest, SeveralThreadsLoseNothing) {
  constexpr int kThreads = 4;
  constexpr int kPerThread = 300;
  auto writer = MakeWriter();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&writer, t] {
      for (int i = 0; i < kPerThread; ++i) {
        writer->Write(tNV_MessageType::let_info, std::to_string(t) + ":" + std::to_string(i));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  writer.reset();

  std::vector<int> next(kThreads, 0);
  const auto lines = Lines(ReadFile(LogPath()));
  ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kPerThread));
  for (const auto& line : lines) {
    const std::string message = MessageOf(line);
    const auto t = static_cast<size_t>(std::stoi(message.substr(0, message.find(':'))));
    // Each thread's lines keep their order.
    ASSERT_EQ(message, std::to_string(t) + ":" + std::to_string(next[t]++));
  }
}

// A line that cannot be written gets ten attempts 50 ms apart, then is given up; while the file
// stays unwritable the line behind it is tried once.
TEST_F(LogWriterTest, UnwritableLineIsTriedTenTimesThenSkipped) {
  auto writer = MakeWriter();
  fs::create_directory(LogPath());  // a directory where the file should be
  const auto start = Clock::now();
  writer->Write(tNV_MessageType::let_info, "lost 1");
  writer->Write(tNV_MessageType::let_info, "lost 2");
  writer.reset();
  const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
  EXPECT_GE(elapsed.count(), 9 * 50);
  EXPECT_LT(elapsed.count(), 2 * 9 * 50);
  EXPECT_TRUE(fs::is_empty(LogPath()));

  // A path below a regular file: the line given up leaves room for the next one elsewhere.
  WriteBytes(fDir / "plain", 1);
  auto moved = MakeWriter();
  moved->SetDirectory((fDir / "plain" / "sub").string());
  moved->Write(tNV_MessageType::let_info, "lost 3");
  std::this_thread::sleep_for(milliseconds(100));  // the first line is in its attempts
  moved->SetDirectory((fDir / "good").string());
  moved->Write(tNV_MessageType::let_info, "kept");
  moved.reset();
  EXPECT_EQ(MessageOf(ReadFile(fDir / "good" / "test.log")), "kept\r\n");
}

// A reader keeping the file open does not keep the writer out (it would give the line up after
// its attempts) and sees what is written.
TEST_F(LogWriterTest, ReadersDoNotKeepTheWriterOut) {
  auto first = MakeWriter();
  first->Write(tNV_MessageType::let_info, "first");
  first.reset();
  std::ifstream reader(LogPath(), std::ios::binary);
  ASSERT_TRUE(reader.is_open());

  auto writer = MakeWriter();
  writer->Write(tNV_MessageType::let_info, "while read");
  writer.reset();

  std::stringstream seen;
  seen << reader.rdbuf();
  EXPECT_THAT(seen.str(), ::testing::HasSubstr("while read\r\n"));
}

TEST_F(LogWriterTest, WaitsWhileAnotherWriterHoldsTheFile) {
  struct Case {
    int hold_ms;
    bool written;
  };
  for (const Case c : {Case{200, true}, Case{900, false}}) {
    fs::remove(LogPath());
    auto holder = std::make_unique<testing::FileWriteHold>(LogPath().string());
    ASSERT_TRUE(holder->Held());
    auto writer = MakeWriter();
    writer->Write(tNV_MessageType::let_info, "after release");
    std::this_thread::sleep_for(milliseconds(c.hold_ms));
    holder.reset();
    writer.reset();
    EXPECT_EQ(MessageOf(ReadFile(LogPath())), c.written ? "after release\r\n" : "")
        << "held " << c.hold_ms << " ms";
  }
}

// Fills the file system that holds aDirectory.
void FillUp(const fs::path& aDirectory) {
  std::ofstream filler(aDirectory / "filler", std::ios::binary);
  const std::string block(1024, 'f');
  for (int i = 0; i < 1024 && filler.good(); ++i) filler.write(block.data(), 1024).flush();
}

// A full disk, a read-only folder and a folder that went away cost the first line its ten tries
// and each line behind it one: a busy host's queue is worked off in moments, not lines times
// half a second. Once a line is written again, logging goes on as before.
TEST_F(LogWriterTest, FullOrReadOnlyOrMissingFolderCostsOneTryPerLine) {
  struct Case {
    const char* name;
    std::function<std::unique_ptr<testing::SmallFileSystem>(const fs::path&)> spoil;
    std::function<void(const fs::path&)> mend;  // null: left unwritable
  };
  const Case cases[] = {
      {"full",
       [](const fs::path& aDir) {
         auto small = std::make_unique<testing::SmallFileSystem>(aDir.string(), 64, false);
         if (small->Mounted()) FillUp(aDir);
         return small;
       },
       [](const fs::path& aDir) { fs::remove(aDir / "filler"); }},
      {"read-only",
       [](const fs::path& aDir) {
         return std::make_unique<testing::SmallFileSystem>(aDir.string(), 64, true);
       },
       nullptr},
      {"missing",
       [](const fs::path& aDir) {
         fs::remove_all(aDir);
         return std::unique_ptr<testing::SmallFileSystem>();
       },
       [](const fs::path& aDir) { fs::create_directories(aDir); }},
  };
  constexpr int kLines = 200;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path dir = fDir / c.name;
    fs::create_directories(dir);
    auto writer = std::make_unique<tNV_LogWriter>("test", dir.string(), 0, false);
    const auto spoilt = c.spoil(dir);
    if (spoilt && !spoilt->Mounted()) {
      std::cout << "[ SKIPPED ] " << c.name << ": " << spoilt->Reason() << "\n";
      continue;
    }
    const auto start = Clock::now();
    for (int i = 0; i < kLines; ++i) writer->Write(tNV_MessageType::let_info, "lost");
    if (c.mend) {
      // Worked off long before closing would stop waiting for the queue.
      std::this_thread::sleep_for(milliseconds(1500));
      c.mend(dir);
      writer->Write(tNV_MessageType::let_info, "back");
    }
    writer.reset();
    const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - start);
    EXPECT_LT(elapsed, tNV_LogThread::kDrainLimit);
    if (c.mend) {
      // Given up lines, not dropped ones: no note, just the line that could be written.
      EXPECT_EQ(MessageOf(ReadFile(dir / "test.log")), "back\r\n");
    }
  }
}

// Closing waits a few seconds at most for lines it cannot write (here a file another writer
// holds, which keeps its ten tries per line), then drops them; the next line that reaches the
// file says how many were lost.
TEST_F(LogWriterTest, ClosingStopsWaitingAndTheNextLineTellsTheDroppedOnes) {
  auto holder = std::make_unique<testing::FileWriteHold>(LogPath().string());
  ASSERT_TRUE(holder->Held());
  constexpr int kLines = 20;
  auto writer = MakeWriter();
  for (int i = 0; i < kLines; ++i) writer->Write(tNV_MessageType::let_info, "held");
  const auto start = Clock::now();
  writer.reset();
  const auto elapsed = Clock::now() - start;
  EXPECT_LT(elapsed, tNV_LogThread::kDrainLimit + milliseconds(1000));
  holder.reset();

  auto next = MakeWriter();
  next->Write(tNV_MessageType::let_info, "next");
  next->Write(tNV_MessageType::let_info, "after");
  next.reset();
  const auto lines = Lines(ReadFile(LogPath()));
  ASSERT_EQ(lines.size(), 3U);
  std::smatch count;
  const std::string note = MessageOf(lines[0]);
  ASSERT_TRUE(std::regex_match(
      note, count,
      std::regex(R"((\d+) earlier log lines were dropped: they could not be written before the )"
                 R"(log was closed)")))
      << lines[0];
  EXPECT_THAT(lines[0], ::testing::HasSubstr(" - ERROR - "));
  // Each line that got its ten tries took half a second; the rest were dropped.
  EXPECT_GE(std::stoi(count[1]), kLines - 8);
  EXPECT_LE(std::stoi(count[1]), kLines);
  EXPECT_EQ(MessageOf(lines[1]), "next");
  EXPECT_EQ(MessageOf(lines[2]), "after");
}

}  // namespace
}  // namespace nvrp
