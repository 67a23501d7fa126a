#!/bin/bash
# Builds the client, its tests and tools under a runtime checker and runs the
# whole suite there:
#   address  AddressSanitizer with UndefinedBehaviorSanitizer, in build-asan/
#   thread   ThreadSanitizer, in build-tsan/
#   all      both, one after the other (the default)
# The tests get the checkers' options (stop at the first finding, the
# suppressions of tests/sanitizers/) from CTest, see tests/CMakeLists.txt.
# JOBS (default 3) is ninja's job count, TEST_JOBS (default 4) ctest's;
# further arguments go to ctest (-R <regex>, say).
set -euo pipefail
cd "$(dirname "$0")/.."

kind=${1:-all}
shift || true
case "$kind" in
    address) kinds=(address) ;;
    thread) kinds=(thread) ;;
    all) kinds=(address thread) ;;
    *)
        echo "usage: $0 [address|thread|all] [ctest arguments...]" >&2
        exit 2
        ;;
esac

status=0
for kind in "${kinds[@]}"; do
    case "$kind" in
        address) dir=build-asan ;;
        thread) dir=build-tsan ;;
    esac
    mkdir -p "$dir"
    (
        exec 9>"$dir/.build-lock"
        flock 9
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLESSONRY_SANITIZE="$kind" >/dev/null
        ninja -C "$dir" -j"${JOBS:-3}"
    )
    start=$(date +%s)
    if (cd "$dir" && ctest -j"${TEST_JOBS:-4}" --output-on-failure "$@"); then
        result=passed
    else
        result=failed
        status=1
    fi
    echo "sanitize: $kind suite $result in $(($(date +%s) - start)) s"
done
exit $status
