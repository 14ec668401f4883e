#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the program on the X display it is given and checks that its title
# window's class is the menu entry's name and its StartupWMClass, by which
# docks show its icon and group its windows.
# usage: window_class.sh PROGRAM DESKTOP_FILE
set -eu
program=$1
expected=$(basename "$2" .desktop)
grep -qx "StartupWMClass=$expected" "$2" || { echo "$2: StartupWMClass is not $expected" >&2; exit 1; }

"$program" 2>/dev/null &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window=""
for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [ -n "$window" ] && break
    sleep 0.1
done
[ -n "$window" ] || { echo "no window within 10 s" >&2; exit 1; }

# WM_CLASS(STRING) = "instance", "class"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p')
echo "WM_CLASS class: $class"
[ "$class" = "$expected" ] || { echo "expected \"$expected\"" >&2; exit 1; }
