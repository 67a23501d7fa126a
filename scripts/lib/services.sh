# Starts the stand-in lesson service and a message broker on free ports and
# writes a servers file that points the client at them. Sourced by
# scripts/run.sh and by the test of the headless walk.

SERVICE_PID=""
SERVICE_PORT=""
BROKER_PID=""
BROKER_PORT=""
JANUS_PID=""
JANUS_PORT=""

# Starts <bin>/lessonry-lesson-service, its output in <log>; sets
# SERVICE_PID and SERVICE_PORT, or says why not and returns 1.
service_start() {
    local bin=$1 log=$2
    # Port 0: the service binds a free port itself and says which.
    "$bin/lessonry-lesson-service" --port 0 >"$log" 2>&1 &
    SERVICE_PID=$!
    SERVICE_PORT=""
    for _ in $(seq 100); do
        # The log appears only once the started process has opened it.
        SERVICE_PORT=$(sed -n 's/^listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$log" 2>/dev/null | head -n 1 || true)
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

# Starts mosquitto on a free port of 127.0.0.1, its configuration and
# output in <folder>; sets BROKER_PID and BROKER_PORT, or says why not and
# returns 1.
broker_start() {
    local folder=$1 port attempt
    local program
    program=$(command -v mosquitto || echo /usr/sbin/mosquitto)
    for attempt in $(seq 20); do
        # A port taken meanwhile ends the broker at once: try another.
        port=$((20000 + RANDOM % 40000))
        printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nset_tcp_nodelay true\n' "$port" >"$folder/mosquitto.conf"
        "$program" -c "$folder/mosquitto.conf" >"$folder/mosquitto.log" 2>&1 &
        BROKER_PID=$!
        for _ in $(seq 50); do
            kill -0 "$BROKER_PID" 2>/dev/null || break
            if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
                BROKER_PORT=$port
                # A walk in a child process may stop and restart the broker
                # (broker_restart): the folder tells it which one, the pid
                # file which process runs it now.
                export BROKER_DIR=$folder
                echo "$BROKER_PID" >"$folder/mosquitto.pid"
                return 0
            fi
            sleep 0.1
        done
        kill "$BROKER_PID" 2>/dev/null || true
        wait "$BROKER_PID" 2>/dev/null || true
        BROKER_PID=""
    done
    echo "no message broker could be started (log: $folder/mosquitto.log)" >&2
    return 1
}

# Stops the broker of <folder> (started by broker_start here or in a
# parent shell) and waits until it has ended.
broker_stop() {
    local folder=$1 pid
    pid=$(cat "$folder/mosquitto.pid" 2>/dev/null || true)
    [[ -n "$pid" ]] || return 0
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "the message broker (pid $pid) did not stop" >&2
        return 1
    fi
    rm -f "$folder/mosquitto.pid"
    helper_status "$pid" "the message broker"
}

# Collects the status of <pid> once it has ended: 1 (and says so) unless it
# ended with status 0. A process that is no child of this shell (started by
# a parent shell, or collected already) says nothing here: wait gives 127.
helper_status() {
    local pid=$1 name=$2 status=0
    wait "$pid" 2>/dev/null || status=$?
    if [[ $status -ne 0 && $status -ne 127 ]]; then
        echo "$name (pid $pid) ended with status $status" >&2
        return 1
    fi
    return 0
}

# Starts the broker of <folder> again, with its configuration and port,
# after broker_stop; returns 1 when it does not listen within 5 s.
broker_restart() {
    local folder=$1 port pid
    port=$(sed -n 's/^listener \([0-9]*\) .*/\1/p' "$folder/mosquitto.conf")
    [[ -n "$port" ]] || { echo "no broker configuration in $folder" >&2; return 1; }
    "$(command -v mosquitto || echo /usr/sbin/mosquitto)" -c "$folder/mosquitto.conf" >>"$folder/mosquitto.log" 2>&1 &
    pid=$!
    echo "$pid" >"$folder/mosquitto.pid"
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the message broker did not start again on port $port (log: $folder/mosquitto.log)" >&2
    return 1
}

# Starts Janus, the media server of the lesson's sound and video, on a free
# port of 127.0.0.1: a configuration of its own in <folder>/janus (only the
# VideoRoom plugin with string room ids and the HTTP transport; ICE on the
# loopback interface only, no STUN), its log in <folder>/janus/janus.log.
# Sets JANUS_PID and JANUS_PORT, or says why not and returns 1.
janus_start() {
    local folder=$1/janus lib port attempt
    lib=$(dirname "$(ls -d /usr/lib/*/janus/plugins/libjanus_videoroom.so 2>/dev/null | head -n 1)" 2>/dev/null)
    lib=${lib%/plugins}
    [[ -n "$lib" && -d "$lib" ]] || { echo "Janus is not installed (package janus)" >&2; return 1; }
    mkdir -p "$folder/plugins" "$folder/transports" "$folder/none"
    ln -sf "$lib/plugins/libjanus_videoroom.so" "$folder/plugins/"
    ln -sf "$lib/transports/libjanus_http.so" "$folder/transports/"
    printf 'general: {
  string_ids = true
}
' >"$folder/janus.plugin.videoroom.jcfg"
    cat >"$folder/janus.jcfg" <<JCFG
general: {
  configs_folder = "$folder"
  plugins_folder = "$folder/plugins"
  transports_folder = "$folder/transports"
  events_folder = "$folder/none"
  loggers_folder = "$folder/none"
  log_to_stdout = false
  log_to_file = "$folder/janus.log"
}
media: {
  rtp_port_range = "40000-60000"
}
nat: {
  ice_enforce_list = "lo"
  full_trickle = false
}
plugins: {
}
transports: {
}
JCFG
    for attempt in $(seq 20); do
        port=$((20000 + RANDOM % 12000))
        printf 'general: {
  base_path = "/janus"
  http = true
  port = %s
  ip = "127.0.0.1"
  https = false
}
admin: {
  admin_http = false
}
' \
            "$port" >"$folder/janus.transport.http.jcfg"
        janus -F "$folder" -C "$folder/janus.jcfg" >"$folder/janus.out" 2>&1 &
        JANUS_PID=$!
        for _ in $(seq 100); do
            kill -0 "$JANUS_PID" 2>/dev/null || break
            if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
                JANUS_PORT=$port
                return 0
            fi
            sleep 0.1
        done
        kill "$JANUS_PID" 2>/dev/null || true
        wait "$JANUS_PID" 2>/dev/null || true
        JANUS_PID=""
    done
    echo "Janus could not be started (log: $folder/janus.log)" >&2
    return 1
}

