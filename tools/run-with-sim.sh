#!/usr/bin/env bash
# Starts the program; with no receiver linked as COM1, a simulated one streams there meanwhile.
set -u
build=${1:-build}
ports="$HOME/.velmora/ports"
sim_pid=""
if [ ! -e "$ports/com1" ] && [ -x "$build/tools/velmora-sim" ]; then
  "$build/tools/velmora-sim" --port 1 --baud 38400 >/dev/null &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$ports/com1" ] && break; sleep 0.1; done
  echo "velmora-sim streams on COM1 at 38400 baud: press 开 始 to see it."
fi
"$build/velmora"
status=$?
[ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
exit $status
