#!/usr/bin/env bash
# Installs the library into a scratch prefix and builds the C example against the installed
# tree twice, once through its CMake package and once through pkg-config; both programs then
# print a receipt, an X and a Z report on the ibox-sim program. The installed fiscalctl loads
# the installed library.
# Arguments: build directory, source directory, scratch directory, ibox-sim program,
# C compiler, extra compiler and linker flags (may be empty), then optionally the commands for
# the example (its default: PRINTFR PRINTXR PRINTZR).
set -euo pipefail
source "$(dirname "$0")/../support/ibox_sim.sh"
build_dir=$1 source_dir=$2 work=$3 simulator=$4 compiler=$5 extra_flags=$6
shift 6
commands=("$@")

rm -rf "$work"
mkdir -p "$work/host"
prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log"

for file in include/nvrp_rorerer_10.h lib/libNVRP_RORERER_10.so \
  lib/cmake/NVRP_RORERER_10/NVRP_RORERER_10Config.cmake lib/pkgconfig/NVRP_RORERER_10.pc \
  lib/NVRP_RORERER_10.ini.sample bin/fiscalctl bin/ibox-sim; do
  [[ -f $prefix/$file ]] || { echo "not installed: $file" >&2; exit 1; }
done

warnings="-Wall -Wextra -Wpedantic -Wshadow -Werror"
# find_package and the imported target.
cmake -S "$source_dir/examples/c" -B "$work/cmake-host" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_COMPILER="$compiler" \
  -DCMAKE_C_FLAGS="$warnings $extra_flags" -DCMAKE_EXE_LINKER_FLAGS="$extra_flags" \
  >"$work/cmake-host.log"
cmake --build "$work/cmake-host" >>"$work/cmake-host.log"
# pkg-config.
read -r -a pc_flags <<<"$(PKG_CONFIG_PATH=$prefix/lib/pkgconfig pkg-config --cflags --libs NVRP_RORERER_10)"
read -r -a extra <<<"$extra_flags"
"$compiler" -std=c11 $warnings "${extra[@]}" "$source_dir/examples/c/print_day.c" \
  "${pc_flags[@]}" -o "$work/pkg-config-host"

start_ibox_sim "$work/ibox-sim.out" "$simulator"
port=$sim_port

# The host folder gets its payment codes first, from the installed sample, as the README shows.
cp "$prefix/lib/NVRP_RORERER_10.ini.sample" "$work/host/NVRP_RORERER_10.ini"
export NVRP_HOST_DIR=$work/host
for host in "$work/cmake-host/print_day" "$work/pkg-config-host"; do
  answers=$work/$(basename "$host").out
  # Both find the installed library by their run path: CMake's for the imported target, the
  # pkg-config file's -Wl,-rpath for the other. No LD_LIBRARY_PATH.
  if ! env -u LD_LIBRARY_PATH "$host" 127.0.0.1 "$port" "${commands[@]}" >"$answers"; then
    echo "$host failed:" >&2
    cat "$answers" >&2
    exit 1
  fi
  if ! grep -q "^<ReceiptNumber>[1-9][0-9]*</ReceiptNumber>" "$answers" ||
    { ((${#commands[@]} == 0)) && ! grep -q "^<ZReportNumber>[1-9][0-9]*</ZReportNumber>" "$answers"; }; then
    echo "$host: no receipt or Z report number in its answers:" >&2
    cat "$answers" >&2
    exit 1
  fi
  echo "ok: $(basename "$host")"
done

# The installed fiscalctl loads the library of the installed tree, not the build's.
installed_library=$(realpath "$prefix/lib/libNVRP_RORERER_10.so")
env -u NVRP_LIBRARY "$prefix/bin/fiscalctl" --help | grep -qF "$installed_library" ||
  { echo "the installed fiscalctl does not load $installed_library" >&2; exit 1; }
version=$(env -u NVRP_LIBRARY "$prefix/bin/fiscalctl" VERSION NVRP_RORERER_10)
[[ $version == *"Version "* ]] || { echo "installed fiscalctl VERSION: $version" >&2; exit 1; }
echo "ok: installed fiscalctl"
