// fiscalctl check and ibox-sim's replay of a device log, end to end: the fiscalctl program,
// loading the production library, against the simulator in this process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "fault_injector.hpp"
#include "ibox_simulator.hpp"
#include "replay_report.hpp"

namespace nvrp::ibox_sim {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

std::string ReadText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The environment of this process with NVRP_HOST_DIR (and ASAN_OPTIONS when given) set, for
// execve: the child of a process with threads may not allocate between fork and exec.
class ChildEnvironment {
 public:
  ChildEnvironment(const fs::path& host_dir, const char* asan_options) {
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      if (text.starts_with("NVRP_HOST_DIR=") ||
          (asan_options != nullptr && text.starts_with("ASAN_OPTIONS="))) {
        continue;
      }
      texts_.push_back(text);
    }
    texts_.push_back("NVRP_HOST_DIR=" + host_dir.string());
    if (asan_options != nullptr) texts_.push_back(std::string("ASAN_OPTIONS=") + asan_options);
    for (auto& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
  }
  char** Get() { return pointers_.data(); }

 private:
  std::vector<std::string> texts_;
  std::vector<char*> pointers_;
};

// argv of fiscalctl with these arguments.
std::vector<char*> FiscalctlArgv(std::vector<std::string>& args) {
  std::vector<char*> argv{const_cast<char*>(NVRP_FISCALCTL)};
  for (auto& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

// Runs fiscalctl in a session of its own (no controlling terminal), with the host directory
// host_dir, standard input from /dev/null and its output caught in files.
ProgramRun RunFiscalctl(std::vector<std::string> args, const fs::path& host_dir,
                        const char* asan_options = nullptr) {
  const fs::path out = host_dir / "stdout.txt";
  const fs::path err = host_dir / "stderr.txt";
  ChildEnvironment environment(host_dir, asan_options);
  std::vector<char*> argv = FiscalctlArgv(args);
  const pid_t child = fork();
  if (child == 0) {
    setsid();
    const int in = open("/dev/null", O_RDONLY);
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(in, 0);
    dup2(out_fd, 1);
    dup2(err_fd, 2);
    execve(NVRP_FISCALCTL, argv.data(), environment.Get());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(out), ReadText(err)};
}

// "name: passed (3 ms)..." lines of a check report, by name.
std::map<std::string, std::string> CheckStates(const std::string& report) {
  std::map<std::string, std::string> states;
  std::istringstream lines(report);
  std::string line;
  while (std::getline(lines, line)) {
    const size_t colon = line.find(": ");
    const size_t paren = line.find(" (");
    if (colon == std::string::npos || paren == std::string::npos || paren < colon) continue;
    states[line.substr(0, colon)] = line.substr(colon + 2, paren - colon - 2);
  }
  return states;
}

std::vector<std::string> Failed(const std::map<std::string, std::string>& states) {
  std::vector<std::string> failed;
  for (const auto& [name, state] : states) {
    if (state != "passed") failed.push_back(name + " " + state);
  }
  return failed;
}

std::string LastLine(const std::string& text) {
  const size_t end = text.find_last_not_of('\n');
  const size_t start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1, end - start);
}

class FiscalctlCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    host_dir_ = fs::temp_directory_path() /
                ("fiscalctl_check_" + std::to_string(getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(host_dir_);
    fs::create_directories(host_dir_);
    sim_.Start();
  }
  void TearDown() override {
    sim_.Stop();
    fs::remove_all(host_dir_);
  }

  ProgramRun Check(std::vector<std::string> extra) {
    std::vector<std::string> args{"check", "--url", sim_.BaseUrl()};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunFiscalctl(args, host_dir_);
  }

  fs::path host_dir_;
  IboxSimulator sim_;
};

TEST_F(FiscalctlCheck, EveryPrintLevelPassesOnAHealthyDevice) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> printing;  // checks the level adds
    size_t documents;                   // printed documents
  } levels[] = {
      {{}, {}, 0},
      {{"--print", "paper"}, {"printnfr", "display", "printxr"}, 2},
      {{"--print", "fiscal", "--yes"}, {"printnfr", "display", "printxr", "printfr"}, 3},
  };
  for (const auto& level : levels) {
    const size_t printed_before = sim_.Printed().size();
    const ProgramRun run = Check(level.args);
    SCOPED_TRACE(run.out + run.err);
    EXPECT_EQ(run.exit_code, 0);
    const auto states = CheckStates(run.out);
    EXPECT_TRUE(Failed(states).empty());
    const size_t expected = 11 + level.printing.size();
    EXPECT_EQ(LastLine(run.out), std::to_string(expected) + " passed, 0 failed");
    for (const auto& name : level.printing) EXPECT_EQ(states.count(name), 1u) << name;
    EXPECT_NE(run.out.find("device log: " + host_dir_.string() + "/LogFiles/FiscalPrinter/"),
              std::string::npos);
    EXPECT_EQ(sim_.Printed().size() - printed_before, level.documents);
    EXPECT_EQ(sim_.Device().z_number, 0) << "a check made a Z report";
  }
}

