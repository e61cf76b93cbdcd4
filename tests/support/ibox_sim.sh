# Sourced by the shell tests: starts the ibox-sim program on a free loopback port.
# start_ibox_sim OUTPUT_FILE COMMAND... runs COMMAND (the simulator and its arguments, or a
# wrapper such as env around it) with --port 0, sets sim_pid and sim_port, and stops the
# simulator when the test exits. The simulator prints "ibox-sim listening on
# http://127.0.0.1:PORT" once it listens.
start_ibox_sim() {
  local output=$1
  shift
  "$@" --port 0 >"$output" 2>&1 &
  sim_pid=$!
  trap 'kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true' EXIT
  sim_port=
  for _ in $(seq 100); do
    sim_port=$(sed -n 's|^ibox-sim listening on http://127\.0\.0\.1:\([0-9][0-9]*\)$|\1|p' "$output")
    [[ -n $sim_port ]] && return 0
    sleep 0.1
  done
  echo "ibox-sim did not start" >&2
  cat "$output" >&2
  return 1
}
