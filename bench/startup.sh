#!/bin/sh
# Time from starting the program to its title window being on screen, five
# runs under a private Xvfb server; prints each run and the median in ms.
# Needs xvfb and x11-utils (scripts/install-deps.sh installs both).
set -eu
program=${1:-build/bin/zampli}
[ -x "$program" ] || { echo "no program at $program: build first" >&2; exit 1; }

display=:97
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
sleep 1
export DISPLAY=$display

now_ms() { date +%s%3N; }

# The program's own top-level window (class "zampli"), mapped on screen.
title_window_viewable() {
    id=$(xwininfo -root -children 2>/dev/null | awk '/\("zampli" "ZAMPLI"\)/ {print $1; exit}')
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable
}

runs=""
for i in 1 2 3 4 5; do
    start=$(now_ms)
    "$program" >/dev/null 2>&1 &
    pid=$!
    until title_window_viewable; do
        kill -0 "$pid" 2>/dev/null || { echo "the program ended before showing a window" >&2; exit 1; }
    done
    ms=$(( $(now_ms) - start ))
    kill "$pid"; wait "$pid" 2>/dev/null || true
    echo "run $i: $ms ms"
    runs="$runs $ms"
done
median=$(printf '%s\n' $runs | sort -n | sed -n 3p)
echo "median: $median ms"
