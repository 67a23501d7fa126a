# Steps of the lesson walk inside the class page (sourced by
# scripts/lesson.sh once both classrooms are open, with $classroom, $out,
# $class_id and $broker set). Each step leaves a picture per role and a
# line in the report, or stops the walk naming the step.

# Places on the class page, from its window's top-left corner, with the
# window at 1040 x 760 (the whiteboard on the left, the video column on
# the right: the teacher's tile first, then the students' in roster order).
INCLASS_BOARD_PAGE=(20 200 700 400)    # inside the courseware's first page
INCLASS_TILE_VIDEO=(805 55 220 95)     # the first tile's picture
INCLASS_TILE_STEP=162                  # from one tile to the next

# Takes a picture of the role's classroom into <file> without noting it.
inclass_grab() {
    local role=$1 file=$2
    xwd -silent -id "${classroom[$role]}" 2>/dev/null | xwdtopnm 2>/dev/null | pnmtopng >"$file" 2>/dev/null
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
    read -r colours _ < <(xd_region_colours "$file" "$x" "$y" "${INCLASS_TILE_VIDEO[2]}" "${INCLASS_TILE_VIDEO[3]}" 0 0 0)
    ((colours >= 6))
}
inclass_both_tiles_live() {
    inclass_tile_live "$1" 0 && inclass_tile_live "$1" 1
}

# The board shows the courseware's page: mostly white paper, not the
# board's grey.
inclass_board_shows_page() {
    local white
    read -r _ white < <(xd_region_colours "$1" "${INCLASS_BOARD_PAGE[@]}" 255 255 255)
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

walk_inclass() {
    inclass_step_tiles
}
