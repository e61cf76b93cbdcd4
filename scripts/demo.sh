#!/usr/bin/env bash
# The main job end to end: starts the iBox simulator, opens a device on it through the driver
# library, prints an example receipt (saving its picture) and closes the device, all with
# fiscalctl. Installs what is missing and builds the three targets it needs first.
#   --build DIR   use the configured build directory DIR instead (no package installation;
#                 the three targets are brought up to date there)
set -euo pipefail
cd "$(dirname "$0")/.."

build=
case ${1:-} in
  --build)
    [[ -n ${2:-} && -f ${2:-}/CMakeCache.txt ]] || {
      echo "usage: scripts/demo.sh [--build DIR]  (DIR: a configured build directory)" >&2
      exit 2
    }
    build=${2%/}
    ;;
  "") ;;
  *)
    echo "usage: scripts/demo.sh [--build DIR]" >&2
    exit 2
    ;;
esac

if [[ -z $build ]]; then
  bash scripts/setup.sh
  build=build-release
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target NVRP_RORERER_10 fiscalctl ibox-sim

demo_dir=$(cd "$build" && pwd)/demo
mkdir -p "$demo_dir"
# The library writes its LogFiles here instead of beside fiscalctl, and reads the device's
# payment codes (NVRP_RORERER_10.ini) from here.
export NVRP_HOST_DIR=$demo_dir
cp examples/NVRP_RORERER_10.ini "$demo_dir/"
picture=$demo_dir/receipt.jpg
rm -f "$picture"

# The simulator picks a free port and prints "ibox-sim listening on http://127.0.0.1:PORT".
sim_output=$demo_dir/ibox-sim.out
"$build/tools/ibox-sim" --port 0 >"$sim_output" 2>&1 &
sim_pid=$!
stop_simulator() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}
trap stop_simulator EXIT

port=
for _ in $(seq 100); do
  port=$(sed -n 's|^ibox-sim listening on http://127\.0\.0\.1:\([0-9][0-9]*\).*|\1|p' "$sim_output")
  [[ -n $port ]] && break
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "ibox-sim did not start:" >&2
    cat "$sim_output" >&2
    exit 1
  fi
  sleep 0.1
done
if [[ -z $port ]]; then
  echo "ibox-sim printed no listening line" >&2
  exit 1
fi
echo "iBox simulator listening on port $port (watch it print: http://127.0.0.1:$port/ui)"
echo

# One fiscalctl run, so that the device OPEN creates stays open for PRINTFR and CLOSE:
# fiscalctl puts the handle OPEN answers into the later requests.
status=0
answers=$demo_dir/answers.txt
"$build/tools/fiscalctl" --set "Port=$port" --save-image "$picture" \
  OPEN examples/open.xml PRINTFR examples/receipt.xml CLOSE examples/close.xml |
  tee "$answers" || status=$?

echo
handle=$(sed -n 's|^<Handle>\([0-9]*\)</Handle>$|\1|p' "$answers" | head -n 1)
echo "Device handle: ${handle:-none}"
if [[ -f $picture ]]; then
  echo "Receipt picture: $picture"
else
  echo "Receipt picture: not written (see the PRINTFR answer above)"
fi
echo "Logs: $demo_dir/LogFiles"
exit "$status"
