# One real client driven from outside: its own profile folder, started
# against a servers file, signed in through the login window and taken into
# today's first lesson. Sourced after xdrive.sh by scripts/demo.sh and
# scripts/lesson.sh; each step either succeeds or stops the walk with one
# clear line (xd_fail).

# Titles in either language (the student client is in Chinese).
CLIENT_LOGIN_TITLE='Login|登录'
CLIENT_COURSE_TITLE='Schedule|课表'
CLIENT_CLASSROOM_TITLE='Classroom|教室'

# The login form's layout is fixed: centres of its fields, from the
# window's top-left corner.
CLIENT_USER_FIELD=(200 147)
CLIENT_PASSWORD_FIELD=(200 180)
CLIENT_LOGIN_BUTTON=(200 253)

# Put before the names of the pictures a client's steps take ("" for one
# client alone, "teacher-" and "student-" when both share a folder).
CLIENT_SHOT_PREFIX=""

# Sets CLIENT_USER, CLIENT_PASSWORD and CLIENT_UID to the role's demo
# account of the stand-in lesson service.
client_account() {
    case "$1" in
        student) CLIENT_USER=13800000001 CLIENT_PASSWORD=student123 CLIENT_UID=20001 ;;
        teacher) CLIENT_USER=teacher@example.com CLIENT_PASSWORD=teacher123 CLIENT_UID=30001 ;;
        *) xd_fail "the role is student or teacher, not \"$1\"" ;;
    esac
}

# Makes a new, empty profile folder for one client of the role: home,
# settings, data, cache, temporary and runtime folders, with the devices
# already tested (a first start would ask for the device test first).
client_new_profile() {
    local role=$1 profile=$2
    rm -rf "$profile"
    mkdir -p "$profile/home" "$profile/config" "$profile/data" "$profile/cache" "$profile/tmp" \
        "$profile/runtime" "$profile/data/lessonry-$role/config"
    chmod 700 "$profile/runtime"
    # The engine always lists its synthetic devices, so these names are found.
    cat >"$profile/data/lessonry-$role/config/newDeviceConfig.ini" <<'INI'
[General]
MyMic=Lessonry Test Microphone
MySpk=Lessonry Test Speaker
MyCam=Lessonry Test Camera
INI
}

# Plays the role's sound on the speaker of that name from the first start
# of the profile on (the synthetic speaker plays into nothing).
#   client_set_speaker <role> <profile> <speaker name>
client_set_speaker() {
    sed -i "s/^MySpk=.*/MySpk=$3/" "$2/data/lessonry-$1/config/newDeviceConfig.ini"
}

# Variables (NAME=value) the next client_start puts in the client's
# environment besides its own.
CLIENT_ENV=()

# Starts <bin>/lessonry-<role> with the profile and servers file on
# $DISPLAY, its output in <output file>; sets CLIENT_PID.
client_start() {
    local role=$1 bin=$2 profile=$3 servers=$4 output=$5
    local program="$bin/lessonry-$role"
    [[ -x "$program" ]] || xd_fail "no client at $program (build it first)"
    # The client writes to its log, not here: say so, and where the log is.
    {
        echo "# What lessonry-$role printed to its terminal: only what the toolkit says"
        echo "# before the client's log is open (often nothing). The client's own lines are"
        echo "# in its log, $profile/data/lessonry-$role/log/velmo_<version>_<user>_<date>.log"
        echo "# (the date is Beijing time's), beside its action log (.action.log)."
    } >"$output"
    env HOME="$profile/home" XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" \
        XDG_CACHE_HOME="$profile/cache" XDG_RUNTIME_DIR="$profile/runtime" TMPDIR="$profile/tmp" \
        LESSONRY_SERVERS_INI="$servers" QT_QPA_PLATFORM=xcb ${CLIENT_ENV[@]+"${CLIENT_ENV[@]}"} \
        "$program" >>"$output" 2>&1 &
    CLIENT_PID=$!
}

# Prints the client's newest log file (empty when it has written none).
client_log() {
    local role=$1 profile=$2
    ls -t "$profile/data/lessonry-$role/log"/velmo_*.log 2>/dev/null | head -n 1 || true
}

