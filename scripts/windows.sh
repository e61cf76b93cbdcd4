#!/usr/bin/env bash
# Builds NVRP_RORERER_10.dll for Windows with MinGW-w64 and proves it:
#   - the 32-bit DLL (the one point-of-sale programs load) and its 64-bit twin: exports,
#     ordinals and imports checked;
#   - the tests of both builds under Wine against ibox-sim: the 64-bit ones under this
#     machine's wine64, the 32-bit ones in the 32-bit Wine root of scripts/wine32.sh (reported
#     as SKIPPED, with the reason, where that root cannot be made).
# Usage: scripts/windows.sh [--ship] [--linux-build DIR]
#   --ship        only build the DLLs: build/windows/ship/NVRP_RORERER_10.dll (32-bit) and
#                 build/windows/ship/x64/NVRP_RORERER_10.dll; after a full run the tested
#                 DLLs, unchanged
#   --linux-build the Linux build that holds ibox-sim (default build/windows/linux-sim)
# Installs what is missing (MinGW-w64, Wine, fonts) and cross-builds pugixml, libjpeg-turbo
# (Debian source packages), GoogleTest and cpp-httplib's single header once per architecture,
# into the user's cache folder (${XDG_CACHE_HOME:-$HOME/.cache}/nvrp_rorerer_10/windows-deps),
# or under build/windows without a writable one.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$root/build/windows
ship=0
linux_build=""
while (($#)); do
  case $1 in
    --ship) ship=1 ;;
    --linux-build) linux_build=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
jobs=$(nproc)
source "$root/scripts/ccache_env.sh"
nvrp_setup_ccache "$root"

source "$root/scripts/packages_env.sh"

install_missing() {
  nvrp_install_missing g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
    binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 wine64 fonts-liberation googletest cmake \
    ninja-build dpkg-dev
}

# --- third-party libraries

# The folder of the cross-built libraries and their sources: the user's cache folder, or
# build/windows when there is none that can be written.
choose_deps_folder() {
  local cache=""
  if [[ -n ${XDG_CACHE_HOME:-} ]]; then
    cache=$XDG_CACHE_HOME/nvrp_rorerer_10/windows-deps
  elif [[ -n ${HOME:-} ]]; then
    cache=$HOME/.cache/nvrp_rorerer_10/windows-deps
  fi
  if [[ -n $cache ]] && mkdir -p "$cache" 2>/dev/null && [[ -w $cache ]]; then
    deps=$cache
  else
    deps=$out/windows-deps
    mkdir -p "$deps"
    echo "Windows libraries: no writable cache folder, building them under $deps"
  fi
  sources=$deps/sources
  # One build of the libraries at a time (clones share the cache).
  exec {deps_lock}>"$deps/.lock"
  flock "$deps_lock"
}

