#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for a while:
#   tests/fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON \
  -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j 2
# Seeds: the project's test data and generated receiver streams (captures stay where they are).
seeds="$build/seeds"
mkdir -p "$seeds"
cp -f "$root"/tests/data/* "$seeds"/ 2>/dev/null || true
if [ -x "$build/tools/velmora-sim" ]; then
  for seed in 1 2 3; do
    "$build/tools/velmora-sim" --write "$seeds/sim-$seed.txt" --epochs 40 --seed $seed --gps 14
  done
fi
export QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
# Leaks inside system libraries (fontconfig's caches) are not ours; see the file for each.
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
mkdir -p "$build/artifacts"
status=0
for target in "$build"/tests/fuzz/fuzz_*; do
  name=$(basename "$target")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for ${seconds}s"
  "$target" "$corpus" "$seeds" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
    -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" 2>"$build/$name.log" || status=1
  grep -E "stat::number_of_executed_units|stat::peak_rss_mb|ERROR|SUMMARY" "$build/$name.log" || true
  echo "corpus: $(ls "$corpus" | wc -l) inputs"
done
exit $status
