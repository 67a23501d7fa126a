#!/bin/bash
# Shows a teacher's and a student's whiteboard of one class side by side,
# mirrored over a local mosquitto broker, with the stand-in lesson's
# courseware downloaded from the stand-in lesson service.
#   bash scripts/board.sh
#
# Without a display ($DISPLAY unset) it runs both boards under Xvfb, draws
# with xdotool as a user would (the teacher a stroke and a text, the
# student a stroke, then the teacher turns the page and draws again), and
# leaves pictures of both boards in out/board/ (teacher-page1.png,
# student-page1.png, teacher-page2.png, student-page2.png).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
bash scripts/build.sh lessonry-board-teacher lessonry-board-student lessonry-lesson-service
BUILD_DIR=${BUILD_DIR:-build}
bin="$PWD/$BUILD_DIR/bin"
out="$PWD/out/board"
rm -rf "$out"
mkdir -p "$out/profile"
work=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-board.XXXXXX")

pids=()
stop_all() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap stop_all EXIT
trap 'exit 130' INT TERM

wait_for() { # file pattern what
    for _ in $(seq 150); do
        grep -q "$2" "$1" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "board.sh: $3 did not start:" >&2
    cat "$1" >&2 || true
    exit 1
}

# The broker and the lesson service, on ports of their own.
broker_port=$((20000 + RANDOM % 20000))
printf 'listener %s 127.0.0.1\nallow_anonymous true\nset_tcp_nodelay true\n' "$broker_port" >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" >"$work/broker.log" 2>&1 &
pids+=($!)
"$bin/lessonry-lesson-service" --port 0 >"$work/service.log" 2>&1 &
pids+=($!)
wait_for "$work/service.log" '^listening on 127.0.0.1:' "the lesson service"
service_port=$(sed -n 's/^listening on 127.0.0.1:\([0-9]*\).*/\1/p' "$work/service.log" | head -1)
for _ in $(seq 50); do
    (exec 3<>"/dev/tcp/127.0.0.1/$broker_port") 2>/dev/null && break
    sleep 0.1
done

sed -e "s/^\(production_port\|development_port\|port\)=.*/\1=$broker_port/" \
    -e "s/127.0.0.1:18080/127.0.0.1:$service_port/" "$bin/servers.ini" >"$work/servers.ini"
export LESSONRY_SERVERS_INI="$work/servers.ini"
export XDG_CONFIG_HOME="$out/profile/config" XDG_DATA_HOME="$out/profile/data" XDG_CACHE_HOME="$out/profile/cache"
url="http://127.0.0.1:$service_port/files/courseware.pdf"

start_board() { # role uid x shot
    "$bin/lessonry-board-$1" --uid "$2" --class 10001 --mqtt --url "$url" --pos "$3,0" --size 820x660 \
        --shot "$out/$4" >"$work/$1.out" 2>"$work/$1.err" &
    pids+=($!)
    eval "${1}_pid=$!"
    wait_for "$work/$1.out" '^inchannel' "the $1's board"
    sed -n "s/^log /board.sh: the $1's log: /p" "$work/$1.out"
}

if [[ -n "${DISPLAY:-}" ]]; then
    start_board teacher 30001 0 teacher.png
    start_board student 20001 840 student.png
    echo "board.sh: both boards are open; close them to end."
    wait "$teacher_pid" "$student_pid" || true
    exit 0
fi

# Headless: a virtual screen for both windows, driven with xdotool.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1700x700x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for _ in $(seq 50); do
    xdotool getmouselocation >/dev/null 2>&1 && break
    sleep 0.1
done

start_board teacher 30001 0 teacher.png
start_board student 20001 860 student.png
sleep 1 # the courseware is downloaded and shown

at() { # role name -> "x y" in screen coordinates
    local x y offset
    read -r x y < <(sed -n "s/^at $2 \([0-9]*\) \([0-9]*\)/\1 \2/p" "$work/$1.out" | head -1)
    [[ "$1" == teacher ]] && offset=0 || offset=860
    echo "$((x + offset)) $y"
}
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
drag() { # x y (dx dy)...
    local x=$1 y=$2
    shift 2
    xdotool mousemove "$x" "$y" mousedown 1
    while (($#)); do
        x=$((x + $1)); y=$((y + $2)); shift 2
        xdotool mousemove "$x" "$y"
        sleep 0.02
    done
    xdotool mouseup 1
    sleep 0.3
}
shoot() { # role file
    kill -USR1 "$(eval echo "\$${1}_pid")"
    for _ in $(seq 50); do
        grep -q "^shot saved $out/$2" "$work/$1.out" && break
        sleep 0.1
    done
    cp "$out/$1.png" "$out/$2"
}

# The teacher draws a wave and writes a note; the student circles something.
click $(at teacher btnPen)
drag 120 250 40 -30 40 30 40 -30 40 30 40 -30 40 30
click $(at teacher btnText)
click 150 420
xdotool type --delay 40 "Look at the circle"
click 500 560
click $(at student btnPen)
drag 1060 400 60 -40 60 40 -60 40 -60 -40
sleep 0.5
shoot teacher teacher-page1.png
shoot student student-page1.png

# The teacher turns the page; the student's board follows; both draw.
click $(at teacher btnNextPage)
click $(at teacher btnPen)
drag 200 300 80 20 80 -20 80 20
drag 1100 250 50 50 50 -50
sleep 0.5
shoot teacher teacher-page2.png
shoot student student-page2.png
rm -f "$out/teacher.png" "$out/student.png"
echo "board.sh: pictures in $out:"
ls "$out"/*.png | sed 's/^/  /'
