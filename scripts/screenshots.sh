#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the screenshots of LEGGIMI.md and of the metainfo: the title window,
# the menu and each of the twelve exercise windows, as a child sees them on
# opening, by starting the program on a private Xvfb and clicking as a user
# would. Run it again after any change to how a window looks.
# usage: scripts/screenshots.sh [PROGRAM [FOLDER]]
#   PROGRAM  the program file (default build/bin/zampli)
#   FOLDER   where the PNG files go (default docs/schermate)
# Needs xvfb, xdotool, imagemagick (import); pngquant and optipng, when
# installed, make the files smaller.
set -eu
cd "$(dirname "$0")/.."
program=$(readlink -f "${1:-build/bin/zampli}")
out=$(mkdir -p "${2:-docs/schermate}" && cd "${2:-docs/schermate}" && pwd)

if [ -z "${ZAMPLI_SCREENSHOTS_DISPLAY:-}" ]; then
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "$0: $tool is missing" >&2; exit 1; }
    done
    [ -x "$program" ] || { echo "$0: no program at $program: build it first" >&2; exit 1; }
    ZAMPLI_SCREENSHOTS_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" "$out"
fi

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
chmod 700 "$runtime"
# A runtime folder of its own, so a program already running elsewhere is not woken instead.
export XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb

pid=""
start() {
    "$program" 2>/dev/null &
    pid=$!
}
stop() {
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
windows() {
    xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort || true
}
# Waits for a visible window of the program that is not in $1; prints it.
new_window() {
    for _ in $(seq 100); do
        for w in $(windows); do
            # A click in the first moments after mapping can be lost.
            case " $1 " in *" $w "*) ;; *) sleep 1; echo "$w"; return 0 ;; esac
        done
        sleep 0.1
    done
    echo "$0: no new window within 10 s" >&2
    return 1
}
# Clicks the design point (left, top) in twips of a window DESIGN_WIDTH twips wide.
click_twips() {
    width=$(xdotool getwindowgeometry --shell "$1" | sed -n 's/^WIDTH=//p')
    xdotool mousemove --window "$1" $(($2 * width / $4)) $(($3 * width / $4)) click 1
}
shoot() {
    # Let the window finish drawing its pictures.
    sleep 1.5
    import -window "$1" "$out/$2.png"
    echo "$out/$2.png"
}
to_menu() {
    start
    title=$(new_window "")
    click_twips "$title" 5000 5000 11550
    menu=$(new_window "$title")
}

start
shoot "$(new_window "")" titolo
stop

to_menu
shoot "$menu" menu
stop

# Button: file name, the button's centre in the menu's design (twips).
while read -r name left top; do
    to_menu
    before=$(windows)
    click_twips "$menu" "$left" "$top" 10770
    shoot "$(new_window "$before")" "$name"
    stop
done <<'BUTTONS'
posizioni-ascolto-1 2120 480
posizioni-ascolto-2 2120 1320
posizioni-riconosci-1 2120 2160
posizioni-riconosci-2 2120 3000
abbina-posizioni 7520 480
zampli-ascolto-1 2120 4320
zampli-ascolto-2 2120 5160
zampli-riconosci-1 2120 6000
zampli-riconosci-2 2120 6840
abbina-caratteri-1 7520 1320
abbina-caratteri-2 7520 2160
inizia-per 7520 4320
BUTTONS

if command -v pngquant >/dev/null; then
    pngquant --force --skip-if-larger --strip --ext .png --quality 60-90 "$out"/*.png || true
fi
if command -v optipng >/dev/null; then
    optipng -quiet -o2 -strip all "$out"/*.png
fi
