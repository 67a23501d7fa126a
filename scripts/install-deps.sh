#!/bin/bash
# Installs the Debian 12 packages the client, its tests and its stand-in
# services need. Quick when everything is present; needs root otherwise.
set -euo pipefail

PACKAGES=(
    g++ cmake ninja-build pkg-config ccache git tzdata curl
    qtbase5-dev qttools5-dev qttools5-dev-tools qtmultimedia5-dev libqt5multimedia5-plugins qttranslations5-l10n
    libpaho-mqtt-dev zlib1g-dev libminizip-dev libglib2.0-dev
    libmupdf-dev libgumbo-dev libopenjp2-7-dev libjbig2dec0-dev libmujs-dev libharfbuzz-dev libjpeg-dev libfreetype-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav gstreamer1.0-tools gstreamer1.0-x
    gstreamer1.0-pulseaudio pulseaudio pulseaudio-utils libgstreamer1.0-dev
    mosquitto mosquitto-clients libcpp-httplib-dev ffmpeg
    mupdf-tools qpdf libtasn1-doc doxygen-doc gnuplot-doc
    xvfb xauth fonts-wqy-microhei xdotool x11-apps netpbm openbox
    binutils unzip
    dbus-daemon at-spi2-core python3-pyatspi
    janus pulseaudio pulseaudio-utils gstreamer1.0-nice gstreamer1.0-pulseaudio
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev libgstreamer-plugins-bad1.0-dev
)

# One query for every name: a package that is not installed (or unknown to
# dpkg) prints no "installed" line.
declare -A present=()
while read -r name status; do
    [[ "$status" == "installed" ]] && present[${name%%:*}]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
missing=()
for pkg in "${PACKAGES[@]}"; do
    [[ -n "${present[$pkg]:-}" ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
    echo "install-deps: all packages present"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
