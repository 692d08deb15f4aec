# Helpers shared by the benchmark scripts (sourced, not run): a private work folder that is removed
# on exit together with the nginx or pyftpdlib a script started (pids in NGINX_PID and FTP_PID) and
# any other server (pids in SERVER_PIDS), a free loopback port, and waiting until a port listens.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/harvestline-bench-XXXXXX")
NGINX_PID=""
FTP_PID=""
SERVER_PIDS=()

cleanup() {
    for pid in "$NGINX_PID" "$FTP_PID" "${SERVER_PIDS[@]}"; do
        if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    done
    rm -rf "$WORK"
}
trap cleanup EXIT

free_port() {
    /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# wait_for_port PORT: true once something accepts connections on 127.0.0.1:PORT (up to 5 s).
wait_for_port() {
    for _ in $(seq 100); do
        (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null && return 0
        sleep 0.05
    done
    return 1
}
