#!/usr/bin/env bash
# Throughput of Harvestline's transfer code against established tools, in the same run on the same
# machine, against a local nginx on a free loopback port. Usage: bench/run.sh [BUILD_DIR]
#
# Each case is one function named case_*; add a case by adding a function (the helpers here and in
# common.sh start nginx, make test files and time commands with hyperfine). RUNS sets the
# repetitions per command.
set -euo pipefail

BUILD_DIR=$(realpath "${1:-build}")
RUNS=${RUNS:-5}
source "$(dirname "$0")/common.sh"

die() { echo "bench: $*" >&2; exit 1; }

# start_nginx ROOT: serves ROOT on 127.0.0.1; sets NGINX_PORT.
start_nginx() {
    local root=$1 prefix="$WORK/nginx"
    mkdir -p "$prefix/temp"
    NGINX_PORT=$(free_port)
    # A root master would hand the workers to a user that cannot read the private work folder.
    local user=""
    [ "$(id -u)" -eq 0 ] && user="user root root;"
    cat >"$prefix/nginx.conf" <<EOF
$user
worker_processes 1;
pid $prefix/nginx.pid;
error_log $prefix/error.log;
events { worker_connections 64; }
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
    listen 127.0.0.1:$NGINX_PORT;
    root $root;
  }
}
EOF
    /usr/sbin/nginx -p "$prefix" -c "$prefix/nginx.conf" -g 'daemon off;' &
    NGINX_PID=$!
    wait_for_port "$NGINX_PORT" || die "nginx did not come up: $(cat "$prefix/error.log")"
}

# make_file PATH MIB: a file of random bytes, so that nothing along the way can shortcut zeros.
make_file() {
    head -c "$(($2 * 1024 * 1024))" /dev/urandom >"$1"
}

# compare SIZE_BYTES NAME COMMAND [NAME COMMAND ...]: times each command RUNS times (after one
# warm-up) with its output file removed before each run, and prints the median throughput of each.
compare() {
    local size=$1
    shift
    local args=() json="$WORK/result.json"
    while [ $# -gt 0 ]; do
        args+=(-n "$1" "$2")
        shift 2
    done
    hyperfine --style basic --warmup 1 --runs "$RUNS" --prepare "rm -f $WORK/out" --export-json "$json" "${args[@]}" >&2
    /usr/bin/python3 - "$json" "$size" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
size = int(sys.argv[2])
rates = {r["command"]: size / r["median"] / 1e6 for r in results}
for name, rate in rates.items():
    print(f"  {name:<14} {rate:9.1f} MB/s (median of {len(results[0]['times'])})")
names = list(rates)
if len(names) > 1:
    print(f"  ratio {names[0]} / {names[1]}: {rates[names[0]] / rates[names[1]]:.3f}")
EOF
}

# One 1 GiB file over plain HTTP into a file: the HTTP client against curl.
case_http_get_1g() {
    local files="$WORK/files"
    mkdir -p "$files"
    make_file "$files/1g.bin" 1024
    start_nginx "$files"
    local url="http://127.0.0.1:$NGINX_PORT/1g.bin"
    echo "http_get_1g: GET of 1 GiB from nginx on loopback into a file"
    compare $((1024 * 1024 * 1024)) \
        harvestline "$BUILD_DIR/bench/harvestline-bench-httpget $url $WORK/out" \
        curl "curl --silent --show-error --fail --output $WORK/out $url"
}

main() {
    [ -x "$BUILD_DIR/bench/harvestline-bench-httpget" ] || die "build first: $BUILD_DIR/bench/harvestline-bench-httpget is missing"
    command -v hyperfine >/dev/null || die "hyperfine is missing (scripts/install-deps.sh --bench)"
    case_http_get_1g
}

main
