#!/bin/bash
# A lesson between the two real clients: the demo teacher and the demo
# student, each with a profile of its own, sign in on one display, enter
# today's first lesson (class 10001) from their course windows and meet in
# the classroom; the broker's traffic is recorded meanwhile. Called by
# scripts/run.sh --lesson, which starts the services.
#
#   bash scripts/lesson.sh <bin folder> <servers file> <broker port> <out folder> [--walk]
#
# With --walk the two run side by side on a private Xvfb display and are
# driven from outside, each sending a tone of its own as its microphone
# and playing into a sink of a private PulseAudio, where the walk listens; every window reached is pictured in
# <out>/screenshots/ ("teacher-…", "student-…") with a short report
# (lesson-result.txt); the recorded traffic is <out>/wire.txt. The walk
# fails, naming the step, unless both classrooms opened and each client
# announced itself to the class (message 103 on the class's channel).
# Without --walk both clients open on the current display and the script
# waits until both are closed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib/xdrive.sh"
source "$here/lib/client.sh"
source "$here/lib/backend.sh"
source "$here/lib/services.sh"
source "$here/lib/sound.sh"

if [[ $# -lt 4 || $# -gt 5 ]] || [[ $# -eq 5 && "$5" != --walk ]]; then
    echo "usage: lesson.sh <bin folder> <servers file> <broker port> <out folder> [--walk]" >&2
    exit 2
fi
bin=$1 servers=$2 broker=$3 out=$4
walk=0
[[ $# -eq 5 ]] && walk=1

class_id=10001
# Each client's share of the display.
width=1040 height=760

mkdir -p "$out"
rm -rf "$out/screenshots"
xd_set_shot_dir "$out/screenshots"
XD_REPORT="$out/screenshots/lesson-result.txt"
: >"$XD_REPORT"

declare -A pid
# Ends both clients the normal way (SIGTERM quits as the program's own
# quit does); a client that ends with another status than 0 fails the run.
finish() {
    local status=$? role code
    for role in teacher student; do
        if [[ -n "${pid[$role]:-}" ]]; then
            kill "${pid[$role]}" 2>/dev/null || true
            code=0
            wait "${pid[$role]}" 2>/dev/null || code=$?
            if ((code != 0)); then
                echo "demo: FAILED: the $role's client ended with status $code" >&2
                echo "result: failed: the $role's client ended with status $code" >>"$XD_REPORT"
                status=1
            fi
        fi
    done
    wire_record_stop
    sound_stop
    xd_stop_display
    exit "$status"
}
trap finish EXIT

# Who hears whom: each client's synthetic microphone sends a tone of its
# own, and each plays into a sink of its own, listened to by the walk.
declare -A LESSON_TONE=([teacher]=700 [student]=1100)
declare -A LESSON_EAR=([teacher]=lessonry_teacher_ear [student]=lessonry_student_ear)
if ((walk)); then
    xd_start_display "$((2 * width))x800"
    sound_start "$out" "${LESSON_EAR[@]}" || xd_fail "no sound server for the clients"
fi
[[ -n "${DISPLAY:-}" ]] || xd_fail "no display (run with --walk)"
xd_note "lesson of class $class_id on display $DISPLAY"
wire_record_start "$broker" "$out/wire.txt"

for role in teacher student; do
    client_new_profile "$role" "$out/$role/profile"
    CLIENT_ENV=()
    if ((walk)); then
        client_set_speaker "$role" "$out/$role/profile" "${LESSON_EAR[$role]}"
        CLIENT_ENV=(PULSE_SERVER="$SOUND_SERVER" LESSONRY_TONE_HZ="${LESSON_TONE[$role]}")
    fi
    client_start "$role" "$bin" "$out/$role/profile" "$servers" "$out/$role/client-output.txt"
    pid[$role]=$CLIENT_PID
    xd_note "$role client: pid $CLIENT_PID, log folder $out/$role/profile/data/lessonry-$role/log"
done

if ((!walk)); then
    echo "lesson.sh: sign in as teacher@example.com / teacher123 and 13800000001 / student123, then enter class $class_id"
    for role in teacher student; do
        wait "${pid[$role]}" || true
        pid[$role]=""
    done
    exit 0
fi

# Both login windows open in the middle of the display, one over the
# other: each is moved to its own half before either is used.
declare -A left=([teacher]=0 [student]=$width)
for role in teacher student; do
    xd_wait_window "$CLIENT_LOGIN_TITLE" 30 "${pid[$role]}"
    client_place "$XD_WINDOW" "${left[$role]}" 0
done
declare -A classroom
for role in teacher student; do
    CLIENT_SHOT_PREFIX="$role-"
    client_sign_in "$role" "${pid[$role]}" "${left[$role]}"
    client_enter_first_lesson "$role" "${pid[$role]}" "$CLIENT_COURSE_WINDOW"
    classroom[$role]=$CLIENT_CLASSROOM_WINDOW
    # The student's classroom opens maximised: each keeps its half here.
    xdotool windowsize --sync "${classroom[$role]}" "$width" "$height" >/dev/null 2>&1 || true
    client_place "${classroom[$role]}" "${left[$role]}" 0
done

# Each side announces itself on the class's channel once the other has
# joined the video channel.
for role in teacher student; do
    client_account "$role"
    if ! wire_wait 1 60 "^tp/velmo/signal/channel/$class_id/message " '"type": ?103[,}]' "\"sender\": ?\"$CLIENT_UID\""; then
        CLIENT_SHOT_PREFIX="$role-"
        xd_screenshot "${classroom[$role]}" "${CLIENT_SHOT_PREFIX}classroom-waiting" 0
        xd_fail "the $role ($CLIENT_UID) did not announce itself to class $class_id (traffic: $out/wire.txt)"
    fi
    xd_note "the $role announced itself to class $class_id"
done

# The teacher tells the student which mode the class is in, on the
# student's own topic.
client_account student
student_uid=$CLIENT_UID
client_account teacher
if ! wire_wait 1 30 "^tp/velmo/signal/p2p/$student_uid/channel/$class_id " '"type": ?410[,}]' "\"sender\": ?\"$CLIENT_UID\""; then
    xd_fail "the teacher did not send the class mode (410) to the student (traffic: $out/wire.txt)"
fi
xd_note "the teacher sent the class mode to the student"

# Both course windows report the lesson joined to the lesson service.
service_port=$(sed -n 's|^main=http://127\.0\.0\.1:\([0-9]*\).*|\1|p' "$servers" | head -n 1)
for role in teacher student; do
    service_wait_event "$service_port" "$role" class/join 30 ||
        xd_fail "the $role's client did not report \"class/join\" to the lesson service"
done
xd_note "both reported \"class/join\""

for role in teacher student; do
    xd_screenshot "${classroom[$role]}" "$role-classroom" 5
done
xd_note "both in class $class_id"

# Clicks the widget named <name> in the role's classroom, or at (x, y) of
# it when the bridge does not find it (see xd_click_named).
#   walk_click <role> <name> <x> <y>
walk_click() {
    local role=$1
    shift
    xd_click_named "${classroom[$role]}" "${pid[$role]}" "$CLIENT_CLASSROOM_TITLE" "$@"
}

# The lesson itself, in the order two people go through it: what happens
# in class, then the award, the lesson media and the leaving.
# LESSON_WALK_HALVES names the halves to walk ("inclass", "closing"; both
# when unset), so a test can walk one of them.
source "$here/lib/walk_inclass.sh"
source "$here/lib/walk_closing.sh"
halves=${LESSON_WALK_HALVES:-inclass closing}
[[ " $halves " == *" inclass "* ]] && walk_inclass
[[ " $halves " == *" closing "* ]] && walk_closing
xd_note "result: the lesson walked through"
