#!/bin/bash
# A lesson between the real teacher and student clients, as
# "scripts/run.sh --lesson" shows it headless: scripts/lesson.sh --walk
# against the stand-in lesson service and one broker, in a folder of its
# own. The walk itself checks the wire, the lesson service's records, the
# pictures and that each client hears the other's tone; on failure its report and both clients' logs are printed.
#   lessonwalk.sh <bin folder> [halves]
# halves: "inclass", "closing" or both (the default), the halves of the
# walk after both have entered the classroom.
set -euo pipefail
bin=$(cd "$1" && pwd)
export LESSON_WALK_HALVES=${2:-inclass closing}
scripts="$(cd "$(dirname "$0")/../../scripts" && pwd)"
source "$scripts/lib/services.sh"
source "$scripts/lib/xdrive.sh"

# Widgets the bridge does not show: the rows of the course window and of
# the media panels are index widgets of list views, which list their cells
# only.
by_position=('Enter classroom|进入教室' 'Download|下载' 'Play|播放')

out=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-lesson.XXXXXX")
# A helper that does not end with status 0 fails the walk.
trap 'status=$?; service_stop || status=1; rm -rf "$out"; exit $status' EXIT
service_start "$bin" "$out/lesson-service.log"
broker_start "$out"
# The clients' sound and video go through a media server of the walk's own.
janus_start "$out"
service_write_servers_ini "$out/servers.ini" "$SERVICE_PORT" "$BROKER_PORT" "$JANUS_PORT"

if ! bash "$scripts/lesson.sh" "$bin" "$out/servers.ini" "$BROKER_PORT" "$out/lesson" --walk; then
    for role in teacher student; do
        echo "lessonwalk: the $role's output:" >&2
        cat "$out/lesson/$role/client-output.txt" >&2 || true
        log=$(ls -t "$out/lesson/$role/profile/data/lessonry-$role/log"/velmo_*[0-9].log 2>/dev/null | head -n 1 || true)
        if [[ -n "$log" ]]; then
            echo "lessonwalk: the end of the $role's log:" >&2
            tail -n 40 "$log" | cut -c1-300 >&2
        fi
    done
    exit 1
fi
# With the bridge on, a widget reached by position has lost its name.
missed=$(xd_report_missed_names "$out/lesson/screenshots/lesson-result.txt" "${by_position[@]}")
if [[ -n "$missed" ]]; then
    echo "lessonwalk: reached by position although the bridge was on: ${missed//$'\n'/, }" >&2
    exit 1
fi
shots=(teacher-classroom student-classroom)
if [[ " $LESSON_WALK_HALVES " == *" closing "* ]]; then
    # A picture per role of every closing step.
    for role in teacher student; do
        shots+=("$role-award-flight" "$role-award-rest" "$role-award-back-to-class" "$role-order-reentered"
            "$role-broker-away" "$role-broker-back")
    done
    # (The student's video is pictured when the machine leaves time for it.)
    shots+=(teacher-media-audio-playing teacher-media-closed student-media-closed
        student-order-notice student-review teacher-course-after-lesson)
fi
for shot in "${shots[@]}"; do
    if ! ls "$out/lesson/screenshots/"*"-$shot.png" >/dev/null 2>&1; then
        echo "lessonwalk: no picture of the $shot" >&2
        exit 1
    fi
done
