#!/bin/sh
# Makes the media files of the player tests and benchmarks into $1: a few
# seconds of test picture and tone. Nothing of it is committed.
#   clip.mp4          3 s, 320x240 at 25 fps, with its own 440 Hz sound
#   clip-silent.mp4   3 s, 320x240 at 25 fps, no sound (its sound is apart)
#   clip-sound.mp3    3 s of 660 Hz: the separate sound of clip-silent.mp4
#   tone.mp3          3 s of 550 Hz: an audio material
#   clip-long-silent.mp4 / clip-long-sound.mp3  the same as the two above for
#                     60 s: for steps that must find the video still playing
#                     however slowly the machine runs
#   bench-640x480.mp4 10 s, 640x480 at 25 fps, with sound: the benchmark's
# Each file's "?avinfo" answer (the "format" part of ffprobe's report,
# values as texts) goes beside it as <file>.avinfo.json.
set -eu
out=${1:?usage: makemedia.sh <folder>}
mkdir -p "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i "testsrc=duration=3:size=320x240:rate=25" -f lavfi -i "sine=frequency=440:duration=3" \
   -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 1 -ar 44100 -shortest "$out/clip.mp4"
ff -f lavfi -i "testsrc=duration=3:size=320x240:rate=25" -an \
   -c:v libx264 -preset ultrafast -pix_fmt yuv420p "$out/clip-silent.mp4"
ff -f lavfi -i "sine=frequency=660:duration=3" -ac 1 -ar 44100 -c:a libmp3lame -b:a 64k "$out/clip-sound.mp3"
ff -f lavfi -i "testsrc=duration=60:size=320x240:rate=25" -an \
   -c:v libx264 -preset ultrafast -pix_fmt yuv420p "$out/clip-long-silent.mp4"
ff -f lavfi -i "sine=frequency=660:duration=60" -ac 1 -ar 44100 -c:a libmp3lame -b:a 64k "$out/clip-long-sound.mp3"
ff -f lavfi -i "sine=frequency=550:duration=3" -ac 1 -ar 44100 -c:a libmp3lame -b:a 64k "$out/tone.mp3"
ff -f lavfi -i "testsrc=duration=10:size=640x480:rate=25" -f lavfi -i "sine=frequency=440:duration=10" \
   -c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -ac 1 -ar 44100 -shortest "$out/bench-640x480.mp4"
for f in clip.mp4 clip-silent.mp4 clip-sound.mp3 clip-long-silent.mp4 clip-long-sound.mp3 tone.mp3 bench-640x480.mp4; do
    duration=$(ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 "$out/$f")
    printf '{"format":{"duration":"%s","format_name":"%s"}}\n' "$duration" "${f##*.}" > "$out/$f.avinfo.json"
done
touch "$out/.stamp"
