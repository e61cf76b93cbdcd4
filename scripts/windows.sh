#!/usr/bin/env bash
# Builds NVRP_RORERER_10.dll for Windows with MinGW-w64 and proves it:
#   - the 32-bit DLL (the one point-of-sale programs load): exports, ordinals and imports checked;
#   - the 64-bit twin from the same sources: its tests run under Wine against ibox-sim.
# Usage: scripts/windows.sh [--ship] [--linux-build DIR]
#   --ship        only build the 32-bit DLL: build/windows/i686/NVRP_RORERER_10.dll
#   --linux-build the Linux build that holds ibox-sim (default build/windows/linux-sim)
# Installs what is missing (MinGW-w64, Wine, fonts) and cross-builds pugixml, libjpeg-turbo
# (Debian source packages) and GoogleTest once per architecture under build/windows/prefix-*;
# the tests also take cpp-httplib's single header from its Debian source package.
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
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-$(command -v ccache || true)}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-$(command -v ccache || true)}

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then sudo_cmd=(sudo); fi

install_missing() {
  local packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
                  binutils-mingw-w64-x86-64 wine64 fonts-liberation googletest cmake ninja-build
                  dpkg-dev)
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
      --no-install-recommends "${missing[@]}"
  fi
}

# The Debian sources of the libraries that Debian ships no MinGW build of.
fetch_sources() {
  local src=$out/sources
  local missing=()
  compgen -G "$src/pugixml-*/CMakeLists.txt" >/dev/null || missing+=(pugixml)
  compgen -G "$src/libjpeg-turbo-*/CMakeLists.txt" >/dev/null || missing+=(libjpeg-turbo)
  compgen -G "$src/cpp-httplib-*/httplib.h" >/dev/null || missing+=(cpp-httplib)
  ((${#missing[@]})) || return 0
  local list=/etc/apt/sources.list.d/nvrp-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && [[ ! -e $list ]]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      "${sudo_cmd[@]}" tee "$list" >/dev/null
    "${sudo_cmd[@]}" apt-get update -qq
  fi
  mkdir -p "$src"
  # Only the missing ones: an unpacked source is never unpacked over.
  (cd "$src" && apt-get source -qq "${missing[@]}" >/dev/null 2>&1 ||
     apt-get source "${missing[@]}")
}

# Cross-builds one CMake project into the architecture's prefix.
cross_build() {
  local arch=$1 name=$2 source=$3
  shift 3
  local prefix=$out/prefix-$arch
  [[ -e $prefix/.$name.done ]] && return
  echo "--- $name for $arch"
  cmake -S "$source" -B "$out/deps-$arch/$name" -G Ninja -Wno-dev -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$out/deps-$arch/$name" -j "$jobs" >/dev/null
  cmake --install "$out/deps-$arch/$name" >/dev/null
  touch "$prefix/.$name.done"
}

third_party() {
  local arch=$1
  cross_build "$arch" pugixml "$(echo "$out"/sources/pugixml-*/)" -DPUGIXML_BUILD_TESTS=OFF
  cross_build "$arch" libjpeg-turbo "$(echo "$out"/sources/libjpeg-turbo-*/)" -DWITH_SIMD=OFF \
    -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
  if [[ $2 == tests ]]; then
    cross_build "$arch" googletest /usr/src/googletest -DINSTALL_GTEST=ON
    # The test servers and the in-process simulator use cpp-httplib as a single header.
    install -D -m 644 "$(echo "$out"/sources/cpp-httplib-*/httplib.h)" \
      "$out/prefix-$arch/include/httplib.h"
  fi
}

build_dll() {
  local arch=$1 tests=$2
  third_party "$arch" "$tests"
  local dir=$out/$arch
  local test_switch=OFF
  [[ $tests == tests ]] && test_switch=ON
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch-w64-mingw32.cmake" \
    -DNVRP_WINDOWS_PREFIX="$out/prefix-$arch" -DNVRP_BUILD_TESTS=$test_switch \
    -DNVRP_BUILD_BENCH=OFF -DCMAKE_CROSSCOMPILING_EMULATOR=/usr/lib/wine/wine64 >/dev/null
  cmake --build "$dir" -j "$jobs"
}

install_missing
fetch_sources

echo "=== Windows 32-bit DLL ==="
build_dll i686 notests
bash "$root/scripts/windows_check_exports.sh" "$out/i686/src/NVRP_RORERER_10.dll" \
  "$root/src/command/NVRP_RORERER_10.def"
mkdir -p "$out/ship" && cp "$out/i686/src/NVRP_RORERER_10.dll" "$out/ship/"
echo "32-bit DLL: $out/ship/NVRP_RORERER_10.dll"
((ship)) && exit 0

echo "=== Windows 64-bit DLL and tests under Wine ==="
# The device simulator is a Linux program: take it from a Linux build, or build just it.
if [[ -z $linux_build ]]; then
  linux_build=$out/linux-sim
  cmake -S . -B "$linux_build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DNVRP_BUILD_BENCH=OFF \
    >/dev/null
  cmake --build "$linux_build" -j "$jobs" --target ibox-sim
fi
ibox_sim=$(find "$linux_build" -name ibox-sim -type f -perm -u+x | head -1)
build_dll x86_64 tests

# Two simulators on free loopback ports: a healthy device and one that answers HTTP 500.
sim_log=$out/ibox-sim
mkdir -p "$sim_log"
start_sim() {
  local name=$1
  shift
  "$ibox_sim" "$@" >"$sim_log/$name.out" 2>&1 &
  sim_pids+=($!)
  for _ in $(seq 100); do
    grep -q 'listening on' "$sim_log/$name.out" && break
    sleep 0.05
  done
  sed -n 's/.*listening on http:\/\/127\.0\.0\.1:\([0-9]*\).*/\1/p' "$sim_log/$name.out"
}
sim_pids=()
stop_all() {
  for pid in "${sim_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$out/wineprefix /usr/lib/wine/wineserver -k 2>/dev/null || true
}
trap stop_all EXIT
IBOX_SIM_PORT=$(start_sim healthy)
IBOX_SIM_500_PORT=$(start_sim failing --sticky-fault http-status:500:failure)
export IBOX_SIM_PORT IBOX_SIM_500_PORT

# One Wine prefix and one wineserver for the whole run; the device is reached without a proxy.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wineserver -p || [[ $? -eq 2 ]]
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
# Serial lines for the transport tests: pseudo-terminals in raw mode whose Linux side runs the
# given Python code with the line's other end as "master", linked as COM<n> for Wine. Two-digit
# ports are reached only as \\.\COM<n>.
start_test_line() {
  local name=$1 com=$2 body=$3
  python3 -c "import os, tty
master, line = os.openpty()
tty.setraw(line)
print(os.ttyname(line), flush=True)
$body" >"$sim_log/$name.out" 2>&1 &
  sim_pids+=($!)
  for _ in $(seq 100); do
    [[ -s $sim_log/$name.out ]] && break
    sleep 0.05
  done
  local device
  device=$(head -1 "$sim_log/$name.out")
  [[ $device == /dev/* ]] || return 1  # the tests of this line are skipped
  ln -sfn "$device" "$WINEPREFIX/dosdevices/com$com"
}
# Sends back every byte.
start_test_line echo-line 10 '
while True:
    try:
        data = os.read(master, 4096)
    except OSError:
        break
    if not data:
        break
    os.write(master, data)' && export NVRP_WINE_ECHO_COM=10
# Never reads: writes to it stall.
start_test_line stalled-line 11 '
import time
time.sleep(1e6)' && export NVRP_WINE_STALLED_COM=11
# A printer for the spooler tests: a private CUPS queue writing each job to a file.
if [[ -x /usr/sbin/cupsd ]]; then
  read -r printer_port printer_pid < <(bash "$root/scripts/wine_test_printer.sh" "$sim_log/cups")
  sim_pids+=("$printer_pid")
  export CUPS_SERVER=127.0.0.1:$printer_port NVRP_WINE_PRINTER=NVRP_Test_File
  export NVRP_WINE_PRINTER_OUTPUT=$sim_log/cups/out/job.prn
fi
(cd "$out/x86_64" && ctest --output-on-failure -j "$jobs")
# The tests of numbers in the host's format once more, as a host in a Greek user locale: Wine
# takes it from the Unix locale of the program it starts.
for suite in documents device command; do
  (cd "$out/x86_64/tests" && env -u LC_ALL -u LC_NUMERIC LANG=el_GR.UTF-8 \
     NVRP_TEST_HOST_LOCALE=el_GR.UTF-8 /usr/lib/wine/wine64 "${suite}_tests.exe" \
     --gtest_filter='*HostDecimal*:*HostLocale*' --gtest_brief=1)
done
