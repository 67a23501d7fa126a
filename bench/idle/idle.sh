#!/bin/bash
# What an idle client costs in the course window: the real client, signed
# in by scripts/demo.sh on its private Xvfb display and held in the course
# window, next to a bare Qt window (bench_startup_bare) on the same
# display, both measured over the same seconds. For each process: CPU time
# as a share of one core, and wake-ups per second of each thread (its
# voluntary context switches: a thread that slept and was woken).
#
#   bash bench/idle/idle.sh [seconds, default 60] [student|teacher]
#
# Needs a build (BUILD_DIR, default build) with the clients, the lesson
# service and the benchmarks.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
role=${2:-student}
bin="$PWD/${BUILD_DIR:-build}/bin"
source scripts/lib/services.sh

work=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-idle.XXXXXX")
demo_pid="" bare_pid=""
finish() {
    rm -f "$work/hold"
    [[ -n "$bare_pid" ]] && kill "$bare_pid" 2>/dev/null || true
    [[ -n "$demo_pid" ]] && wait "$demo_pid" 2>/dev/null || true
    service_stop
    rm -rf "$work"
}
trap finish EXIT

service_start "$bin" "$work/service.log"
broker_start "$work"
service_write_servers_ini "$work/servers.ini" "$SERVICE_PORT" "$BROKER_PORT"
DEMO_HOLD="$work/hold" bash scripts/demo.sh "$role" "$bin" "$work/servers.ini" "$work/$role" >"$work/demo.log" 2>&1 &
demo_pid=$!
client=""
for _ in $(seq 600); do
    client=$(sed -n 's/^holding \([0-9]*\)$/\1/p' "$work/demo.log")
    [[ -n "$client" ]] && break
    kill -0 "$demo_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ -z "$client" ]]; then
    echo "idle: the client did not reach the course window:" >&2
    cat "$work/demo.log" >&2
    exit 1
fi
display=$(sed -n 's/^demo: .* client on display \(:[0-9]*\)$/\1/p' "$work/demo.log" | head -n 1)
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/$role/profile/runtime" \
    "$bin/bench_startup_bare" --stay >/dev/null 2>&1 &
bare_pid=$!

# The last pictures and replies of the course window come in first.
sleep 10

# "<tid> <name> <voluntary switches>" for every thread, then "cpu <ticks>".
snapshot() {
    local pid=$1 task
    for task in /proc/"$pid"/task/*; do
        echo "$(basename "$task") $(tr ' ' '_' <"$task/comm") $(sed -n 's/^voluntary_ctxt_switches:\s*//p' "$task/status")"
    done
    echo "cpu $(awk '{print $14 + $15}' /proc/"$pid"/stat)"
}

snapshot "$client" >"$work/client.before"
snapshot "$bare_pid" >"$work/bare.before"
sleep "$seconds"
snapshot "$client" >"$work/client.after"
snapshot "$bare_pid" >"$work/bare.after"

ticks=$(getconf CLK_TCK)
report() { # name before after
    awk -v name="$1" -v seconds="$seconds" -v ticks="$ticks" '
        NR == FNR { if ($1 == "cpu") cpu0 = $2; else { before[$1] = $3; label[$1] = $2 } next }
        $1 == "cpu" { cpu1 = $2; next }
        { if ($1 in before) { rate = ($3 - before[$1]) / seconds; total += rate
                              if (rate > 0) lines = lines sprintf("    %-22s %6.2f wake-ups/s\n", $2, rate) } }
        END { printf "%s: CPU %.3f %% of a core, %.2f wake-ups/s in all\n%s", name,
                     100 * (cpu1 - cpu0) / ticks / seconds, total, lines }' "$2" "$3"
}
echo "idle for $seconds s, $role client in the course window beside a bare Qt window (display $display)"
report "client (pid $client)" "$work/client.before" "$work/client.after"
report "bare Qt window" "$work/bare.before" "$work/bare.after"
