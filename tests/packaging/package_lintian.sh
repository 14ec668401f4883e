#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build folder and checks it as Debian
# would: lintian with every tag shown, nothing left but the overridden ones;
# no package named twice in Depends; the purge script only speaks; the guide
# and the teacher's icon installed.
# usage: package_lintian.sh BUILD_FOLDER
set -eu
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack -G DEB -B "$out" --config "$build/CPackConfig.cmake" >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log" >&2; exit 1; }
deb=$(ls "$out"/*.deb)
status=0

lintian --pedantic --info --fail-on error,warning,info,pedantic "$deb" || status=1

twice=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort | uniq -d)
[ -z "$twice" ] || { echo "named twice in Depends: $twice" >&2; status=1; }

dpkg-deb -e "$deb" "$out/control"
if [ -f "$out/control/postrm" ]; then
    grep -q '\.local/state/zampli' "$out/control/postrm" || { echo "postrm does not say where the answers remain" >&2; status=1; }
    ! grep -Eq '(^|[;&| ])rm ' "$out/control/postrm" || { echo "postrm deletes files" >&2; status=1; }
else
    echo "no postrm" >&2; status=1
fi

files=$(dpkg-deb -c "$deb")
for path in ./usr/share/doc/zampli/LEGGIMI.md \
            ./usr/share/icons/hicolor/48x48/apps/it.zampli.Zampli.Insegnante.png \
            ./usr/share/icons/hicolor/scalable/apps/it.zampli.Zampli.Insegnante.svg \
            ./usr/share/metainfo/it.zampli.Zampli.Insegnante.metainfo.xml \
            ./usr/share/man/it/man1/zampli-insegnante.1.gz; do
    echo "$files" | grep -q " $path\$" || { echo "not in the package: $path" >&2; status=1; }
done
exit $status