# Waits up to <seconds> for a line of the client's log matching the
# extended regular expression; returns 1 when none came.
client_wait_log() {
    local role=$1 profile=$2 pattern=$3 seconds=$4
    local deadline=$((SECONDS + seconds)) log
    while :; do
        log=$(client_log "$role" "$profile")
        if [[ -n "$log" ]] && grep -Eq -- "$pattern" "$log"; then
            return 0
        fi
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# Moves the window so its top-left corner is at (x, y) of the screen. A
# window just opened on a busy machine may not take the first move: a few
# tries before giving up.
client_place() {
    local try
    for try in 1 2 3 4 5; do
        xdotool windowmove --sync "$1" "$2" "$3" >/dev/null 2>&1 && return 0
        sleep 1
    done
    xd_fail "cannot move window $1 to $2,$3"
}

# Signs the role's demo account in through the client's login window
# (optionally moved to x = <left> first) and waits for the course window;
# sets CLIENT_COURSE_WINDOW. Pictures: login, login-filled, course (or
# login-failed).
client_sign_in() {
    local role=$1 pid=$2 left=${3:-}
    client_account "$role"
    xd_wait_window "$CLIENT_LOGIN_TITLE" 30 "$pid"
    local login=$XD_WINDOW
    [[ -z "$left" ]] || client_place "$login" "$left" 0
    xd_screenshot "$login" "${CLIENT_SHOT_PREFIX}login"
    xd_type_into_named "$login" "$pid" "$CLIENT_LOGIN_TITLE" 'Account|账号' "${CLIENT_USER_FIELD[@]}" "$CLIENT_USER"
    xd_type_into_named "$login" "$pid" "$CLIENT_LOGIN_TITLE" 'Password|密码' "${CLIENT_PASSWORD_FIELD[@]}" "$CLIENT_PASSWORD"
    xd_screenshot "$login" "${CLIENT_SHOT_PREFIX}login-filled"
    xd_click_named "$login" "$pid" "$CLIENT_LOGIN_TITLE" "$CLIENT_LOGIN_TITLE" "${CLIENT_LOGIN_BUTTON[@]}"
    xd_note "signing in as $CLIENT_USER"
    if ! xd_find_window "$CLIENT_COURSE_TITLE" 30 "$pid"; then
        # Keep what the login window says instead.
        if xd_find_window "$CLIENT_LOGIN_TITLE" 0 "$pid"; then
            xd_screenshot "$XD_WINDOW" "${CLIENT_SHOT_PREFIX}login-failed"
        fi
        xd_fail "the $role's course window did not open after signing in"
    fi
    CLIENT_COURSE_WINDOW=$XD_WINDOW
    [[ -z "$left" ]] || client_place "$CLIENT_COURSE_WINDOW" "$left" 0
    # The timetable and the lesson pictures arrive after the window: the
    # picture is taken once they have stopped changing it.
    xd_screenshot "$CLIENT_COURSE_WINDOW" "${CLIENT_SHOT_PREFIX}course" 5
}

# Presses the course window's button that enters today's first lesson (the
# student's "Enter classroom" on the first row, the teacher's "Start Class"
# of the class selected at start) and waits for the classroom; sets
# CLIENT_CLASSROOM_WINDOW.
client_enter_first_lesson() {
    local role=$1 pid=$2 course=$3
    local name button
    case "$role" in
        student) name='Enter classroom|进入教室' button=(921 93) ;;
        teacher) name='Start Class|开始上课' button=(803 105) ;;
    esac
    xd_note "the $role enters today's first lesson"
    xd_click_named "$course" "$pid" "$CLIENT_COURSE_TITLE" "$name" "${button[@]}"
    if ! xd_find_window "$CLIENT_CLASSROOM_TITLE" 20 "$pid"; then
        xd_screenshot "$course" "${CLIENT_SHOT_PREFIX}course-after-enter"
        xd_fail "the $role's classroom did not open from the course window"
    fi
    CLIENT_CLASSROOM_WINDOW=$XD_WINDOW
}
