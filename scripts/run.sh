#!/bin/bash
# Installs what is missing, builds, and starts the client.
#   bash scripts/run.sh             the student client
#   bash scripts/run.sh --teacher   the teacher client
set -euo pipefail
cd "$(dirname "$0")/.."

client=lessonry-student
for arg in "$@"; do
    case "$arg" in
        --teacher) client=lessonry-teacher ;;
        *) echo "run.sh: unknown option $arg (only --teacher is known)" >&2; exit 2 ;;
    esac
done

bash scripts/install-deps.sh
bash scripts/build.sh
BUILD_DIR=${BUILD_DIR:-build}

# Stand-in services (lesson service, MQTT broker) are started here, before
# the client, once they exist.

# Headless machines get the offscreen platform unless told otherwise.
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    export QT_QPA_PLATFORM=offscreen
fi

exec "$BUILD_DIR/bin/$client"
