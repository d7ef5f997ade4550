#!/usr/bin/env bash
# Offline decoding, whole process timed (start-up included): velmora-decode --final against
# gpsdecode -j on the same file, the largest capture repeated four times, alternating runs.
#   bench/scripts/decode-speed.sh BUILD_DIR [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
root=$(cd "$(dirname "$0")/../.." && pwd)
capture=$(ls -S "$root"/../shared/captures/*.log 2>/dev/null | head -n 1)
[ -n "$capture" ] || { echo "no captures found beside the project"; exit 1; }
input="$build/bench-decode-input.log"
for _ in 1 2 3 4; do cat "$capture"; done > "$input"
sentences=$(grep -c '^\$' "$input" || true)
best() { sort -n | head -n 1; }
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1 < "$input"; e=$(date +%s.%N); echo "$e - $s" | bc; }
velmora=() gps=()
for _ in $(seq "$runs"); do
  velmora+=("$(seconds "$build/tools/velmora-decode" --final "$input")")
  gps+=("$(seconds gpsdecode -j)")
done
v=$(printf '%s\n' "${velmora[@]}" | best)
g=$(printf '%s\n' "${gps[@]}" | best)
echo "input: $(basename "$capture") x4, $(stat -c %s "$input") bytes, $sentences sentences"
printf 'velmora-decode --final: best of %d %.3f s, %.0f sentences/s\n' "$runs" "$v" "$(echo "$sentences / $v" | bc -l)"
printf 'gpsdecode -j:           best of %d %.3f s, %.0f sentences/s\n' "$runs" "$g" "$(echo "$sentences / $g" | bc -l)"