# Stops what service_start and broker_start started (the broker as it runs
# now, when a walk restarted it); returns 1 when one of them did not end by
# its SIGTERM handler with status 0.
service_stop() {
    local failed=0
    if [[ -n "${BROKER_DIR:-}" && -n "$BROKER_PID" ]]; then
        broker_stop "$BROKER_DIR" || failed=1
    fi
    local -a names=("the lesson service" "the message broker" "Janus")
    local -a pids=("$SERVICE_PID" "$BROKER_PID" "$JANUS_PID")
    local i
    for i in 0 1 2; do
        if [[ -n "${pids[i]}" ]]; then
            kill "${pids[i]}" 2>/dev/null || true
            helper_status "${pids[i]}" "${names[i]}" || failed=1
        fi
    done
    SERVICE_PID=""
    BROKER_PID=""
    JANUS_PID=""
    return $failed
}

# Writes a servers file for the service on <port>, the broker on <broker
# port> and Janus on <janus port> (none: no sound or video) to <file>.
service_write_servers_ini() {
    local file=$1 port=$2 broker=$3 janus=${4:-}
    cat >"$file" <<INI
; Written for one run: every API line and the web site are the stand-in
; lesson service, both brokers the one message broker of the run.
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
production_port=$broker
development_host=127.0.0.1
development_port=$broker
INI
    if [[ -n "$janus" ]]; then
        printf '\n[rtc]\nhost=127.0.0.1\nport=%s\njanus=http://127.0.0.1:%s/janus\n' "$broker" "$janus" >>"$file"
    fi
}
