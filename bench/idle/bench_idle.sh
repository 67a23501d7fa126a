#!/bin/bash
# Wake-ups and CPU of an idle client at the login window, beside a bare Qt
# window whose line edit has the focus (bench_idle_bare), the two taking
# turns round after round. Both run on a private Xvfb display (-noreset)
# with a window manager (openbox), so the window shown is the active one and
# its text cursor blinks, as on a desktop; a window that is not active when
# the watch begins stops the benchmark. The client has a fresh profile and
# a servers file pointing at a stand-in lesson service and a broker of the
# benchmark's own. Each is left to settle for 5 s and then watched for
# <seconds>: voluntary and forced context switches of every thread
# (/proc/<pid>/task/*/status: a thread that sleeps and wakes switches once
# per wake-up) and the CPU time used. Printed per round and as ratios of
# the client to the bare window.
#
#   bench_idle [seconds, default 20] [rounds, default 3] [client ...]
#
# Give an older build's client after the rounds to measure it as well (each
# client beside its own bare window).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
lib="@LESSONRY_SOURCE_DIR@/scripts/lib"
seconds=${1:-20}
rounds=${2:-3}
[[ "$seconds" =~ ^[0-9]+$ && "$rounds" =~ ^[0-9]+$ && $seconds -gt 0 && $rounds -gt 0 ]] || {
    echo "usage: bench_idle [seconds] [rounds] [client ...]" >&2
    exit 2
}
shift $(($# < 2 ? $# : 2))
clients=("$@")
[[ ${#clients[@]} -gt 0 ]] || clients=("$here/lessonry-student")
command -v openbox >/dev/null || { echo "bench_idle: no window manager (install openbox)" >&2; exit 1; }

# The accessibility bridge would wake the clients: widgets are not reached here.
export XD_BY_POSITION=1
source "$lib/xdrive.sh"
source "$lib/client.sh"
source "$lib/services.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-bench-idle.XXXXXX")
watched_pid=""
wm_pid=""
cleanup() {
    if [[ -n "$watched_pid" ]]; then
        kill "$watched_pid" 2>/dev/null || true
        wait "$watched_pid" 2>/dev/null || true
    fi
    if [[ -n "$wm_pid" ]]; then
        kill "$wm_pid" 2>/dev/null || true
        wait "$wm_pid" 2>/dev/null || true
    fi
    xd_stop_display
    service_stop
    rm -rf "$work"
}
trap cleanup EXIT

service_start "$here" "$work/service.log"
broker_start "$work"
service_write_servers_ini "$work/servers.ini" "$SERVICE_PORT" "$BROKER_PORT"
xd_start_display 1280x900 >/dev/null
mkdir -p "$work/wm"
HOME="$work/wm" XDG_CONFIG_HOME="$work/wm" openbox --sm-disable >"$work/wm/openbox.log" 2>&1 &
wm_pid=$!
# The window manager owns the screen once it has set its check window.
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    kill -0 "$wm_pid" 2>/dev/null || { echo "bench_idle: openbox did not start: $(cat "$work/wm/openbox.log")" >&2; exit 1; }
    sleep 0.1
done

# "<tid> <name> <switches>" for every thread.
snapshot() {
    local pid=$1 task name switches
    for task in /proc/"$pid"/task/*; do
        name=$(tr ' ' '_' 2>/dev/null <"$task/comm") || continue
        switches=$(awk '/ctxt_switches/ { s += $2 } END { print s }' 2>/dev/null <"$task/status") || continue
        echo "$(basename "$task") $name $switches"
    done
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# Starts the client or the bare window, waits for its window, checks that
# the window manager made it the active one, lets it settle and watches
# it. Prints "<wake-ups> <cpu %>" on the last line, the threads that woke
# before it. Runs in this shell (not in a command substitution), so a
# failure here still ends the watched process.
#   watch <label> <program> <window title>
watch() {
    local label=$1 program=$2 title=$3 profile="$work/profile-$RANDOM"
    if [[ "$label" == client ]]; then
        client_new_profile student "$profile"
        client_start student "$(dirname "$program")" "$profile" "$work/servers.ini" "$profile/output.txt"
        # client_start runs <bin>/lessonry-student: another build's client is started by its path.
        if [[ "$program" != "$(dirname "$program")/lessonry-student" ]]; then
            kill "$CLIENT_PID" 2>/dev/null || true
            wait "$CLIENT_PID" 2>/dev/null || true
            HOME="$profile/home" XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" \
                XDG_CACHE_HOME="$profile/cache" XDG_RUNTIME_DIR="$profile/runtime" TMPDIR="$profile/tmp" \
                LESSONRY_SERVERS_INI="$work/servers.ini" QT_QPA_PLATFORM=xcb "$program" >>"$profile/output.txt" 2>&1 &
            CLIENT_PID=$!
        fi
        watched_pid=$CLIENT_PID
    else
        mkdir -p -m 700 "$profile"
        XDG_RUNTIME_DIR="$profile" QT_QPA_PLATFORM=xcb "$program" >"$profile.txt" 2>&1 &
        watched_pid=$!
    fi
    xd_wait_window "$title" 30 "$watched_pid" >&2
    local window=$XD_WINDOW active=""
    sleep 5
    active=$(xdotool getactivewindow 2>/dev/null || true)
    if [[ "$active" != "$window" ]]; then
        # The window manager may hold a new window back from the focus: ask
        # it once, as a click on the window would.
        echo "  the $label's window was not made active; activating it" >&2
        xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
        sleep 5
        active=$(xdotool getactivewindow 2>/dev/null || true)
    fi
    if [[ "$active" != "$window" ]]; then
        echo "bench_idle: the $label's window ($window) is not the active one (${active:-none}): its cursor would not blink" >&2
        exit 1
    fi
    local before after ticks_before ticks_after
    before=$(snapshot "$watched_pid")
    ticks_before=$(cpu_ticks "$watched_pid")
    sleep "$seconds"
    after=$(snapshot "$watched_pid")
    ticks_after=$(cpu_ticks "$watched_pid")
    # The window must still be the active one at the end of the watch.
    active=$(xdotool getactivewindow 2>/dev/null || true)
    [[ "$active" == "$window" ]] || { echo "bench_idle: the $label's window lost the focus while watched" >&2; exit 1; }
    local status=0
    kill "$watched_pid"
    wait "$watched_pid" || status=$?
    watched_pid=""
    # SIGTERM ends the client as its own quit does; the bare window has no handler.
    if [[ "$label" == client && $status -ne 0 ]]; then
        echo "bench_idle: the client ended with status $status" >&2
        exit 1
    fi
    join <(sort <<<"$before") <(sort <<<"$after") |
        awk -v s="$seconds" -v hz="$(getconf CLK_TCK)" -v a="$ticks_after" -v b="$ticks_before" '
            { d = $5 - $3; total += d; if (d > 0) printf "    %-22s %6d wake-ups  %6.2f /s\n", $2, d, d / s }
            END { printf "%d %.4f\n", total, (a - b) / hz / s * 100 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else if (a > 0) printf "inf"; else printf "1 (both 0)" }'; }

echo "idle at the window, $seconds s after 5 s to settle, under openbox on Xvfb $DISPLAY; load: $(cut -d' ' -f1-3 /proc/loadavg)"
status=0
for client in "${clients[@]}"; do
    echo "== $client beside the bare window with a blinking line edit, $rounds rounds taking turns"
    wake_ratios=() cpu_ratios=()
    for round in $(seq "$rounds"); do
        order=(client bare)
        ((round % 2)) || order=(bare client)
        declare -A figures=()
        for side in "${order[@]}"; do
            if [[ "$side" == client ]]; then
                watch client "$client" "$CLIENT_LOGIN_TITLE" >"$work/watched.txt"
            else
                watch bare "$here/bench_idle_bare" "Idle bare window" >"$work/watched.txt"
            fi
            lines=$(cat "$work/watched.txt")
            figures[$side]=$(tail -n 1 <<<"$lines")
            read -r wakes cpu <<<"${figures[$side]}"
            printf '  round %d %-6s %5d wake-ups (%5.2f /s)  CPU %.3f %% of a core\n' "$round" "$side" "$wakes" \
                "$(awk -v w="$wakes" -v s="$seconds" 'BEGIN { print w / s }')" "$cpu"
            head -n -1 <<<"$lines"
        done
        read -r cw cc <<<"${figures[client]}"
        read -r bw bc <<<"${figures[bare]}"
        wake_ratios+=("$(ratio "$cw" "$bw")")
        cpu_ratios+=("$(ratio "$cc" "$bc")")
        echo "  round $round client / bare: wake-ups ${wake_ratios[-1]}, CPU ${cpu_ratios[-1]}"
    done
    echo "  client / bare per round: wake-ups ${wake_ratios[*]}; CPU ${cpu_ratios[*]}"
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
