#!/usr/bin/env bash
# Builds the fuzz targets with Clang and libFuzzer (ASan + UBSan, in build-fuzz) and runs each
# from its seeds (the example requests too, for the request target).
#   bash scripts/fuzz.sh                 a smoke run: a fixed number of inputs per target
#   bash scripts/fuzz.sh --time SECONDS  a long run: that many seconds per target
# A target that does not build, or that crashes, leaks or hangs on an input, fails the run;
# libFuzzer writes the input that did it into build-fuzz/fuzz/.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ccache_env.sh

# Inputs per target in a smoke run: some ten seconds each on two busy cores.
declare -A smoke_runs=([requests]=5000 [device_answers]=40000 [z_report_files]=100000)
seconds=""
if [[ ${1:-} == --time ]]; then
  seconds=${2:?"--time needs a number of seconds"}
elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--time SECONDS]" >&2
  exit 2
fi

nvrp_setup_ccache "$PWD"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DNVRP_SANITIZE=ON -DNVRP_LIBFUZZER=ON -DNVRP_BUILD_BENCH=OFF "${NVRP_LAUNCHER_ARGS[@]}"
targets=(requests device_answers z_report_files)
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for name in "${targets[@]}"; do
  corpus=build-fuzz/fuzz/corpus_$name
  seeds=build-fuzz/fuzz/seeds_$name
  rm -rf "$seeds"
  "build-fuzz/fuzz/fuzz_seeds_$name" "$seeds"
  inputs=("$corpus" "$seeds")
  if [[ $name == requests ]]; then inputs+=(examples); fi
  if [[ -n $seconds ]]; then
    limit=(-max_total_time="$seconds")
  else
    # A fresh corpus and a fixed seed: every smoke run tries the same inputs.
    limit=(-runs="${smoke_runs[$name]}" -seed=1)
    rm -rf "$corpus"
  fi
  mkdir -p "$corpus"
  echo "=== fuzz_$name ${limit[*]} ==="
  # The progress lines ("#1234 NEW ...") are left out; the start, the end and any finding stay.
  "build-fuzz/fuzz/fuzz_$name" "${limit[@]}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/fuzz/ "${inputs[@]}" 2>&1 | grep -v -e '^#[0-9]' -e '^"'
done
