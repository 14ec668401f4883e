#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Generates the program's default media set into PROGRAM_DIR/{jpg,voci,suoni,testi}.
# usage: make-media.sh MEDIAGEN WORDS.tsv PROGRAM_DIR WORK_DIR
#
# Everything is made in WORK_DIR/set first and moved into place only when the
# whole set is complete, so a failed run never leaves a half-made set behind
# and words dropped from the list leave no stale files.
set -eu

gen=$1
words=$2
program_dir=$3
work=$4
tools=$(cd "$(dirname "$0")" && pwd)
folders="jpg voci suoni testi"
# Sox dithers at random whenever it writes 16-bit samples: without dither
# two builds of the same commit make byte-identical voices and sounds.
export SOX_OPTS=--no-dither

rm -rf "$work"
mkdir -p "$work/raw" "$work/set/voci" "$work/set/suoni" "$work/runtime"
# Qt wants a private runtime folder even when it draws without a display.
chmod 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"

"$gen" speech "$words" "$work"

# Festival reads every word in one batch (a process per word is ten times
# slower) while the pictures are drawn.
(cd "$work" && festival -b speech.scm) >"$work/festival.log" 2>&1 &
festival_pid=$!

QT_QPA_PLATFORM=offscreen "$gen" pictures "$words" "$work/set"

# The vowels, held: espeak says a lone vowel clearly; a gentle time stretch
# (pitch kept) makes it long enough to hear as a sound of its own.
for v in a e i o u; do
    V=$(printf %s "$v" | tr aeiou AEIOU)
    espeak-ng -v it+f3 -s 110 --stdout "$v" | sox -V1 -t wav - "$work/raw/$V.wav" tempo -s 0.65
    echo "raw/$V.wav set/voci/$V.wav -16" >>"$work/clean.list"
done

# The error sound: a plain sine gliding gently down a fifth and fading
# away, a little quieter than the speech: "not this one", never a buzzer.
sox -V1 -n -r 22050 -c 1 -b 16 "$work/raw/no.wav" \
    synth 0.5 sine 392/262 fade h 0.03 0.5 0.3 gain -12
echo "raw/no.wav set/suoni/no.wav -20" >>"$work/clean.list"

if ! wait "$festival_pid"; then
    cat "$work/festival.log" >&2
    echo "make-media.sh: festival failed" >&2
    exit 1
fi

(cd "$work" && xargs -P "$(nproc)" -L 1 "$tools/clean-wav.sh" <clean.list)

# Every recording listed must have come out.
while read -r _ target _; do
    [ -s "$work/$target" ] || { echo "make-media.sh: $target was not made" >&2; exit 1; }
done <"$work/clean.list"

mkdir -p "$program_dir"
for f in $folders; do
    rm -rf "${program_dir:?}/$f"
    mv "$work/set/$f" "$program_dir/$f"
done
