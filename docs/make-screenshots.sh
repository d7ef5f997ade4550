#!/usr/bin/env bash
# Regenerates the README's pictures in docs/: a simulated 19-minute drive, decoded by the
# program's own windows off the screen and photographed by velmora-shot.
# usage: docs/make-screenshots.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
tools="$build/tools"
work="$build/screenshots"
rm -rf "$work"
mkdir -p "$work"

# Seed 3 with 12 GPS satellites ends on a fix, the GPS table full and 8 GLONASS beside it.
"$tools/velmora-sim" --write "$work/drive.txt" --epochs 1150 --seed 3 --gps 12
"$tools/velmora-shot" --decode "$work/drive.txt" --sky --track --out "$work/window"
"$tools/velmora-shot" --decode "$work/drive.txt" --panel --out "$work/panel"

cp "$work/window/main.png" docs/main.png
cp "$work/window/sky.png" docs/sky.png
cp "$work/window/track.png" docs/track.png
cp "$work/window/about.png" docs/about.png
cp "$work/panel/main.png" docs/panel.png
echo "docs/: main.png panel.png sky.png track.png about.png"
