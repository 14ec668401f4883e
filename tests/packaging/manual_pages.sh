#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats each manual page as man does and fails on any warning (an unknown
# macro, a bad escape, a line that cannot be set), as lintian would.
# usage: manual_pages.sh PAGE...
set -eu
[ $# -gt 0 ] || { echo "no manual page given" >&2; exit 1; }
status=0
for page in "$@"; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null) || status=1
    if [ -n "$warnings" ]; then
        printf '%s:\n%s\n' "$page" "$warnings" >&2
        status=1
    fi
done
exit $status
