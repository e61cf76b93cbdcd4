#!/usr/bin/env bash
# Builds the benchmarks (Release, without the tests) and prints every figure of the README's
# performance table: the full benchmark output, then the table itself.
# Usage: bash bench/figures.sh [build directory, default build/bench]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/bench}
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNVRP_BUILD_TESTS=OFF \
  -DNVRP_BUILD_BENCH=ON >/dev/null
cmake --build "$build" --target printfr_bench log_writer_bench >/dev/null

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
echo "load before the run: $(uptime)"
"$build/bench/printfr_bench" --benchmark_counters_tabular=true \
  --benchmark_out="$out/receipt.json" --benchmark_out_format=json
"$build/bench/log_writer_bench" --benchmark_counters_tabular=true \
  --benchmark_out="$out/log.json" --benchmark_out_format=json
echo "load after the run: $(uptime)"
echo

python3 - "$out/receipt.json" "$out/log.json" <<'EOF'
import json
import sys

runs = {}
for path in sys.argv[1:]:
    with open(path) as f:
        for run in json.load(f)["benchmarks"]:
            runs[run["name"].split("/iterations")[0]] = run

def value(name, counter, digits):
    run = runs.get(name)
    return "-" if run is None or counter not in run else f"{run[counter]:.{digits}f}"

print("| Figure | 10 lines | 100 lines | 240 lines |")
print("|---|---|---|---|")
for label, bench in (("in-process simulator", "BM_Receipt"),
                     ("separate simulator", "BM_ReceiptSeparateSimulator")):
    for title, counter, digits in (
            ("driver_ratio (wall)", "driver_ratio", 3),
            ("CPU ratio (process)", "cpu_ratio", 3),
            ("own cost per exchange, µs wall", "own_us", 1),
            ("own CPU per exchange, µs", "own_cpu_us", 1),
            ("own CPU per exchange on the calling thread, µs", "caller_own_cpu_us", 1),
            ("log thread CPU per exchange, µs", "log_cpu_us", 1),
            ("bare receipt, ms", "bare_ms", 2)):
        cells = [value(f"{bench}/{n}", counter, digits) for n in (10, 100, 240)]
        print(f"| {title}, {label} | " + " | ".join(cells) + " |")
print()
print("| Figure | Value |")
print("|---|---|")
print(f"| log Write caller cost, 80-byte message, µs (median) | "
      f"{value('BM_WriteCallerCost/80', 'median_us', 3)} |")
print(f"| log Write caller cost, 440-byte message, µs (median) | "
      f"{value('BM_WriteCallerCost/440', 'median_us', 3)} |")
print(f"| log thread, lines per second into the file | "
      f"{value('BM_SustainedLinesToFile/5000', 'items_per_second', 0)} |")
print(f"| HexLog on / off, 100-line receipt (wall) | "
      f"{value('BM_HexLogReceipt/100', 'hexlog_ratio', 3)} |")
print(f"| HexLog on / off, 100-line receipt (process CPU) | "
      f"{value('BM_HexLogReceipt/100', 'hexlog_cpu_ratio', 3)} |")
print(f"| resident memory growth from receipt 200 to 2,000, KiB | "
      f"{value('BM_MemoryOverReceipts', 'rss_growth_kib', 0)} |")
EOF
