# Steps of the lesson walk inside the class page (sourced by
# scripts/lesson.sh once both classrooms are open, with $classroom, $out,
# $class_id and $broker set). Each step leaves a picture per role and a
# line in the report, or stops the walk naming the step.

# Places on the class page, from its window's top-left corner, with the
# window at 1040 x 760 (the whiteboard on the left, the video column on
# the right: the teacher's tile first, then the students' in roster order).
# Buttons and fields are reached by their accessible names (walk_click)
# where the bridge finds them; these places are for the pictures, the
# stroke and the buttons the bridge does not find.
INCLASS_BOARD_PAGE=(20 200 700 400)    # inside the courseware's first page
INCLASS_TILE_VIDEO=(805 55 220 95)     # the first tile's picture
INCLASS_TILE_STEP=162                  # from one tile to the next
INCLASS_PEN=(217 735)                  # the teacher's pen button
INCLASS_NEXT_PAGE=(721 64)
INCLASS_STROKE=(200 380 520 460)       # from, to: across the first page
declare -A INCLASS_CHAT_BUTTON=([teacher]="539 735" [student]="463 735")
INCLASS_CHAT_INPUT=(898 640)
INCLASS_CHAT_PICTURE=(786 543)
INCLASS_PICTURE="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/src/image/class/praise.png"
# The student's tile on the teacher's page and its tool bar, shown while
# the pointer is over the tile: microphone, drawing, praise, enlarge.
INCLASS_STUDENT_TILE=(899 260)
INCLASS_TILE_AUDIO=(793 335)
INCLASS_TILE_PRAISE=(881 335)
INCLASS_TILE_ZOOM=(925 335)
INCLASS_TILE_ZOOMED=(887 335)          # the enlarge button alone, once enlarged
INCLASS_HELPDESK=(50 64)               # the board's "Help desk" button
declare -A INCLASS_HELPDESK_TITLE=([teacher]="Helpdesk" [student]="问题反馈")

# Takes a picture of the role's classroom into <file> without noting it.
inclass_grab() {
    local role=$1 file=$2
    xd_grab "${classroom[$role]}" 2>/dev/null | pnmtopng >"$file" 2>/dev/null
}

# Waits up to <seconds> until "<check> <picture>" succeeds on the role's
# classroom; returns 1 when it did not.
inclass_wait_picture() {
    local role=$1 seconds=$2 check=$3
    local deadline=$((SECONDS + seconds)) file="$out/$role/inclass-check.png"
    while :; do
        inclass_grab "$role" "$file" && "$check" "$file" && return 0
        ((SECONDS < deadline)) || return 1
        sleep 0.5
    done
}

# The tile <index> shows a camera picture: the synthetic camera's bars
# have many colours, a tile without video one grey.
inclass_tile_live() {
    local file=$1 index=$2
    local x=${INCLASS_TILE_VIDEO[0]} y=$((INCLASS_TILE_VIDEO[1] + index * INCLASS_TILE_STEP))
    local colours
    read -r colours _ _ < <(xd_region_colours "$file" "$x" "$y" "${INCLASS_TILE_VIDEO[2]}" "${INCLASS_TILE_VIDEO[3]}" 0 0 0)
    ((colours >= 6))
}
inclass_both_tiles_live() {
    inclass_tile_live "$1" 0 && inclass_tile_live "$1" 1
}

# Each hears the other: the teacher's tone at the student's speaker and the
# student's at the teacher's (LESSON_TONE, LESSON_EAR: lesson.sh). Both
# listen at once.
inclass_step_hearing() {
    local role listener=() code
    declare -A other=([teacher]=student [student]=teacher)
    for role in teacher student; do
        sound_hears "${LESSON_EAR[$role]}" "${LESSON_TONE[${other[$role]}]}" 20 >"$out/$role/hearing.txt" 2>&1 &
        listener+=($!)
    done
    local i=0
    for role in teacher student; do
        code=0
        wait "${listener[$i]}" || code=$?
        i=$((i + 1))
        ((code == 0)) || xd_fail "hearing: the $role does not hear the ${other[$role]}'s ${LESSON_TONE[${other[$role]}]} Hz tone at its speaker (${LESSON_EAR[$role]}): $(tr '\n' ' ' <"$out/$role/hearing.txt")"
    done
    xd_note "hearing: the teacher's tone heard at the student's speaker, the student's at the teacher's"
}

