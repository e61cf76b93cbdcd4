#!/usr/bin/env bash
# The Delphi / Free Pascal unit: its test program and the example program built with
# fpc -Mdelphi; the test checks the strings and commands, the example prints a receipt on the
# ibox-sim program, through the library of this build. Exits 77 (skipped) without fpc.
# Arguments: source directory, scratch directory, library file, ibox-sim program.
set -euo pipefail
source "$(dirname "$0")/../support/ibox_sim.sh"
source_dir=$1 work=$2 library=$3 simulator=$4

if ! command -v fpc >/dev/null; then
  echo "skipped: fpc not found (Debian package fp-compiler; scripts/setup.sh installs it)"
  exit 77
fi

rm -rf "$work"
mkdir -p "$work/host" "$work/units"
unit_dir=$source_dir/bindings/pascal
library_dir=$(dirname "$library")
for program in "$unit_dir/tests/nvrp_unit_test.dpr" "$unit_dir/print_receipt.dpr"; do
  if ! fpc -Mdelphi -Sew -Fu"$unit_dir" -Fl"$library_dir" -FU"$work/units" -FE"$work" \
    "$program" >"$work/fpc.log" 2>&1; then
    cat "$work/fpc.log" >&2
    exit 1
  fi
done
export LD_LIBRARY_PATH=$library_dir${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}
# The host folder gets its payment codes first.
cp "$source_dir/examples/NVRP_RORERER_10.ini" "$work/host/"
export NVRP_HOST_DIR=$work/host
# Free Pascal's heap is its own, so with a sanitized library every malloc block is the
# library's: a string the unit fails to free is a leak that fails the test.
if [[ -n ${ASAN_OPTIONS:-} ]]; then export ASAN_OPTIONS=${ASAN_OPTIONS//detect_leaks=0/detect_leaks=1}; fi
"$work/nvrp_unit_test"

start_ibox_sim "$work/ibox-sim.out" env -u LD_PRELOAD "$simulator"
port=$sim_port

"$work/print_receipt" 127.0.0.1 "$port" | tee "$work/print_receipt.out"
grep -q "^Receipt [1-9][0-9]* printed$" "$work/print_receipt.out"
