# Drives a real X client from outside, as a person would: a private Xvfb
# display, windows found by their title, clicks and typing at positions
# relative to a window, and pictures of what the screen shows there.
# Sourced by scripts/demo.sh; each step either succeeds or stops the walk
# with one clear line on standard error.
#
# Needs: Xvfb, xdotool, ffmpeg (x11grab), ppmhist and pnmtopng (netpbm).

XD_DISPLAY_PID=""
XD_SHOT_DIR=""
XD_SHOT_COUNT=0
XD_REPORT=""

# Appends a line to the walk's report (when one is set) and echoes it.
xd_note() {
    echo "demo: $*"
    if [[ -n "$XD_REPORT" ]]; then
        echo "$*" >>"$XD_REPORT"
    fi
}

# Stops the walk: one line saying what failed.
xd_fail() {
    echo "demo: FAILED: $*" >&2
    if [[ -n "$XD_REPORT" ]]; then
        echo "result: failed: $*" >>"$XD_REPORT"
    fi
    exit 1
}

# Starts a private X server on the first free display number and exports
# DISPLAY for it. Size as "WIDTHxHEIGHT".
xd_start_display() {
    local size=${1:-1280x800}
    local fdfile
    fdfile=$(mktemp "${TMPDIR:-/tmp}/xdrive-display.XXXXXX")
    # -displayfd makes the server pick a free number itself and tell us.
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fdfile" 2>/dev/null &
    XD_DISPLAY_PID=$!
    local number=""
    for _ in $(seq 100); do
        number=$(tr -dc '0-9' <"$fdfile")
        [[ -n "$number" ]] && break
        kill -0 "$XD_DISPLAY_PID" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$fdfile"
    if [[ -z "$number" ]]; then
        XD_DISPLAY_PID=""
        xd_fail "the X server (Xvfb) did not start"
    fi
    export DISPLAY=":$number"
    xd_start_accessibility
}

# Widgets are reached by their accessible names through Qt's AT-SPI bridge
# when a private session bus and the accessibility bus can be started here
# (dbus-daemon, at-spi2-core and python3-pyatspi); otherwise, and for any
# widget the bridge does not find, by their position in the window. With
# XD_BY_POSITION=1 in the environment the bridge is not started, so a walk
# shows that it gets through by position alone. The report says which.
XD_ATSPI=0
XD_BUS_PID=""
XD_ATSPI_PID=""
XD_ATSPI_FIND="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/atspi_find.py"
xd_start_accessibility() {
    XD_ATSPI=0
    local launcher=/usr/libexec/at-spi-bus-launcher
    if [[ "${XD_BY_POSITION:-0}" == 1 ]]; then
        xd_note "accessibility: off (XD_BY_POSITION=1), widgets reached by position"
        return 0
    fi
    if ! [[ -x "$launcher" ]] || ! command -v dbus-daemon >/dev/null ||
        ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
        xd_note "accessibility: off (no dbus-daemon, at-spi2-core or python3-pyatspi), widgets reached by position"
        return 0
    fi
    local pidfile address
    pidfile=$(mktemp "${TMPDIR:-/tmp}/xdrive-bus.XXXXXX")
    address=$(dbus-daemon --session --fork --print-address=1 --print-pid=3 3>"$pidfile" 2>/dev/null | head -n 1) || true
    XD_BUS_PID=$(tr -dc '0-9' <"$pidfile")
    rm -f "$pidfile"
    if [[ -z "$address" || -z "$XD_BUS_PID" ]]; then
        xd_note "accessibility: off (no session bus started), widgets reached by position"
        return 0
    fi
    export DBUS_SESSION_BUS_ADDRESS=$address QT_ACCESSIBILITY=1 QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    "$launcher" --launch-immediately >/dev/null 2>&1 &
    XD_ATSPI_PID=$!
    XD_ATSPI=1
    xd_note "accessibility: on, widgets reached by name where the bridge finds them"
}