# The board shows the courseware's page: mostly white paper, not the
# board's grey.
inclass_board_shows_page() {
    local white
    read -r _ white _ < <(xd_region_colours "$1" "${INCLASS_BOARD_PAGE[@]}" 255 255 255)
    ((white >= 50))
}

inclass_step_tiles() {
    local role
    for role in teacher student; do
        inclass_wait_picture "$role" 30 inclass_both_tiles_live ||
            xd_fail "class page: the $role's video tiles did not both show a camera picture"
        inclass_wait_picture "$role" 30 inclass_board_shows_page ||
            xd_fail "class page: the $role's board does not show the courseware's first page"
        xd_screenshot "${classroom[$role]}" "$role-class-page" 0
    done
    xd_note "class page: both video tiles live and the courseware shown on both sides"
}

inclass_uid() {
    client_account "$1"
    echo "$CLIENT_UID"
}

# Pattern of a recorded message on the class's channel of <type> sent by
# the role.
inclass_channel() {
    echo "^tp/velmo/signal/channel/$class_id/message "
}
inclass_from() {
    echo "\"sender\": ?\"$(inclass_uid "$1")\""
}
inclass_type() {
    echo "\"type\": ?$1[,}]"
}

# Fails the step unless exactly <n> recorded lines match the patterns,
# waiting up to <seconds> for them and a moment longer for any extra one.
inclass_expect_exactly() {
    local step=$1 what=$2 n=$3 seconds=$4
    shift 4
    wire_wait "$n" "$seconds" "$@" || xd_fail "$step: $what did not reach the wire (traffic: $WIRE_FILE)"
    sleep 1
    local count
    count=$(wire_count "$@")
    ((count == n)) || xd_fail "$step: $what went $count times instead of $n (traffic: $WIRE_FILE)"
}

# The board shows some of the pen's red: a stroke mirrored.
inclass_board_shows_stroke() {
    local red
    read -r _ _ red < <(xd_region_colours "$1" 10 100 740 560 255 0 0)
    ((red >= 20))
}

# 2. The teacher draws a stroke on the first page and turns to the second;
# the student's board follows both.
inclass_step_board() {
    local teacher=${classroom[teacher]} x y
    walk_click teacher 'Pen|画笔' "${INCLASS_PEN[@]}"
    xd_move "$teacher" "${INCLASS_STROKE[0]}" "${INCLASS_STROKE[1]}"
    xdotool mousedown 1 || xd_fail "board: cannot press the mouse button"
    for i in 1 2 3 4 5 6 7 8; do
        x=$((INCLASS_STROKE[0] + (INCLASS_STROKE[2] - INCLASS_STROKE[0]) * i / 8))
        y=$((INCLASS_STROKE[1] + (INCLASS_STROKE[3] - INCLASS_STROKE[1]) * i / 8))
        xdotool mousemove --window "$teacher" "$x" "$y"
        sleep 0.05
    done
    xdotool mouseup 1 || xd_fail "board: cannot release the mouse button"
    # The pen is put away again.
    walk_click teacher 'Pen|画笔' "${INCLASS_PEN[@]}"
    inclass_expect_exactly board "the teacher's stroke (300)" 1 20 "$(inclass_channel)" "$(inclass_type 300)" \
        "$(inclass_from teacher)" '"objecttype\\?": ?1[,}]'
    inclass_wait_picture student 20 inclass_board_shows_stroke ||
        xd_fail "board: the teacher's stroke does not show on the student's board"
    xd_screenshot "$teacher" teacher-board-stroke 0
    xd_screenshot "${classroom[student]}" student-board-stroke 0
    xd_note "board: the teacher's stroke on both boards"

    walk_click teacher 'Next page|下一页' "${INCLASS_NEXT_PAGE[@]}"
    inclass_expect_exactly board "the teacher's page turn (301)" 1 20 "$(inclass_channel)" "$(inclass_type 301)" \
        "$(inclass_from teacher)" '"toPage": ?2[,}]'
    closing_wait_log student message "gotoPage, curPageIdx:0, pageIdx:1 " 1 20 ||
        xd_fail "board: the student's board did not turn to the second page"
    xd_screenshot "$teacher" teacher-board-page-2 0
    xd_screenshot "${classroom[student]}" student-board-page-2 0
    xd_note "board: both on the second page"
}

