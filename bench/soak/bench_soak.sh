#!/bin/bash
# A lesson of the real clients held at real speed: the teacher's and the
# student's client (this build's lessonry-teacher and lessonry-student),
# each with a fresh profile, signed in on a private Xvfb display and taken
# into today's first lesson as scripts/lesson.sh does, over a broker, Janus
# and the stand-in lesson service of the benchmark's own; both send the
# engine's synthetic camera. Driven from outside meanwhile: the teacher
# draws a stroke on the board with the pointer every 3 s and turns the page
# every 10 s (forward through the courseware and back); the teacher and the
# student each chat once a minute, the teacher mutes and unmutes the
# student every two minutes and praises the student every five (messages
# published on the broker as the two clients send them). At 40 % of the
# lesson the broker stops for 10 s.
#
#   bench_soak [--minutes 3] [--strokes on|off]
#
# Printed for each client: its resident memory at the end against its
# value after five minutes (a ninth of a shorter lesson), its CPU over the
# lesson as a share of one core, its GUI thread's longest stall as seen from
# outside (the time to answer the window manager's ping, sent every 50 ms
# to its classroom window: bench_soak_pinger) with the p99, before the
# outage and after it, beside the same of a bare Qt window on the same
# display (bench_idle_bare: what the X server, the pinger and the machine's
# load add on their own), the error records ("actionError") of its action log
# outside the outage (up to 30 s after the broker is back) and whether it
# ended with status 0. The resident figures of both are noted every ninth
# of the lesson. bench_soak_peers holds the same traffic between classroom
# participants without windows and checks every delivery.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lib="@LESSONRY_SOURCE_DIR@/scripts/lib"

minutes=3
strokes=on
while [[ $# -gt 0 ]]; do
    case "$1" in
        --minutes) minutes=${2:-}; shift 2 ;;
        --strokes) strokes=${2:-}; shift 2 ;;
        *) echo "usage: bench_soak [--minutes 3] [--strokes on|off]" >&2; exit 2 ;;
    esac
done
[[ "$minutes" =~ ^[0-9]+$ && $minutes -gt 0 && "$strokes" =~ ^(on|off)$ ]] || {
    echo "usage: bench_soak [--minutes 3] [--strokes on|off]" >&2
    exit 2
}

# The accessibility bridge would add its own work to both clients for the
# whole lesson: widgets are reached by their places.
export XD_BY_POSITION=1
source "$lib/xdrive.sh"
source "$lib/client.sh"
source "$lib/backend.sh"
source "$lib/services.sh"
# The places on the class page (the pen, the page buttons, the board).
source "$lib/walk_inclass.sh"

out=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-bench-soak.XXXXXX")
class_id=10001
width=1040 height=760
declare -A pid=() classroom=() profile=() left=([teacher]=0 [student]=$width)
pinger_pid="" bare_pid=""
finish() {
    local status=$? role
    if [[ -n "$pinger_pid" ]]; then
        echo quit >&7 || true
        exec 7>&- || true
        wait "$pinger_pid" 2>/dev/null || true
    fi
    if [[ -n "$bare_pid" ]]; then
        kill "$bare_pid" 2>/dev/null || true
        wait "$bare_pid" 2>/dev/null || true
    fi
    for role in teacher student; do
        if [[ -n "${pid[$role]:-}" ]]; then
            kill "${pid[$role]}" 2>/dev/null || true
            wait "${pid[$role]}" 2>/dev/null || true
        fi
    done
    wire_record_stop
    xd_stop_display
    service_stop
    if ((status != 0)); then
        echo "bench_soak: failed; the clients' profiles and logs are kept in $out" >&2
    else
        rm -rf "$out"
    fi
}
trap finish EXIT

log() { echo "$(printf '%4d' $((SECONDS - lesson_start))) s: $*"; }

service_start "$here" "$out/lesson-service.log"
broker_start "$out"
janus_start "$out" || { echo "bench_soak: no Janus: the lesson needs its media server" >&2; exit 1; }
service_write_servers_ini "$out/servers.ini" "$SERVICE_PORT" "$BROKER_PORT" "$JANUS_PORT"
broker=$BROKER_PORT
xd_start_display "$((2 * width))x1100" >/dev/null
xd_set_shot_dir "$out/screenshots"
XD_REPORT="$out/walk.txt"
: >"$XD_REPORT"
wire_record_start "$broker" "$out/wire.txt"

