#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the tests need, builds the programs as they ship (build/) and
# runs every test there but the few labelled "landing" (the package, two
# makings of the media), which scripts/before-landing.sh runs with the
# sanitizers' build and the load benchmark. Refuses compiler warnings. Test
# programs run side by side, one a core.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh --tests
# A build folder made by another generator is made anew: CMake refuses to switch.
if [ -f build/CMakeCache.txt ] && ! grep -q '^CMAKE_GENERATOR:INTERNAL=Ninja$' build/CMakeCache.txt; then
    rm -rf build/CMakeCache.txt build/CMakeFiles
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON -DZAMPLI_LLD=ON
# The benchmarks too: the unused check counts them as users.
cmake --build build -j"$jobs" --target all benchmarks
ctest --test-dir build --output-on-failure -j"$jobs" -LE landing
