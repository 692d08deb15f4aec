#!/usr/bin/env bash
# Builds Harvestline with a sanitizer in a build folder of its own and runs the unit, interop and
# gui tests under it. A test passes only when its processes make no report at all.
#   scripts/sanitize.sh address [CTEST_ARGS...]  AddressSanitizer, UndefinedBehaviorSanitizer and
#                                                the leak checker, in build-asan/
#   scripts/sanitize.sh thread [CTEST_ARGS...]   ThreadSanitizer, in build-tsan/
# JOBS (default 2) sets the build and test parallelism. Reports in third-party code are suppressed
# through tests/sanitizers/suppressions.txt; tests that cannot run under a sanitizer are listed in
# tests/sanitizers/<sanitizer>-excluded.txt.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
SANITIZER=${1:?usage: scripts/sanitize.sh address|thread [ctest arguments]}
shift
case "$SANITIZER" in
address) BUILD_DIR=$ROOT/build-asan ;;
thread) BUILD_DIR=$ROOT/build-tsan ;;
*)
    echo "unknown sanitizer '$SANITIZER': address or thread" >&2
    exit 2
    ;;
esac
JOBS=${JOBS:-2}

# One reviewed list for every sanitizer; each runtime reads only the kinds it knows.
SUPPRESSIONS=$BUILD_DIR/suppressions
mkdir -p "$SUPPRESSIONS"
"$ROOT/tests/sanitizers/split-suppressions.sh" "$ROOT/tests/sanitizers/suppressions.txt" "$SUPPRESSIONS"

# Also set while building: the build runs each test program once to list its tests.
export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_invalid_pointer_pairs=0"
export LSAN_OPTIONS="suppressions=$SUPPRESSIONS/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:suppressions=$SUPPRESSIONS/ubsan.supp"
# QProcess starts harvestline-cli from a test that already runs server threads; the child only
# execs, which ThreadSanitizer cannot tell, so it must not end the child for the threads it had.
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:die_after_fork=0:suppressions=$SUPPRESSIONS/tsan.supp:print_suppressions=0"

if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    # ccache when there is one: CI builds three trees and most objects repeat between runs.
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # No build type: the sanitizer flags bring their own optimisation and debug levels.
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE= -DHARVESTLINE_SANITIZER="$SANITIZER" \
        -DHARVESTLINE_BENCH=OFF -DHARVESTLINE_TOOLS=OFF "${launcher[@]}"
fi
cmake --build "$BUILD_DIR" -j "$JOBS"

excluded=()
exclusions="$ROOT/tests/sanitizers/$SANITIZER-excluded.txt"
if [ -f "$exclusions" ]; then
    # Lines "TestSuite.TestName   # reason"; the names are joined into one ctest exclusion.
    pattern=$(sed -e 's/#.*//' -e 's/[[:space:]]//g' -e '/^$/d' "$exclusions" | paste -sd '|')
    [ -n "$pattern" ] && excluded=(-E "^($pattern)\$")
fi
cd "$BUILD_DIR"
ctest --output-on-failure -j "$JOBS" -L '^(unit|interop|gui)$' "${excluded[@]}" "$@"
