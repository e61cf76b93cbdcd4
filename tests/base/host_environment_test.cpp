#include "base/host_environment.hpp"

#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "base/nv_exception.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;

TEST(JoinPath, JoinsWithOneSeparator) {
  const struct {
    const char* directory;
    const char* name;
    const char* expected;
  } cases[] = {
      {"/opt/pos", "LogFiles", "/opt/pos/LogFiles"},
      {"/opt/pos/", "LogFiles", "/opt/pos/LogFiles"},
      {"C:\\POS\\", "LogFiles", "C:\\POS\\LogFiles"},
      {"", "LogFiles", "LogFiles"},
      {"/opt/pos", "", "/opt/pos"},
      {"", "", ""},
      {"/opt/pos", "/var/log", "/var/log"},
      {"/opt/pos", "\\\\?\\C:\\log", "\\\\?\\C:\\log"},
      {"/opt/pos", "D:\\log", "D:\\log"},
      {"/opt/pos", "\\log", "\\log"},
      {"/opt/pos", "sub/dir", "/opt/pos/sub/dir"},
      {"/opt/pos", "*.log", "/opt/pos/*.log"},
      {"/opt/pos", "file?.txt", "/opt/pos/file?.txt"},
      {"/opt/pos", "D:log", "/opt/pos/D:log"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(JoinPath(c.directory, c.name), c.expected) << c.directory << " + " << c.name;
  }
}

TEST(JoinPath, RejectsCharactersNoPathMayHold) {
  const struct {
    std::string directory;
    std::string name;
  } cases[] = {
      {"/opt/pos", "a\"b"}, {"/opt/pos", "a<b"},  {"/opt/pos", "a>b"},
      {"/opt/pos", "a|b"},  {"/opt/pos", "a\tb"}, {"/opt/pos", std::string("a\0b", 3)},
      {"/opt|pos", "a"},    {"/opt\npos", ""},    {"", "\x1F"},
  };
  for (const auto& c : cases) {
    try {
      JoinPath(c.directory, c.name);
      ADD_FAILURE() << "accepted " << c.directory << " + " << c.name;
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), "Invalid characters in path");
    }
  }
}

TEST(ExtractFileName, TakesThePartAfterTheLastSeparator) {
  EXPECT_EQ(ExtractFileName("/usr/bin/pos.exe"), "pos.exe");
  EXPECT_EQ(ExtractFileName("C:\\POS\\pos.exe"), "pos.exe");
  EXPECT_EQ(ExtractFileName("pos"), "pos");
  EXPECT_EQ(ExtractFileName("/usr/bin/"), "");
}

TEST(FindSwitch, MatchesNameWithSeparatorOrAloneInAnyCase) {
  const std::vector<std::string> parameters = {"/debugger", "/Debug=Yes", "/DEBUG:1", "/batch",
                                               "/Path:C:\\x"};
  EXPECT_EQ(FindSwitchIn(parameters, "/DEBUG", true), "/Debug=Yes");
  EXPECT_EQ(FindSwitchIn(parameters, "/debug", false), "Yes");
  EXPECT_EQ(FindSwitchIn(parameters, "/BATCH", true), "/batch");
  EXPECT_EQ(FindSwitchIn(parameters, "/BATCH", false), "");
  EXPECT_EQ(FindSwitchIn(parameters, "/path", false), "C:\\x");
  EXPECT_EQ(FindSwitchIn(parameters, "/TEST", true), "");
  EXPECT_EQ(FindSwitchIn({"/debugger"}, "/DEBUG", true), "");
  EXPECT_EQ(FindSwitchIn({}, "/DEBUG", true), "");
}

TEST(HostEnvironment, DescribesThisProgram) {
  EXPECT_EQ(ExeBaseName(), "base_tests");
  for (const std::string& parameter : HostParameters()) {
    EXPECT_EQ(parameter.find("base_tests"), std::string::npos) << "program name among parameters";
  }
  EXPECT_EQ(FindSwitch("/no-such-switch-given", true), "");
}

// Sets NVRP_HOST_DIR for one test and puts the previous state back.
class HostDirOverride : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv(kVariable)) saved_ = old;
  }
  void TearDown() override {
    if (saved_) {
      testing::SetEnvironment(kVariable, *saved_);
    } else {
      testing::UnsetEnvironment(kVariable);
    }
  }
  static constexpr const char* kVariable = "NVRP_HOST_DIR";
  std::optional<std::string> saved_;
};

TEST_F(HostDirOverride, VariableWinsWhenSetAndNotEmpty) {
  testing::SetEnvironment(kVariable, "/srv/pos/");
  EXPECT_EQ(ExeDirectory(), "/srv/pos");
  testing::SetEnvironment(kVariable, "/srv/pos");
  EXPECT_EQ(ExeDirectory(), "/srv/pos");

  testing::UnsetEnvironment(kVariable);
  const std::string exe_dir = ExeDirectory();
#if defined(_WIN32)
  EXPECT_TRUE(fs::is_regular_file(fs::path(exe_dir) / "base_tests.exe")) << exe_dir;
#else
  EXPECT_EQ(exe_dir, fs::read_symlink("/proc/self/exe").parent_path().string());
#endif
  testing::SetEnvironment(kVariable, "");
  EXPECT_EQ(ExeDirectory(), exe_dir);
}

class ForceDirectoriesTest : public ::testing::Test {
 protected:
  void SetUp() override { root_ = testing::MakeTemporaryDirectory(); }
  void TearDown() override { fs::remove_all(root_); }
  std::string root_;
};

TEST_F(ForceDirectoriesTest, CreatesEveryMissingLevel) {
  const std::string nested = root_ + "/LogFiles//FiscalPrinter/a/";
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(fs::is_directory(root_ + "/LogFiles/FiscalPrinter/a"));
  EXPECT_TRUE(ForceDirectories(nested));  // already there
}

// Each system's own separators: on Windows "\\" parts a path as "/" does and a drive root
// names no folder; elsewhere "\\" is a character of a folder's name.
TEST_F(ForceDirectoriesTest, SplitsAtTheSystemsSeparators) {
  EXPECT_TRUE(ForceDirectories(root_ + "/one\\two/three"));
#if defined(_WIN32)
  EXPECT_TRUE(fs::is_directory(root_ + "/one/two/three"));
  const std::string drive = std::filesystem::absolute(root_).string();  // "C:\\..."
  ASSERT_EQ(drive.substr(1, 2), ":\\");
  EXPECT_TRUE(ForceDirectories(drive + "\\four\\five\\"));
  EXPECT_TRUE(fs::is_directory(root_ + "/four/five"));
#else
  EXPECT_TRUE(fs::is_directory(root_ + "/one\\two/three"));
  EXPECT_FALSE(fs::exists(root_ + "/one"));
#endif
}

TEST_F(ForceDirectoriesTest, FailsWhereADirectoryCannotBe) {
  std::ofstream(root_ + "/file") << "x";
  EXPECT_FALSE(ForceDirectories(root_ + "/file"));
  EXPECT_FALSE(ForceDirectories(root_ + "/file/sub"));
  EXPECT_FALSE(ForceDirectories(""));
#if !defined(_WIN32)  // a folder without write permission (Windows has no such mode bits)
  if (geteuid() != 0) {
    ASSERT_EQ(chmod(root_.c_str(), 0500), 0);
    EXPECT_FALSE(ForceDirectories(root_ + "/locked/sub"));
    chmod(root_.c_str(), 0700);
  }
#endif
}

}  // namespace
}  // namespace nvrp
