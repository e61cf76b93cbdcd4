// Cost of the log writer: what one Write costs its caller, and how many lines per second the
// background thread gets into a real file.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/log_writer.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kMessage(80, 'm');

fs::path MakeTempDirectory() {
  std::string pattern = (fs::temp_directory_path() / "log_writer_bench_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return fs::temp_directory_path();
  return pattern;
}

// Caller's cost of one Write: stamp, concatenation, enqueue. A fixed iteration count keeps the
// queue the thread has to work off at the end of each repetition bounded.
void BM_WriteCallerCost(benchmark::State& state) {
  const fs::path dir = MakeTempDirectory();
  auto writer = std::make_unique<nvrp::tNV_LogWriter>("bench", dir.string(), 0, false);
  for (auto _ : state) {
    writer->Write(nvrp::tNV_MessageType::let_info, kMessage);
  }
  writer.reset();
  fs::remove_all(dir);
}
BENCHMARK(BM_WriteCallerCost)
    ->Iterations(20000)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kNanosecond);

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
