#!/bin/sh
# Runs one test executable in a world of its own: a fresh HOME and XDG
# folders, a fixed time zone, no display and a silent audio sink.
set -u
tmp=$(mktemp -d "${TMPDIR:-/tmp}/lessonry-test.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT INT TERM
mkdir -p "$tmp/home" "$tmp/config" "$tmp/data" "$tmp/cache" "$tmp/runtime" "$tmp/tmp"
chmod 700 "$tmp/runtime"
export HOME="$tmp/home"
export XDG_CONFIG_HOME="$tmp/config"
export XDG_DATA_HOME="$tmp/data"
export XDG_CACHE_HOME="$tmp/cache"
export XDG_RUNTIME_DIR="$tmp/runtime"
# One GStreamer plugin registry for every test: with a fresh cache folder
# each test would scan all the system's plugins again first, which takes
# seconds on a loaded machine and eats into the tests' waits. GStreamer
# writes the file under a temporary name and renames it, so tests started
# side by side can share it.
export GST_REGISTRY="${GST_REGISTRY:-${TMPDIR:-/tmp}/lessonry-gst-registry-$(id -u).bin}"
export TMPDIR="$tmp/tmp"
export TZ="America/Sao_Paulo"
export LANG=C.UTF-8
export QT_QPA_PLATFORM=offscreen
export QT_GSTREAMER_PLAYBIN_AUDIOSINK=fakeaudiosink
unset LESSONRY_SERVERS_INI
"$@"
