#!/usr/bin/env bash
# Throughput of Harvestline's transfer code against established tools, in the same run on the same
# machine, against a local nginx (pyftpdlib for FTP) on a free loopback port.
# Usage: bench/run.sh [BUILD_DIR [CASE...]] (CASE: a case name without "case_", for example
# proxy_single_256m; none: the default set).
#
# Each case is one function named case_*; add a case by adding a function (the helpers here and in
# common.sh start nginx, make test files and time commands with hyperfine). RUNS sets the
# repetitions per command.
set -euo pipefail

BUILD_DIR=$(realpath "${1:-build}")
RUNS=${RUNS:-5}
source "$(dirname "$0")/common.sh"

die() { echo "bench: $*" >&2; exit 1; }

# start_nginx ROOT [tls]: serves ROOT on 127.0.0.1 (stopping the nginx of an earlier case), with
# "tls" over https with a self-signed certificate for localhost; sets NGINX_PORT.
start_nginx() {
    local root=$1 prefix="$WORK/nginx" tls=""
    if [ -n "$NGINX_PID" ]; then kill "$NGINX_PID"; wait "$NGINX_PID" || true; NGINX_PID=""; fi
    mkdir -p "$prefix/temp"
    NGINX_PORT=$(free_port)
    if [ "${2:-}" = tls ]; then
        openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 2 \
            -keyout "$prefix/key.pem" -out "$prefix/cert.pem" 2>/dev/null
        tls=" ssl; ssl_certificate $prefix/cert.pem; ssl_certificate_key $prefix/key.pem"
    fi
    # A root master would hand the workers to a user that cannot read the private work folder.
    local user=""
    [ "$(id -u)" -eq 0 ] && user="user root root;"
    cat >"$prefix/nginx.conf" <<EOF
$user
worker_processes 1;
pid $prefix/nginx.pid;
error_log $prefix/error.log;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $prefix/temp/body;
  proxy_temp_path $prefix/temp/proxy;
  fastcgi_temp_path $prefix/temp/fastcgi;
  uwsgi_temp_path $prefix/temp/uwsgi;
  scgi_temp_path $prefix/temp/scgi;
  default_type application/octet-stream;
  sendfile on;
  tcp_nopush on;
  server {
    listen 127.0.0.1:$NGINX_PORT$tls;
    root $root;
  }
}
EOF
    /usr/sbin/nginx -p "$prefix" -c "$prefix/nginx.conf" -g 'daemon off;' &
    NGINX_PID=$!
    wait_for_port "$NGINX_PORT" || die "nginx did not come up: $(cat "$prefix/error.log")"
}

# start_pyftpdlib ROOT: serves ROOT read-only to anonymous users on 127.0.0.1 (passive data ports
# too); sets FTP_PORT.
start_pyftpdlib() {
    FTP_PORT=$(free_port)
    /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$FTP_PORT" -d "$1" >"$WORK/pyftpdlib.log" 2>&1 &
    FTP_PID=$!
    wait_for_port "$FTP_PORT" || die "pyftpdlib did not come up: $(cat "$WORK/pyftpdlib.log")"
}

# make_file PATH MIB: a file of random bytes, so that nothing along the way can shortcut zeros.
make_file() {
    head -c "$(($2 * 1024 * 1024))" /dev/urandom >"$1"
}