# 3. Chat: the student sends a text with Enter and a picture chosen in the
# file dialog (its file name typed there, as a user may); each shows once
# on both sides: the student's own on the right, the teacher's received
# on the left.
inclass_step_chat() {
    local role student=${classroom[student]}
    local text="Hello from the lesson walk"
    for role in teacher student; do
        # shellcheck disable=SC2086
        walk_click "$role" 'Chat|聊天' ${INCLASS_CHAT_BUTTON[$role]}
    done
    walk_click student 'Message|消息' "${INCLASS_CHAT_INPUT[@]}"
    xd_type_text "$student" "$text" "\"Message\""
    xdotool key --clearmodifiers Return || xd_fail "chat: cannot press Enter"
    inclass_expect_exactly chat "the student's text (1)" 1 20 "$(inclass_channel)" "$(inclass_type 1)" \
        "$(inclass_from student)" "\"content\": ?\"$text\""
    closing_wait_log teacher action "im_receive_Text" 1 20 ||
        xd_fail "chat: the teacher's client did not receive the student's text"
    sleep 1
    (($(closing_log_count teacher action "im_receive_Text") == 1)) ||
        xd_fail "chat: the teacher's client took the student's text more than once"
    for role in teacher student; do
        xd_screenshot "${classroom[$role]}" "$role-chat-text" 1
    done
    xd_note "chat: the student's text sent with Enter, received once by the teacher"

    local picture="$out/student/chat-picture.png" uploads known
    cp "$INCLASS_PICTURE" "$picture"
    uploads=$(closing_service_count "$(closing_call /QXV1/Public/chatPic)")
    known=$(closing_other_windows student)
    walk_click student 'Picture|图片' "${INCLASS_CHAT_PICTURE[@]}"
    closing_wait_new_window student 20 "$known" || xd_fail "chat: the student's file dialog did not open"
    xd_screenshot "$CLOSING_WINDOW" student-chat-file-dialog 1
    # The dialog's file name field has the focus: a whole path is taken.
    xdotool windowfocus --sync "$CLOSING_WINDOW" 2>/dev/null || true
    xdotool type --clearmodifiers --delay 20 -- "$picture" || xd_fail "chat: cannot type into the file dialog"
    xdotool key --clearmodifiers Return || xd_fail "chat: cannot press Enter in the file dialog"
    closing_wait_service "$(closing_call /QXV1/Public/chatPic)" $((uploads + 1)) 20 ||
        xd_fail "chat: the student's picture was not uploaded to the lesson service"
    inclass_expect_exactly chat "the student's picture (2)" 1 20 "$(inclass_channel)" "$(inclass_type 2)" \
        "$(inclass_from student)"
    closing_wait_log teacher action "im_receive_Picture" 1 20 ||
        xd_fail "chat: the teacher's client did not receive the student's picture"
    for role in teacher student; do
        xd_screenshot "${classroom[$role]}" "$role-chat-picture" 3
    done
    xd_note "chat: the student's picture uploaded and shown on both sides"
    # The video column back for the next steps.
    for role in teacher student; do
        # shellcheck disable=SC2086
        walk_click "$role" 'Chat|聊天' ${INCLASS_CHAT_BUTTON[$role]}
    done
}

