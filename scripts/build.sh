#!/bin/bash
# Configures and builds into ${BUILD_DIR:-build}: everything, or only the
# targets named on the command line. Two builds of one folder at once (the
# demo and the tests started side by side) take turns.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
mkdir -p "$BUILD_DIR"
exec 9>"$BUILD_DIR/.build-lock"
flock 9
# A configured folder is not configured again: ninja runs cmake by itself
# when a CMakeLists.txt changed. A build type asked for explicitly still
# reconfigures.
if [[ ! -f "$BUILD_DIR/build.ninja" || -n "${BUILD_TYPE:-}" ]]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} >/dev/null
fi
ninja -C "$BUILD_DIR" "$@"
