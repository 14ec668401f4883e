#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for
# SECONDS (default 60). New inputs go to build-fuzz/corpus/<target>; the
# seeds in tests/fuzz/<target> are only read. The first crash, sanitizer
# report or broken promise stops a target, leaves its input in
# build-fuzz/<target>-crash-* and makes the script fail.
# usage: scripts/fuzz.sh [SECONDS]
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets="fuzz_word_list fuzz_wav fuzz_media_path fuzz_pending_answers fuzz_zip_directory"

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DZAMPLI_FUZZ=ON >/dev/null
# shellcheck disable=SC2086
cmake --build build-fuzz -j"$(nproc)" --target $targets

status=0
for t in $targets; do
    seeds=tests/fuzz/${t#fuzz_}
    mkdir -p "build-fuzz/corpus/$t"
    echo "== $t, $seconds s"
    # A list may be as long as the largest list file the program reads.
    if ! "build-fuzz/bin/$t" -max_total_time="$seconds" -max_len=70000 -timeout=10 \
        -artifact_prefix="build-fuzz/$t-" "build-fuzz/corpus/$t" "$seeds" \
        2>"build-fuzz/$t.log"; then
        status=1
    fi
    grep -E '^#[0-9]+[[:space:]]+DONE|ERROR|SUMMARY' "build-fuzz/$t.log" || true
done
exit $status
