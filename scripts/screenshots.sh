#!/usr/bin/env bash
# Takes screenshots of the main window (each tab, the advanced rows shown and hidden, a run in
# progress), of the URL Grabber (idle and crawling), of the Multi-Threading dialog, of the
# Scheduler dialog (idle and armed), of the update notice, the about box (its rain running) and the
# feedback window under a virtual X server, as PNG files.
#   scripts/screenshots.sh [OUTPUT_FOLDER] [SCALE]
# OUTPUT_FOLDER defaults to docs/screenshots; SCALE (for example 2) sets QT_SCALE_FACTOR to check
# the window at high DPI.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs/screenshots}"
scale="${2:-1}"
build="${BUILD_DIR:-build}"

scripts/install-deps.sh
[ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j 2 --target harvestline-screenshots

mkdir -p "$out"
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
xvfb-run --auto-servernum --server-args="-screen 0 1600x1200x24" "$build/tools/harvestline-screenshots" "$out"
