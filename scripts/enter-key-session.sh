#!/usr/bin/env bash
# Presses Enter in every control of the main window with real key presses and clicks (xdotool)
# under a virtual X server, and prints for each control whether the press started a run, against
# what it should do. Exit status 0 when every control behaved.
#   scripts/enter-key-session.sh
# With BUILD_DIR set to a built tree (as ctest does) it neither installs nor builds anything.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
session="$build/tools/harvestline-enter-session"

if [ -z "${BUILD_DIR:-}" ]; then
    scripts/install-deps.sh
    [ -f "$build/build.ninja" ] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build "$build" -j 2 --target harvestline-enter-session
fi
[ -x "$session" ] || { echo "missing $session" >&2; exit 2; }

export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
xvfb-run --auto-servernum --server-args="-screen 0 1280x1024x24" "$session"
