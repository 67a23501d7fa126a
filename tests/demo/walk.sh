#!/bin/bash
# The headless walk of scripts/demo.sh through both clients against the
# stand-in lesson service, as "scripts/run.sh --both --headless" does it,
# in a folder of its own.
#   walk.sh <bin folder> [role ...]     (both roles when none is named)
set -euo pipefail
bin=$(cd "$1" && pwd)
shift
roles=("$@")
((${#roles[@]})) || roles=(student teacher)
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
source "$scripts/lib/services.sh"
source "$scripts/lib/xdrive.sh"

# Widgets the bridge does not show: the timetable's rows are index widgets
# of a list view, which lists its cells only.
by_position=('Enter classroom|进入教室')

out=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-walk.XXXXXX")
# A helper that does not end with status 0 fails the walk.
trap 'status=$?; service_stop || status=1; rm -rf "$out"; exit $status' EXIT
service_start "$bin" "$out/lesson-service.log"
broker_start "$out"
service_write_servers_ini "$out/servers.ini" "$SERVICE_PORT" "$BROKER_PORT"

status=0
for role in "${roles[@]}"; do
    if ! bash "$scripts/demo.sh" "$role" "$bin" "$out/servers.ini" "$out/$role"; then
        echo "walk: the $role walk failed; its output:" >&2
        cat "$out/$role/client-output.txt" >&2 || true
        status=1
        continue
    fi
    # With the bridge on, a widget reached by position has lost its name.
    missed=$(xd_report_missed_names "$out/$role/screenshots/demo-result.txt" "${by_position[@]}")
    if [[ -n "$missed" ]]; then
        echo "walk: the $role's walk reached these by position although the bridge was on: ${missed//$'\n'/, }" >&2
        status=1
    fi
    for shot in 01-login.png 02-login-filled.png 03-course.png 04-settings.png 08-device-test-camera.png 10-classroom.png; do
        if [[ ! -s "$out/$role/screenshots/$shot" ]]; then
            echo "walk: no $shot for the $role" >&2
            status=1
        fi
    done
done
exit $status
