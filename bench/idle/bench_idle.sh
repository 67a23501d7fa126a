#!/bin/bash
# Wake-ups of an idle client at the login window, thread by thread: each
# client given (default: this build's lessonry-student) starts on a
# private Xvfb display (-noreset) with a fresh profile, settles for 5 s,
# and is then watched for <seconds> (default 20): voluntary and forced
# context switches of every thread (/proc/<pid>/task/*/status: a thread
# that sleeps and wakes switches once per wake-up) and the CPU time used.
#
#   bench_idle [seconds] [client ...]
#
# Give an older build's client as a second argument to see both side by
# side.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-20}
shift || true
clients=("$@")
[[ ${#clients[@]} -gt 0 ]] || clients=("$here/lessonry-student")

work=$(mktemp -d)
xvfb_pid=
client_pid=
cleanup() {
    [[ -n "$client_pid" ]] && kill "$client_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=
for n in $(seq 170 240); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then
        Xvfb ":$n" -noreset -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        display=":$n"
        sleep 0.5
        kill -0 "$xvfb_pid" 2>/dev/null && break
        display=
    fi
done
[[ -n "$display" ]] || { echo "no free X display" >&2; exit 1; }

snapshot() { # pid -> lines "tid name switches"
    local pid=$1 task
    for task in /proc/"$pid"/task/*; do
        local name switches
        name=$(tr ' ' '_' <"$task/comm" 2>/dev/null) || continue
        switches=$(awk '/ctxt_switches/ { s += $2 } END { print s }' "$task/status" 2>/dev/null) || continue
        echo "$(basename "$task") $name $switches"
    done
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

for client in "${clients[@]}"; do
    profile="$work/profile-$RANDOM"
    mkdir -p "$profile/home" "$profile/data" "$profile/config" "$profile/runtime"
    chmod 700 "$profile/runtime"
    HOME="$profile/home" XDG_DATA_HOME="$profile/data" XDG_CONFIG_HOME="$profile/config" \
        XDG_RUNTIME_DIR="$profile/runtime" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
        "$client" >"$profile/output.txt" 2>&1 &
    client_pid=$!
    sleep 5
    if ! kill -0 "$client_pid" 2>/dev/null; then
        echo "== $client ended before it could be watched (output: $(head -c 300 "$profile/output.txt"))"
        client_pid=
        continue
    fi
    threads=$(ls /proc/"$client_pid"/task | wc -l)
    before=$(snapshot "$client_pid")
    ticks_before=$(cpu_ticks "$client_pid")
    sleep "$seconds"
    after=$(snapshot "$client_pid")
    ticks_after=$(cpu_ticks "$client_pid")
    hz=$(getconf CLK_TCK)
    echo "== $client: $seconds s idle at the login window ($threads threads)"
    join <(sort <<<"$before") <(sort <<<"$after") |
        awk -v s="$seconds" '{ d = $5 - $3; total += d; if (d > 0) printf "  %-22s %6d wake-ups  %6.2f /s\n", $2, d, d / s }
                             END { printf "  %-22s %6d wake-ups  %6.2f /s\n", "all threads", total, total / s }'
    awk -v a="$ticks_after" -v b="$ticks_before" -v hz="$hz" -v s="$seconds" \
        'BEGIN { printf "  CPU %.3f %% of a core\n", (a - b) / hz / s * 100 }'
    kill "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
    client_pid=
done