xd_stop_accessibility() {
    if [[ -n "$XD_ATSPI_PID" ]]; then
        kill "$XD_ATSPI_PID" 2>/dev/null || true
        wait "$XD_ATSPI_PID" 2>/dev/null || true
        XD_ATSPI_PID=""
    fi
    if [[ -n "$XD_BUS_PID" ]]; then
        kill "$XD_BUS_PID" 2>/dev/null || true
        XD_BUS_PID=""
    fi
    XD_ATSPI=0
}

# Prints the screen centre "x y" of the widget whose accessible name
# matches <name> (an extended regular expression) in the top-level window
# titled <title> of process <pid>; of several such widgets, the one nearest
# to the screen point <x> <y> when given. Returns 1 when the bridge is not
# there or does not show it.
xd_find_named() {
    local pid=$1 title=$2 name=$3
    ((XD_ATSPI)) || return 1
    timeout 20 /usr/bin/python3 "$XD_ATSPI_FIND" "$pid" "$title" "$name" "${@:4:2}" 2>/dev/null
}

# Clicks the widget named <name> in the window (of <pid>, titled <title>),
# or at (x, y) of the window when the bridge does not find it; of several
# widgets with the name, the one nearest to (x, y). The report says which
# way the widget was reached.
xd_click_named() {
    local window=$1 pid=$2 title=$3 name=$4 x=$5 y=$6 at near
    near=$(xd_screen_point "$window" "$x" "$y")
    # shellcheck disable=SC2086
    if at=$(xd_find_named "$pid" "$title" "$name" $near) && [[ -n "$at" ]]; then
        # shellcheck disable=SC2086
        xd_move_to $at || true
        xd_note "reached \"$name\" by name"
        xdotool click 1 || xd_fail "cannot click \"$name\" in window $window"
        return 0
    fi
    xd_note "reached \"$name\" by position ($x,$y)"
    xd_click "$window" "$x" "$y"
}

# Prints the screen point "X Y" of (x, y) counted from the window's
# top-left corner (nothing when the window is gone).
xd_screen_point() {
    local window=$1 x=$2 y=$3
    local X="" Y="" WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | grep -E '^(X|Y)=')" || return 0
    if [[ -n "$X" && -n "$Y" ]]; then
        echo $((X + x)) $((Y + y))
    fi
}

# Types the text into the field named <name> (see xd_click_named), cleared
# first.
xd_type_into_named() {
    local window=$1 pid=$2 title=$3 name=$4 x=$5 y=$6 text=$7
    xd_click_named "$window" "$pid" "$title" "$name" "$x" "$y"
    xd_type_text "$window" "$text" "\"$name\""
}

# Prints, one a line, the names the walk's report (<report>) says were
# reached by position although the bridge was on, other than the names
# given after it (widgets the bridge is known not to show); nothing when
# the bridge was off.
xd_report_missed_names() {
    local report=$1
    shift
    grep -q '^accessibility: on' "$report" || return 0
    sed -n 's/^reached "\(.*\)" by position .*/\1/p' "$report" | sort -u |
        { grep -vxF -f <(printf '%s\n' "$@") || true; }
}

xd_stop_display() {
    xd_stop_accessibility
    if [[ -n "$XD_DISPLAY_PID" ]]; then
        kill "$XD_DISPLAY_PID" 2>/dev/null || true
        wait "$XD_DISPLAY_PID" 2>/dev/null || true
        XD_DISPLAY_PID=""
    fi
}

# Sets XD_WINDOW to the id of the visible top-level window whose whole
# title matches the extended regular expression, waiting up to the given
# seconds for it; returns 1 when none came, 2 when "process" (a pid, when
# given: then only that process's windows count) ended first.
XD_WINDOW=""
xd_find_window() {
    local title=$1 seconds=$2 process=${3:-}
    local deadline=$((SECONDS + seconds)) id
    XD_WINDOW=""
    while :; do
        if [[ -n "$process" ]]; then
            # Two clients on one display: only this one's windows.
            id=$(xdotool search --all --onlyvisible --pid "$process" --name "^(${title})\$" 2>/dev/null | head -n 1 || true)
        else
            id=$(xdotool search --onlyvisible --name "^(${title})\$" 2>/dev/null | head -n 1 || true)
        fi
        if [[ -n "$id" ]]; then
            XD_WINDOW=$id
            return 0
        fi
        if [[ -n "$process" ]] && ! kill -0 "$process" 2>/dev/null; then
            return 2
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# The same, failing the walk when the window does not come.
xd_wait_window() {
    local status=0
    xd_find_window "$@" || status=$?
    case $status in
        0) ;;
        2) xd_fail "the client ended while waiting for the window \"$1\"" ;;
        *) xd_fail "no window titled \"$1\" within $2 s" ;;
    esac
}