# The Debian sources of the libraries that Debian ships no MinGW build of.
fetch_sources() {
  local missing=()
  compgen -G "$sources/pugixml-*/CMakeLists.txt" >/dev/null || missing+=(pugixml)
  compgen -G "$sources/libjpeg-turbo-*/CMakeLists.txt" >/dev/null || missing+=(libjpeg-turbo)
  compgen -G "$sources/cpp-httplib-*/httplib.h" >/dev/null || missing+=(cpp-httplib)
  ((${#missing[@]})) || return 0
  local list=/etc/apt/sources.list.d/nvrp-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && [[ ! -e $list ]]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo_cmd[@]}" tee "$list" >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  mkdir -p "$sources"
  # Only the missing ones: an unpacked source is never unpacked over.
  (cd "$sources" && apt-get source -qq "${missing[@]}" >/dev/null 2>&1 ||
     apt-get source "${missing[@]}")
}

# The libraries are rebuilt when any of their inputs changes: the Debian source versions (the
# .dsc files apt-get source keeps), GoogleTest's package version, the MinGW-w64 compilers' and
# headers' package versions, the toolchain files and the build steps below.
choose_deps_key() {
  local manifest
  manifest=$(
    cd "$sources" && ls pugixml_*.dsc libjpeg-turbo_*.dsc cpp-httplib_*.dsc
    dpkg-query -W -f='googletest ${Version}\n' googletest
    dpkg-query -W -f='${Package} ${Version}\n' g++-mingw-w64-i686-posix \
      g++-mingw-w64-x86-64-posix mingw-w64-i686-dev mingw-w64-x86-64-dev
    cd "$root" && sha256sum cmake/MingwToolchain.cmake cmake/toolchain-*-w64-mingw32.cmake
    declare -f cross_build third_party | sha256sum
  )
  local key
  key=$(sha256sum <<<"$manifest" | cut -c1-16)
  deps_key_dir=$deps/$key
  mkdir -p "$deps_key_dir"
  echo "$manifest" >"$deps_key_dir/inputs.txt"
  echo "Windows libraries: $deps_key_dir (inputs in inputs.txt)"
}

# Cross-builds one CMake project into the architecture's prefix.
cross_build() {
  local arch=$1 name=$2 source=$3
  shift 3
  local prefix=$deps_key_dir/prefix-$arch
  [[ -e $prefix/.$name.done ]] && return
  echo "--- $name for $arch"
  local build=$out/deps/$(basename "$deps_key_dir")/$arch-$name
  cmake -S "$source" -B "$build" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$build" -j "$jobs" >/dev/null
  cmake --install "$build" >/dev/null
  touch "$prefix/.$name.done"
}

third_party() {
  local arch=$1
  cross_build "$arch" pugixml "$(echo "$sources"/pugixml-*/)" -DPUGIXML_BUILD_TESTS=OFF
  cross_build "$arch" libjpeg-turbo "$(echo "$sources"/libjpeg-turbo-*/)" -DWITH_SIMD=OFF \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
  cross_build "$arch" googletest /usr/src/googletest -DINSTALL_GTEST=ON
  # The test servers and the in-process simulator use cpp-httplib as a single header.
  # -C: an unchanged header keeps its time, so that nothing that includes it is rebuilt.
  install -C -D -m 644 "$(echo "$sources"/cpp-httplib-*/httplib.h)" \
    "$deps_key_dir/prefix-$arch/include/httplib.h"
}

# --- the DLLs

# Configures and builds one architecture. "ship" builds only the DLL and keeps a build folder's
# configuration (a folder a full run configured with its tests keeps them), so that after a
# full run nothing is rebuilt and the DLL shipped is the one tested.
build_dll() {
  local arch=$1 what=$2
  local dir=$out/$arch emulator=/usr/lib/wine/wine64
  # Inside the 32-bit Wine root.
  [[ $arch == i686 ]] && emulator=/usr/bin/wine
  local configure=(-DCMAKE_BUILD_TYPE=Release
                   -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake"
                   -DNVRP_WINDOWS_PREFIX="$deps_key_dir/prefix-$arch" -DNVRP_BUILD_BENCH=OFF
                   -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator")
  local cache=$dir/CMakeCache.txt tests_before=OFF
  # Libraries of another key: CMake's cached finds still name the old prefix, so configure
  # afresh.
  if [[ -e $cache ]] && grep "/windows-deps/" "$cache" | grep -qv "$deps_key_dir/"; then
    tests_before=$(sed -n 's/^NVRP_BUILD_TESTS:BOOL=//p' "$cache")
    configure+=(--fresh)
  fi
  if [[ $what == tests ]]; then
    configure+=(-DNVRP_BUILD_TESTS=ON)
  elif [[ ! -e $cache || " ${configure[*]} " == *" --fresh "* ]]; then
    configure+=(-DNVRP_BUILD_TESTS="${tests_before:-OFF}")
  fi
  cmake -S . -B "$dir" -G Ninja "${configure[@]}" >/dev/null
  if [[ $what == tests ]]; then
    cmake --build "$dir" -j "$jobs"
  else
    cmake --build "$dir" -j "$jobs" --target NVRP_RORERER_10
  fi
}

# Checks the DLL's exports and imports and copies it to its place under build/windows/ship.
check_and_ship() {
  local arch=$1 place=$2
  bash "$root/scripts/windows_check_exports.sh" "$out/$arch/src/NVRP_RORERER_10.dll" \
    "$root/src/command/NVRP_RORERER_10.def"
  mkdir -p "$out/ship/$place"
  cp "$out/$arch/src/NVRP_RORERER_10.dll" "$out/ship/$place"
  echo "$arch DLL: $(realpath "$out/ship/$place/NVRP_RORERER_10.dll")"
}

# --- the devices the tests talk to

# Every process started for the tests, by pid and name: the devices of the current run are
# stopped after it, every one on exit (also when a step fails), and each is checked to be gone.
started_pids=()
started_names=()
device_pids=()
remember() {
  started_pids+=("$1")
  started_names+=("$2")
  device_pids+=("$1")
}

# Starts an ibox-sim on a free loopback port and stores that port in the variable named
# `port_var` (the caller's shell, so that the pid is remembered).
start_sim() {
  local name=$1 port_var=$2
  shift 2
  "$ibox_sim" "$@" >"$sim_log/$name.out" 2>&1 &
  remember $! "ibox-sim $name"
  for _ in $(seq 100); do
    grep -q 'listening on' "$sim_log/$name.out" && break
    sleep 0.05
  done
  local port
  port=$(sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$sim_log/$name.out")
  [[ -n $port ]] || { echo "ibox-sim $name did not start" >&2; return 1; }
  printf -v "$port_var" %s "$port"
}

# A serial line: a pseudo-terminal in raw mode whose Linux side runs the given Python code
# with the line's other end as "master". Its device path goes into the variable `device_var`,
# or stays empty (the tests of this line are skipped).
start_test_line() {
  local name=$1 device_var=$2 body=$3
  python3 -c "import os, tty
master, line = os.openpty()
tty.setraw(line)
print(os.ttyname(line), flush=True)
$body" >"$sim_log/$name.out" 2>&1 &
  remember $! "python pty line $name"
  for _ in $(seq 100); do
    [[ -s $sim_log/$name.out ]] && break
    sleep 0.05
  done
  local device
  device=$(head -1 "$sim_log/$name.out")
  [[ $device == /dev/* ]] || device=""
  printf -v "$device_var" %s "$device"
}

# The devices of one architecture's run, new for each run (a simulator keeps its day's state,
# a line its unread bytes): two simulators (a healthy device and one that answers HTTP 500),
# an echo line, a line that never reads, a private CUPS queue. Sets device_env, the
# environment of the tests.
start_devices() {
  local arch=$1
  sim_log=$out/devices-$arch
  rm -rf "$sim_log"
  mkdir -p "$sim_log"
  local healthy failing echo_device stalled_device
  start_sim healthy healthy
  start_sim failing failing --sticky-fault http-status:500:failure
  device_env=(IBOX_SIM_PORT="$healthy" IBOX_SIM_500_PORT="$failing")
  # Sends back every byte.
  start_test_line echo-line echo_device '
while True:
    try:
        data = os.read(master, 4096)
    except OSError:
        break
    if not data:
        break
    os.write(master, data)'
  # Never reads: writes to it stall.
  start_test_line stalled-line stalled_device '
import time
time.sleep(1e6)'
  device_env+=(NVRP_WINE_ECHO_DEVICE="$echo_device" NVRP_WINE_STALLED_DEVICE="$stalled_device")
  # A printer for the spooler tests: a private CUPS queue writing each job to a file.
  if [[ -x /usr/sbin/cupsd ]]; then
    local printer_port printer_pid
    read -r printer_port printer_pid < <(bash "$root/scripts/wine_test_printer.sh" "$sim_log/cups")
    remember "$printer_pid" "cupsd"
    device_env+=(CUPS_SERVER=127.0.0.1:$printer_port NVRP_WINE_PRINTER=NVRP_Test_File
                 NVRP_WINE_PRINTER_OUTPUT="$sim_log/cups/out/job.prn")
  fi
}

# Stops the devices of the current run and waits until each is gone.
stop_devices() {
  local pid
  for pid in "${device_pids[@]}"; do kill -- "$pid" 2>/dev/null || true; done
  for pid in "${device_pids[@]}"; do
    for _ in $(seq 50); do
      kill -0 -- "$pid" 2>/dev/null || break
      sleep 0.1
    done
  done
  device_pids=()
}

# Fails when a process this run started is still alive.
check_none_left() {
  local i left=0
  for i in "${!started_pids[@]}"; do
    if kill -0 -- "${started_pids[i]}" 2>/dev/null; then
      echo "still running after the run: ${started_names[i]} (pid ${started_pids[i]})" >&2
      kill -9 -- "${started_pids[i]}" 2>/dev/null || true
      left=1
    fi
  done
  return "$left"
}

stop_all() {
  local status=$?
  stop_devices
  if [[ -n ${wine32_group:-} ]]; then
    kill -- "$wine32_group" 2>/dev/null || true
    wait "${wine32_group#-}" 2>/dev/null || true
  fi
  WINEPREFIX=$out/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
  if ! check_none_left; then
    echo "FAILED: processes of this run outlived it" >&2
    status=1
  fi
  exit "$status"
}

# --- the runs

run_tests_64() {
  start_devices x86_64
  (unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
   export "${device_env[@]}" WINEPREFIX=$out/wineprefix WINEDEBUG=-all \
     WINEDLLOVERRIDES="mscoree,mshtml="
   bash "$root/scripts/windows_run_tests.sh" "$out/x86_64" /usr/lib/wine/wine64 \
     /usr/lib/wine/wineserver)
}

# In the 32-bit Wine root: the checkout (build folders and sources) and the Linux build are
# seen at their own paths; CTest there reads this CMake's modules (its test discovery).
run_tests_32() {
  start_devices i686
  local binds=(--bind "$root" --bind "$(cmake_modules_folder)")
  [[ $(realpath "$linux_build") == "$root"/* ]] || binds+=(--bind "$linux_build")
  local environment=()
  for assignment in "${device_env[@]}"; do environment+=(--env "$assignment"); done
  bash "$root/scripts/wine32.sh" run "${binds[@]}" "${environment[@]}" -- \
    bash "$root/scripts/windows_run_tests.sh" "$out/i686" wine wineserver
}

cmake_modules_folder() {
  local script=$out/cmake-root.cmake
  echo 'message("${CMAKE_ROOT}")' >"$script"
  cmake -P "$script" 2>&1
}

install_missing
choose_deps_folder
fetch_sources
choose_deps_key

if ((ship)); then
  for arch in i686 x86_64; do
    third_party "$arch"
    build_dll "$arch" ship
  done
  check_and_ship i686 .
  check_and_ship x86_64 x64
  exit 0
fi

# The 32-bit Wine root is made (once, mostly downloads) while the DLLs build.
wine32_log=$out/wine32-ensure.log
mkdir -p "$out"
setsid bash "$root/scripts/wine32.sh" ensure >"$wine32_log" 2>&1 &
wine32_group=-$!
started_pids+=("$wine32_group")
started_names+=("wine32.sh ensure and its children")
trap stop_all EXIT
trap 'exit 130' INT TERM

for arch in i686 x86_64; do third_party "$arch"; done
flock -u "$deps_lock"
echo "=== Windows DLLs and their tests ==="
# The device simulator is a Linux program: take it from a Linux build, or build just it.
if [[ -z $linux_build ]]; then
  linux_build=$out/linux-sim
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNVRP_BUILD_BENCH=OFF \
    >/dev/null
  cmake --build "$linux_build" -j "$jobs" --target ibox-sim
fi
ibox_sim=$(find "$linux_build" -name ibox-sim -type f -perm -u+x | head -1)
build_dll i686 tests
build_dll x86_64 tests
check_and_ship i686 .
check_and_ship x86_64 x64

failed=()
echo "=== 64-bit tests under wine64 ==="
run_tests_64 || failed+=(64-bit)
stop_devices

echo "=== 32-bit tests in the 32-bit Wine root ==="
wine32_status=0
wait "${wine32_group#-}" || wine32_status=$?
wine32_group=""
if ((wine32_status == 0)); then
  run_tests_32 || failed+=(32-bit)
  stop_devices
elif ((wine32_status == 3)); then
  echo "###############################################################################"
  echo "SKIPPED: the 32-bit DLL's tests did not run, no 32-bit Wine root:"
  sed 's/^/  /' "$wine32_log"
  echo "###############################################################################"
else
  cat "$wine32_log" >&2
  failed+=("32-bit Wine root")
fi

if ((${#failed[@]})); then
  echo "FAILED: ${failed[*]}" >&2
  exit 1
fi
echo "Windows: every test passed"
