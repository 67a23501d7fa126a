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

if [[ $# -ne 4 ]]; then
    echo "usage: demo.sh <student|teacher> <bin folder> <servers file> <out folder>" >&2
    exit 2
fi
role=$1 bin=$2 servers=$3 out=$4

# Titles in either language (the student client is in Chinese).
login_title='Login|登录'
course_title='Schedule|课表'
classroom_title='Classroom|教室'
case "$role" in
    student) user=13800000001 password=student123 ;;
    teacher) user=teacher@example.com password=teacher123 ;;
    *) echo "demo.sh: the role is student or teacher, not \"$role\"" >&2; exit 2 ;;
esac
client="$bin/lessonry-$role"
[[ -x "$client" ]] || xd_fail "no client at $client (build it first)"

# The login form's layout is fixed: centres of its fields, from the
# window's top-left corner.
user_field=(200 147)
password_field=(200 180)
login_button=(200 253)
# Today's first lesson: the student's "Enter classroom" on the first lesson
# row, the teacher's "Start Class" of the class selected at start.
case "$role" in
    student) enter_button=(921 93) setting_button=(182 68) ;;
    teacher) enter_button=(803 105) setting_button=(77 125) ;;
esac
# In the settings window (opened by the course window's settings button)
# its "Detect" button and close button; in the device test "Start", the
# speaker and microphone answers and the wizard's close button.
detect_button=(240 205)
settings_close=(470 30)
test_start=(353 387)
test_heard=(495 465)
test_close=(691 14)

profile="$out/profile"
rm -rf "$profile" "$out/screenshots"
mkdir -p "$profile/home" "$profile/config" "$profile/data" "$profile/cache" "$profile/runtime"
chmod 700 "$profile/runtime"
# Devices tested before: a first start would ask for the device test first.
mkdir -p "$profile/data/lessonry-$role/config"
# The engine always lists its synthetic devices, so these names are found.
cat >"$profile/data/lessonry-$role/config/newDeviceConfig.ini" <<'INI'
[General]
MyMic=Lessonry Test Microphone
MySpk=Lessonry Test Speaker
MyCam=Lessonry Test Camera
INI
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

env HOME="$profile/home" XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" \
    XDG_CACHE_HOME="$profile/cache" XDG_RUNTIME_DIR="$profile/runtime" \
    LESSONRY_SERVERS_INI="$servers" QT_QPA_PLATFORM=xcb \
    "$client" >"$out/client-output.txt" 2>&1 &
client_pid=$!

xd_wait_window "$login_title" 30 "$client_pid"
login=$XD_WINDOW
xd_screenshot "$login" login

xd_type_into "$login" "${user_field[@]}" "$user"
xd_type_into "$login" "${password_field[@]}" "$password"
xd_screenshot "$login" login-filled
xd_note "signing in as $user"
xd_click "$login" "${login_button[@]}"

if ! xd_find_window "$course_title" 30 "$client_pid"; then
    # Keep what the login window says instead.
    if xd_find_window "$login_title" 0; then
        xd_screenshot "$XD_WINDOW" login-failed
    fi
    xd_fail "the course window did not open after signing in (output: $out/client-output.txt)"
fi
course=$XD_WINDOW
# The timetable and the lesson pictures arrive after the window: the
# picture is taken once they have stopped changing it.
xd_screenshot "$course" course 5
xd_note "result: signed in"

# The settings window and, from it, the device test up to the camera step,
# where the engine's synthetic camera shows its moving test picture.
xd_note "opening the settings window"
xd_click "$course" "${setting_button[@]}"
xd_wait_window 'Setting|设置' 10 "$client_pid"
settings=$XD_WINDOW
xd_screenshot "$settings" settings
xd_click "$settings" "${detect_button[@]}"
xd_wait_window 'Device detection|设备检测' 10 "$client_pid"
device_test=$XD_WINDOW
xd_screenshot "$device_test" device-test
# The speaker, microphone and camera steps move all the time (level
# meters, the camera picture): each is taken a moment after its page came.
xd_click "$device_test" "${test_start[@]}"
sleep 0.5
xd_screenshot "$device_test" device-test-speaker 0
xd_click "$device_test" "${test_heard[@]}"
sleep 0.5
xd_screenshot "$device_test" device-test-microphone 0
xd_click "$device_test" "${test_heard[@]}"
sleep 1
xd_screenshot "$device_test" device-test-camera 0
xd_note "device test: camera step reached"
xd_click "$device_test" "${test_close[@]}"
xd_wait_window_gone "$device_test" 10
xd_screenshot "$settings" settings-after-test
xd_click "$settings" "${settings_close[@]}"
xd_wait_window_gone "$settings" 10

xd_note "entering today's first lesson"
xd_click "$course" "${enter_button[@]}"
if ! xd_find_window "$classroom_title" 20 "$client_pid"; then
    xd_screenshot "$course" course-after-enter
    xd_fail "the classroom did not open from the course window (output: $out/client-output.txt)"
fi
xd_screenshot "$XD_WINDOW" classroom
xd_note "classroom: reached"
