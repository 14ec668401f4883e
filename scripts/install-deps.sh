#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs, from Debian's packages, what is still missing to build and run
# ZAMPLI and make its default media; with --tests, also what only the tests
# need. Packages already present are left alone, and the machine's own sound
# server is never replaced.
set -eu

# Building, the default media, running (as debian/control's Build-Depends;
# Ninja and lld only for the README's quicker build, not the package's).
PACKAGES="
build-essential cmake ninja-build lld
qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev libpulse-dev libsqlite3-dev libxcb1-dev pkgconf
libsndfile1-dev libsamplerate0-dev libspeexdsp-dev libzip-dev libpq-dev
libqt6svg6 libqt6charts6 qt6-qpa-plugins qt6-translations-l10n libgl-dev libxkbcommon-dev
fonts-liberation
festival festvox-italp16k espeak-ng sox
fonts-sil-andika fonts-ecolier-court openclipart-svg
libpulse0 libsndfile1 libsamplerate0 libspeexdsp1 libsqlite3-0 libzip4 libpq5
"

case "${1:-}" in
    --tests)
        # A private display for the real drags, the validators of the desktop
        # files and the manual pages, the desktop's own launcher of menu entries
        # (gio), and the PulseAudio tools that record what the program plays.
        # What the Debian packages' build and checks need, scripts/package.sh installs.
        PACKAGES="$PACKAGES postgresql xvfb xauth x11-utils xdotool desktop-file-utils libglib2.0-bin appstream pulseaudio-utils man-db"
        # The sound test starts a private PulseAudio server of its own. Where
        # PipeWire serves the desktop's sound, installing PulseAudio would
        # compete with it at the next login: there the test is skipped instead.
        if ! dpkg -s pipewire-pulse 2>/dev/null | grep -q '^Status: install ok installed'; then
            PACKAGES="$PACKAGES pulseaudio"
        fi
        ;;
    "") ;;
    *) echo "usage: $0 [--tests]" >&2; exit 2 ;;
esac

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
