#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Names each function of namespace zampli that our static libraries define
# and no linked program keeps. The libraries are compiled with a section per
# function and every program is linked with --gc-sections, so what no program
# reaches, directly or through a virtual table, is dropped from all of them.
# moc's output is left out: Qt reaches it by name. KEPT lists the few that
# stay for a reason it gives.
#
#   CheckUnused.sh KEPT LIBRARY.a... -- PROGRAM...
set -eu
kept_list=$1
shift
libraries=
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    libraries="$libraries $1"
    shift
done
[ $# -gt 0 ] && shift
[ -n "$libraries" ] && [ $# -gt 0 ] || { echo "usage: $0 KEPT LIBRARY.a... -- PROGRAM..." >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "archive:member:address T name"; moc's and rcc's members are not ours to judge.
# shellcheck disable=SC2086
nm -A -C --defined-only $libraries |
    grep -v -e ':mocs_compilation\.cpp\.o:' -e ':qrc_[^:]*\.o:' |
    sed -n 's/^[^:]*:[^:]*:[0-9a-f]* T \(zampli::.*\)$/\1/p' | sort -u >"$work/defined"
for program in "$@"; do
    # One not built (the media generator when the media are copied) keeps nothing.
    [ -f "$program" ] || { echo "not built, left out: $program" >&2; continue; }
    nm -C "$program" | sed -n 's/^[0-9a-f]* [Tt] \(zampli::.*\)$/\1/p'
done | sort -u >"$work/kept"
grep -v -e '^#' -e '^$' "$kept_list" | sort -u >>"$work/kept"
sort -u -o "$work/kept" "$work/kept"

comm -23 "$work/defined" "$work/kept" >"$work/unused"
if [ -s "$work/unused" ]; then
    sed 's/^/unused function: /' "$work/unused"
    echo "$(wc -l <"$work/unused") function(s) no program uses: remove them, or use them."
    exit 1
fi
echo "$(wc -l <"$work/defined") functions, each used by a program."
