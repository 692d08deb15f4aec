#!/usr/bin/env bash
# The cost of a TLS connection: 200 sequential 16 KiB https downloads from a local nginx, each on a
# new connection (one client per URL, as the download engine works; the first handshake is a full
# one, the others resume its session), against curl fetching the same 200 URLs in one process with
# "Connection: close", once resuming sessions as Harvestline does and once with full handshakes
# (--no-sessionid). Usage: bench/https_connections.sh [BUILD_DIR]
# BASELINE=FILE adds another build's harvestline-bench-httpsconnections, for before-and-after runs.
set -euo pipefail

BUILD_DIR=$(realpath "${1:-build}")
RUNS=${RUNS:-15}
COUNT=200
BENCH="$BUILD_DIR/bench/harvestline-bench-httpsconnections"
source "$(dirname "$0")/common.sh"

[ -x "$BENCH" ] || { echo "build first: $BENCH is missing" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is missing (scripts/install-deps.sh --bench)" >&2; exit 1; }

mkdir -p "$WORK/files" "$WORK/nginx/temp"
for i in $(seq 0 $((COUNT - 1))); do head -c 16384 /dev/urandom >"$WORK/files/f$i.bin"; done
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=localhost -days 2 \
    -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
PORT=$(free_port)
user=""
[ "$(id -u)" -eq 0 ] && user="user root root;"
cat >"$WORK/nginx/nginx.conf" <<CONF
$user
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log;
events { worker_connections 64; }
http {
  access_log off;
  client_body_temp_path $WORK/nginx/temp/body;
  proxy_temp_path $WORK/nginx/temp/proxy;
  fastcgi_temp_path $WORK/nginx/temp/fastcgi;
  uwsgi_temp_path $WORK/nginx/temp/uwsgi;
  scgi_temp_path $WORK/nginx/temp/scgi;
  default_type application/octet-stream;
  server {
    listen 127.0.0.1:$PORT ssl;
    ssl_certificate $WORK/cert.pem;
    ssl_certificate_key $WORK/key.pem;
    root $WORK/files;
  }
}
CONF
/usr/sbin/nginx -p "$WORK/nginx" -c "$WORK/nginx/nginx.conf" -g 'daemon off;' &
NGINX_PID=$!
wait_for_port "$PORT" || { echo "nginx did not come up: $(cat "$WORK/nginx/error.log")" >&2; exit 1; }

base="https://127.0.0.1:$PORT/"
for i in $(seq 0 $((COUNT - 1))); do printf 'url = "%sf%d.bin"\noutput = "/dev/null"\n' "$base" "$i"; done >"$WORK/curl.cfg"
echo "https_connections: $COUNT sequential 16 KiB https downloads, one connection each"
"$BENCH" "$base" "$COUNT"
baseline=()
[ -n "${BASELINE:-}" ] && baseline=(-n baseline "$(realpath "$BASELINE") $base $COUNT")
curl="curl --silent --show-error --fail --insecure -H 'Connection: close' -K $WORK/curl.cfg"
hyperfine --style basic -N --warmup 1 --runs "$RUNS" \
    -n harvestline "$BENCH $base $COUNT" "${baseline[@]}" \
    -n curl "$curl" \
    -n "curl --no-sessionid" "$curl --no-sessionid"
