// Cost of the log writer: what one Write costs its caller, and how many lines per second the
// background thread gets into a real file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/log_writer.hpp"

namespace {

namespace fs = std::filesystem;

using Clock = std::chrono::steady_clock;

const std::string kMessage(80, 'm');

double Median(std::vector<double> aValues) {
  if (aValues.empty()) return 0;
  std::sort(aValues.begin(), aValues.end());
  return aValues[aValues.size() / 2];
}

fs::path MakeTempDirectory() {
  std::string pattern = (fs::temp_directory_path() / "log_writer_bench_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return fs::temp_directory_path();
  return pattern;
}

// Caller's cost of one Write: stamp, concatenation, enqueue, for a short message and for one
// the size of a status answer. Lines come as a receipt writes them: three for one exchange,
// then a pause of an exchange's length, so that the thread keeps up as it does in use (a
// burst of thousands would measure the growth of the queue instead). The counter median_us
// is the median over the exchanges of the time per call.
void BM_WriteCallerCost(benchmark::State& state) {
  constexpr int kLinesPerExchange = 3;
  constexpr auto kExchangePause = std::chrono::microseconds(250);
  const std::string message(static_cast<size_t>(state.range(0)), 'm');
  const fs::path dir = MakeTempDirectory();
  auto writer = std::make_unique<nvrp::tNV_LogWriter>("bench", dir.string(), 0, false);
  // A first stretch untimed, so that the thread, the allocator and the file are under way.
  for (int i = 0; i < 300; ++i) writer->Write(nvrp::tNV_MessageType::let_info, message);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  std::vector<double> per_call;
  per_call.reserve(static_cast<size_t>(state.max_iterations));
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kLinesPerExchange; ++i) {
      writer->Write(nvrp::tNV_MessageType::let_info, message);
    }
    const Clock::time_point end = Clock::now();
    per_call.push_back(std::chrono::duration<double>(end - start).count() / kLinesPerExchange);
    state.PauseTiming();
    while (Clock::now() - end < kExchangePause) {
    }
    state.ResumeTiming();
  }
  state.counters["median_us"] = Median(per_call) * 1e6;
  writer.reset();
  fs::remove_all(dir);
}
BENCHMARK(BM_WriteCallerCost)->Arg(80)->Arg(440)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// Sustained throughput: time until N lines are in the file, which Destroy guarantees.
void BM_SustainedLinesToFile(benchmark::State& state) {
  const auto lines = static_cast<int>(state.range(0));
  const fs::path dir = MakeTempDirectory();
  for (auto _ : state) {
    auto writer = std::make_unique<nvrp::tNV_LogWriter>("bench", dir.string(), 0, false);
    for (int i = 0; i < lines; ++i) writer->Write(nvrp::tNV_MessageType::let_info, kMessage);
    writer.reset();
    state.PauseTiming();
    fs::remove(dir / "bench.log");
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * lines);
  fs::remove_all(dir);
}
BENCHMARK(BM_SustainedLinesToFile)
    ->Arg(5000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