# Into the lesson as scripts/lesson.sh goes: both signed in side by side,
# the teacher's class started first.
for role in teacher student; do
    profile[$role]="$out/$role/profile"
    client_new_profile "$role" "${profile[$role]}"
    client_start "$role" "$here" "${profile[$role]}" "$out/servers.ini" "$out/$role/client-output.txt"
    pid[$role]=$CLIENT_PID
done
for role in teacher student; do
    xd_wait_window "$CLIENT_LOGIN_TITLE" 60 "${pid[$role]}" >/dev/null
    client_place "$XD_WINDOW" "${left[$role]}" 0
done
for role in teacher student; do
    client_sign_in "$role" "${pid[$role]}" "${left[$role]}" >/dev/null
    client_enter_first_lesson "$role" "${pid[$role]}" "$CLIENT_COURSE_WINDOW" >/dev/null
    classroom[$role]=$CLIENT_CLASSROOM_WINDOW
    xdotool windowsize --sync "${classroom[$role]}" "$width" "$height" >/dev/null 2>&1 || true
    client_place "${classroom[$role]}" "${left[$role]}" 0
done
for role in teacher student; do
    client_account "$role"
    wire_wait 1 60 "^tp/velmo/signal/channel/$class_id/message " '"type": ?103[,}]' "\"sender\": ?\"$CLIENT_UID\"" ||
        { echo "bench_soak: the $role did not enter class $class_id" >&2; exit 1; }
done
client_account teacher
teacher_uid=$CLIENT_UID
client_account student
student_uid=$CLIENT_UID

