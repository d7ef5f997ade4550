#!/usr/bin/env bash
# The soak (make soak; outside make test): a generated 24-hour receiver stream (both systems,
# fixes lost and regained, more than 12 GPS satellites) replayed through the main window tick
# after tick, memory and descriptors sampled along the way; then the long variants of the
# fault tests: 1,000 Start/Stop cycles and minutes of a wrong line speed and of line noise.
#   tests/soak/soak.sh BUILD_DIR
# SOAK_EPOCHS (default 86400, one a simulated second) shortens the stream; SOAK_DIR (default
# BUILD_DIR/soak) keeps the stream, the samples (replay.csv) and the reports.
set -euo pipefail
build=${1:-build}
epochs=${SOAK_EPOCHS:-86400}
out=${SOAK_DIR:-$build/soak}
export LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen
mkdir -p "$out"

stream="$out/stream-$epochs.txt"
if [ ! -s "$stream" ]; then
  "$build/tools/velmora-sim" --write "$stream.part" --epochs "$epochs" --gps 14
  mv "$stream.part" "$stream"
fi
# What the stream holds, so that the report can say it covers what it must.
awk -F, '
  /GGA,/ { if ($7 == "0") { if (fixed) lost++; fixed = 0; nofix++ } else { fixed = 1; fix++ } }
  /^\$GPGSV/ { if ($4 + 0 > gps) gps = $4 + 0 }
  /^\$GLGSV/ { glonass++ }
  END { printf "stream: %d epochs with a fix, %d without, fix lost %d times, up to %d GPS in view, %d GLGSV sentences\n", fix, nofix, lost, gps, glonass }
' "$stream" | tee "$out/stream.txt"

# One simulated hour of warm-up (the monitor fills to its limit, caches settle).
warm=$((epochs >= 7200 ? 3600 : epochs / 10))
status=0
echo "== replay of $epochs epochs, ticks back to back, sampled every 10 s into $out/replay.csv"
if "$build/tests/soak/velmora-soak-replay" --replay "$stream" --csv "$out/replay.csv" \
  --warm-up "$warm" | tee "$out/replay.txt"; then
  echo "replay: pass"
else
  echo "replay: FAIL"
  status=1
fi

run_long() {
  local scale=$1 filter=$2
  echo "== $filter at $scale times their length in make test"
  if VELMORA_FAULT_SCALE=$scale "$build/tests/test_app" --gtest_filter="$filter" \
    >"$out/faults-$scale.txt" 2>&1; then
    grep -E "cycles:|storm:|speed:|OK \]" "$out/faults-$scale.txt" || true
  else
    grep -E "cycles:|storm:|speed:|Failure|FAILED|Expected|actual" "$out/faults-$scale.txt" || true
    status=1
  fi
}
run_long 5 'LiveFault.StartStopCycles*'
run_long 30 'LiveFault.AReceiverAtTheWrongSpeed*:LiveFault.ANoiseStorm*'

[ $status -eq 0 ] && echo "soak: pass" || echo "soak: FAIL"
exit $status
