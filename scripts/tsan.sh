#!/usr/bin/env bash
# Runs the concurrency test under ThreadSanitizer: builds the command tests (and the library
# they load) with -DNVRP_SANITIZE=thread in build-tsan, then runs the Concurrency tests, which
# print receipts from several threads on one handle and on several handles.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ccache_env.sh

nvrp_setup_ccache "$PWD"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNVRP_SANITIZE=thread \
  -DNVRP_BUILD_BENCH=OFF "${NVRP_LAUNCHER_ARGS[@]}"
cmake --build build-tsan -j "$(nproc)" --target command_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  build-tsan/tests/command_tests --gtest_filter='Concurrency.*'
