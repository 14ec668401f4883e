#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian packages as a packager makes and checks them, from a clean clone
# of this checkout's last commit (what is not committed is not packaged):
#   1. dpkg-buildpackage -us -uc: the source package and the binary packages
#      zampli, zampli-data and zampli-dbgsym, the test suite run by dh_auto_test
#      (but the tests labelled "landing");
#   2. lintian -EvIL +pedantic on the .changes: any error, warning, info or
#      pedantic tag fails; the purge script only speaks; what must be
#      installed is;
#   3. autopkgtest on the built packages (debian/tests/), on this machine
#      ("-- null": it installs them here, as root or through sudo);
#   4. a second build from another clone, at another path, started a minute
#      later, under another umask, without the tests (nocheck), run beside
#      the first one; compared with cmp: the same source and binary packages,
#      byte for byte (SOURCE_DATE_EPOCH comes from debian/changelog). When the
#      first build ran the tests, this also shows nocheck changes nothing.
# usage: scripts/package.sh [OUT]   (OUT: build-package/ by default, emptied first)
# Run before every landing that touches the packaging; not part of
# scripts/test.sh, for it takes long (two whole builds, the media made twice).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$top/build-package}
jobs=$(nproc)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

say() { printf '\n=== %s\n' "$*"; }

if [ -n "$(git -C "$top" status --porcelain --untracked-files=no)" ]; then
    echo "package.sh: uncommitted changes are not packaged (the clone takes the last commit)" >&2
fi

say "What building and checking need"
missing=""
for p in dpkg-dev debhelper lintian autopkgtest git; do
    dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed' || missing="$missing $p"
done
if [ -n "$missing" ]; then
    $SUDO apt-get update -qq
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi
(cd "$top" && dpkg-checkbuilddeps 2>/dev/null) ||
    (cd "$top" && DEBIAN_FRONTEND=noninteractive $SUDO apt-get build-dep -y -qq ./)

rm -rf "$out"
mkdir -p "$out/first" "$out/second/another/path"

# build DIR [DEB_BUILD_OPTIONS [UMASK]]: a clean clone in DIR/zampli built
# there. The clone is made under the usual umask: the modes of a checkout are
# the source's own, and the source package carries them; the build under UMASK.
build() {
    (umask 022 && git clone -q "$top" "$1/zampli")
    (umask "${3:-022}" && cd "$1/zampli" && DEB_BUILD_OPTIONS="${2:+$2 }parallel=$jobs" dpkg-buildpackage -us -uc) >"$1/build.log" 2>&1 ||
        { tail -n 60 "$1/build.log" >&2; echo "package.sh: the build in $1 failed (log: $1/build.log)" >&2; exit 1; }
}

say "Two builds: $out/first (DEB_BUILD_OPTIONS=${DEB_BUILD_OPTIONS:-}, the tests unless nocheck), and a minute later, umask 002, nocheck: $out/second/another/path"
start=$(date +%s)
(sleep 60 && build "$out/second/another/path" nocheck 002) &
second=$!
build "$out/first" "${DEB_BUILD_OPTIONS:-}"
echo "first build: $(( $(date +%s) - start )) s"
changes=$(ls "$out"/first/zampli_*.changes)
ls -l "$out/first"

say "lintian -EvIL +pedantic $(basename "$changes")"
lintian -EvIL +pedantic --fail-on error,warning,info,pedantic "$changes" | tee "$out/lintian.log"
! grep -E '^[EWIP]: ' "$out/lintian.log" || { echo "package.sh: lintian tags above" >&2; exit 1; }
! cat "$top"/debian/*lintian-overrides "$top"/debian/source/lintian-overrides 2>/dev/null | grep -i 'image' ||
    { echo "package.sh: an override for images" >&2; exit 1; }

say "The packages' contents"
status=0
for deb in "$out"/first/zampli_*.deb "$out"/first/zampli-data_*.deb; do
    echo "$(basename "$deb"): $(dpkg-deb -c "$deb" | wc -l) entries"
done
deb=$(ls "$out"/first/zampli_*_*.deb)
data=$(ls "$out"/first/zampli-data_*_all.deb)
twice=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | uniq -d)
[ -z "$twice" ] || { echo "named twice in Depends: $twice" >&2; status=1; }
dpkg-deb -e "$deb" "$out/control"
grep -q '\.local/state/zampli' "$out/control/postrm" || { echo "postrm does not say where the answers remain" >&2; status=1; }
grep -q '/usr/local/share/zampli' "$out/control/postrm" || { echo "postrm does not name the shared copies" >&2; status=1; }
# Purging only speaks: run with every remover replaced by one that tells.
mkdir -p "$out/removers"
for tool in rm rmdir unlink mv find shred; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$out/removed" >"$out/removers/$tool"
    chmod +x "$out/removers/$tool"
done
PATH="$out/removers:$PATH" sh "$out/control/postrm" purge >"$out/purge.txt"
cat "$out/purge.txt"
[ ! -e "$out/removed" ] || { echo "postrm deletes files:" >&2; cat "$out/removed" >&2; status=1; }
files=$(dpkg-deb -c "$deb")
for path in ./usr/share/doc/zampli/LEGGIMI.md.gz ./usr/share/doc/zampli/copyright \
            ./usr/share/icons/hicolor/48x48/apps/it.zampli.Zampli.Insegnante.png \
            ./usr/share/icons/hicolor/scalable/apps/it.zampli.Zampli.Insegnante.svg \
            ./usr/share/metainfo/it.zampli.Zampli.Insegnante.metainfo.xml \
            ./usr/share/man/it/man1/zampli-insegnante.1.gz \
            "./usr/lib/zampli/jpg -> ../../share/zampli/jpg" "./usr/lib/zampli/guida -> ../../share/zampli/guida"; do
    echo "$files" | grep -q " $path\$" || { echo "not in $(basename "$deb"): $path" >&2; status=1; }
done
datafiles=$(dpkg-deb -c "$data")
for path in ./usr/share/zampli/testi/a.txt ./usr/share/zampli/jpg/ape.jpg ./usr/share/zampli/guida/index.html; do
    echo "$datafiles" | grep -q " $path\$" || { echo "not in $(basename "$data"): $path" >&2; status=1; }
done
! echo "$files" | grep -E '\.(jpg|wav|txt)$' || { echo "media in the architecture's package" >&2; status=1; }
[ "$status" -eq 0 ] || exit 1

say "autopkgtest on the built packages"
autopkgtest_status=0
$SUDO autopkgtest "$changes" -- null >"$out/autopkgtest.log" 2>&1 || autopkgtest_status=$?
tail -n 30 "$out/autopkgtest.log"
[ "$autopkgtest_status" -eq 0 ] || { echo "package.sh: autopkgtest failed ($autopkgtest_status)" >&2; exit 1; }

say "The second build, compared with the first"
wait "$second" || { echo "package.sh: the second build failed" >&2; exit 1; }
echo "both builds: $(( $(date +%s) - start )) s"
different=0
for first in "$out"/first/*.deb "$out"/first/*.dsc "$out"/first/*.tar.*; do
    name=$(basename "$first")
    if cmp "$first" "$out/second/another/path/$name"; then
        echo "identical: $name"
    else
        different=1
    fi
done
[ "$different" -eq 0 ] || { echo "package.sh: the two builds differ (diffoscope tells where)" >&2; exit 1; }
echo "package.sh: everything passed; the packages are in $out/first"