// The point-of-sale program's own OPEN request: address and port instead of a URL, and no
// LogId (the run adds its own, so that it still writes a device log).
TEST_F(FiscalctlCheck, AnOpenRequestFromAFile) {
  std::ofstream(host_dir_ / "open.xml")
      << "<Request><Driver>NVRP_RORERER_10</Driver><Handle>0</Handle><Connection>"
         "<Type>http</Type><Address>http://127.0.0.1</Address><Port>"
      << sim_.Port() << "</Port></Connection></Request>";
  const ProgramRun run =
      RunFiscalctl({"check", "--open", (host_dir_ / "open.xml").string()}, host_dir_);
  SCOPED_TRACE(run.out + run.err);
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(LastLine(run.out), "11 passed, 0 failed");
  EXPECT_NE(run.out.find("/LogFiles/FiscalPrinter/NVRP_RORERER_10_check_"), std::string::npos);
}

TEST_F(FiscalctlCheck, EachFaultFailsItsOwnCheck) {
  const struct {
    const char* fault;
    std::vector<std::string> args;
    const char* failing_check;
    const char* seen;
  } cases[] = {
      {"no-gen-par@Status", {}, "status-answer", "no GEN_PAR element"},
      {"status-value:CurrentZNo=twelve", {}, "status-answer", "CurrentZNo \"twelve\""},
      {"status-value:DeviceSerialNo", {}, "status-answer", "no DeviceSerialNo attribute"},
      {"content-type:text/html@Status", {}, "content-type", "\"text/html\", not text/xml"},
      {"delay:700@Status", {"--slow", "400"}, "answer-time", "(limit 400 ms)"},
      {"device-error:101", {}, "device-error", "LastError 101:ERROR"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    sim_.ClearFaults();
    Fault fault;
    ASSERT_TRUE(ParseFaultOption(c.fault, false, fault));
    sim_.AddFault(fault);
    const ProgramRun run = Check(c.args);
    SCOPED_TRACE(run.out + run.err);
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_EQ(Failed(CheckStates(run.out)),
              std::vector<std::string>{std::string(c.failing_check) + " failed"});
    EXPECT_NE(run.out.find(c.seen), std::string::npos);
    EXPECT_EQ(LastLine(run.out), "10 passed, 1 failed");
  }
}

TEST_F(FiscalctlCheck, JsonHoldsTheSameResults) {
  sim_.AddFault([] {
    Fault fault;
    ParseFaultOption("device-error:101", false, fault);
    return fault;
  }());
  const ProgramRun run = Check({"--json"});
  SCOPED_TRACE(run.out + run.err);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.out.find("{\"name\": \"device-error\", \"result\": \"failed\", \"ms\": "),
            std::string::npos);
  EXPECT_NE(run.out.find("\"passed\": 10, \"failed\": 1, \"skipped\": 0, \"device_log\": \""),
            std::string::npos);
}

