#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the default media set twice in temporary folders and compares them
# byte for byte: two builds of the same commit must ship the same files.
# usage: media_reproducible.sh MAKE_MEDIA MEDIAGEN WORDS.tsv
set -eu
make_media=$1
gen=$2
words=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

for n in 1 2; do
    "$make_media" "$gen" "$words" "$tmp/set$n" "$tmp/work$n" >/dev/null
done

# An empty or partial set would compare equal too.
for folder in jpg voci suoni testi; do
    count=$(find "$tmp/set1/$folder" -type f | wc -l)
    echo "$folder: $count files"
    [ "$count" -ge 5 ] || { echo "$folder: fewer than 5 files were made" >&2; exit 1; }
done
diff -r "$tmp/set1" "$tmp/set2"
echo "identical"