# measure AMOUNT UNIT NAME COMMAND [NAME COMMAND ...]: times each command RUNS times (after one
# warm-up) with its output ($WORK/out, a file or a folder) removed before each run, and prints the
# median rate of each in UNIT per second (MB: AMOUNT is bytes, counted in 10^6).
measure() {
    local amount=$1 unit=$2
    shift 2
    local args=() json="$WORK/result.json"
    while [ $# -gt 0 ]; do
        args+=(-n "$1" "$2")
        shift 2
    done
    hyperfine --style basic --warmup 1 --runs "$RUNS" --prepare "rm -rf $WORK/out" --export-json "$json" "${args[@]}" >&2
    /usr/bin/python3 - "$json" "$amount" "$unit" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
amount, unit = int(sys.argv[2]), sys.argv[3]
scale = 1e6 if unit == "MB" else 1
rates = {r["command"]: amount / scale / r["median"] for r in results}
for name, rate in rates.items():
    print(f"  {name:<26} {rate:9.1f} {unit}/s (median of {len(results[0]['times'])})")
names = list(rates)
for other in names[1:]:
    print(f"  ratio {names[0]} / {other}: {rates[names[0]] / rates[other]:.3f}")
EOF
}

# compare SIZE_BYTES NAME COMMAND [NAME COMMAND ...]: measure in MB/s.
compare() {
    local size=$1
    shift
    measure "$size" MB "$@"
}

# serve_random_file NAME MIB: a random file of MIB MiB under $WORK/files, served by nginx; sets URL.
serve_random_file() {
    mkdir -p "$WORK/files"
    make_file "$WORK/files/$1" "$2"
    start_nginx "$WORK/files"
    URL="http://127.0.0.1:$NGINX_PORT/$1"
}

# One 1 GiB file over plain HTTP into a file: the HTTP client against curl.
case_http_get_1g() {
    serve_random_file 1g.bin 1024
    local url=$URL
    echo "http_get_1g: GET of 1 GiB from nginx on loopback into a file"
    compare $((1024 * 1024 * 1024)) \
        harvestline "$BUILD_DIR/bench/harvestline-bench-httpget $url $WORK/out" \
        curl "curl --silent --show-error --fail --output $WORK/out $url"
}

CLI="$BUILD_DIR/src/harvestline-cli"

# One 512 MiB file with harvestline-cli (default options: HEAD, then GET into a .part file that is
# renamed) against curl.
case_cli_single_512m() {
    serve_random_file 512m.bin 512
    local url=$URL
    echo "cli_single_512m: one 512 MiB file from nginx on loopback"
    compare $((512 * 1024 * 1024)) \
        harvestline-cli "$CLI -d $WORK/out $url" \
        curl "curl --silent --show-error --fail --create-dirs --output $WORK/out/512m.bin $url"
    rm -f "$WORK/files/512m.bin"
}

# serve_small_files COUNT: COUNT random files of 4 KiB served by nginx; their URLs one per line in
# $WORK/small.txt (set as LIST) and as a curl configuration in $WORK/small-curl.cfg (CURLCFG).
serve_small_files() {
    local files="$WORK/files/small" count=$1
    mkdir -p "$files"
    for i in $(seq 0 $((count - 1))); do head -c 4096 /dev/urandom >"$files/f$i.bin"; done
    start_nginx "$WORK/files"
    LIST="$WORK/small.txt" CURLCFG="$WORK/small-curl.cfg"
    for i in $(seq 0 $((count - 1))); do echo "http://127.0.0.1:$NGINX_PORT/small/f$i.bin"; done >"$LIST"
    sed 's/.*/url = "&"/' "$LIST" >"$CURLCFG"
}

# 2000 files of 4 KiB, 16 at once: harvestline-cli without and with the HEAD for the server's file
# name, against aria2c and curl with the same parallelism. Every tool writes into $WORK/out.
case_cli_many_small() {
    local count=2000
    serve_small_files "$count"
    local list=$LIST curlcfg=$CURLCFG
    echo "cli_many_small: $count files of 4 KiB, 16 at once"
    measure "$count" files \
        "harvestline-cli -j16" "$CLI -d $WORK/out -j 16 --no-server-name -i $list" \
        "harvestline-cli -j16 (HEAD)" "$CLI -d $WORK/out -j 16 -i $list" \
        "aria2c -j16" "aria2c --quiet -j 16 -d $WORK/out -i $list" \
        "curl --parallel" "curl --silent --show-error --fail --parallel --parallel-max 16 --create-dirs --output-dir $WORK/out --remote-name-all -K $curlcfg"
}

# 100 files of 1 MiB over https, 16 at once: every harvestline-cli URL makes new connections (the
# first handshakes are full ones, the later ones resume their sessions), against aria2c and curl
# with the same parallelism. BASELINE_CLI=FILE adds another build's harvestline-cli.
case_cli_https_parallel() {
    local count=100 files="$WORK/files/https" list="$WORK/https.txt"
    mkdir -p "$files"
    for i in $(seq 0 $((count - 1))); do make_file "$files/f$i.bin" 1; done
    start_nginx "$WORK/files" tls
    for i in $(seq 0 $((count - 1))); do echo "https://127.0.0.1:$NGINX_PORT/https/f$i.bin"; done >"$list"
    sed 's/.*/url = "&"/' "$list" >"$WORK/https-curl.cfg"
    local baseline=()
    [ -n "${BASELINE_CLI:-}" ] && baseline=("baseline -j16" "$(realpath "$BASELINE_CLI") -d $WORK/out -j 16 -i $list")
    echo "cli_https_parallel: $count files of 1 MiB over https, 16 at once"
    measure "$count" files \
        "harvestline-cli -j16" "$CLI -d $WORK/out -j 16 -i $list" "${baseline[@]}" \
        "aria2c -j16" "aria2c --quiet --check-certificate=false -j 16 -d $WORK/out -i $list" \
        "curl --parallel" "curl --silent --show-error --fail --insecure --parallel --parallel-max 16 --create-dirs --output-dir $WORK/out --remote-name-all -K $WORK/https-curl.cfg"
    rm -rf "$files"
}

# The scheduler's pacing: 6 files of 4 KiB one after another with --wait 1 (five pauses, none after
# the last file), against the same run without pauses. The difference over 5 s is what a pause
# costs beyond its delay.
case_cli_wait_pacing() {
    serve_small_files 6
    local list=$LIST
    echo "cli_wait_pacing: 6 files of 4 KiB, sequential, with and without --wait 1"
    hyperfine --style basic --warmup 1 --runs "$RUNS" --prepare "rm -rf $WORK/out" \
        -n "harvestline-cli --wait 1" "$CLI -d $WORK/out --wait 1 -i $list" \
        -n "harvestline-cli" "$CLI -d $WORK/out -i $list"
}

# What the progress bar costs: 2000 files of 4 KiB, 16 at once, with standard output and error on a
# terminal (script(1)), where every log line lifts the bar and draws it again below itself; against
# the same run without the bar and off a terminal.
case_cli_terminal_many_small() {
    local count=2000
    serve_small_files "$count"
    local list=$LIST
    local run="$CLI -d $WORK/out -j 16 --no-server-name -i $list"
    echo "cli_terminal_many_small: $count files of 4 KiB, 16 at once, on a terminal"
    measure "$count" files \
        "terminal, bar" "TERM=xterm script -qec '$run' /dev/null" \
        "terminal, --no-progress" "TERM=xterm script -qec '$run --no-progress' /dev/null" \
        "off a terminal" "$run"
}

# Peak memory of a run of 100,000 URLs with 16 at once (each a 404 from nginx, so that the run is
# about the list and the engine rather than the disk).
case_cli_memory_100k() {
    local count=100000 list="$WORK/many.txt"
    mkdir -p "$WORK/files"
    start_nginx "$WORK/files"
    for i in $(seq 0 $((count - 1))); do echo "http://127.0.0.1:$NGINX_PORT/missing/m$i.bin"; done >"$list"
    echo "cli_memory_100k: $count URLs, 16 at once"
    /usr/bin/time -v "$CLI" -d "$WORK/out" -j 16 --no-server-name -i "$list" >/dev/null 2>"$WORK/errors.txt" || true
    grep -E "Maximum resident set size|Elapsed \(wall clock\)" "$WORK/errors.txt" | sed 's/^\s*/  /'
    echo "  error lines: $(grep -c '^(ERROR)' "$WORK/errors.txt") of $count"
}

# A 1 GiB file over FTP (passive, binary) through the whole download procedure of harvestline-cli
# (log-in, SIZE, RETR into the .part file, rename), against curl and wget.
case_ftp_get_1g() {
    mkdir -p "$WORK/files"
    [ -f "$WORK/files/1g.bin" ] || make_file "$WORK/files/1g.bin" 1024
    start_pyftpdlib "$WORK/files"
    local url="ftp://127.0.0.1:$FTP_PORT/1g.bin"
    echo "ftp_get_1g: RETR of 1 GiB from pyftpdlib on loopback into a file"
    compare $((1024 * 1024 * 1024)) \
        harvestline-cli "$CLI --no-skip-existing -d $WORK/out $url" \
        curl "curl --silent --show-error --fail --output $WORK/out $url" \
        wget "wget --quiet --output-document=$WORK/out $url"
}

# The rewrites the window makes on every change, synchronously on its thread: list.txt holding
# 100,000 URLs and settings.ini with every key set (medians of many rewrites, printed by the program).
case_settings_rewrites() {
    local bench="$BUILD_DIR/bench/harvestline-bench-settings"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "settings_rewrites: list.txt and settings.ini rewritten in full, as on every change"
    "$bench" 100000 "$WORK/settings"
}

# The URL Grabber's scan (scanner, link pipeline, duplicate test and appends) of synthetic pages of
# 2 MB with 20,000 links and 20 MB with 200,000 links: the medians, to show that the time grows with
# the page and no faster.
case_grabber_scan() {
    local bench="$BUILD_DIR/bench/harvestline-bench-grabber"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "grabber_scan: pages of 2 MB and 20 MB, about 100 bytes per link"
    "$bench" 20000 200000
}

# The URL Grabber window collecting a 20 MB page of 200,000 links from an in-process loopback
# server: the time to the closing report and the worst gap of the window's event loop.
case_window_grab() {
    local bench="$BUILD_DIR/bench/harvestline-bench-grabber-window"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "window_grab: a 20 MB page of 200,000 links into the URL list"
    QT_QPA_PLATFORM=offscreen "$bench" 200000
}

# The window's text editor at 100,000 lines: appending log lines early and late in a long log,
# loading, reading, scrolling and cleaning a long URL list.
case_window_editor() {
    local bench="$BUILD_DIR/bench/harvestline-bench-editor"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "window_editor: the editor of the lists and logs at 100,000 lines"
    QT_QPA_PLATFORM=offscreen "$bench"
}

# A 16-thread run of 2000 files of 4 KiB started from the window under a virtual X server: the
# worst gap of the window's event loop and the files per second, against harvestline-cli.
case_window_run() {
    local bench="$BUILD_DIR/bench/harvestline-bench-gui"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "window_run: 2000 files of 4 KiB, 16 at once, from the window and from harvestline-cli"
    TMPDIR="$WORK" xvfb-run --auto-servernum --server-args="-screen 0 1600x1200x24" \
        env QT_QPA_PLATFORM=xcb "$bench" 2000 16 4096
}

# Typing 100 characters into the middle of a 1,000,000-line URL list in the window: the worst gap
# of the window's event loop while the keystrokes and the saves of list.txt they cause are handled.
case_window_typing() {
    local bench="$BUILD_DIR/bench/harvestline-bench-typing"
    [ -x "$bench" ] || die "build first: $bench is missing"
    echo "window_typing: 100 characters typed into a 1,000,000-line URL list"
    TMPDIR="$WORK" QT_QPA_PLATFORM=offscreen "$bench" 1000000 100 30
}

# start_tinyproxy: Debian's tinyproxy on 127.0.0.1 for loopback clients; sets PROXY_PORT.
start_tinyproxy() {
    PROXY_PORT=$(free_port)
    printf 'Port %s\nListen 127.0.0.1\nAllow 127.0.0.1\nTimeout 60\nMaxClients 64\nLogLevel Critical\n' \
        "$PROXY_PORT" >"$WORK/tinyproxy.conf"
    /usr/bin/tinyproxy -d -c "$WORK/tinyproxy.conf" >"$WORK/tinyproxy.log" 2>&1 &
    SERVER_PIDS+=($!)
    wait_for_port "$PROXY_PORT" || die "tinyproxy did not come up: $(cat "$WORK/tinyproxy.log")"
}

# start_microsocks: Debian's microsocks (SOCKS 5) on 127.0.0.1; sets SOCKS_PORT.
start_microsocks() {
    SOCKS_PORT=$(free_port)
    /usr/bin/microsocks -i 127.0.0.1 -p "$SOCKS_PORT" >"$WORK/microsocks.log" 2>&1 &
    SERVER_PIDS+=($!)
    wait_for_port "$SOCKS_PORT" || die "microsocks did not come up: $(cat "$WORK/microsocks.log")"
}

# One 256 MiB file through an HTTP proxy and through a SOCKS 5 server: harvestline-cli with a
# one-line proxy list against curl through the same proxy.
case_proxy_single_256m() {
    serve_random_file 256m.bin 256
    local url=$URL
    start_tinyproxy
    start_microsocks
    echo "127.0.0.1:$PROXY_PORT" >"$WORK/http-proxy.txt"
    echo "127.0.0.1:$SOCKS_PORT" >"$WORK/socks-proxy.txt"
    echo "proxy_single_256m: one 256 MiB file through tinyproxy"
    compare $((256 * 1024 * 1024)) \
        "harvestline-cli via http" "$CLI -d $WORK/out --proxy-list $WORK/http-proxy.txt $url" \
        "curl via http" "curl --silent --show-error --fail --create-dirs --proxy 127.0.0.1:$PROXY_PORT --output $WORK/out/256m.bin $url"
    echo "proxy_single_256m: one 256 MiB file through microsocks"
    compare $((256 * 1024 * 1024)) \
        "harvestline-cli via socks5" "$CLI -d $WORK/out --proxy-list $WORK/socks-proxy.txt --proxy-type socks5 $url" \
        "curl via socks5" "curl --silent --show-error --fail --create-dirs --socks5-hostname 127.0.0.1:$SOCKS_PORT --output $WORK/out/256m.bin $url"
    rm -f "$WORK/files/256m.bin"
}

# 1000 files of 4 KiB, 16 at once, through tinyproxy: one proxy request (and, for harvestline-cli,
# one connection) per URL.
case_proxy_many_small() {
    local count=1000
    serve_small_files "$count"
    local list=$LIST curlcfg=$CURLCFG
    start_tinyproxy
    echo "127.0.0.1:$PROXY_PORT" >"$WORK/http-proxy.txt"
    echo "proxy_many_small: $count files of 4 KiB, 16 at once, through tinyproxy"
    measure "$count" files \
        "harvestline-cli -j16" "$CLI -d $WORK/out -j 16 --no-server-name --proxy-list $WORK/http-proxy.txt -i $list" \
        "curl --parallel" "curl --silent --show-error --fail --parallel --parallel-max 16 --proxy 127.0.0.1:$PROXY_PORT --create-dirs --output-dir $WORK/out --remote-name-all -K $curlcfg"
}

main() {
    [ -x "$BUILD_DIR/bench/harvestline-bench-httpget" ] || die "build first: $BUILD_DIR/bench/harvestline-bench-httpget is missing"
    [ -x "$CLI" ] || die "build first: $CLI is missing"
    command -v hyperfine >/dev/null || die "hyperfine is missing (scripts/install-deps.sh --bench)"
    if [ $# -gt 0 ]; then
        for name in "$@"; do "case_$name"; done
        return
    fi
    case_settings_rewrites
    case_grabber_scan
    case_window_grab
    case_window_editor
    case_window_run
    case_window_typing
    case_http_get_1g
    case_ftp_get_1g
    case_cli_single_512m
    case_cli_many_small
    case_cli_https_parallel
    case_cli_memory_100k
}

main "${@:2}"
