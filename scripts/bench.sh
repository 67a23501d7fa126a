#!/bin/bash
# Builds and runs every benchmark under bench/ and prints their figures.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

status=0
for dir in bench/*/; do
    name=$(basename "$dir")
    [[ -f "$dir/CMakeLists.txt" && -x "$BUILD_DIR/bin/bench_$name" ]] || continue
    echo "== bench_$name"
    "$BUILD_DIR/bin/bench_$name" || status=1
    # Start-up is measured under an X server as well.
    if [[ "$name" == startup ]] && command -v Xvfb >/dev/null; then
        "$BUILD_DIR/bin/bench_$name" 15 xcb || status=1
    fi
    echo
done
exit $status
