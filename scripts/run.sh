#!/bin/bash
# Installs what is missing, builds the clients and the stand-in lesson
# service (nothing else), starts the service and a message broker on free
# ports with a servers file of their own (out/servers.ini) and opens the
# client against them.
#   bash scripts/run.sh               the student client
#   bash scripts/run.sh --teacher     the teacher client
#   bash scripts/run.sh --both        both clients, one after the other
#   bash scripts/run.sh --headless    the walk below even with a display
#   bash scripts/run.sh --lesson      the teacher and the student client
#                                     together in today's first lesson
#
# Each role keeps its files in out/<role>/: profile/ (settings, data, logs)
# and, for a headless run, screenshots/.
#
# Without a display ($DISPLAY unset) or with --headless, scripts/demo.sh
# walks each client under Xvfb from outside: it types the demo account into
# the login window, presses the button, keeps a picture of every window it
# reaches in out/<role>/screenshots/ with a short report (demo-result.txt),
# and fails unless the course window was reached. The service and the
# broker are stopped when the script ends.
#
# With --lesson, scripts/lesson.sh starts both clients side by side; headless,
# it signs both in, takes them into the same lesson and pictures both
# classrooms in out/lesson/screenshots/, with the broker's traffic in
# out/lesson/wire.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

roles=(student)
headless=0
lesson=0
for arg in "$@"; do
    case "$arg" in
        --teacher) roles=(teacher) ;;
        --both) roles=(student teacher) ;;
        --headless) headless=1 ;;
        --lesson) lesson=1 ;;
        *) echo "run.sh: unknown option $arg (known: --teacher, --both, --headless, --lesson)" >&2; exit 2 ;;
    esac
done
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    headless=1
fi

bash scripts/install-deps.sh
bash scripts/build.sh lessonry-student lessonry-teacher lessonry-lesson-service
BUILD_DIR=${BUILD_DIR:-build}
bin="$BUILD_DIR/bin"
out="$PWD/out"
mkdir -p "$out"

source scripts/lib/services.sh
trap service_stop EXIT
trap 'exit 130' INT TERM
service_start "$bin" "$out/lesson-service.log" || exit 1
broker_start "$out" || exit 1
janus_start "$out" || echo "run.sh: no media server: the lesson runs without sound and video" >&2
echo "run.sh: lesson service on http://127.0.0.1:$SERVICE_PORT, message broker on 127.0.0.1:$BROKER_PORT, Janus on ${JANUS_PORT:-(none)}"
servers="$out/servers.ini"
service_write_servers_ini "$servers" "$SERVICE_PORT" "$BROKER_PORT" "$JANUS_PORT"

if ((lesson)); then
    walk=()
    ((headless)) && walk=(--walk)
    status=0
    bash scripts/lesson.sh "$bin" "$servers" "$BROKER_PORT" "$out/lesson" "${walk[@]}" || status=$?
    ((headless)) && echo "run.sh: lesson screenshots in $out/lesson/screenshots"
    exit $status
fi

status=0
for role in "${roles[@]}"; do
    if ((headless)); then
        bash scripts/demo.sh "$role" "$bin" "$servers" "$out/$role" || status=1
        echo "run.sh: $role screenshots in $out/$role/screenshots"
    else
        profile="$out/$role/profile"
        mkdir -p "$profile/config" "$profile/data" "$profile/cache"
        mkdir -p -m 700 "$profile/runtime"
        echo "run.sh: $role log in $profile/data/lessonry-$role/log/ (velmo_<version>_<user>_<date>.log, dated in Beijing time)"
        env XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" XDG_CACHE_HOME="$profile/cache" \
            XDG_RUNTIME_DIR="$profile/runtime" \
            LESSONRY_SERVERS_INI="$servers" "$bin/lessonry-$role" || status=$?
    fi
done
exit $status
