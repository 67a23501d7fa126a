# Closing steps of the lesson walk: the award, the lesson media, the
# service's orders from a back-end participant, the broker going away in
# the middle of the lesson, and the leaving (sourced by scripts/lesson.sh
# after the in-class steps; it uses the walk's own variables: classroom,
# pid, left, width, height, class_id, broker, out and service_port).
# Each step pictures both roles and notes a line in the report; a step
# that is not reached fails the walk with its name.

# Positions in a classroom window of the walk's size (1040 x 760), from its
# top-left corner, as the forms lay them out: where the buttons are pressed
# when the bridge does not find them by name (walk_click).
CLOSING_CLOSE_BUTTON=(1018 22)       # the title bar's close button
CLOSING_CLASS_MODE_SWITCH=(80 735)   # the class page's mode switch
CLOSING_AWARD_MODE_SWITCH=(75 735)   # the teacher's award page's mode switch
CLOSING_CROWN_BUTTON=(195 735)       # the first prize of the award page
# The class page's material buttons and the panels they open (the audio
# panel's first row: its download button, then its play button once
# downloaded; the video panel's first video, the same for both; each
# panel's close button).
CLOSING_AUDIO_BUTTON=(493 735)
CLOSING_AUDIO_DOWNLOAD=(535 334)
CLOSING_AUDIO_PLAY=(223 339)
CLOSING_AUDIO_CLOSE=(556 289)
CLOSING_VIDEO_BUTTON=(448 735)
CLOSING_VIDEO_FIRST=(248 338)
CLOSING_VIDEO_CLOSE=(636 249)
CLOSING_TEACHER_PLAYER_TITLE='Video'
CLOSING_STUDENT_PLAYER_TITLE='播放视频'
# The review window (416 x 380): the fifth star and the submit button.
CLOSING_REVIEW_TITLE='Review'
CLOSING_REVIEW_STAR5=(293 156)
CLOSING_REVIEW_SUBMIT=(221 334)

closing_uid() {
    client_account "$1"
    echo "$CLIENT_UID"
}

closing_log_dir() {
    echo "$out/$1/profile/data/lessonry-$1/log"
}