TEST_F(FiscalctlCheck, ADeviceThatDoesNotAnswerSkipsTheDeviceChecks) {
  const int port = sim_.Port();
  sim_.Stop();
  // The library frees the device of a failed OPEN, so the leak checker stays on here too.
  const ProgramRun run =
      RunFiscalctl({"check", "--url", "http://127.0.0.1:" + std::to_string(port)}, host_dir_);
  SCOPED_TRACE(run.out + run.err);
  EXPECT_EQ(run.exit_code, 1);
  const auto states = CheckStates(run.out);
  EXPECT_EQ(states.at("open"), "failed");
  EXPECT_EQ(states.at("getstatus"), "skipped");
  EXPECT_EQ(states.at("status-answer"), "failed");  // the log holds the refused request
  EXPECT_EQ(states.at("content-type"), "failed");
  EXPECT_NE(run.out.find("open: failed ("), std::string::npos);
  EXPECT_NE(run.out.find("Couldn't connect to server"), std::string::npos);
  EXPECT_TRUE(LastLine(run.out).ends_with(" failed, 5 skipped")) << LastLine(run.out);
  EXPECT_EQ(states.count("close"), 0u);
}

TEST_F(FiscalctlCheck, AFiscalReceiptNeedsConfirmation) {
  const ProgramRun run = Check({"--print", "fiscal"});
  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("without one give --yes"), std::string::npos);
  EXPECT_TRUE(sim_.Requests().empty()) << "a request was sent without confirmation";
}

// fiscalctl check --print fiscal on a pseudo-terminal, answering its question with aAnswer.
ProgramRun CheckOnTerminal(const std::string& url, const fs::path& host_dir,
                           const std::string& answer) {
  ChildEnvironment environment(host_dir, nullptr);
  std::vector<std::string> args{"check", "--url", url, "--print", "fiscal"};
  std::vector<char*> argv = FiscalctlArgv(args);
  int master = -1;
  const pid_t child = forkpty(&master, nullptr, nullptr, nullptr);
  if (child == 0) {
    execve(NVRP_FISCALCTL, argv.data(), environment.Get());
    _exit(127);
  }
  ProgramRun run;
  bool answered = false;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(master, buffer, sizeof buffer)) > 0) {  // EIO once the child is gone
    run.out.append(buffer, static_cast<size_t>(got));
    if (!answered && run.out.find("Type yes to go on: ") != std::string::npos) {
      answered = write(master, answer.data(), answer.size()) == static_cast<ssize_t>(answer.size());
    }
  }
  close(master);
  int status = 0;
  waitpid(child, &status, 0);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST_F(FiscalctlCheck, TheFiscalReceiptIsConfirmedOnTheTerminal) {
  const ProgramRun declined = CheckOnTerminal(sim_.BaseUrl(), host_dir_, "no\n");
  EXPECT_EQ(declined.exit_code, 1) << declined.out;
  EXPECT_NE(declined.out.find("not confirmed; nothing was sent"), std::string::npos);
  EXPECT_TRUE(sim_.Requests().empty());

  const ProgramRun confirmed = CheckOnTerminal(sim_.BaseUrl(), host_dir_, "yes\n");
  EXPECT_EQ(confirmed.exit_code, 0) << confirmed.out;
  EXPECT_NE(confirmed.out.find("printfr: passed"), std::string::npos);
  EXPECT_EQ(sim_.Device().day_receipt_count, 1);
}

TEST_F(FiscalctlCheck, UsageErrors) {
  const struct {
    std::vector<std::string> args;
    const char* reason;
  } cases[] = {
      {{"check"}, "check needs exactly one of --url and --open"},
      {{"check", "--url", "http://x", "--print", "all"}, "--print expects none, paper or fiscal"},
      {{"check", "--url", "http://x", "--slow", "soon"}, "--slow expects a whole number"},
  };
  for (const auto& c : cases) {
    const ProgramRun run = RunFiscalctl(c.args, host_dir_);
    EXPECT_EQ(run.exit_code, 2) << c.reason;
    EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
  }
}

// The recording's device clock stands still on this day, so that times of another day in the
// answers are the host's: the library stamps some results (an X report's date) with the host
// clock, which a replay cannot give back.
constexpr const char* kFrozenDeviceDay = "2023-06-05T";

std::string WithoutHostTimes(const std::string& text) {
  static const std::regex kDateTime("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}");
  std::string result;
  auto last = text.cbegin();
  for (std::sregex_iterator it(text.begin(), text.end(), kDateTime), end; it != end; ++it) {
    result.append(last, (*it)[0].first);
    const std::string found = it->str();
    result += found.starts_with(kFrozenDeviceDay) ? found : "(host time)";
    last = (*it)[0].second;
  }
  result.append(last, text.cend());
  return result;
}

