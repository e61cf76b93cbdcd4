// Cost of a fiscal receipt through the production library, next to the bare HTTP exchanges the
// same receipt needs: the simulator's record of one PRINTFR, replayed with libcurl, each
// exchange on a fresh curl handle with the options the driver sets (the driver makes a fresh
// client for every request too). Driver and bare runs alternate and repeat; every figure is the
// median over the repetitions.
//
// Counters: driver_ratio is the driver's median wall time over the bare median; cpu_ratio the
// same for the process's CPU time; own_us the driver's own wall time per exchange, own_cpu_us
// its own CPU time per exchange and caller_own_cpu_us the part of it on the calling thread
// (driver minus bare each); log_cpu_us the CPU time per exchange of the log threads. The simulator
// runs in this process (BM_Receipt) or as the ibox-sim program in its own
// (BM_ReceiptSeparateSimulator).
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <dirent.h>
#include <dlfcn.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/ole_string.hpp"
#include "base/utf.hpp"
#include "ibox_simulator.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace sim = nvrp::ibox_sim;
using nvrp::BSTR;
using Clock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------------------------
// Clocks

double Seconds(clockid_t aClock) {
  timespec now{};
  clock_gettime(aClock, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double WallSeconds() {
  return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

// The CPU clock of another thread of this process, by its kernel thread id (the encoding
// glibc's pthread_getcpuclockid uses).
clockid_t ThreadCpuClock(pid_t aThreadId) {
  return static_cast<clockid_t>((~static_cast<unsigned>(aThreadId) << 3) | 6U);
}

// Kernel ids of this process's threads named aName.
std::vector<pid_t> ThreadsNamed(const std::string& aName) {
  std::vector<pid_t> threads;
  DIR* tasks = opendir("/proc/self/task");
  if (tasks == nullptr) return threads;
  while (const dirent* entry = readdir(tasks)) {
    if (entry->d_name[0] == '.') continue;
    std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name == aName) threads.push_back(static_cast<pid_t>(std::stol(entry->d_name)));
  }
  closedir(tasks);
  return threads;
}

// The log writers' threads (each device log and the process log has one), looked up again by
// every benchmark as devices are opened.
std::vector<pid_t>& LogThreads() {
  static std::vector<pid_t> threads;
  return threads;
}

void FindLogThreads() { LogThreads() = ThreadsNamed("nvrp-log"); }

// CPU seconds of the log writers' threads.
double LogThreadsSeconds() {
  double total = 0;
  for (const pid_t thread : LogThreads()) total += Seconds(ThreadCpuClock(thread));
  return total;
}

struct Sample {
  double wall = 0;
  double process = 0;
  double caller = 0;
  double log = 0;
};

// Read in this order, so that the wall clock, read last, covers none of the reading.
struct Stamp {
  double log = LogThreadsSeconds();
  double process = Seconds(CLOCK_PROCESS_CPUTIME_ID);
  double caller = Seconds(CLOCK_THREAD_CPUTIME_ID);
  double wall = WallSeconds();
};

// The log threads write in the background, up to one idle pause after the last line was
// queued: waits until they have been idle for two checks (an idle thread only looks at its
// queue, a few microseconds each time), so that their work is counted with the receipt that
// caused it and does not fall into the next measurement.
void WaitForIdleLogThreads() {
  constexpr double kIdleSecondsPerThread = 100e-6;
  const double idle_limit = kIdleSecondsPerThread * static_cast<double>(LogThreads().size());
  double before = LogThreadsSeconds();
  for (int idle_checks = 0, checks = 0; idle_checks < 2 && checks < 40; ++checks) {
    std::this_thread::sleep_for(std::chrono::milliseconds(70));
    const double now = LogThreadsSeconds();
    idle_checks = now - before < idle_limit ? idle_checks + 1 : 0;
    before = now;
  }
}

// Runs aWork once; wall time covers the work alone, CPU times also the log work it left.
Sample Measure(const std::function<void()>& aWork, bool aWaitForLog) {
  const Stamp start;
  aWork();
  const double wall_end = WallSeconds();
  const double caller_end = Seconds(CLOCK_THREAD_CPUTIME_ID);
  if (aWaitForLog) WaitForIdleLogThreads();
  const Stamp end;
  return {wall_end - start.wall, end.process - start.process, caller_end - start.caller,
          end.log - start.log};
}

double Median(std::vector<double> aValues) {
  if (aValues.empty()) return 0;
  std::sort(aValues.begin(), aValues.end());
  const size_t middle = aValues.size() / 2;
  return aValues.size() % 2 == 1 ? aValues[middle] : (aValues[middle - 1] + aValues[middle]) / 2;
}

struct Medians {
  double wall, process, caller, log;
};

Medians MediansOf(const std::vector<Sample>& aSamples) {
  std::vector<double> wall, process, caller, log;
  for (const Sample& s : aSamples) {
    wall.push_back(s.wall);
    process.push_back(s.process);
    caller.push_back(s.caller);
    log.push_back(s.log);
  }
  return {Median(wall), Median(process), Median(caller), Median(log)};
}

// ---------------------------------------------------------------------------------------------
// The production library as a host program loads it; strings cross with its own functions.

class Library {
 public:
  explicit Library(const char* aPath) {
    fHandle = dlopen(aPath, RTLD_NOW | RTLD_LOCAL);
    if (fHandle == nullptr) throw std::runtime_error(dlerror());
    Resolve("SysAllocStringLen", fAlloc);
    Resolve("SysStringLen", fLength);
    Resolve("SysFreeString", fFree);
    Resolve("OPEN", fOpen);
    Resolve("PRINTFR", fPrintfr);
  }

  // Calls OPEN or PRINTFR; answers the result code and the output fragment.
  int16_t Open(const std::string& aRequest, std::string& aOutput) const {
    return Call(fOpen, aRequest, aOutput);
  }
  int16_t Printfr(const std::string& aRequest, std::string& aOutput) const {
    return Call(fPrintfr, aRequest, aOutput);
  }

 private:
  using Command = int16_t (*)(BSTR, BSTR*, BSTR*);

  template <typename Function>
  void Resolve(const char* aName, Function& aFunction) {
    void* symbol = dlsym(fHandle, aName);
    if (symbol == nullptr) throw std::runtime_error(std::string("missing export ") + aName);
    static_assert(sizeof(aFunction) == sizeof(symbol));
    std::memcpy(&aFunction, &symbol, sizeof(symbol));
  }

  std::string Take(BSTR aValue) const {
    std::string text =
        nvrp::Utf16ToUtf8(std::u16string_view(aValue == nullptr ? u"" : aValue, fLength(aValue)));
    fFree(aValue);
    return text;
  }

  int16_t Call(Command aCommand, const std::string& aRequest, std::string& aOutput) const {
    const std::u16string text = nvrp::Utf8ToUtf16(aRequest);
    BSTR input = fAlloc(text.data(), static_cast<uint32_t>(text.size()));
    BSTR output = nullptr;
    BSTR error = nullptr;
    const int16_t result = aCommand(input, &output, &error);
    aOutput = Take(output);
    Take(error);
    fFree(input);
    return result;
  }

  void* fHandle = nullptr;
  BSTR (*fAlloc)(const char16_t*, uint32_t) = nullptr;
  uint32_t (*fLength)(BSTR) = nullptr;
  void (*fFree)(BSTR) = nullptr;
  Command fOpen = nullptr;
  Command fPrintfr = nullptr;
};

std::string Element(const std::string& aName, const std::string& aValue) {
  return "<" + aName + ">" + aValue + "</" + aName + ">";
}

// Each device writes its own log file, named after its log id.
std::string LogIdOf(int32_t aHandle) { return "bench" + std::to_string(aHandle); }

// A PRINTFR request of aLines items of 1.00 each, paid in cash.
std::string ReceiptRequest(int32_t aHandle, int aLines) {
  std::string lines;
  for (int i = 0; i < aLines; ++i) {
    lines += "<ProductSale><Description>Item " + std::to_string(i) +
             "</Description><Quantity>1</Quantity><Department>1</Department><Price>1</Price>"
             "<Amount>1</Amount></ProductSale>";
  }
  return "<Request>" + Element("Driver", "NVRP_RORERER_10") +
         Element("Handle", std::to_string(aHandle)) + Element("LogId", LogIdOf(aHandle)) +
         "<Receipt><Type>Sale</Type>" + Element("Lines", lines) + "<Taxes/><Payments>" +
         "<Payment><Type>Cash</Type><Amount>" + std::to_string(aLines) +
         "</Amount></Payment></Payments></Receipt></Request>";
}

// ---------------------------------------------------------------------------------------------
// Simulators

// The ibox-sim program in its own process on a free loopback port; stopped with SIGTERM.
class SimulatorProcess {
 public:
  SimulatorProcess() {
    int out[2];
    if (pipe(out) != 0) throw std::runtime_error("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char program[] = NVRP_SIMULATOR_PROGRAM;
    char port_option[] = "--port";
    char port[] = "0";
    char* argv[] = {program, port_option, port, nullptr};
    const int spawned = posix_spawn(&fPid, program, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0) throw std::runtime_error("cannot start " + std::string(program));
    fBaseUrl = ReadBaseUrl(out[0]);
    close(out[0]);
  }
  ~SimulatorProcess() {
    kill(fPid, SIGTERM);
    int status = 0;
    waitpid(fPid, &status, 0);
  }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  const std::string& BaseUrl() const { return fBaseUrl; }
  int Port() const { return std::stoi(fBaseUrl.substr(fBaseUrl.rfind(':') + 1)); }

 private:
  // The first line the program prints names its address: "... listening on http://HOST:PORT".
  static std::string ReadBaseUrl(int aFd) {
    std::string line;
    char c = 0;
    while (read(aFd, &c, 1) == 1 && c != '\n') line += c;
    const size_t at = line.find("http://");
    if (at == std::string::npos) throw std::runtime_error("ibox-sim did not start: " + line);
    return line.substr(at);
  }

  pid_t fPid = -1;
  std::string fBaseUrl;
};

// One device opened through the library against a simulator on aPort; aLogId names its log.
int32_t OpenDevice(const Library& aLibrary, int aPort, bool aHexLog, int32_t aLogId) {
  std::string output;
  const std::string open = "<Request>" + Element("Driver", "NVRP_RORERER_10") +
                           Element("Handle", "0") + Element("LogId", LogIdOf(aLogId)) +
                           "<Connection><Type>HTTP</Type><Address>127.0.0.1</Address>" +
                           Element("Port", std::to_string(aPort)) + "</Connection><Parameters>" +
                           Element("HexLog", aHexLog ? "true" : "false") +
                           "</Parameters></Request>";
  if (aLibrary.Open(open, output) != 0) throw std::runtime_error("OPEN failed: " + output);
  return std::stoi(output.substr(output.find("<Handle>") + 8));
}

// The in-process simulator (which also records what a receipt sends), the loaded library, and
// the devices, shared by every benchmark.
struct Setup {
  sim::IboxSimulator simulator;
  Library* library = nullptr;
  int32_t handle = 0;
  int32_t hexHandle = 0;
  std::unique_ptr<SimulatorProcess> separate;
  int32_t separateHandle = 0;

  Setup() {
    std::string host = (fs::temp_directory_path() / "printfr_bench_XXXXXX").string();
    if (::mkdtemp(host.data()) == nullptr) throw std::runtime_error("no temporary directory");
    ::setenv("NVRP_HOST_DIR", host.c_str(), 1);  // logs go there, not beside the program
    curl_global_init(CURL_GLOBAL_DEFAULT);
    simulator.Start();
    library = new Library(NVRP_PRODUCTION_LIBRARY);  // stays loaded, as a host keeps it
    // Handles count from 1 in the order of opening.
    handle = OpenDevice(*library, simulator.Port(), false, 1);
    hexHandle = OpenDevice(*library, simulator.Port(), true, 2);
  }

  int32_t SeparateHandle() {
    if (!separate) {
      separate = std::make_unique<SimulatorProcess>();
      separateHandle = OpenDevice(*library, separate->Port(), false, 3);
    }
    return separateHandle;
  }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

void Print(const std::string& aRequest) {
  std::string output;
  if (Shared().library->Printfr(aRequest, output) != 0) {
    throw std::runtime_error("PRINTFR failed: " + output);
  }
}

// The raw targets the device received for one PRINTFR of aLines lines.
std::vector<std::string> RecordedTargets(int aLines) {
  Shared().simulator.ClearRequests();
  Print(ReceiptRequest(Shared().handle, aLines));
  std::vector<std::string> targets;
  for (const sim::RecordedRequest& request : Shared().simulator.Requests()) {
    targets.push_back(request.target);
  }
  Shared().simulator.ClearRequests();
  return targets;
}

// ---------------------------------------------------------------------------------------------
// The bare side

size_t KeepBody(char* aData, size_t aSize, size_t aCount, void* aBody) {
  static_cast<std::string*>(aBody)->append(aData, aSize * aCount);
  return aSize * aCount;
}

// The same exchanges without the driver: an empty POST per target on a fresh curl handle with
// the driver's options and headers; the answer's body is kept.
class BareExchanges {
 public:
  BareExchanges(const std::string& aBaseUrl, const std::vector<std::string>& aTargets) {
    for (const std::string& target : aTargets) fUrls.push_back(aBaseUrl + target);
  }

  void Run() {
    for (const std::string& url : fUrls) Exchange(url);
  }
  size_t Count() const { return fUrls.size(); }

 private:
  void Exchange(const std::string& aUrl) {
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Content-Type: text/xml; charset=UTF-8");
    headers = curl_slist_append(headers, "Expect:");
    char error[CURL_ERROR_SIZE] = "";
    fBody.clear();
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, KeepBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &fBody);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 5L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, 10L);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "Norvel Vela Driver");
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(0));
    curl_easy_setopt(curl, CURLOPT_COPYPOSTFIELDS, "");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_URL, aUrl.c_str());
    const CURLcode code = curl_easy_perform(curl);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    curl_easy_cleanup(curl);
    curl_slist_free_all(headers);
    if (code != CURLE_OK || status != 200) throw std::runtime_error("exchange failed: " + aUrl);
  }

  std::vector<std::string> fUrls;
  std::string fBody;
};

