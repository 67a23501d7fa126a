# The back end's side of a lesson, from outside the clients: classroom
# messages published on the broker as another participant would send them,
# and a record of everything the classroom carries on the broker.
# Needs mosquitto_pub and mosquitto_sub (mosquitto-clients).

# The participant id the back end's messages come from.
BACKEND_SENDER=90001
BACKEND_SEQUENCE=0
WIRE_PID=""
WIRE_FILE=""

# Publishes one classroom message of <type> with the JSON object <data> to
# the class's channel, or to one participant's peer topic when <peer uid>
# is given. QoS 1, as the clients send.
backend_publish() {
    local broker=$1 class_id=$2 type=$3 data=$4 peer=${5:-}
    local topic="tp/velmo/signal/channel/$class_id/message"
    [[ -z "$peer" ]] || topic="tp/velmo/signal/p2p/$peer/channel/$class_id"
    BACKEND_SEQUENCE=$((BACKEND_SEQUENCE + 1))
    local uuid
    uuid=$(cat /proc/sys/kernel/random/uuid)
    local message
    message=$(printf '{"data":%s,"sender":"%s","sequence":%d,"src":0,"type":%d,"uuid":"%s","version":2,"video_local_play_capability":0}' \
        "$data" "$BACKEND_SENDER" "$BACKEND_SEQUENCE" "$type" "$uuid")
    mosquitto_pub -h 127.0.0.1 -p "$broker" -q 1 -t "$topic" -m "$message"
}

# Records every classroom message on the broker, one "topic payload" line
# each, in <file> until wire_record_stop.
wire_record_start() {
    local broker=$1 file=$2
    WIRE_FILE=$file
    : >"$WIRE_FILE"
    wire_record_resume "$broker"
}

# Records again into the same file after the broker was restarted (the
# recorder ends with the broker it listened to).
wire_record_resume() {
    local broker=$1
    wire_record_stop
    mosquitto_sub -h 127.0.0.1 -p "$broker" -q 1 -v -t 'tp/velmo/signal/#' >>"$WIRE_FILE" 2>/dev/null &
    WIRE_PID=$!
}

wire_record_stop() {
    if [[ -n "$WIRE_PID" ]]; then
        kill "$WIRE_PID" 2>/dev/null || true
        wait "$WIRE_PID" 2>/dev/null || true
        WIRE_PID=""
    fi
}

# Prints how many recorded lines match every one of the extended regular
# expressions.
wire_count() {
    local lines
    lines=$(cat "$WIRE_FILE")
    local pattern
    for pattern in "$@"; do
        lines=$(grep -E -- "$pattern" <<<"$lines" || true)
    done
    if [[ -z "$lines" ]]; then
        echo 0
    else
        wc -l <<<"$lines"
    fi
}

# Waits up to <seconds> until at least <n> recorded lines match every one
# of the patterns; returns 1 when they did not come.
wire_wait() {
    local n=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while :; do
        (($(wire_count "$@") >= n)) && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# Prints the requests the lesson service at <port> has recorded (a JSON
# array, one line).
service_requests() {
    curl -sf --max-time 10 "http://127.0.0.1:$1/__control/requests"
}

# Waits up to <seconds> until the lesson service at <port> has recorded the
# event <key> (e.g. "class/join") from the role's client; returns 1 when it
# did not come.
service_wait_event() {
    local port=$1 role=$2 key=$3 seconds=$4
    local deadline=$((SECONDS + seconds))
    # The events travel as JSON inside a form field, so their quotes come
    # escaped in the record.
    local record="\\\"key\\\":\\\"$key\\\",\\\"type\\\":\\\"win/$role/"
    while :; do
        service_requests "$port" | grep -qF -- "$record" && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.5
    done
}