// Every command, with faults, recorded against the simulator; then the same requests against
// the replayed log give every answer byte for byte, and nothing is left over.
TEST_F(FiscalctlCheck, AReplayedLogGivesTheSameAnswers) {
  const std::vector<std::string> commands{"OPEN",
                                          "GETSTATUS",
                                          "GETDRSTATUS",
                                          "OPENDR",
                                          "DISPLAY",
                                          "PRINTNFR",
                                          "PRINTFR",
                                          "REPRINTFR",
                                          "PRINTXR",
                                          "SETDATETIME",
                                          "GETVATTABLE",
                                          "SETVATTABLE",
                                          "GETDEPTTABLE",
                                          "SETDEPTTABLE",
                                          "SET",
                                          "PAY",
                                          "GETLOTTERYRCPTSTATUS",
                                          "EJREPORT",
                                          "PRINTFR",
                                          "PRINTZR",
                                          "GETEJFILES",
                                          "CLOSE"};
  std::vector<std::string> args{"--set", "Port=" + std::to_string(sim_.Port()), "--set",
                                "HexLog=true"};
  for (const auto& command : commands) {
    args.push_back(command);
    std::string name = command == "PRINTFR" ? "receipt" : command;
    std::transform(name.begin(), name.end(), name.begin(), ::tolower);
    args.push_back(std::string(NVRP_EXAMPLES_DIR) + "/" + name + ".xml");
  }
  sim_.SetClock({2023, 6, 5, 9, 5, 0}, /*frozen=*/true);
  for (const char* text : {"drop@OpenDrawer", "http-status:503:busy@Order=PAY",
                           "content-type:text/html@Status", "device-error:1104@PLU"}) {
    Fault fault;
    ASSERT_TRUE(ParseFaultOption(text, false, fault));
    sim_.AddFault(fault);
  }
  const ProgramRun recorded = RunFiscalctl(args, host_dir_);
  ASSERT_NE(recorded.out.find("Result: 0"), std::string::npos) << recorded.out << recorded.err;
  EXPECT_TRUE(sim_.PendingFaults().empty());
  const fs::path log_dir = host_dir_ / "LogFiles" / "FiscalPrinter";
  ASSERT_TRUE(fs::exists(log_dir));
  const fs::path log = fs::directory_iterator(log_dir)->path();
  const fs::path recording = host_dir_ / "recorded.log";
  fs::rename(log, recording);  // the replayed run writes a log of the same name

  IboxSimulator replay;
  const auto book = LoadReplayBook(recording.string());
  replay.Replay(book);
  replay.Start();
  args[1] = "Port=" + std::to_string(replay.Port());
  const ProgramRun replayed = RunFiscalctl(args, host_dir_);
  replay.Stop();
  EXPECT_EQ(WithoutHostTimes(replayed.out), WithoutHostTimes(recorded.out));
  EXPECT_NE(recorded.out.find(kFrozenDeviceDay), std::string::npos);
  EXPECT_EQ(replayed.exit_code, recorded.exit_code);
  std::ostringstream report;
  WriteReplayReport(*book, report);
  EXPECT_EQ(report.str(),
            "requests without a recorded answer: 0\nrecorded requests never asked for: 0\n");
  EXPECT_EQ(replay.Requests().size(), book->Size());
}

TEST_F(FiscalctlCheck, AReplayAnswersAnUnrecordedRequestWith404) {
  std::ofstream(host_dir_ / "short.log")
      << "2026-01-02 03:04:05:006 - Write:http://192.0.2.1/db_otf_xml.xml?Order=Cmd\r\n"
         "2026-01-02 03:04:05:010 - Read [5]:a\r\nb\r\n\r\n";
  const auto book = LoadReplayBook((host_dir_ / "short.log").string());
  IboxSimulator replay;
  replay.Replay(book);
  replay.Start();
  const std::string base = replay.BaseUrl();
  replay.Stop();
  EXPECT_EQ(book->Size(), 1u);
  const auto answer = book->Answer("POST", "/db_otf_xml.xml?Order=Cmd", "");
  ASSERT_TRUE(answer.has_value());
  EXPECT_EQ(answer->body, "a\r\nb\r");  // five UTF-16 units, the line end within
  EXPECT_FALSE(book->Answer("POST", "/db_otf_xml.xml?Order=Cmd", "").has_value());
  EXPECT_EQ(book->Unmatched(), std::vector<std::string>{"POST /db_otf_xml.xml?Order=Cmd"});
  EXPECT_TRUE(book->Unused().empty());
}

