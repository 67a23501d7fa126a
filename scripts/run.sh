#!/bin/bash
# Installs what is missing, builds, starts the stand-in lesson service on
# 127.0.0.1:18080 (where the shipped servers.ini points) and opens the
# client against it.
#   bash scripts/run.sh             the student client
#   bash scripts/run.sh --teacher   the teacher client
#
# Without a display ($DISPLAY unset) the client runs under Xvfb instead: it
# signs in with the demo account through the login window, saves a picture
# of every window it reaches into out/screenshots/ with a short report
# (demo-result.txt), and ends. That run keeps its settings and logs in
# out/demo-profile/, so a login saved on this machine does not change it.
# The services started here are stopped when the script ends.
set -euo pipefail
cd "$(dirname "$0")/.."

role=student
for arg in "$@"; do
    case "$arg" in
        --teacher) role=teacher ;;
        *) echo "run.sh: unknown option $arg (only --teacher is known)" >&2; exit 2 ;;
    esac
done
client=lessonry-$role

bash scripts/install-deps.sh
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
bin="$BUILD_DIR/bin"

# The client reads the shipped servers.ini next to it.
unset LESSONRY_SERVERS_INI

port=18080
service_log=$(mktemp "${TMPDIR:-/tmp}/lessonry-service.XXXXXX")
service_pid=""
stop_services() {
    if [[ -n "$service_pid" ]]; then
        kill "$service_pid" 2>/dev/null || true
        wait "$service_pid" 2>/dev/null || true
        service_pid=""
    fi
    rm -f "$service_log"
}
trap stop_services EXIT
trap 'exit 130' INT TERM

"$bin/lessonry-lesson-service" --port "$port" >"$service_log" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
    grep -q '^listening on 127.0.0.1:' "$service_log" && break
    if ! kill -0 "$service_pid" 2>/dev/null; then
        echo "run.sh: the lesson service did not start (is port $port in use?):" >&2
        cat "$service_log" >&2
        service_pid=""
        exit 1
    fi
    sleep 0.1
done
if ! grep -q '^listening on 127.0.0.1:' "$service_log"; then
    echo "run.sh: the lesson service did not report ready on port $port" >&2
    exit 1
fi
echo "run.sh: lesson service on http://127.0.0.1:$port"

if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
    "$bin/$client"
    exit $?
fi

# Headless: drive the real login window under Xvfb and keep pictures.
if [[ "$role" == teacher ]]; then
    demo_login="teacher@example.com:teacher123"
else
    demo_login="13800000001:student123"
fi
shots="$PWD/out/screenshots"
profile="$PWD/out/demo-profile"
rm -rf "$shots" "$profile"
mkdir -p "$shots" "$profile/config" "$profile/data" "$profile/cache"

echo "run.sh: no display; signing in as ${demo_login%%:*} under Xvfb"
status=0
env XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" XDG_CACHE_HOME="$profile/cache" \
    LESSONRY_DEMO_LOGIN="$demo_login" LESSONRY_DEMO_SCREENSHOTS="$shots" \
    QT_QPA_PLATFORM=xcb \
    timeout 180 xvfb-run -a -s "-screen 0 1280x800x24" "$bin/$client" >"$profile/client-output.txt" 2>&1 || status=$?

echo "run.sh: screenshots in $shots"
if [[ -f "$shots/demo-result.txt" ]]; then
    sed 's/^/  /' "$shots/demo-result.txt"
fi
if [[ $status -ne 0 ]]; then
    echo "run.sh: the client ended with status $status (output: $profile/client-output.txt)" >&2
    exit 1
fi
if ! grep -q '^result: signed in$' "$shots/demo-result.txt" 2>/dev/null; then
    echo "run.sh: the demo did not reach the course window" >&2
    exit 1
fi
