#!/bin/sh
# Installs, from Debian's packages, whatever the build, the tests and the
# default media still miss. Packages already present are left alone.
set -eu

PACKAGES="
build-essential cmake
qt6-base-dev qt6-multimedia-dev qt6-svg-dev
libqt6multimedia6 libqt6svg6 qt6-qpa-plugins libgl-dev libxkbcommon-dev
fonts-liberation
festival festvox-italp16k espeak-ng sox
fonts-sil-andika fonts-ecolier-court fonts-noto-color-emoji
pulseaudio pulseaudio-utils
libpulse0
xvfb xauth x11-utils
"

missing=""
for p in $PACKAGES; do
    if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing:$missing"
$SUDO apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