# 3b. The help desk: each opens its problem report from the board's "Help
# desk" button; the report is pictured (its content area white, none of
# the board's grey) and closed with its close button.
inclass_step_helpdesk() {
    local role known file w h white dark WIDTH HEIGHT
    for role in teacher student; do
        known=$(closing_other_windows "$role")
        walk_click "$role" 'Help desk|求助' "${INCLASS_HELPDESK[@]}"
        closing_wait_new_window "$role" 20 "$known" || xd_fail "help desk: the $role's report did not open"
        xd_screenshot "$CLOSING_WINDOW" "$role-helpdesk" 1
        file=$(xd_last_shot "$role-helpdesk")
        eval "$(xdotool getwindowgeometry --shell "$CLOSING_WINDOW" 2>/dev/null | grep -E '^(WIDTH|HEIGHT)=')"
        w=${WIDTH:-0} h=${HEIGHT:-0}
        ((w > 60 && h > 100)) || xd_fail "help desk: the $role's report has no size"
        # Inside the frame and below the title: white, never the board's grey.
        read -r _ white _ < <(xd_region_colours "$file" 13 40 $((w - 26)) $((h - 100)) 255 255 255)
        read -r _ _ dark < <(xd_region_colours "$file" 1 1 $((w - 2)) $((h - 2)) 70 68 68)
        ((white >= 50 && dark == 0)) ||
            xd_fail "help desk: the $role's report is not white inside ($white % white, $dark pixels of the board's grey)"
        xd_click_named "$CLOSING_WINDOW" "${pid[$role]}" "${INCLASS_HELPDESK_TITLE[$role]}" 'Close|关闭' $((w - 23)) 17
        xd_wait_window_gone "$CLOSING_WINDOW" 10 || xd_fail "help desk: the $role's report did not close"
    done
    xd_note "help desk: both reports pictured, white inside, and closed"
}

# Moves the pointer over the student's tile on the teacher's page, so its
# tool bar shows, and presses the tool bar's button named <name> (at <x>
# <y>: of the tiles' buttons with that name, the one nearest there).
inclass_tile_button() {
    xd_move "${classroom[teacher]}" "${INCLASS_STUDENT_TILE[@]}"
    sleep 0.5
    walk_click teacher "$@"
}

# How many windows the teacher's client shows.
inclass_teacher_windows() {
    xdotool search --all --onlyvisible --pid "${pid[teacher]}" 2>/dev/null | wc -l
}

# Prints <n> once the teacher's client shows no more than <n> windows, 0
# before.
inclass_teacher_windows_gone() {
    if (($(inclass_teacher_windows) <= $1)); then echo "$1"; else echo 0; fi
}

