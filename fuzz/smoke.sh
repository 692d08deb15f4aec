#!/usr/bin/env bash
# Runs every fuzz target that fuzz/build.sh built for a short while, starting from its corpus
# fuzz/corpus/<name> (the target's name without "_fuzzer"). Inputs found on the way go to a scratch
# folder, so the committed corpora stay as they are. Fails when any target finds a crash, a leak,
# a time-out or a broken invariant; the log of each run stays in OUT_DIR/smoke/.
# Usage: fuzz/smoke.sh [OUT_DIR]; SECONDS_PER_TARGET (default 30), JOBS (targets at once, default 2),
# FUZZ_SEED (default 1: the same mutations each run, so that a CI failure can be replayed; 0 draws
# a new seed).
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(realpath -m "${1:-$ROOT/build-fuzz}")
SECONDS_PER_TARGET=${SECONDS_PER_TARGET:-30}
FUZZ_SEED=${FUZZ_SEED:-1}
JOBS=${JOBS:-2}
LOGS=$OUT/smoke
rm -rf "$LOGS"
mkdir -p "$LOGS"

# smoke TARGET: one run; prints one line with libFuzzer's final figures, or the log's end.
smoke() {
    local target=$1
    local name=${target%_fuzzer}
    local corpus=$ROOT/fuzz/corpus/$name
    local scratch=$LOGS/$name.new
    mkdir -p "$scratch"
    if [ ! -d "$corpus" ]; then
        echo "$target: no corpus folder fuzz/corpus/$name, starting from nothing"
        corpus=""
    fi
    if "$OUT/$target" -max_total_time="$SECONDS_PER_TARGET" -seed="$FUZZ_SEED" -timeout=20 -rss_limit_mb=2048 \
        -artifact_prefix="$LOGS/$name-" -print_final_stats=1 "$scratch" ${corpus:+"$corpus"} \
        >"$LOGS/$name.log" 2>&1; then
        local execs cov
        execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$LOGS/$name.log")
        cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$LOGS/$name.log" | tail -1)
        echo "$target: passed, $execs runs, $cov"
    else
        echo "$target: FAILED (log: $LOGS/$name.log)"
        tail -n 40 "$LOGS/$name.log"
        return 1
    fi
}
export -f smoke
export ROOT OUT SECONDS_PER_TARGET FUZZ_SEED LOGS

targets=()
for path in "$OUT"/*_fuzzer; do
    [ -x "$path" ] && targets+=("$(basename "$path")")
done
if [ ${#targets[@]} -eq 0 ]; then
    echo "no fuzz targets in $OUT: run fuzz/build.sh first" >&2
    exit 1
fi
echo "fuzzing ${#targets[@]} targets for $SECONDS_PER_TARGET s each, $JOBS at a time"
printf '%s\n' "${targets[@]}" | xargs -P "$JOBS" -I{} bash -c 'smoke "$@"' _ {}
