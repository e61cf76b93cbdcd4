#include "base/application.hpp"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/host_environment.hpp"
#include "base/named_lock.hpp"
#include "base/nv_exception.hpp"
#include "base/settings_store.hpp"
#include "support/test_platform.hpp"

namespace nvrp {
namespace {

namespace fs = std::filesystem;
using ::testing::EndsWith;
using ::testing::HasSubstr;

std::string ReadFile(const fs::path& aPath) {
  std::ifstream in(aPath, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

template <typename F>
void ExpectError(F&& aCall, const std::string& aMessage) {
  try {
    aCall();
    ADD_FAILURE() << "no error, expected " << aMessage;
  } catch (const Exception& e) {
    EXPECT_EQ(e.what(), aMessage);
  }
}

// Each test gets its own host directory, so the process log lands in a fresh LogFiles folder.
class ApplicationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("NVRP_HOST_DIR");
    if (old != nullptr) fOldHostDir = old;
    // The child process of a death test (Windows starts the program again for it) works in
    // its parent's folder, so that the parent reads the log the child wrote.
    fDeathTestChild = !GTEST_FLAG_GET(internal_run_death_test).empty() && old != nullptr;
    if (fDeathTestChild) {
      fDir = old;
      return;
    }
    fDir = testing::MakeTemporaryDirectory();
    testing::SetEnvironment("NVRP_HOST_DIR", fDir.string());
  }
  void TearDown() override {
    DestroyApplication();
    if (fOldHostDir) {
      testing::SetEnvironment("NVRP_HOST_DIR", *fOldHostDir);
    } else {
      testing::UnsetEnvironment("NVRP_HOST_DIR");
    }
    if (!fDeathTestChild) fs::remove_all(fDir);
  }

  static std::unique_ptr<tNV_Application> MakeApp(std::vector<std::string> aParameters = {},
                                                  std::optional<std::string> aMessages = {}) {
    tNV_ApplicationSources sources;
    sources.Parameters = std::move(aParameters);
    sources.Messages = std::move(aMessages);
    return std::make_unique<tNV_Application>(sources);
  }
  fs::path ProcessLog() const { return fDir / "LogFiles" / (ExeBaseName() + ".log"); }

  fs::path fDir;
  std::optional<std::string> fOldHostDir;
  bool fDeathTestChild = false;
};

TEST_F(ApplicationTest, ProcessLogCreatedWithFirstLine) {
  auto app = MakeApp();
  EXPECT_EQ(testing::GenericPath(app->GetLogFileName()), testing::GenericPath(ProcessLog()));
  EXPECT_EQ(testing::GenericPath(app->GetLogDirectory()), testing::GenericPath(fDir / "LogFiles"));
  EXPECT_TRUE(fs::is_directory(fDir / "LogFiles"));
  EXPECT_FALSE(fs::exists(ProcessLog()));

  app->Log(tNV_MessageType::let_info, "started");
  EXPECT_EQ(app->LastError(), "");
  app->Log(tNV_MessageType::let_error, "failed");
  EXPECT_EQ(app->LastError(), "failed");
  app.reset();  // writes out the log

  const std::string text = ReadFile(ProcessLog());
  EXPECT_THAT(text, HasSubstr(" - started\r\n"));
  EXPECT_THAT(text, EndsWith(" - ERROR - failed\r\n"));
}

TEST_F(ApplicationTest, CommandLineSwitches) {
  struct Case {
    std::vector<std::string> parameters;
    bool batch, debug, test;
  };
  const Case cases[] = {
      {{}, false, false, false},
      {{"/debug"}, false, true, false},
      {{"/DEBUG:1"}, false, true, false},
      {{"/Debug=yes"}, false, true, false},
      {{"/debugger", "debug"}, false, false, false},
      {{"x", "/batch", "/Test"}, true, false, true},
  };
  for (const Case& c : cases) {
    const auto app = MakeApp(c.parameters);
    const std::string label = ::testing::PrintToString(c.parameters);
    EXPECT_EQ(app->IsBatch(), c.batch) << label;
    EXPECT_EQ(app->IsDebug(), c.debug) << label;
    EXPECT_EQ(app->IsTest(), c.test) << label;
  }
}

TEST_F(ApplicationTest, GetMessageLooksUpLanguageThenDefaultThenId) {
  const auto app = MakeApp({}, "it.HELLO:Ciao %s\r\nen.HELLO:Hello %s\n\nen.ONLY:Only english:x\n");
  app->SetLanguage("it");
  app->SetDefaultLanguage("en");
  EXPECT_EQ(app->GetMessage("HELLO", {"Bob"}), "Ciao Bob");
  EXPECT_EQ(app->GetMessage("ONLY"), "Only english");  // text up to the second colon
  EXPECT_EQ(app->GetMessage("Missing %d of %s", {"3", "5"}), "Missing 3 of 5");
  app->SetLanguage("fr");
  EXPECT_EQ(app->GetMessage("HELLO", {"Bob"}), "Hello Bob");

  const auto empty = MakeApp();
  EXPECT_EQ(empty->GetMessage("Value %s", {"x"}), "Value x");
  EXPECT_EQ(empty->GetMessage("plain"), "plain");
}

TEST_F(ApplicationTest, RepeatedMessageKeyIsAnError) {
  ExpectError([] { MakeApp({}, "it.A:one\nit.A:two\n"); }, "Duplicates not allowed");
}

TEST(FormatMessageValuesTest, Placeholders) {
  struct Case {
    const char* pattern;
    std::vector<std::string> values;
    const char* expected;  // nullptr: an error
  };
  const Case cases[] = {
      {"%s and %d", {"a", "-12"}, "a and -12"},
      {"100%%", {}, "100%"},
      {"%s", {"%s%d"}, "%s%d"},  // values are never read as patterns
      {"%s", {"a", "unused"}, "a"},
      {"%s", {}, nullptr},
      {"%d", {"x"}, nullptr},
      {"%x", {"1"}, nullptr},
      {"50%", {}, nullptr},
  };
  for (const Case& c : cases) {
    if (c.expected != nullptr) {
      EXPECT_EQ(FormatMessageValues(c.pattern, c.values), c.expected) << c.pattern;
    } else {
      const std::string pattern = c.pattern;
      ExpectError([&] { FormatMessageValues(c.pattern, c.values); },
                  "Format '" + pattern + "' invalid or incompatible with argument");
    }
  }
}

TEST_F(ApplicationTest, TimersNest) {
  const auto app = MakeApp();
  app->StartTimer();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  app->StartTimer();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(app->GetTimerCount(), 2);
  const int32_t inner = app->StopTimer();
  EXPECT_EQ(app->GetTimerCount(), 1);
  const int32_t outer = app->GetTimerValue();
  EXPECT_GE(inner, 30);
  EXPECT_GE(outer, inner + 60);
  EXPECT_GE(app->StopTimer(), outer);
  EXPECT_EQ(app->GetTimerCount(), 0);

  ExpectError([&] { app->StopTimer(); }, "Unbalanced stack or queue operation");
  ExpectError([&] { app->GetTimerValue(); }, "Unbalanced stack or queue operation");
}

TEST(SetupTest, NamesIgnoreLetterCase) {
  tNV_Setup setup;
  setup.SetValue("Port", "COM1");
  EXPECT_EQ(setup.GetValue("PORT"), "COM1");
  setup.SetValue("pORT", "COM2");
  EXPECT_EQ(setup.GetValue("port"), "COM2");
  EXPECT_EQ(setup.List().size(), 1u);
  EXPECT_EQ(setup.List()[0].Name(), "Port");

  setup.Define("Speed");
  EXPECT_EQ(setup.List().size(), 2u);
  EXPECT_EQ(setup.GetValue("speed"), std::nullopt);
  EXPECT_EQ(setup.GetValue("missing"), std::nullopt);
  setup.Define("PORT");
  EXPECT_EQ(setup.GetValue("Port"), std::nullopt);
  EXPECT_EQ(setup.List().size(), 2u);
}

TEST_F(ApplicationTest, MovingTheProcessLog) {
  const auto app = MakeApp();
  app->ChangeLogDirectory("sub");
  EXPECT_EQ(testing::GenericPath(app->GetLogFileName()),
            testing::GenericPath(fDir / "LogFiles" / "sub" / (ExeBaseName() + ".log")));
  EXPECT_TRUE(fs::is_directory(fDir / "LogFiles" / "sub"));
  const fs::path absolute = fDir / "elsewhere";
  app->ChangeLogDirectory(absolute.string());
  EXPECT_EQ(testing::GenericPath(app->GetLogDirectory()), testing::GenericPath(absolute));
  app->ChangeLogFilename("/somewhere/other.txt");
  EXPECT_EQ(testing::GenericPath(app->GetLogFileName()),
            testing::GenericPath(absolute / "other.txt"));
}

TEST_F(ApplicationTest, NotifyIconState) {
  auto app = MakeApp();
  app->CreateNotifyIcon(42);
  EXPECT_TRUE(app->NotifyIcon());
  const tNV_NotifyIconData& icon = app->IconData();
  EXPECT_EQ(icon.cbSize, sizeof(tNV_NotifyIconData));
  EXPECT_EQ(icon.Wnd, 42u);
  EXPECT_EQ(icon.uCallbackMessage, 1124u);
  EXPECT_EQ(icon.uID, 1u);
  EXPECT_EQ(icon.uFlags, kNIF_MESSAGE | kNIF_ICON);
  app->DeleteNotifyIcon();
  EXPECT_FALSE(app->NotifyIcon());
}

TEST_F(ApplicationTest, WaitWindowTextFollowsLanguage) {
  const auto app = MakeApp();
  tNV_Wait& wait = app->Wait();
  wait.Start("");
  EXPECT_EQ(wait.Label(), "Attendere prego ...");
  EXPECT_TRUE(wait.Started());
  app->SetLanguage("EN");
  wait.Start("Printing");
  EXPECT_EQ(wait.Label(), "Wait please ...\nPrinting");

  // A message over the wait window leaves it shown again, without the extra text. Windows
  // would show an error in a message box: there a kind without one stands in.
#if defined(_WIN32)
  app->ShowUserMessageOverWait(2, "low paper");
#else
  app->ShowUserMessageOverWait(kUserMessageError, "paper out");
  EXPECT_EQ(app->LastError(), "paper out");
#endif
  EXPECT_TRUE(wait.Started());
  EXPECT_EQ(wait.Label(), "Wait please ...");
  wait.Stop();
  EXPECT_FALSE(wait.Started());
}

TEST_F(ApplicationTest, UserMessagesGoToTheProcessLog) {
  struct Case {
    bool batch;
    int32_t kind;
    bool logged;
  };
#if defined(_WIN32)
  // Outside batch mode Windows shows information and errors in a message box; tests show none.
  const Case cases[] = {{false, 2, false}, {true, 2, true}};
#else
  const Case cases[] = {{false, 0, true}, {false, 1, true}, {false, 2, false}, {true, 2, true}};
#endif
  for (const Case& c : cases) {
    const auto app =
        MakeApp(c.batch ? std::vector<std::string>{"/BATCH"} : std::vector<std::string>{});
    app->ShowUserMessage(c.kind, "shown");
    EXPECT_EQ(app->LastError(), c.logged ? "shown" : "") << c.batch << " " << c.kind;
  }
#if !defined(_WIN32)
  const auto app = MakeApp();
  app->OnApplicationException(Exception("escaped"));
  EXPECT_EQ(app->LastError(), "escaped");
#endif
}

TEST_F(ApplicationTest, BatchModeEndsOnEscapedError) {
  EXPECT_EXIT(
      {
        const auto app = MakeApp({"/BATCH"});
        app->OnApplicationException(Exception("fatal"));
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_THAT(ReadFile(ProcessLog()), EndsWith(" - ERROR - fatal\r\n"));
}

TEST_F(ApplicationTest, SingleInstanceLock) {
  if (!fDeathTestChild) {
    const auto app = MakeApp();
    app->SetSingleInstance(true);
    EXPECT_TRUE(app->SingleInstance());
    EXPECT_EQ(tNV_NamedLock::TryAcquire(ExeBaseName()), nullptr);
    app->SetSingleInstance(false);
    EXPECT_NE(tNV_NamedLock::TryAcquire(ExeBaseName()), nullptr);
  }

  // Another holder refuses the mode: here another descriptor of this process; on Windows this
  // process holds the mutex and the death test's child, a second process, is refused. In batch
  // mode there, as Windows would show the refusal in a message box.
#if defined(_WIN32)
  const std::vector<std::string> mode{"/BATCH"};
#else
  const std::vector<std::string> mode;
#endif
  const auto other = fDeathTestChild ? nullptr : tNV_NamedLock::TryAcquire(ExeBaseName());
  ASSERT_TRUE(fDeathTestChild || other != nullptr);
  EXPECT_EXIT(MakeApp(mode)->SetSingleInstance(true), ::testing::ExitedWithCode(0), "");
  EXPECT_THAT(ReadFile(ProcessLog()),
              EndsWith(" - ERROR - Impossible to enter single instance mode.\r\n"));
}

TEST_F(ApplicationTest, GlobalInstance) {
  ExpectError([] { Application(); }, "Application object not created");
  CreateApplication();
  tNV_Application& app = Application();
  CreateApplication();
  EXPECT_EQ(&Application(), &app);
  EXPECT_EQ(app.Info().Version(), "1.8");
#if !defined(_WIN32)  // Windows shows it in a message box
  ShowUserMessage(kUserMessageError, "via global");
  EXPECT_EQ(app.LastError(), "via global");
#endif
  DestroyApplication();
  ExpectError([] { Application(); }, "Application object not created");
}

}  // namespace
}  // namespace nvrp
