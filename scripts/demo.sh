#!/bin/bash
# The headless walk through one client, driven from outside as a person
# would: the real client on a private Xvfb display, the demo account typed
# into the login window, the sign-in button pressed, and a picture of each
# window reached. Called by scripts/run.sh, which starts the services.
#
#   bash scripts/demo.sh <student|teacher> <bin folder> <servers file> <out folder>
#
# The out folder receives profile/ (the client's settings, data and logs,
# new for every walk), screenshots/ (the pictures and demo-result.txt) and
# client-output.txt. From the filled course window it opens the settings
# window and from there the device test up to its camera step (the
# engine's synthetic camera), closes both, then enters today's first
# lesson and pictures the classroom. Exits non-zero, naming the step,
# unless the course window and the classroom were reached.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/lib/xdrive.sh"
source "$here/lib/client.sh"

if [[ $# -ne 4 ]]; then
    echo "usage: demo.sh <student|teacher> <bin folder> <servers file> <out folder>" >&2
    exit 2
fi
role=$1 bin=$2 servers=$3 out=$4

case "$role" in
    student) setting_button=(182 68) ;;
    teacher) setting_button=(77 125) ;;
    *) echo "demo.sh: the role is student or teacher, not \"$role\"" >&2; exit 2 ;;
esac
# In the settings window (opened by the course window's settings button)
# its "Detect" button and close button; in the device test "Start", the
# speaker and microphone answers and the wizard's close button. Each is
# reached by its accessible name (in either language: the student client
# is in Chinese) where the bridge finds it, else at its place here.
detect_button=(240 205)
settings_close=(470 30)
test_start=(353 387)
test_heard=(495 465)
test_close=(691 14)

profile="$out/profile"
rm -rf "$out/screenshots"
client_new_profile "$role" "$profile"
xd_set_shot_dir "$out/screenshots"
XD_REPORT="$out/screenshots/demo-result.txt"
: >"$XD_REPORT"

client_pid=""
finish() {
    if [[ -n "$client_pid" ]]; then
        kill "$client_pid" 2>/dev/null || true
        wait "$client_pid" 2>/dev/null || true
    fi
    xd_stop_display
}
trap finish EXIT

xd_start_display 1280x800
xd_note "$role client on display $DISPLAY"

client_start "$role" "$bin" "$profile" "$servers" "$out/client-output.txt"
client_pid=$CLIENT_PID
client_sign_in "$role" "$client_pid"
course=$CLIENT_COURSE_WINDOW
xd_note "result: signed in"

# With DEMO_HOLD naming a file, the walk stops here: it says "holding
# <client pid>" and keeps the client in the course window until the file
# is gone (bench/idle measures the idle client so).
if [[ -n "${DEMO_HOLD:-}" ]]; then
    : >"$DEMO_HOLD"
    echo "holding $client_pid"
    while [[ -e "$DEMO_HOLD" ]] && kill -0 "$client_pid" 2>/dev/null; do
        sleep 0.5
    done
    exit 0
fi

# The settings window and, from it, the device test up to the camera step,
# where the engine's synthetic camera shows its moving test picture.
xd_note "opening the settings window"
settings_title='Setting|设置'
test_title='Device detection|设备检测'
xd_click_named "$course" "$client_pid" "$CLIENT_COURSE_TITLE" 'Setting|设置' "${setting_button[@]}"
xd_wait_window "$settings_title" 10 "$client_pid"
settings=$XD_WINDOW
xd_screenshot "$settings" settings
xd_click_named "$settings" "$client_pid" "$settings_title" 'Detect|开始检测' "${detect_button[@]}"
xd_wait_window "$test_title" 10 "$client_pid"
device_test=$XD_WINDOW
xd_screenshot "$device_test" device-test
# The speaker, microphone and camera steps move all the time (level
# meters, the camera picture): each is taken a moment after its page came.
xd_click_named "$device_test" "$client_pid" "$test_title" 'Start|开始' "${test_start[@]}"
sleep 0.5
xd_screenshot "$device_test" device-test-speaker 0
xd_click_named "$device_test" "$client_pid" "$test_title" 'Hear Sound|能听到' "${test_heard[@]}"
sleep 0.5
xd_screenshot "$device_test" device-test-microphone 0
xd_click_named "$device_test" "$client_pid" "$test_title" 'I can see|能看到' "${test_heard[@]}"
sleep 1
xd_screenshot "$device_test" device-test-camera 0
xd_note "device test: camera step reached"
xd_click_named "$device_test" "$client_pid" "$test_title" 'Close|关闭' "${test_close[@]}"
xd_wait_window_gone "$device_test" 10
xd_screenshot "$settings" settings-after-test
xd_click_named "$settings" "$client_pid" "$settings_title" 'Close|关闭' "${settings_close[@]}"
xd_wait_window_gone "$settings" 10

client_enter_first_lesson "$role" "$client_pid" "$course"
xd_screenshot "$CLIENT_CLASSROOM_WINDOW" classroom
xd_note "classroom: reached"
