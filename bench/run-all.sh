#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds and runs every benchmark on a private X server and prints one line
# a figure, the toolkit's floor beside it where there is one.
#
#   bench/run-all.sh [--idle SECONDS] [BUILD_FOLDER]
#
# SECONDS is the idle span per window (30 by default; 3 is enough for a
# quick look). Needs Xvfb and a configured build folder (build by default).
# The machine should be otherwise idle: every timing runs side by side with
# its floor, which evens out a load but does not remove it.
set -eu
idle=30
if [ "${1:-}" = "--idle" ]; then idle=$2; shift 2; fi
build=${1:-build}
cmake --build "$build" -j"$(nproc)" --target benchmarks >/dev/null
bin=$build/bin

# The server writes its display number, then a newline, once it is ready.
rm -f "$build/bench-display"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$build/bench-display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
until [ "$( (wc -l <"$build/bench-display") 2>/dev/null || echo 0)" -ge 1 ]; do sleep 0.1; done
export DISPLAY=":$(cat "$build/bench-display")" QT_QPA_PLATFORM=xcb
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

if [ -x "$bin/bench_start_timer" ]; then
    "$bin/bench_start_timer" "$bin/zampli" "$bin/bench_floor_window" 10 || echo "start-up: failed"
else
    echo "start-up: not built (needs libxcb1-dev)"
fi
"$bin/bench_memory" "$bin/bench_floor_window" 2>/dev/null || echo "memory: failed"
"$bin/bench_turns" 1000 2>/dev/null || echo "turns: a median passed 16 ms"
"$bin/bench_sound_play" 2>/dev/null || echo "click to play: median over 1 ms, or closing the player over 400 ms"
"$bin/bench_big_photo" 2>/dev/null || echo "50-megapixel photo: refused"
"$bin/bench_long_voices" 2>/dev/null || echo "long voices: failed"
"$bin/bench_results" || echo "results: failed"
"$bin/bench_results_pictures" || echo "results pictures: failed"
"$bin/bench_school_pictures" || echo "school server pictures: failed"
"$bin/bench_hostile_results" 2>/dev/null || echo "hostile results: failed"
"$bin/bench_teacher" 2>/dev/null || echo "teacher: failed"
"$bin/bench_voice_import" 2>/dev/null || echo "voice import: failed"
"$bin/bench_teacher_lists" 2>/dev/null || echo "teacher, large lists: failed"
"$bin/bench_hostile_archives" 2>/dev/null || echo "hostile archives: failed"
"$bin/bench_hostile_media" 2>/dev/null || echo "hostile media: failed"
"$bin/bench_school_load" 2>/dev/null || echo "school load: answers lost or twice on the server"
# The idle windows run side by side: each counts its own CPU only.
pids=""
for w in FormAvvio FormMenu FormPosizioni1 FormZampli1 FormPosizioni2 FormZampli2 FormPosizioni3 FormZampli3 \
         FormPosizioni4 FormZampli4 FormPosizioni5 FormCaratteri1 FormCaratteri2 FormIniziaPer; do
    "$bin/bench_idle_cpu" "$w" "$idle" >"$build/bench-idle-$w" 2>/dev/null &
    pids="$pids $!"
done
for p in $pids; do wait "$p"; done
for w in FormAvvio FormMenu FormPosizioni1 FormZampli1 FormPosizioni2 FormZampli2 FormPosizioni3 FormZampli3 \
         FormPosizioni4 FormZampli4 FormPosizioni5 FormCaratteri1 FormCaratteri2 FormIniziaPer; do
    cat "$build/bench-idle-$w"
done
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
