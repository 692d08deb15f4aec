#!/usr/bin/env bash
# Splits the one reviewed suppressions list into the files each sanitizer runtime reads:
# lsan.supp, tsan.supp and ubsan.supp in OUT_DIR. Every entry must give its reason after "#";
# an entry without one is refused, so that nothing is silenced without a word.
# Usage: split-suppressions.sh LIST OUT_DIR
set -euo pipefail
list=$1
out=$2
: >"$out/lsan.supp"
: >"$out/tsan.supp"
: >"$out/ubsan.supp"
line_number=0
while IFS= read -r line || [ -n "$line" ]; do
    line_number=$((line_number + 1))
    case "$line" in '' | '#'*) continue ;; esac
    entry=$(printf '%s' "${line%%#*}" | sed 's/[[:space:]]*$//')
    reason=$(printf '%s' "${line#*#}" | sed 's/^[[:space:]]*//')
    if [ "$entry" = "$line" ] || [ -z "$reason" ] || [ -z "$entry" ]; then
        echo "$list:$line_number: a suppression needs its reason after \"#\": $line" >&2
        exit 1
    fi
    case "${entry%%:*}" in
    leak) echo "$entry" >>"$out/lsan.supp" ;;
    race | race_top | thread | mutex | signal | deadlock | called_from_lib) echo "$entry" >>"$out/tsan.supp" ;;
    *) echo "$entry" >>"$out/ubsan.supp" ;;
    esac
done <"$list"
