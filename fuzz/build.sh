#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, address and undefined-behaviour sanitizers, against the
# core sources each one needs (not through the main build). Usage: fuzz/build.sh [OUT_DIR [TARGET...]]
# builds every target, or only the TARGETs named.
# Run a target with a corpus folder, for example:
#   build-fuzz/http_reply_fuzzer -max_total_time=600 fuzz/corpus/http_reply
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT=$(realpath -m "${1:-$ROOT/build-fuzz}")
mkdir -p "$OUT"
shift || true
ONLY=" $* "

CXX=${CXX:-clang++}
FLAGS=(-std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined -I"$ROOT/src")
read -r -a QT <<<"$(pkg-config --cflags --libs Qt6Core)"

JOBS=${JOBS:-2}
pids=()

# build TARGET SOURCE...: one fuzzer from its own file and the core sources it reads through,
# JOBS of them at a time.
build() {
    local target=$1
    shift
    [ "$ONLY" = "  " ] || [[ "$ONLY" == *" $target "* ]] || return 0
    local sources=()
    for s in "$@"; do sources+=("$ROOT/src/$s"); done
    echo "building $OUT/$target"
    while [ "$(jobs -rp | wc -l)" -ge "$JOBS" ]; do sleep 0.2; done
    "$CXX" "${FLAGS[@]}" "$ROOT/fuzz/$target.cpp" "${sources[@]}" "${QT[@]}" -lz -o "$OUT/$target" &
    pids+=($!)
}

build http_reply_fuzzer \
    protocols/httpreplyreader.cpp protocols/httpreplyparser.cpp protocols/httpheaderlist.cpp \
    protocols/httpresponse.cpp protocols/contentdecoder.cpp protocols/compressorzlib.cpp \
    protocols/httpcharset.cpp protocols/httpuri.cpp protocols/iohandlersocket.cpp protocols/tcpsocket.cpp \
    protocols/hostresolver.cpp protocols/socketerror.cpp protocols/ipaddress.cpp protocols/happyeyeballs.cpp

build ftp_reply_fuzzer \
    protocols/ftpreply.cpp protocols/ftppassive.cpp protocols/hostresolver.cpp protocols/socketerror.cpp protocols/ipaddress.cpp

build settings_files_fuzzer \
    platform/textencoding.cpp platform/ansicodepage.cpp platform/utf8check.cpp settings/inifile.cpp \
    settings/textlines.cpp settings/listfiles.cpp platform/filecontents.cpp

build auth_cookie_fuzzer \
    protocols/httpauthschemes.cpp protocols/basicauthenticator.cpp protocols/digestauthenticator.cpp \
    protocols/httpchallenge.cpp protocols/authcharset.cpp protocols/asciitext.cpp protocols/httpcookiejar.cpp \
    protocols/setcookie.cpp protocols/cookiedate.cpp protocols/httpheaderlist.cpp protocols/httpuri.cpp protocols/ipaddress.cpp

build socks_reply_fuzzer \
    protocols/sockshandshake.cpp protocols/asciitext.cpp protocols/hostresolver.cpp protocols/socketerror.cpp protocols/ipaddress.cpp

build ftp_passive_fuzzer \
    protocols/ftppassive.cpp protocols/hostresolver.cpp protocols/socketerror.cpp protocols/ipaddress.cpp

build url_merge_fuzzer \
    protocols/httpuri.cpp protocols/ipaddress.cpp

build file_naming_fuzzer \
    engine/filenaming.cpp protocols/httpreplyparser.cpp protocols/httpuri.cpp protocols/ipaddress.cpp

build csv_split_fuzzer \
    engine/csvsplit.cpp platform/standardfolders.cpp

build list_lines_fuzzer \
    engine/ftpurl.cpp engine/urlrewriting.cpp engine/filenaming.cpp engine/runstart.cpp engine/proxyline.cpp \
    engine/proxyroute.cpp engine/proxyrotation.cpp platform/textencoding.cpp platform/ansicodepage.cpp \
    platform/utf8check.cpp platform/standardfolders.cpp platform/writeprobe.cpp settings/textlines.cpp \
    protocols/idsocks.cpp protocols/sockshandshake.cpp protocols/asciitext.cpp protocols/iohandlersocket.cpp \
    protocols/tcpsocket.cpp protocols/hostresolver.cpp protocols/socketerror.cpp protocols/ipaddress.cpp protocols/happyeyeballs.cpp

build grabber_scan_fuzzer \
    grabber/asciicase.cpp grabber/urlresolution.cpp grabber/grabscope.cpp grabber/linkscanner.cpp \
    grabber/linkpipeline.cpp grabber/urllistappender.cpp platform/textencoding.cpp platform/ansicodepage.cpp \
    platform/utf8check.cpp settings/textlines.cpp

# A failed compiler run fails the build.
failed=0
for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
exit $failed
