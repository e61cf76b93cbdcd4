#!/usr/bin/env bash
# The test command (what CI runs): installs what is missing, then runs one phase after the
# other; README "Build and test" says what each phase adds. Every build compiles through
# ccache when it can (scripts/ccache_env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ccache_env.sh

jobs=$(nproc)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# Configures and builds one build folder, then runs its tests; the arguments after "--" go to
# CTest.
build_and_test() {
  local dir=$1
  shift
  local configure=()
  while [[ $1 != -- ]]; do
    configure+=("$1")
    shift
  done
  shift
  cmake -S . -B "$dir" -G Ninja "${NVRP_LAUNCHER_ARGS[@]}" "${configure[@]}"
  cmake --build "$dir" -j "$jobs"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" "$@")
}

# The packages first: ccache is one of them.
phase_setup() {
  bash scripts/setup.sh
  nvrp_setup_ccache "$PWD"
}

phase_format() {
  bash scripts/format.sh --check
}

# Every GoogleTest suite in a process of its own, under ASan + UBSan, with the tests whose
# answer the sanitizers give (label "memory").
phase_sanitizer() {
  build_and_test build-asan -DCMAKE_BUILD_TYPE=Debug -DNVRP_SANITIZE=ON -DNVRP_BUILD_BENCH=OFF \
    -DNVRP_TEST_PROCESS=suite -- -LE shipped
}

# The optimized build: each test program in one process, its tests in a random order (the seed
# is printed first), with the tests of what is shipped (label "shipped").
phase_release() {
  GTEST_SHUFFLE=1 build_and_test build-release -DCMAKE_BUILD_TYPE=Release \
    -DNVRP_TEST_PROCESS=program -- -LE memory
}

phase_fuzz() {
  bash scripts/fuzz.sh
}

phase_threads() {
  bash scripts/tsan.sh
}

phase_windows() {
  bash scripts/windows.sh --linux-build build-release
}

# The release files from the release and windows phases' builds, checked (scripts/package.sh).
phase_package() {
  bash scripts/package.sh --linux-build build-release
}

# NVRP_TEST_PHASES runs some of the phases only (e.g. "format release").
read -r -a phases \
  <<<"${NVRP_TEST_PHASES:-setup format sanitizer release fuzz threads windows package}"
if [[ " ${phases[*]} " != *" setup "* ]]; then nvrp_setup_ccache "$PWD"; fi
for phase in "${phases[@]}"; do
  echo "=== $phase ==="
  started=$SECONDS
  "phase_$phase"
  echo "=== $phase: $((SECONDS - started)) s ==="
done
if [[ -z ${CCACHE_DISABLE:-} && -n ${CCACHE_DIR:-} ]]; then ccache --show-stats | head -n 8; fi
