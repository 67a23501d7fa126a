#!/bin/sh
# Rebuilds every fixture the lesson service serves, into fixtures/. The
# output is committed; run this only to change a fixture:
#   sh tools/lessonservice/makefixtures.sh <build folder>
set -eu
build=${1:?usage: makefixtures.sh <build folder>}
here=$(cd "$(dirname "$0")" && pwd)
out="$here/fixtures"
mkdir -p "$out"

ninja -C "$build" lessonry-lesson-fixturegen
QT_QPA_PLATFORM=offscreen "$build/bin/lessonry-lesson-fixturegen" "$out"

# The lesson audio: two seconds of tone, mono and at a low rate, small
# enough to commit. The lesson video and its separate sound last twelve
# seconds, long enough for a busy machine to picture the student's player
# while it plays; each frame carries its number (see fixturegen's
# videoFrame), read back from pictures of the player by the lesson walk.
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "sine=frequency=440:duration=2" -ac 1 -ar 22050 -c:a libmp3lame -b:a 32k "$out/lesson-audio.mp3"
ff -f lavfi -i "sine=frequency=660:duration=12" -ac 1 -ar 22050 -c:a libmp3lame -b:a 32k "$out/lesson-video-sound.mp3"
QT_QPA_PLATFORM=offscreen "$build/bin/lessonry-lesson-fixturegen" --video-frames 120 160 120 |
    ff -f rawvideo -pix_fmt rgb24 -s 160x120 -r 10 -i - -f lavfi -i "sine=frequency=660:duration=12" \
       -c:v libx264 -preset veryslow -crf 30 -pix_fmt yuv420p -c:a aac -ac 1 -ar 22050 -b:a 32k \
       -movflags +faststart -shortest "$out/lesson-video.mp4"

# The media storage's "?avinfo" answers: the "format" part of ffprobe's
# report, every value a text as the storage sends it.
{
    printf '{'
    sep=''
    for f in lesson-audio.mp3 lesson-video-sound.mp3 lesson-video.mp4; do
        printf '%s"%s":' "$sep" "$f"
        ffprobe -v error -show_format -print_format json "$out/$f" |
            jq -c '{format: (.format | {nb_streams: (.nb_streams|tostring), format_name, format_long_name, duration, size, bit_rate})}' |
            tr -d '\n'
        sep=','
    done
    printf '}\n'
} | jq . > "$out/avinfo.json"
ls -l "$out"