// ---------------------------------------------------------------------------------------------
// Benchmarks

// Repetitions per receipt size: fewer for the long receipts, so that a run stays short.
int Repetitions(int aLines) { return aLines <= 10 ? 41 : aLines <= 100 ? 25 : 15; }

// Driver and bare runs alternate, each first in every other round, after one round to warm up.
void CompareWithBare(benchmark::State& aState, int32_t aHandle, const std::string& aBaseUrl) {
  const int lines = static_cast<int>(aState.range(0));
  const std::string request = ReceiptRequest(aHandle, lines);
  BareExchanges bare(aBaseUrl, RecordedTargets(lines));
  FindLogThreads();
  const auto driver_run = [&] { return Measure([&] { Print(request); }, true); };
  const auto bare_run = [&] { return Measure([&] { bare.Run(); }, false); };
  (void)driver_run();
  (void)bare_run();
  std::vector<Sample> driver, baseline;
  for (auto _ : aState) {
    for (int round = 0; round < Repetitions(lines); ++round) {
      if (round % 2 == 0) {
        driver.push_back(driver_run());
        baseline.push_back(bare_run());
      } else {
        baseline.push_back(bare_run());
        driver.push_back(driver_run());
      }
    }
    aState.SetIterationTime(MediansOf(driver).wall);
  }
  const Medians d = MediansOf(driver);
  const Medians b = MediansOf(baseline);
  const double exchanges = static_cast<double>(bare.Count());
  aState.counters["http_requests"] = exchanges;
  aState.counters["bare_ms"] = b.wall * 1e3;
  aState.counters["driver_ratio"] = d.wall / b.wall;
  aState.counters["cpu_ratio"] = d.process / b.process;
  aState.counters["own_us"] = (d.wall - b.wall) / exchanges * 1e6;
  aState.counters["own_cpu_us"] = (d.process - b.process) / exchanges * 1e6;
  aState.counters["caller_own_cpu_us"] = (d.caller - b.caller) / exchanges * 1e6;
  aState.counters["log_cpu_us"] = d.log / exchanges * 1e6;
}