// Stops a child process that a failed assertion left running.
struct ChildGuard {
  pid_t pid = -1;
  ~ChildGuard() {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
};

// The ibox-sim program with --replay: it says how many requests it replays, answers a request
// the log does not hold with 404, shows both lists on /ui/state and prints them at exit.
TEST_F(FiscalctlCheck, TheReplayProgramListsWhatDidNotMatch) {
  std::ofstream(host_dir_ / "shop.log")
      << "2026-01-02 03:04:05:006 - Write:http://192.0.2.1/db_otf_xml.xml?Order=Cmd\r\n"
         "2026-01-02 03:04:05:010 - Read [2]:ok\r\n"
         "2026-01-02 03:04:06:000 - Write:http://192.0.2.1/keybd/LCDSTAT.XML?kbch=100\r\n"
         "2026-01-02 03:04:06:010 - ERROR - HTTP Error:0 - Empty reply from server\r\n";
  const fs::path out = host_dir_ / "sim.txt";
  const std::string log = (host_dir_ / "shop.log").string();
  const pid_t child = fork();
  if (child == 0) {
    const int out_fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(out_fd, 1);
    execl(NVRP_IBOX_SIM, NVRP_IBOX_SIM, "--replay", log.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  ChildGuard guard{child};
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (ReadText(out).find("replaying") == std::string::npos &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const std::string started = ReadText(out);
  const size_t port_at = started.find("127.0.0.1:");
  ASSERT_NE(port_at, std::string::npos) << started;
  EXPECT_NE(started.find("replaying 2 requests of "), std::string::npos) << started;
  httplib::Client client("127.0.0.1", std::stoi(started.substr(port_at + 10)));
  const auto recorded = client.Post("/db_otf_xml.xml?Order=Cmd", "", "text/xml");
  ASSERT_TRUE(recorded);
  EXPECT_EQ(recorded->body, "ok");
  const auto unknown = client.Post("/db_otf_xml.xml?Order=PLU", "", "text/xml");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->status, 404);
  EXPECT_EQ(unknown->body, "No recorded answer for POST /db_otf_xml.xml?Order=PLU");
  const auto state = client.Get("/ui/state");
  ASSERT_TRUE(state);
  EXPECT_NE(state->body.find("\"replay\":{\"unmatched\":[\"POST /db_otf_xml.xml?Order=PLU\"],"
                             "\"unused\":[\"line 3: POST /keybd/LCDSTAT.XML?kbch=100\"]}"),
            std::string::npos)
      << state->body;
  kill(child, SIGTERM);
  int status = 0;
  waitpid(child, &status, 0);
  guard.pid = -1;
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(
      ReadText(out).ends_with("requests without a recorded answer: 1\n"
                              "  POST /db_otf_xml.xml?Order=PLU\n"
                              "recorded requests never asked for: 1\n"
                              "  line 3: POST /keybd/LCDSTAT.XML?kbch=100\n"))
      << ReadText(out);
}

TEST_F(FiscalctlCheck, AReplayNeedsALogWithRequests) {
  std::ofstream(host_dir_ / "empty.log") << "2026-01-02 03:04:05:006 - *ClearErrors*\r\n";
  const struct {
    std::string log;
    const char* reason;
  } cases[] = {
      {(host_dir_ / "missing.log").string(), "ibox-sim: cannot read the device log "},
      {(host_dir_ / "empty.log").string(), "ibox-sim: the device log holds no HTTP requests: "},
  };
  const fs::path err = host_dir_ / "sim-err.txt";
  for (const auto& c : cases) {
    const pid_t child = fork();
    if (child == 0) {
      const int err_fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(err_fd, 2);
      execl(NVRP_IBOX_SIM, NVRP_IBOX_SIM, "--replay", c.log.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << c.reason;
    EXPECT_EQ(ReadText(err), c.reason + c.log + "\n");
  }
}

}  // namespace
}  // namespace nvrp::ibox_sim