# "<resident kB>" and "<user+system ticks>" of a process.
resident_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
action_log() { ls -t "${profile[$1]}/data/lessonry-$1/log"/*.action.log 2>/dev/null | head -n 1 || true; }
action_errors() {
    local file
    file=$(action_log "$1")
    [[ -n "$file" ]] || { echo 0; return; }
    grep -c actionError "$file" || true
}

# The floor of the pings: a bare Qt window on the same display, out of the way.
mkdir -p -m 700 "$out/bare"
XDG_RUNTIME_DIR="$out/bare" QT_QPA_PLATFORM=xcb "$here/bench_idle_bare" >"$out/bare/output.txt" 2>&1 &
bare_pid=$!
xd_wait_window "Idle bare window" 30 "$bare_pid" >/dev/null
bare_window=$XD_WINDOW
classroom[bare]=$bare_window
xdotool windowmove "$bare_window" 0 $((height + 40)) >/dev/null 2>&1 || true

# The pinger reads its commands from descriptor 7 and answers in a file.
mkfifo "$out/pinger.in"
"$here/bench_soak_pinger" 50 "${classroom[teacher]}" "${classroom[student]}" "$bare_window" \
    <"$out/pinger.in" >"$out/pinger.out" 2>&1 &
pinger_pid=$!
exec 7>"$out/pinger.in"
# Reads the figures of the pings since the last report: sets ping_<role>
# to "<answered> <unanswered> <p50> <p99> <longest>".
ping_report() {
    local before
    before=$(grep -c '^report done' "$out/pinger.out" || true)
    echo report >&7
    for _ in $(seq 100); do
        (($(grep -c '^report done' "$out/pinger.out" || true) > before)) && break
        sleep 0.1
    done
    local role
    for role in teacher student bare; do
        local line
        line=$(grep "^ping ${classroom[$role]} " "$out/pinger.out" | tail -n 1)
        printf -v "ping_$role" '%s' "$(cut -d' ' -f3- <<<"$line")"
    done
}

# The teacher picks the pen once: every stroke from here on is drawn with it.
xd_click "${classroom[teacher]}" "${INCLASS_PEN[@]}"
prev_page=(691 "${INCLASS_NEXT_PAGE[1]}")

# One stroke with the pointer across the teacher's board, a little lower
# each time (wrapping within the page).
stroke_count=0
draw_stroke() {
    local teacher=${classroom[teacher]} i x y
    local dy=$(((stroke_count * 23) % 260 - 130))
    stroke_count=$((stroke_count + 1))
    xd_move "$teacher" "${INCLASS_STROKE[0]}" $((INCLASS_STROKE[1] + dy))
    xdotool mousedown 1
    for i in 1 2 3 4 5 6 7 8; do
        x=$((INCLASS_STROKE[0] + (INCLASS_STROKE[2] - INCLASS_STROKE[0]) * i / 8))
        y=$((INCLASS_STROKE[1] + dy + (INCLASS_STROKE[3] - INCLASS_STROKE[1]) * i / 8))
        xdotool mousemove --window "$teacher" "$x" "$y"
    done
    xdotool mouseup 1
}

# Publishes a classroom message as the client of <uid> sends it.
publish_as() {
    local uid=$1
    shift
    # Refused while the broker is away: such a message is lost, as a client's would be.
    BACKEND_SENDER=$uid backend_publish "$broker" "$class_id" "$@" 2>/dev/null
}

total=$((minutes * 60))
early_at=$((total / 9 < 300 ? total / 9 : 300))
((early_at > 0)) || early_at=1
outage_at=$((total * 4 / 10))
sample_every=$((total / 9 > 0 ? total / 9 : 1))
declare -A rss_early=() rss_end=() ticks_start=() errors_start=() errors_outage=()
for role in teacher student; do
    ticks_start[$role]=$(cpu_ticks "${pid[$role]}")
    errors_start[$role]=$(action_errors "$role")
done
echo "soak: $minutes minutes, the teacher's and the student's client in class $class_id (display $DISPLAY)," \
    "strokes $strokes; load $(cut -d' ' -f1-3 /proc/loadavg)"
lesson_start=$SECONDS
page=1 direction=1 chat=0 outage=before outage_end=0
ping_report # the pings until now are the way into the class
for ((second = 1; second <= total; second++)); do
    while ((SECONDS - lesson_start < second)); do sleep 0.05; done
    for role in teacher student; do
        kill -0 "${pid[$role]}" 2>/dev/null || { log "the $role's client ended during the lesson"; exit 1; }
    done
    if ((second == early_at)); then
        for role in teacher student; do rss_early[$role]=$(resident_kb "${pid[$role]}"); done
    fi
    if ((second % sample_every == 0)); then
        log "resident kB: teacher $(resident_kb "${pid[teacher]}"), student $(resident_kb "${pid[student]}")"
    fi
    if [[ $outage == before ]] && ((second >= outage_at)); then
        ping_report
        ping_before_teacher=$ping_teacher ping_before_student=$ping_student ping_before_bare=$ping_bare
        for role in teacher student; do errors_outage[$role]=$(action_errors "$role"); done
        log "stopping the broker for 10 s"
        wire_record_stop
        broker_stop "$BROKER_DIR"
        outage=away outage_end=$((second + 10))
    elif [[ $outage == away ]] && ((second >= outage_end)); then
        broker_restart "$BROKER_DIR"
        wire_record_resume "$broker"
        log "the broker is back"
        outage=back outage_end=$((second + 30))
    elif [[ $outage == back ]] && ((second >= outage_end)); then
        # What the outage caused, up to 30 s after it, is not counted.
        for role in teacher student; do
            errors_outage[$role]=$(($(action_errors "$role") - errors_outage[$role]))
        done
        outage=done
    fi
    if [[ $strokes == on ]] && ((second % 3 == 0)); then
        draw_stroke
    fi
    if ((second % 10 == 0)); then
        if ((page + direction < 1 || page + direction > 4)); then direction=$((-direction)); fi
        if ((direction > 0)); then
            xd_click "${classroom[teacher]}" "${INCLASS_NEXT_PAGE[@]}"
        else
            xd_click "${classroom[teacher]}" "${prev_page[@]}"
        fi
        page=$((page + direction))
    fi
    if ((second % 60 == 1 || second % 60 == 2)); then
        chat=$((chat + 1))
        uid=$teacher_uid
        ((second % 60 == 2)) && uid=$student_uid
        publish_as "$uid" 1 "{\"nickname\":\"$uid\",\"classid\":\"$class_id\",\"content\":\"soak $uid $chat\"}" || true
    fi
    if ((second % 120 == 0 || second % 120 == 30)); then
        enabled=$((second % 120 == 0 ? 0 : 1))
        publish_as "$teacher_uid" 402 "{\"classid\":\"$class_id\",\"type\":8,\"uid\":\"$student_uid\",\"enabled\":$enabled}" \
            "$student_uid" || true
    fi
    if ((second % 300 == 150)); then
        publish_as "$teacher_uid" 403 \
            "{\"classid\":\"$class_id\",\"type\":1,\"uid\":\"$student_uid\",\"animation\":1,\"name\":\"$student_uid\",\"score\":1}" || true
    fi
done
# The last messages and paints come in first.
sleep 5
if [[ $outage != done ]]; then
    # A lesson too short for the 30 s after the outage: all since it began is its.
    for role in teacher student; do
        errors_outage[$role]=$(($(action_errors "$role") - errors_outage[$role]))
    done
fi
ping_report
declare -A cpu=() errors_outside=()
elapsed=$((SECONDS - lesson_start))
for role in teacher student; do
    rss_end[$role]=$(resident_kb "${pid[$role]}")
    cpu[$role]=$(awk -v a="$(cpu_ticks "${pid[$role]}")" -v b="${ticks_start[$role]}" -v hz="$(getconf CLK_TCK)" -v s="$elapsed" \
        'BEGIN { printf "%.1f", (a - b) / hz / s * 100 }')
    errors_outside[$role]=$(($(action_errors "$role") - errors_start[$role] - ${errors_outage[$role]:-0}))
done
# Both end as their own quit does (SIGTERM); any other status is a failure.
declare -A ended=()
status=0
for role in teacher student; do
    code=0
    kill "${pid[$role]}" 2>/dev/null || true
    wait "${pid[$role]}" || code=$?
    pid[$role]=""
    if ((code == 0)); then ended[$role]="status 0"; else ended[$role]="STATUS $code"; status=1; fi
done
echo quit >&7
exec 7>&-
wait "$pinger_pid" || { echo "bench_soak: the pinger ended with a failure" >&2; status=1; }
pinger_pid=""
kill "$bare_pid"
wait "$bare_pid" 2>/dev/null || true
bare_pid=""

# Driving the windows from outside takes its time on a loaded machine: the
# lesson's seconds are counted as they are reached, so it may take longer.
echo "== soak: $minutes minutes of the real clients (took $elapsed s), $stroke_count strokes," \
    "load $(cut -d' ' -f1-3 /proc/loadavg)"
printf '%-8s %12s %12s %7s %9s %28s %28s %10s  %s\n' role "RSS early kB" "RSS end kB" ratio "CPU" \
    "ping before outage p99/max" "ping after p99/max" "errors" ended
for role in teacher student; do
    before_var="ping_before_$role" after_var="ping_$role"
    read -r _ _ _ b99 bmax <<<"${!before_var:-0 0 0 0 0}"
    read -r answered unanswered _ a99 amax <<<"${!after_var:-0 0 0 0 0}"
    ratio=$(awk -v e="${rss_end[$role]}" -v s="${rss_early[$role]:-0}" 'BEGIN { if (s > 0) printf "%.3f", e / s; else print "-" }')
    printf '%-8s %12s %12s %7s %7s %% %16s/%8s ms %16s/%8s ms %10s  %s\n' "$role" "${rss_early[$role]:--}" \
        "${rss_end[$role]}" "$ratio" "${cpu[$role]}" "$b99" "$bmax" "$a99" "$amax" "${errors_outside[$role]}" "${ended[$role]}"
    ((unanswered == 0)) || echo "  the $role's last ping was still unanswered at the end (counted with its time so far)"
done
read -r _ _ _ b99 bmax <<<"${ping_before_bare:-0 0 0 0 0}"
read -r _ _ _ a99 amax <<<"${ping_bare:-0 0 0 0 0}"
printf '%-8s %12s %12s %7s %9s %16s/%8s ms %16s/%8s ms\n' "bare Qt" "" "" "" "" "$b99" "$bmax" "$a99" "$amax"
echo "(ping: the time the GUI thread took to answer the window manager's ping, every 50 ms; errors: action log" \
    "error records outside the broker's outage and the 30 s after it)"
exit $status
