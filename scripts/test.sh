#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the tests need, builds the program twice and runs every test
# in both builds: build/ as it ships, build-asan/ under AddressSanitizer and
# UndefinedBehaviorSanitizer, both refusing compiler warnings. The second
# build copies the first build's media instead of making them again. Test
# programs run side by side, one a core.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON -DZAMPLI_SANITIZE=ON -DZAMPLI_MEDIA_FROM="$PWD/build/bin"
cmake --build build-asan -j"$jobs"
ctest --test-dir build-asan --output-on-failure -j"$jobs"
