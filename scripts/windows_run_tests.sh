#!/usr/bin/env bash
# Runs the tests of one Windows build folder under Wine, with one wineserver for the run:
# CTest, then the tests of numbers in the host's format once more as a host in a Greek user
# locale. Called by scripts/windows.sh: on this machine for the 64-bit build, inside the 32-bit
# Wine root (scripts/wine32.sh run) for the 32-bit one.
# Usage: windows_run_tests.sh BUILD_DIR WINE WINESERVER
# The environment holds WINEPREFIX, the simulators' ports and, when the lines exist, the
# pseudo-terminals NVRP_WINE_ECHO_DEVICE and NVRP_WINE_STALLED_DEVICE, linked here as COM10 and
# COM11 (two-digit ports are reached only as \\.\COM<n>).
set -euo pipefail
build=$1
wine=$2
wineserver=$3
jobs=$(nproc)

mkdir -p "$WINEPREFIX"
# Its own output (on being stopped it lists every object it held) goes to a file.
"$wineserver" -p 2>"$build/wineserver.log" || [[ $? -eq 2 ]]
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
if [[ -n ${NVRP_WINE_ECHO_DEVICE:-} ]]; then
  ln -sfn "$NVRP_WINE_ECHO_DEVICE" "$WINEPREFIX/dosdevices/com10"
  export NVRP_WINE_ECHO_COM=10
fi
if [[ -n ${NVRP_WINE_STALLED_DEVICE:-} ]]; then
  ln -sfn "$NVRP_WINE_STALLED_DEVICE" "$WINEPREFIX/dosdevices/com11"
  export NVRP_WINE_STALLED_COM=11
fi

status=0
(cd "$build" && ctest --output-on-failure -j "$jobs") || status=1
# Wine takes the user locale from the Unix locale of the program it starts.
for suite in documents device command; do
  (cd "$build/tests" && env -u LC_ALL -u LC_NUMERIC LANG=el_GR.UTF-8 \
     NVRP_TEST_HOST_LOCALE=el_GR.UTF-8 "$wine" "${suite}_tests.exe" \
     --gtest_filter='*HostDecimal*:*HostLocale*' --gtest_brief=1) || status=1
done
exit "$status"
