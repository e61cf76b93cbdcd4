#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test twice:
# a release build, and a build under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "=== Format check ==="
bash scripts/format.sh --check

jobs=$(nproc)
run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs")
}

echo "=== Sanitizer build (ASan + UBSan) ==="
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DNVRP_SANITIZE=ON -DNVRP_BUILD_BENCH=OFF

echo "=== Release build ==="
run_suite build-release -DCMAKE_BUILD_TYPE=Release

echo "=== Windows DLL (MinGW-w64, tests under Wine) ==="
bash scripts/windows.sh --linux-build build-release