// The device a receipt benchmark prints on: its handle and its simulator's base URL.
struct ReceiptDevice {
  int32_t handle;
  std::string baseUrl;
};

// The receipt benchmark on the simulator in this process and on the ibox-sim program in its own
// (started when first asked for).
struct ReceiptVariant {
  const char* name;
  ReceiptDevice (*device)();
};
const ReceiptVariant kReceiptVariants[] = {
    {"BM_Receipt",
     [] {
       return ReceiptDevice{Shared().handle, Shared().simulator.BaseUrl()};
     }},
    {"BM_ReceiptSeparateSimulator",
     [] {
       const int32_t handle = Shared().SeparateHandle();
       return ReceiptDevice{handle, Shared().separate->BaseUrl()};
     }},
};

[[maybe_unused]] const bool kReceiptBenchmarksRegistered = [] {
  for (const ReceiptVariant& variant : kReceiptVariants) {
    benchmark::RegisterBenchmark(variant.name,
                                 [&variant](benchmark::State& aState) {
                                   const ReceiptDevice device = variant.device();
                                   CompareWithBare(aState, device.handle, device.baseUrl);
                                 })
        ->Arg(10)
        ->Arg(100)
        ->Arg(240)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

// The same receipt on a device with HexLog on and on one with it off, alternating.
void BM_HexLogReceipt(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  const std::string plain = ReceiptRequest(Shared().handle, lines);
  const std::string hex = ReceiptRequest(Shared().hexHandle, lines);
  FindLogThreads();
  const auto run = [](const std::string& aRequest) {
    return Measure([&] { Print(aRequest); }, true);
  };
  (void)run(plain);
  (void)run(hex);
  std::vector<Sample> off, on;
  for (auto _ : state) {
    for (int round = 0; round < Repetitions(lines); ++round) {
      if (round % 2 == 0) {
        off.push_back(run(plain));
        on.push_back(run(hex));
      } else {
        on.push_back(run(hex));
        off.push_back(run(plain));
      }
    }
    state.SetIterationTime(MediansOf(on).wall);
  }
  const Medians with = MediansOf(on);
  const Medians without = MediansOf(off);
  state.counters["hexlog_ratio"] = with.wall / without.wall;
  state.counters["hexlog_cpu_ratio"] = with.process / without.process;
}
BENCHMARK(BM_HexLogReceipt)
    ->Arg(100)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Resident memory of the process, in KiB.
double ResidentKiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6));
  }
  return 0;
}

// 2,000 receipts of 10 lines: how far the resident memory grows between the 200th and the last.
// The device is the separate simulator, whose journal grows with every receipt outside this
// process.
void BM_MemoryOverReceipts(benchmark::State& state) {
  const std::string request = ReceiptRequest(Shared().SeparateHandle(), 10);
  FindLogThreads();
  double growth = 0;
  for (auto _ : state) {
    for (int i = 0; i < 200; ++i) Print(request);
    WaitForIdleLogThreads();
    const double start = ResidentKiB();
    for (int i = 200; i < 2000; ++i) Print(request);
    WaitForIdleLogThreads();
    growth = ResidentKiB() - start;
  }
  state.counters["rss_growth_kib"] = growth;
}
BENCHMARK(BM_MemoryOverReceipts)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
