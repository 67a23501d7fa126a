# Starts the stand-in lesson service on a free port and writes a servers
# file that points the client at it. Sourced by scripts/run.sh and by the
# test of the headless walk.

SERVICE_PID=""
SERVICE_PORT=""

# Starts <bin>/lessonry-lesson-service, its output in <log>; sets
# SERVICE_PID and SERVICE_PORT, or says why not and returns 1.
service_start() {
    local bin=$1 log=$2
    # Port 0: the service binds a free port itself and says which.
    "$bin/lessonry-lesson-service" --port 0 >"$log" 2>&1 &
    SERVICE_PID=$!
    SERVICE_PORT=""
    for _ in $(seq 100); do
        SERVICE_PORT=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" | head -n 1)
        [[ -n "$SERVICE_PORT" ]] && return 0
        if ! kill -0 "$SERVICE_PID" 2>/dev/null; then
            echo "the lesson service did not start:" >&2
            cat "$log" >&2
            SERVICE_PID=""
            return 1
        fi
        sleep 0.1
    done
    echo "the lesson service did not report its port (log: $log)" >&2
    return 1
}

service_stop() {
    if [[ -n "$SERVICE_PID" ]]; then
        kill "$SERVICE_PID" 2>/dev/null || true
        wait "$SERVICE_PID" 2>/dev/null || true
        SERVICE_PID=""
    fi
}

# Writes a servers file for the service on <port> to <file>.
service_write_servers_ini() {
    local file=$1 port=$2
    cat >"$file" <<INI
; Written for one run: every API line and the web site are the stand-in
; lesson service. The message broker is not used yet.
[api]
main=http://127.0.0.1:$port
us=http://127.0.0.1:$port
europe=http://127.0.0.1:$port
singapore=http://127.0.0.1:$port
development=http://127.0.0.1:$port

[web]
site=http://127.0.0.1:$port

[mqtt]
production_host=127.0.0.1
production_port=1883
development_host=127.0.0.1
development_port=1883
INI
}
