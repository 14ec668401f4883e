#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Cleans one recording for the program: mono, 16-bit PCM at 22050 Hz,
# silence trimmed at both ends, short fades, even loudness, no clipping.
# usage: clean-wav.sh IN OUT [TARGET_RMS_DBFS]
set -eu

in=$1
out=$2
target=${3:--16}
tmp=$(mktemp --suffix=.wav)
trap 'rm -f "$tmp"' EXIT

# Lower the level first so the resampler and the filter cannot overshoot,
# and keep the intermediate in float so nothing clips before the final gain.
# A gentle compressor evens out loud and soft syllables. The fades (in at
# the start; out by fading in the reversed sound) come before the loudness
# is measured, so the final gain hits the target.
sox -V1 "$in" -c 1 -e floating-point -b 32 "$tmp" \
    remix - gain -6 highpass 70 rate -v 22050 \
    silence 1 0.01 -45d fade q 0.015 \
    reverse silence 1 0.01 -45d fade q 0.04 reverse \
    compand 0.005,0.15 -70,-70,-40,-36,-20,-20,0,-12 0 -90 0.005

# Gain to the target loudness. Sox's limiter also squeezes peaks well below
# full scale, so it is asked for only when the gain would push the loudest
# peak over -1 dBFS.
set -- $(sox "$tmp" -n stat 2>&1 | awk -v t="$target" '
    /^Maximum amplitude/ { if ($3 > p) p = $3 }
    /^Minimum amplitude/ { if (-$3 > p) p = -$3 }
    /^RMS +amplitude/ { r = $3 }
    END {
        g = t - 20 * log(r) / log(10)
        printf "%.2f %s\n", g, (20 * log(p) / log(10) + g > -1) ? "-l" : "-"
    }')
gain=$1
limiter=$2
[ "$limiter" = "-" ] && limiter=""

# shellcheck disable=SC2086 # $limiter is empty or one word
# No dither, so the same recording always cleans to the same bytes.
sox -V1 -D "$tmp" -b 16 -e signed-integer "$out" gain $limiter "$gain"
