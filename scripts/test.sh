#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the tests need, builds the programs as they ship (build/) and
# runs every test there; then builds under AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan/) only the tests labelled "sanitize"
# (our own memory handling and every reader of outside files) and runs them.
# Both refuse compiler warnings. The second build copies the first build's
# media instead of making them again. Test programs run side by side, one a core.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)

scripts/install-deps.sh --tests
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Release -DZAMPLI_WERROR=ON -DZAMPLI_SANITIZE=ON -DZAMPLI_MEDIA_FROM="$PWD/build/bin"
cmake --build build-asan -j"$jobs" --target sanitized_tests
ctest --test-dir build-asan --output-on-failure -j"$jobs" -L sanitize