# Waits up to the given seconds until the window is no longer visible.
xd_wait_window_gone() {
    local window=$1 seconds=$2
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        if ! xdotool search --onlyvisible --name '.*' 2>/dev/null | grep -qx "$window"; then
            return 0
        fi
        sleep 0.2
    done
    xd_fail "the window $window is still shown after ${seconds} s"
}

# Prints the window's title.
xd_window_title() {
    xdotool getwindowname "$1" 2>/dev/null || true
}

# Moves the pointer to (x, y) counted from the window's top-left corner
# and waits until the server has it there. xdotool's own --sync waits for
# the pointer to leave where it was, which never happens when it is already
# at the target (it gives up after 15 s), so the move is skipped then.
xd_move() {
    local window=$1 x=$2 y=$3 at
    at=$(xd_screen_point "$window" "$x" "$y")
    [[ -n "$at" ]] || xd_fail "cannot find window $window"
    # shellcheck disable=SC2086
    xd_move_to $at || xd_fail "cannot move the pointer to $x,$y in window $window"
}

# Moves the pointer to (x, y) of the screen, unless it is there already.
xd_move_to() {
    local x=$1 y=$2 now
    now=$(xdotool getmouselocation --shell 2>/dev/null | sed -n 's/^[XY]=//p' | tr '\n' ' ')
    [[ "${now% }" == "$x $y" ]] && return 0
    xdotool mousemove --sync "$x" "$y" >/dev/null 2>&1
}

# Clicks at (x, y) counted from the window's top-left corner.
xd_click() {
    local window=$1 x=$2 y=$3
    xd_move "$window" "$x" "$y"
    xdotool click 1 || xd_fail "cannot click at $x,$y in window $window"
}

# Clicks into the text field at (x, y) of the window, clears it and types
# the text there.
xd_type_into() {
    local window=$1 x=$2 y=$3 text=$4
    xd_click "$window" "$x" "$y"
    xd_type_text "$window" "$text" "at $x,$y"
}

# Clears the field that has the focus in the window and types the text.
xd_type_text() {
    local window=$1 text=$2 where=$3
    xdotool windowfocus --sync "$window" 2>/dev/null || true
    xdotool key --clearmodifiers ctrl+a BackSpace ||
        xd_fail "cannot clear the field $where in window $window"
    xdotool type --clearmodifiers --delay 20 -- "$text" ||
        xd_fail "cannot type into the field $where in window $window"
}

# Keeps pictures in the folder, numbered in the order they are taken.
xd_set_shot_dir() {
    XD_SHOT_DIR=$1
    XD_SHOT_COUNT=0
    mkdir -p "$XD_SHOT_DIR" || xd_fail "cannot create $XD_SHOT_DIR"
}