# Prints the lines of the role's message logs ("message") or action logs
# ("action") that match the extended regular expression, oldest file
# first. Both kinds are daily files that a log upload closes and renames,
# so every file of the kind is read.
closing_log_lines() {
    local role=$1 kind=$2 pattern=$3 dir file
    dir=$(closing_log_dir "$role")
    local files=()
    for file in "$dir"/velmo_*.log; do
        [[ -f "$file" ]] || continue
        case "$kind:$file" in
            action:*.action.*.log | action:*.action.log) files+=("$file") ;;
            message:*.action.*.log | message:*.action.log) ;;
            message:*) files+=("$file") ;;
        esac
    done
    ((${#files[@]})) || return 0
    cat "${files[@]}" | grep -aE -- "$pattern" || true
}

closing_log_count() {
    local lines
    lines=$(closing_log_lines "$@")
    if [[ -z "$lines" ]]; then echo 0; else wc -l <<<"$lines"; fi
}

# Waits up to <seconds> until the role's logs of <kind> hold at least <n>
# lines matching the pattern; returns 1 when they did not come.
closing_wait_log() {
    closing_wait_count "$4" "$5" closing_log_count "$1" "$2" "$3"
}

# Waits up to <seconds> until the command prints a count of at least <n>;
# returns 1 when it did not.
closing_wait_count() {
    local n=$1 seconds=$2
    shift 2
    local deadline=$((SECONDS + seconds))
    while :; do
        (($("$@") >= n)) && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.3
    done
}

# Prints how many times the extended regular expression matches in the
# requests the lesson service recorded (one JSON text).
closing_service_count() {
    local requests
    requests=$(service_requests "$service_port") || xd_fail "the lesson service does not answer"
    { grep -oE -- "$1" <<<"$requests" || true; } | wc -l
}

# Patterns of the records: a call by its path, an event of the role (the
# events travel as JSON inside a form field, their quotes escaped), and a
# log upload of the user.
closing_call() {
    echo "\"path\": ?\"$1\""
}
closing_event() {
    echo "key[^a-z]+$2[^a-z/]+type[^a-z]+win/$1/"
}
closing_upload() {
    echo "\"filename\": ?\"di_[^\"]*_$(closing_uid "$1")_[^\"]*\\.zip\""
}

closing_wait_service() {
    closing_wait_count "$2" "$3" closing_service_count "$1"
}

# Pattern of one recorded classroom message of <type> sent by <uid>
# (either order of members, with or without spaces).
closing_message() {
    echo "\"type\": ?$1[,}]"
}

closing_shot() {
    local role=$1 name=$2 settle=${3:-3}
    xd_screenshot "${classroom[$role]}" "$role-$name" "$settle"
}

# The visible windows of the role's process other than its course window
# and classroom: dialogs and the review window.
closing_other_windows() {
    local role=$1 id name
    for id in $(xdotool search --all --onlyvisible --pid "${pid[$role]}" --name '.*' 2>/dev/null); do
        [[ "$id" == "${classroom[$role]}" ]] && continue
        name=$(xd_window_title "$id")
        [[ "$name" =~ ^($CLIENT_COURSE_TITLE|$CLIENT_CLASSROOM_TITLE)$ ]] && continue
        echo "$id"
    done
}

# Waits up to <seconds> for a new window of the role's process (not one of
# <known ids>); sets CLOSING_WINDOW.
closing_wait_new_window() {
    local role=$1 seconds=$2 known=$3 id
    local deadline=$((SECONDS + seconds))
    CLOSING_WINDOW=""
    while :; do
        for id in $(closing_other_windows "$role"); do
            if ! grep -qxF -- "$id" <<<"$known"; then
                CLOSING_WINDOW=$id
                return 0
            fi
        done
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

# Picks the mode (0 class, 1 award) in the teacher's mode switch at the
# position given: the list opens under the switch, the current item
# highlighted; one key up or down and Return choose the other.
closing_pick_mode() {
    local x=$1 y=$2 mode=$3
    # A combo box is named by the item it shows.
    walk_click teacher 'Class mode|Award mode' "$x" "$y"
    sleep 0.5
    if ((mode == 1)); then
        xdotool key Down Return
    else
        xdotool key Up Return
    fi
}

# The teacher switches the class into <mode>; the student's classroom
# follows. Fails the step when either does not.
closing_switch_mode() {
    local step=$1 x=$2 y=$3 mode=$4
    local teacher_uid before
    teacher_uid=$(closing_uid teacher)
    before=$(wire_count "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 410)" "\"sender\": ?\"$teacher_uid\"" "\"type\": ?$mode\\}")
    closing_pick_mode "$x" "$y" "$mode"
    wire_wait $((before + 1)) 20 "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 410)" "\"sender\": ?\"$teacher_uid\"" "\"type\": ?$mode\\}" ||
        xd_fail "$step: the teacher's switch to mode $mode did not reach the class (traffic: $WIRE_FILE)"
    # The student's page changes once the message has arrived.
    closing_wait_log student action "im_receive_ClassMode,.*\"type\":$mode\\}" 1 20 ||
        xd_fail "$step: the student's classroom did not follow the switch to mode $mode"
}

# 1. The award: the teacher switches to the award mode, the student
# follows, the teacher gives the crown (405 on the wire, the award recorded
# by the lesson service), the prize flies on both screens; back to the
# class mode.
walk_award() {
    local teacher_uid
    teacher_uid=$(closing_uid teacher)
    closing_switch_mode award "${CLOSING_CLASS_MODE_SWITCH[@]}" 1
    xd_note "award: both in the award mode"
    closing_shot teacher award-mode
    closing_shot student award-mode

    local records
    records=$(closing_service_count "$(closing_call /QXV1/Awards/saveAwardRecord)")
    walk_click teacher 'Crown|皇冠' "${CLOSING_CROWN_BUTTON[@]}"
    # The flight takes 1250 ms, on the student's screen from the message
    # on: both pictures at once.
    closing_shot teacher award-flight 0
    closing_shot student award-flight 0
    wire_wait 1 20 "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 405)" "\"sender\": ?\"$teacher_uid\"" '"awardid": ?1[,}]' ||
        xd_fail "award: the crown (405) did not reach the class (traffic: $WIRE_FILE)"
    closing_wait_service "$(closing_call /QXV1/Awards/saveAwardRecord)" $((records + 1)) 20 ||
        xd_fail "award: the lesson service did not record the award (saveAwardRecord)"
    closing_wait_log student action "im_receive_AwardControl|im_receive_.*\"type\":405" 1 20 ||
        xd_fail "award: the student's client did not receive the crown"
    # At rest with its stars after 1500 ms.
    sleep 2
    closing_shot teacher award-rest 0
    closing_shot student award-rest 0
    xd_note "award: the crown recorded by the lesson service and shown on both screens"

    closing_switch_mode award "${CLOSING_AWARD_MODE_SWITCH[@]}" 0
    closing_shot teacher award-back-to-class
    closing_shot student award-back-to-class
    xd_note "award: both back in the class mode"
}

# Pattern of a recorded video control (501) of <action> ("type" inside
# the payload: 5 open, 6 ready, 1 play, 4 finished) from <uid>.
closing_video_control() {
    echo "\"data\": ?\{[^}]*\"type\": ?$1,.*\"sender\": ?\"$2\".*\"type\": ?501[,}]"
}

# Pictures the student's lesson-video player until two pictures show frames
# of the lesson video, the later one further on (the video plays), and
# keeps that one. Each frame of the fixture video carries its number
# (scripts/lib/videoframe.py reads it), so a picture of the notice over
# black, a frozen frame or another window does not count. Sets
# CLOSING_FRAMES to "first later" and returns 1 when the video was not
# seen playing within the seconds given.
CLOSING_FRAMES=""
CLOSING_VIDEOFRAME="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/videoframe.py"
closing_picture_playing_video() {
    local seconds=$1 deadline id raw number first=""
    deadline=$((SECONDS + seconds))
    raw="$out/student-player.ppm"
    CLOSING_FRAMES=""
    while ((SECONDS < deadline)); do
        id=$(xdotool search --all --onlyvisible --pid "${pid[student]}" --name "^(${CLOSING_STUDENT_PLAYER_TITLE})\$" 2>/dev/null | head -n 1 || true)
        if [[ -n "$id" ]] && xd_grab "$id" >"$raw" 2>/dev/null &&
            number=$(python3 "$CLOSING_VIDEOFRAME" "$raw" 2>/dev/null); then
            if [[ -z "$first" ]]; then
                first=$number
            elif ((number > first)); then
                CLOSING_FRAMES="$first $number"
                XD_SHOT_COUNT=$((XD_SHOT_COUNT + 1))
                local file
                file=$(printf '%s/%02d-%s.png' "$XD_SHOT_DIR" "$XD_SHOT_COUNT" student-media-video-playing)
                pnmtopng <"$raw" >"$file" 2>/dev/null && [[ -s "$file" ]] ||
                    xd_fail "cannot keep the picture student-media-video-playing"
                rm -f "$raw"
                xd_note "$(basename "$file") window \"$CLOSING_STUDENT_PLAYER_TITLE\""
                return 0
            fi
        fi
        sleep 0.2
    done
    rm -f "$raw"
    return 1
}

# Prints 1 when the role shows no window with the title, else 0.
closing_no_window() {
    local role=$1 title=$2
    if xdotool search --all --onlyvisible --pid "${pid[$role]}" --name "^(${title})\$" >/dev/null 2>&1; then
        echo 0
    else
        echo 1
    fi
}

# Answers the role's message box (its default button) that opens within
# <seconds>.
closing_answer_box() {
    local role=$1 step=$2 seconds=$3 known=$4
    closing_wait_new_window "$role" "$seconds" "$known" || xd_fail "$step: no message box of the $role opened"
    closing_picture_and_answer "$role" "$step" "$CLOSING_WINDOW" "message box"
}

# Pictures the role's open box and answers it with Return (its default
# button). The box lies over the role's own classroom: a picture in one
# colour all over is not what the screen shows (see xd_grab).
closing_picture_and_answer() {
    local role=$1 step=$2 box=$3 what=$4
    xd_screenshot "$box" "$role-$step-box" 1
    if xd_is_blank <(pngtopnm "$(xd_last_shot "$role-$step-box")" 2>/dev/null); then
        xd_fail "$step: the $role's $what is pictured in one colour all over"
    fi
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key Return || xd_fail "$step: cannot answer the $role's $what"
    xd_wait_window_gone "$box" 10
}

# 2. The lesson media: the teacher downloads the lesson's audio and plays
# it into the channel; then the lesson's video in local mode: the teacher
# opens it (501 open), the student's player opens and says it is ready,
# the teacher plays (501 play) and both show it until it ends and the
# players close.
walk_media() {
    local teacher_uid student_uid
    teacher_uid=$(closing_uid teacher)
    student_uid=$(closing_uid student)

    walk_click teacher 'Audios|音频' "${CLOSING_AUDIO_BUTTON[@]}"
    sleep 1
    walk_click teacher 'Download|下载' "${CLOSING_AUDIO_DOWNLOAD[@]}"
    closing_wait_log teacher message "ListItemTeacherAudioNotDownloaded url:.* ok" 1 30 ||
        xd_fail "media: the teacher's audio was not downloaded"
    sleep 1
    local mixes
    mixes=$(closing_log_count teacher message "startAudioMixing filePath:")
    walk_click teacher 'Play|播放' "${CLOSING_AUDIO_PLAY[@]}"
    # The lesson's sound is short: the picture at once.
    closing_shot teacher media-audio-playing 0
    closing_wait_log teacher message "startAudioMixing filePath:" $((mixes + 1)) 10 ||
        xd_fail "media: the teacher's audio was not mixed into the class's channel"
    xd_note "media: the teacher's audio downloaded and played into the channel"
    walk_click teacher 'Close the audio list|关闭音频列表' "${CLOSING_AUDIO_CLOSE[@]}"
    sleep 1

    walk_click teacher 'Videos|视频' "${CLOSING_VIDEO_BUTTON[@]}"
    sleep 1
    walk_click teacher 'Download|下载' "${CLOSING_VIDEO_FIRST[@]}"
    closing_wait_log teacher message "createItemWidget:.*video file:.* exists" 1 30 ||
        xd_fail "media: the teacher's video was not downloaded"
    sleep 1
    local known
    known=$(closing_other_windows teacher)
    walk_click teacher 'Play|播放' "${CLOSING_VIDEO_FIRST[@]}"
    # First a box warns that the microphones are off while the video plays.
    closing_answer_box teacher media 20 "$known"
    wire_wait 1 30 "^tp/velmo/signal/channel/$class_id/message " "$(closing_video_control 5 "$teacher_uid")" ||
        xd_fail "media: the teacher did not open the video for the class (501 open; traffic: $WIRE_FILE)"
    wire_wait 1 30 "^tp/velmo/signal/channel/$class_id/message " "$(closing_video_control 6 "$student_uid")" ||
        xd_fail "media: the student's player did not say it is ready (501 ready)"
    wire_wait 1 30 "^tp/velmo/signal/channel/$class_id/message " "$(closing_video_control 1 "$teacher_uid")" ||
        xd_fail "media: the teacher did not start the video (501 play)"
    closing_wait_log student message "onplay:onPlay|onplay:slot_timer_on_no_video_play_msg" 1 10 ||
        xd_fail "media: the student's player did not play"
    # The lesson's video lasts 12 s: its frames are read from the student's
    # player while it plays.
    closing_picture_playing_video 10 ||
        xd_fail "media: the student's player did not show the lesson video playing (no two frames of it read from its window)"
    xd_note "media: the student's player showed frames ${CLOSING_FRAMES% *} and ${CLOSING_FRAMES#* } of the lesson video"
    wire_wait 1 60 "^tp/velmo/signal/channel/$class_id/message " "$(closing_video_control 4 "$teacher_uid")" ||
        xd_fail "media: the teacher's video did not end (501 finished)"
    closing_wait_count 1 20 closing_no_window student "$CLOSING_STUDENT_PLAYER_TITLE" ||
        xd_fail "media: the student's player did not close when the video ended"
    xd_note "media: the video played in local mode (501 open, ready, play, finished) and the players closed"
    walk_click teacher 'Close the video list|关闭视频列表' "${CLOSING_VIDEO_CLOSE[@]}"
    sleep 1
    closing_shot teacher media-closed
    closing_shot student media-closed
}

# 3. Orders of the service's back end, published on the class's channel as
# the back end does: a notice (601) shown as a toast, a device-list request
# (603) answered by 604 to the sender, a video profile (606), and a
# re-entry (602, type 2) after which the student's classroom opens anew.
walk_server_orders() {
    local student_uid teacher_uid
    student_uid=$(closing_uid student)
    teacher_uid=$(closing_uid teacher)

    local notices
    notices=$(closing_log_count teacher message "this msg is not send to me\\.")
    backend_publish "$broker" "$class_id" 601 "{\"classid\":\"$class_id\",\"uid\":\"$student_uid\",\"level\":2,\"content\":\"The walk's notice\"}"
    closing_wait_log student message "slot_receiveSendSysMsg" 1 20 ||
        xd_fail "orders: the student's client did not take the notice (601)"
    closing_shot student order-notice 0
    # The teacher gets it too and leaves it: it names the student.
    closing_wait_log teacher message "this msg is not send to me\\." $((notices + 1)) 20 ||
        xd_fail "orders: the teacher's client did not set aside the student's notice (601)"
    xd_note "orders: the notice (601) shown to the student only"

    backend_publish "$broker" "$class_id" 603 "{\"classid\":\"$class_id\",\"uid\":\"$student_uid\"}"
    wire_wait 1 20 "^tp/velmo/signal/p2p/$BACKEND_SENDER/channel/$class_id " "$(closing_message 604)" "\"sender\": ?\"$student_uid\"" ||
        xd_fail "orders: no device lists (604) came back to the sender of 603 (traffic: $WIRE_FILE)"
    xd_note "orders: the device request (603) answered by 604 to its sender"

    backend_publish "$broker" "$class_id" 606 "{\"classid\":\"$class_id\",\"uid\":\"$student_uid\",\"video_profile\":30}"
    closing_wait_log student message "setVideoProfile ret:" 1 20 ||
        xd_fail "orders: the student's client did not apply the video profile (606)"
    xd_note "orders: the video profile (606) applied by the student's client"

    # The re-entered classroom reads the class information again: from here
    # on the lesson has run 1230 s, so leaving asks the student for a review.
    local begin=$(($(date +%s) - 1230))
    curl -sf --max-time 10 -X POST --data "{\"class_id\":\"$class_id\",\"begin_time\":$begin}" \
        "http://127.0.0.1:$service_port/__control/class" >/dev/null ||
        xd_fail "orders: the lesson service did not take the lesson's begin time"
    local old=${classroom[student]} joins leaves
    joins=$(wire_count "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 103)" "\"sender\": ?\"$student_uid\"")
    leaves=$(wire_count "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 112)" "\"sender\": ?\"$student_uid\"")
    backend_publish "$broker" "$class_id" 602 "{\"classid\":\"$class_id\",\"uid\":\"$student_uid\",\"type\":2,\"alertMsg\":\"The classroom opens again\"}"
    closing_wait_log student message "<AppRestart> msgtype:602 RefreshType:2" 1 20 ||
        xd_fail "orders: the student's client did not take the re-entry order (602)"
    closing_shot student order-reentry-notice 0
    # 5000 ms later the client leaves the MQTT channel (112) and logs out
    # first, then closes the classroom and opens it again (103 once the
    # teacher's video is there).
    wire_wait $((leaves + 1)) 30 "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 112)" "\"sender\": ?\"$student_uid\"" ||
        xd_fail "orders: the student's client did not leave the class's channel for the re-entry (no 112)"
    closing_wait_log student message "<reEnterClassroom> logout mqtt success\\." 1 20 ||
        xd_fail "orders: the student's client did not log out of MQTT for the re-entry"
    xd_wait_window_gone "$old" 20
    xd_wait_window "$CLIENT_CLASSROOM_TITLE" 30 "${pid[student]}"
    classroom[student]=$XD_WINDOW
    xdotool windowsize --sync "${classroom[student]}" "$width" "$height" >/dev/null 2>&1 || true
    client_place "${classroom[student]}" "${left[student]}" 0
    wire_wait $((joins + 1)) 60 "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 103)" "\"sender\": ?\"$student_uid\"" ||
        xd_fail "orders: the re-entered student did not announce itself (no 103)"
    closing_shot student order-reentered 5
    closing_shot teacher order-reentered
    xd_note "orders: the student's classroom closed and opened again (602 type 2)"
}

# Prints the gaps in milliseconds between consecutive MQTT re-login
# attempts in the role's message log since line <from>.
closing_relogin_gaps() {
    local role=$1 from=$2
    closing_log_lines "$role" message "start mqtt relogin" | tail -n "+$((from + 1))" |
        awk '{ if (previous) print $1 - previous; previous = $1 }'
}

# 4. The broker stopped in the middle of the lesson and started again:
# both clients try to log in again every 2000 ms while it is away, then log
# in, join the class again and carry messages again, none of them twice.
walk_broker_away() {
    if [[ -z "${BROKER_DIR:-}" || ! -f "$BROKER_DIR/mosquitto.pid" ]]; then
        xd_note "broker: not started by this run, left running"
        return 0
    fi
    local role
    declare -A attempts joined
    for role in teacher student; do
        attempts[$role]=$(closing_log_count "$role" message "start mqtt relogin")
        joined[$role]=$(closing_log_count "$role" action "mqtt_joinchannel_success,.*/channel/$class_id/message")
        CLOSING_LEFT_BEFORE[$role]=$(closing_log_count "$role" message " - slot_onChannelUserLeaved, uid:")
        CLOSING_JOINED_BEFORE[$role]=$(closing_log_count "$role" message "videoTxt end slot_onChannelUserJoined")
    done
    broker_stop "$BROKER_DIR" || xd_fail "broker: the broker did not stop"
    xd_note "broker: stopped"
    for role in teacher student; do
        closing_wait_log "$role" message "start mqtt relogin" $((attempts[$role] + 3)) 30 ||
            xd_fail "broker: the $role's client did not try to log in again while the broker was away"
        closing_wait_log "$role" action "mqtt_login_failure" 1 10 ||
            xd_fail "broker: the $role's action log has no failed MQTT login"
    done
    closing_shot teacher broker-away 0
    closing_shot student broker-away 0
    for role in teacher student; do
        local gap
        for gap in $(closing_relogin_gaps "$role" "${attempts[$role]}"); do
            # A coarse timer may fire up to 5 % early; a busy machine late.
            ((gap >= 1900 && gap <= 6000)) ||
                xd_fail "broker: the $role's client tried again after $gap ms instead of 2000 ms"
        done
    done
    xd_note "broker: both clients tried to log in again every 2000 ms"

    broker_restart "$BROKER_DIR" || xd_fail "broker: the broker did not start again"
    wire_record_resume "$broker"
    xd_note "broker: started again"
    for role in teacher student; do
        closing_wait_log "$role" action "mqtt_joinchannel_success,.*/channel/$class_id/message" $((joined[$role] + 1)) 30 ||
            xd_fail "broker: the $role's client did not join the class channel again"
    done
    # Messages go round again: an order from the back end to each, taken
    # once by its addressee.
    local uid received
    for role in teacher student; do
        uid=$(closing_uid "$role")
        received=$(closing_log_count "$role" message "slot_receiveSendSysMsg")
        backend_publish "$broker" "$class_id" 601 "{\"classid\":\"$class_id\",\"uid\":\"$uid\",\"level\":2,\"content\":\"Back again\"}"
        closing_wait_log "$role" message "slot_receiveSendSysMsg" $((received + 1)) 20 ||
            xd_fail "broker: the $role's client took no message after the broker came back"
    done
    # The pictures wait until each classroom really is back: the banner
    # gone and every participant that left the video channel meanwhile in
    # it again (no tile still saying it left).
    for role in teacher student; do
        closing_wait_count 1 30 closing_is_back "$role" ||
            xd_fail "broker: the $role's classroom is not back ($(closing_back_state "$role"))"
    done
    closing_shot teacher broker-back 0
    closing_shot student broker-back 0
    closing_no_duplicates broker
    xd_note "broker: both logged in and joined again and carry messages, none twice"
}

# What the role's classroom shows since the broker went away: the banner's
# last state, and how many participants left the video channel and came
# back into it.
declare -A CLOSING_LEFT_BEFORE CLOSING_JOINED_BEFORE
closing_back_state() {
    local role=$1 banner left joined
    banner=$(closing_log_lines "$role" message "network banner (shown|hidden)" | tail -n 1 | grep -oE "shown|hidden" || true)
    left=$(($(closing_log_count "$role" message " - slot_onChannelUserLeaved, uid:") - CLOSING_LEFT_BEFORE[$role]))
    joined=$(($(closing_log_count "$role" message "videoTxt end slot_onChannelUserJoined") - CLOSING_JOINED_BEFORE[$role]))
    echo "banner ${banner:-never shown}, left the video channel $left, back in it $joined"
}

# Prints 1 when the role's classroom is back: no banner and nobody still
# out of the video channel; else 0.
closing_is_back() {
    local state
    state=$(closing_back_state "$1")
    if [[ "$state" =~ ^banner\ (hidden|never\ shown),\ left\ the\ video\ channel\ ([0-9]+),\ back\ in\ it\ ([0-9]+)$ ]] &&
        ((BASH_REMATCH[3] >= BASH_REMATCH[2])); then
        echo 1
    else
        echo 0
    fi
}

# Fails the step unless every message each client took (its "im_receive_"
# records) was taken once.
closing_no_duplicates() {
    local step=$1 role twice
    for role in teacher student; do
        twice=$(closing_log_lines "$role" action ",im_receive_" | { grep -oE '"uuid":"[^"]*"' || true; } | sort | uniq -d | head -n 3)
        [[ -z "$twice" ]] || xd_fail "$step: the $role's client took a message twice: $twice"
    done
}

# Leaves the classroom of <role> through its close button and the leave
# box (its default answer, Yes).
closing_confirm_leave() {
    local role=$1 step=$2 known
    known=$(closing_other_windows "$role")
    walk_click "$role" 'Close|关闭' "${CLOSING_CLOSE_BUTTON[@]}"
    closing_wait_new_window "$role" 20 "$known" || xd_fail "$step: the $role's leave box did not open"
    closing_picture_and_answer "$role" "$step" "$CLOSING_WINDOW" "leave box"
}

# Waits for what every leaving leaves behind: 104 on the class's channel,
# "class/exit" at the lesson service and the role's logs uploaded.
closing_left() {
    local role=$1 exits=$2 events=$3 uploads=$4 uid
    uid=$(closing_uid "$role")
    wire_wait $((exits + 1)) 30 "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 104)" "\"sender\": ?\"$uid\"" ||
        xd_fail "leave: the $role's client did not say it left (no 104; traffic: $WIRE_FILE)"
    closing_wait_service "$(closing_event "$role" class/exit)" $((events + 1)) 30 ||
        xd_fail "leave: the $role's client did not report \"class/exit\" to the lesson service"
    closing_wait_service "$(closing_upload "$role")" $((uploads + 1)) 60 ||
        xd_fail "leave: the $role's logs were not uploaded after the lesson"
}

# Sets CLOSING_BEFORE to what closing_left counts up from: the role's 104
# messages, "class/exit" events and log uploads so far.
closing_count_leavings() {
    local role=$1
    CLOSING_BEFORE=("$(closing_exits "$role")" "$(closing_service_count "$(closing_event "$role" class/exit)")"
        "$(closing_service_count "$(closing_upload "$role")")")
}

closing_exits() {
    wire_count "^tp/velmo/signal/channel/$class_id/message " "$(closing_message 104)" "\"sender\": ?\"$(closing_uid "$1")\""
}

# 5. Leaving: the student (the lesson has run more than 1200 s and has no
# review yet) gets the review window first and leaves once it is sent; the
# teacher leaves at once.
walk_leaving() {
    closing_count_leavings student
    local before=("${CLOSING_BEFORE[@]}")
    closing_confirm_leave student leave
    closing_wait_log student message "<ClassReview> create WidgetReview" 1 20 ||
        xd_fail "leave: the student was not asked for a review after 1200 s of lesson"
    xd_wait_window "$CLOSING_REVIEW_TITLE" 20 "${pid[student]}"
    local review=$XD_WINDOW
    # It opens in the screen's corner: over the student's classroom here.
    client_place "$review" $((left[student] + (width - 416) / 2)) 190
    xd_screenshot "$review" student-review
    # The classroom waits for the review.
    ((before[0] == $(closing_exits student))) || xd_fail "leave: the student's classroom closed before the review"
    local comments
    comments=$(closing_service_count "$(closing_call /QXV1/PcClass/saveComment)")
    xd_click_named "$review" "${pid[student]}" "$CLOSING_REVIEW_TITLE" 'Star 5|5星' "${CLOSING_REVIEW_STAR5[@]}"
    xd_click_named "$review" "${pid[student]}" "$CLOSING_REVIEW_TITLE" 'Submit|提交' "${CLOSING_REVIEW_SUBMIT[@]}"
    closing_wait_service "$(closing_call /QXV1/PcClass/saveComment)" $((comments + 1)) 20 ||
        xd_fail "leave: the student's review was not sent"
    closing_left student "${before[@]}"
    xd_wait_window_gone "${classroom[student]}" 20
    xd_note "leave: the student reviewed the lesson and left (104, \"class/exit\", logs uploaded)"

    closing_count_leavings teacher
    before=("${CLOSING_BEFORE[@]}")
    closing_confirm_leave teacher leave
    closing_left teacher "${before[@]}"
    xd_wait_window_gone "${classroom[teacher]}" 20
    (($(closing_log_count teacher message "<ClassReview> create WidgetReview") == 0)) ||
        xd_fail "leave: the teacher was asked for a review"
    xd_find_window "$CLIENT_COURSE_TITLE" 10 "${pid[teacher]}" || xd_fail "leave: the teacher's course window did not come back"
    xd_screenshot "$XD_WINDOW" teacher-course-after-lesson
    xd_note "leave: the teacher left without a review (104, \"class/exit\", logs uploaded)"
    closing_no_duplicates leave
}

walk_closing() {
    walk_award
    walk_media
    walk_server_orders
    walk_broker_away
    walk_leaving
}
