# A sound server of the walk's own, so the walk can hear what each client
# plays: one private PulseAudio with a null sink per client, each client
# playing into its own sink, whose monitor is recorded. Sourced by
# scripts/lesson.sh.

SOUND_PID=""
SOUND_SERVER=""
SOUND_DIR=""

# Starts PulseAudio with its files in <folder>/pulse and a null sink named
# (and described as) each <sink>; sets SOUND_SERVER (a PULSE_SERVER value)
# and SOUND_PID, or says why not and returns 1.
#   sound_start <folder> <sink>...
sound_start() {
    local folder=$1/pulse sink sinks deadline
    shift
    command -v pulseaudio >/dev/null || { echo "PulseAudio is not installed (package pulseaudio)" >&2; return 1; }
    rm -rf "$folder"
    mkdir -p "$folder/runtime/pulse" "$folder/home" "$folder/config"
    # The runtime folder must be private, or the server refuses it.
    chmod 700 "$folder/runtime"
    local modules=(--load="module-native-protocol-unix auth-anonymous=1 socket=$folder/runtime/pulse/native")
    for sink in "$@"; do
        modules+=(--load="module-null-sink sink_name=$sink sink_properties=device.description=$sink")
    done
    # -n: only the modules named here; as root it warns and goes on.
    env -u PULSE_SERVER -u DISPLAY -u DBUS_SESSION_BUS_ADDRESS \
        XDG_RUNTIME_DIR="$folder/runtime" HOME="$folder/home" XDG_CONFIG_HOME="$folder/config" \
        pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=false \
        --disallow-exit=true --log-target=stderr "${modules[@]}" >"$folder/pulseaudio.log" 2>&1 &
    SOUND_PID=$!
    SOUND_DIR=$folder
    SOUND_SERVER="unix:$folder/runtime/pulse/native"
    deadline=$((SECONDS + 15))
    while ((SECONDS < deadline)); do
        kill -0 "$SOUND_PID" 2>/dev/null || break
        sinks=$(pactl --server "$SOUND_SERVER" list short sinks 2>/dev/null || true)
        local missing=0
        for sink in "$@"; do
            grep -qw -- "$sink" <<<"$sinks" || missing=1
        done
        ((missing)) || return 0
        sleep 0.1
    done
    echo "PulseAudio did not start with sinks $* (log: $folder/pulseaudio.log)" >&2
    sound_stop
    return 1
}

sound_stop() {
    if [[ -n "$SOUND_PID" ]]; then
        kill "$SOUND_PID" 2>/dev/null || true
        wait "$SOUND_PID" 2>/dev/null || true
    fi
    SOUND_PID=""
}

# Listens to <sink> for up to <seconds> until a tone of <hz> is heard;
# returns 1, saying what was heard instead, when it was not.
#   sound_hears <sink> <hz> <seconds>
sound_hears() {
    python3 "$(dirname "${BASH_SOURCE[0]}")/tonecheck.py" "$SOUND_SERVER" "$1" "$2" "$3"
}