# Saves a picture of the window as NN-name.png and notes it in the report.
# A window still drawing itself (pictures loading, animations starting) is
# given up to "settle" seconds (default 3) until two pictures in a row are
# the same; a window that never settles (a level meter, a camera picture)
# is taken as it is when the time is up. Pass 0 for a window known to
# move, so its picture is taken at once. A picture in one colour all over
# (a window mapped over the empty screen but not drawn yet) never counts
# as settled, and the window gets up to 2 seconds to draw itself first.
xd_screenshot() {
    local window=$1 name=$2 settle=${3:-3}
    [[ -n "$XD_SHOT_DIR" ]] || xd_fail "no folder for pictures (xd_set_shot_dir)"
    XD_SHOT_COUNT=$((XD_SHOT_COUNT + 1))
    local file raw previous="" current
    file=$(printf '%s/%02d-%s.png' "$XD_SHOT_DIR" "$XD_SHOT_COUNT" "$name")
    raw="$file.ppm"
    local start now
    start=$(xd_now_ms)
    while :; do
        xd_grab "$window" >"$raw" 2>/dev/null || break
        now=$(xd_now_ms)
        if xd_is_blank "$raw"; then
            ((now - start < 2000)) || break
        else
            current=$(md5sum <"$raw")
            [[ "$current" == "$previous" ]] && break
            ((now - start < settle * 1000)) || break
            previous=$current
        fi
        sleep 0.3
    done
    if [[ ! -s "$raw" ]] || ! pnmtopng <"$raw" >"$file" 2>/dev/null || [[ ! -s "$file" ]]; then
        rm -f "$file" "$raw"
        xd_fail "cannot take a picture of window $window"
    fi
    rm -f "$raw"
    xd_note "$(basename "$file") window \"$(xd_window_title "$window")\""
}

# Milliseconds since the epoch (bash's own clock, no process started).
xd_now_ms() {
    local t=${EPOCHREALTIME/[.,]/}
    echo $((t / 1000))
}

# Writes the part of the screen the window covers, as it is shown there,
# to standard output as a PPM picture; returns 1 when the window is gone.
#
# Not xwd: the client's windows have a visual and colormap other than the
# screen's default ones. When the area holds more than one group of
# windows of one visual and colormap, xwd reads it group by group, each
# group from its lowest window: a window lying wholly inside a lower
# window of its group is read from that lower window, where the X server
# gives black for what is covered. A message box over its classroom came
# out black although the screen showed it: the course window stays open
# under the larger classroom, so the box's area is read from those two and
# never from the box. Over the other client's window it came out right.
# ffmpeg reads the screen itself (the root window), where nothing is
# covered.
xd_grab() {
    local window=$1 X Y WIDTH HEIGHT screen_width screen_height
    eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
    [[ -n "${WIDTH:-}" ]] || return 1
    read -r screen_width screen_height < <(xdotool getdisplaygeometry 2>/dev/null) || return 1
    # Only what lies on the screen, as xwd gave.
    local left=$((X < 0 ? 0 : X)) top=$((Y < 0 ? 0 : Y))
    local right=$((X + WIDTH > screen_width ? screen_width : X + WIDTH))
    local bottom=$((Y + HEIGHT > screen_height ? screen_height : Y + HEIGHT))
    ((right > left && bottom > top)) || return 1
    # One picture at once: without the two probe options ffmpeg studies
    # the stream for most of a second first.
    ffmpeg -nostdin -loglevel error -probesize 32 -analyzeduration 0 -f x11grab -draw_mouse 0 \
        -video_size "$((right - left))x$((bottom - top))" -i "$DISPLAY+$left,$top" \
        -frames:v 1 -c:v ppm -f image2pipe -
}

# True when the PPM picture has a single colour all over: a window the
# client has mapped over the empty screen but not painted yet.
xd_is_blank() {
    local colours
    colours=$(ppmhist -noheader <"$1" 2>/dev/null | head -n 2 | wc -l)
    ((colours == 1))
}

# Colours inside the rectangle (x, y, width, height) of a picture taken by
# xd_screenshot: prints "<distinct colours> <per cent of pixels in r g b>
# <pixels in r g b>" for the colour "r g b" (0-255 each).
xd_region_colours() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 r=$6 g=$7 b=$8
    LC_ALL=C pngtopnm "$file" 2>/dev/null | pnmcut -left "$x" -top "$y" -width "$w" -height "$h" 2>/dev/null |
        ppmhist -noheader 2>/dev/null |
        LC_ALL=C awk -v r="$r" -v g="$g" -v b="$b" -v all=$((w * h)) '
            { n++ } $1 == r && $2 == g && $3 == b { hit = $NF }
            END { printf "%d %d %d\n", n, (all > 0 ? 100 * hit / all : 0), hit }'
}

# The newest picture whose name ends in "-<name>.png".
xd_last_shot() {
    ls -t "$XD_SHOT_DIR"/*-"$1".png 2>/dev/null | head -n 1
}
