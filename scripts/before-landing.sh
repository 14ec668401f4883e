#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# What runs before a change lands, beyond the test command (scripts/test.sh):
# the tests labelled "landing" (two makings of the media giving the same
# bytes); the Debian packages (scripts/package.sh) when the branch changes
# the packaging; then, under AddressSanitizer
# and UndefinedBehaviorSanitizer (build-asan/), the tests labelled "sanitize"
# (our own memory handling and every reader of outside files) and a long
# session of turns; then the school server's load benchmark, shortened.
#   scripts/before-landing.sh [LOAD_SECONDS, 120 by default]
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)
load=${1:-120}

scripts/test.sh
ctest --test-dir build --output-on-failure -L landing

# The Debian packages, when the branch changes what goes into them.
if git rev-parse -q --verify main >/dev/null &&
   ! git diff --quiet "$(git merge-base main HEAD)" HEAD -- debian cmake/Install.cmake desktop man CMakeLists.txt; then
    scripts/package.sh
fi

# The second build copies the first one's media instead of making them again.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON -DZAMPLI_SANITIZE=ON -DZAMPLI_MEDIA_FROM="$PWD/build/bin"
cmake --build build-asan -j"$jobs" --target sanitized_tests
ctest --test-dir build-asan --output-on-failure -j"$jobs" -L sanitize

if [ -e bench/bench_school_load.cpp ]; then
    cmake --build build -j"$jobs" --target bench_school_load
    build/bin/bench_school_load --seconds "$load"
fi
echo "before landing: everything passed"