# 4. The teacher's class control: the student muted and unmuted (402 on
# the student's own topic), praised (403, the student's client posting
# "clickLike"), highlighted and back (404); then the class mode switched
# to the award mode and back, exactly one 410 each time, the student
# following and never sending one itself.
inclass_step_control() {
    local teacher=${classroom[teacher]} role enabled
    local student_uid peer
    student_uid=$(inclass_uid student)
    peer="^tp/velmo/signal/p2p/$student_uid/channel/$class_id "
    local n=0
    for enabled in 0 1; do
        n=$((n + 1))
        inclass_tile_button 'Microphone|麦克风' "${INCLASS_TILE_AUDIO[@]}"
        inclass_expect_exactly control "the teacher's microphone order (402, enabled $enabled)" 1 20 "$peer" \
            "$(inclass_type 402)" "$(inclass_from teacher)" '"type": ?8[,}]' "\"enabled\": ?$enabled[,}]"
        closing_wait_log student action "im_receive_FunctionControl" "$n" 20 ||
            xd_fail "control: the student's client did not receive the microphone order"
        xd_screenshot "$teacher" "teacher-control-audio-$enabled" 0
        # The student's own tile, its microphone button shown under the
        # pointer (the same place on both pages).
        xd_move "${classroom[student]}" "${INCLASS_STUDENT_TILE[@]}"
        sleep 0.5
        xd_screenshot "${classroom[student]}" "student-control-audio-$enabled" 0
    done
    xd_note "control: the student muted and unmuted by the teacher"

    local likes windows
    likes=$(closing_service_count "$(closing_call /QXV1/PcClass/clickLike)")
    windows=$(inclass_teacher_windows)
    inclass_tile_button 'Praise|表扬' "${INCLASS_TILE_PRAISE[@]}"
    inclass_expect_exactly control "the teacher's praise (403)" 1 20 "$(inclass_channel)" "$(inclass_type 403)" \
        "$(inclass_from teacher)" "\"uid\": ?\"$student_uid\""
    closing_wait_service "$(closing_call /QXV1/PcClass/clickLike)" $((likes + 1)) 20 ||
        xd_fail "control: the praised student's client did not post \"clickLike\" to the lesson service"
    for role in teacher student; do
        xd_screenshot "${classroom[$role]}" "$role-control-praise" 0
    done
    xd_note "control: the student praised, \"clickLike\" recorded by the lesson service"
    # The praise effect is a window of its own over the tiles: the next
    # click waits until it has flown away.
    closing_wait_count "$windows" 30 inclass_teacher_windows_gone "$windows" ||
        xd_fail "control: the teacher's praise effect did not end"

    inclass_tile_button 'Highlight|突出显示' "${INCLASS_TILE_ZOOM[@]}"
    inclass_expect_exactly control "the teacher's highlight (404)" 1 20 "$(inclass_channel)" "$(inclass_type 404)" \
        "$(inclass_from teacher)" '"highlight": ?1[,}]'
    closing_wait_log student action "im_receive_HighlightPerson" 1 20 ||
        xd_fail "control: the student's client did not receive the highlight"
    sleep 0.5
    for role in teacher student; do
        xd_screenshot "${classroom[$role]}" "$role-control-highlight" 0
    done
    inclass_tile_button 'Highlight|突出显示' "${INCLASS_TILE_ZOOMED[@]}"
    inclass_expect_exactly control "the teacher's end of the highlight (404)" 1 20 "$(inclass_channel)" \
        "$(inclass_type 404)" "$(inclass_from teacher)" '"highlight": ?0[,}]'
    closing_wait_log student action "im_receive_HighlightPerson" 2 20 ||
        xd_fail "control: the student's client did not receive the end of the highlight"
    xd_note "control: the student highlighted and back"

    local mode
    for mode in 1 0; do
        if ((mode == 1)); then
            closing_pick_mode "${CLOSING_CLASS_MODE_SWITCH[@]}" 1
        else
            closing_pick_mode "${CLOSING_AWARD_MODE_SWITCH[@]}" 0
        fi
        inclass_expect_exactly control "the teacher's mode switch (410, mode $mode)" 1 20 "$(inclass_channel)" \
            "$(inclass_type 410)" "$(inclass_from teacher)" "\"type\": ?$mode\\}"
        closing_wait_log student action "im_receive_ClassMode,.*\"type\":$mode\\}" 1 20 ||
            xd_fail "control: the student's classroom did not follow the switch to mode $mode"
        for role in teacher student; do
            xd_screenshot "${classroom[$role]}" "$role-control-mode-$mode" 1
        done
    done
    (($(wire_count "$(inclass_type 410)" "$(inclass_from student)") == 0)) ||
        xd_fail "control: the student sent a class mode (410) (traffic: $WIRE_FILE)"
    xd_note "control: one class mode switch each way from the teacher, followed by the student, none from the student"
}

walk_inclass() {
    inclass_step_tiles
    inclass_step_hearing
    inclass_step_board
    inclass_step_chat
    inclass_step_helpdesk
    inclass_step_control
}
