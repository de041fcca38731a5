#!/usr/bin/env bash
# Builds the Debian package from the build tree's CPack configuration, unpacks it into a scratch
# folder and checks its control fields, its contents and that it depends on exactly what the
# program needs at run time.
# Usage: check_deb.sh CPACK BUILD_DIR SOURCE_DIR SCRATCH_DIR VERSION
set -euo pipefail
cpack=$1 build=$2 source=$3 scratch=$4 version=$5

fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$scratch/cpack.log")"
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one .deb, found: ${debs[*]}"
deb=${debs[0]}
[ "$(basename "$deb")" = "trawlbox_${version}_$(dpkg --print-architecture).deb" ] ||
  fail "file name $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = trawlbox ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = net ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^.+\ \<.+@.+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 1 ] || fail "Description has no extended text"

dpkg-deb --extract "$deb" "$scratch/root"
stray=$(dpkg-deb --contents "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$' || true)
[ -z "$stray" ] || fail "files outside /usr: $stray"
binary=$scratch/root/usr/bin/trawlbox
[ -x "$binary" ] || fail "usr/bin/trawlbox missing or not executable"
while read -r packaged original; do
  cmp -s "$scratch/root/usr/$packaged" "$source/$original" || fail "$packaged missing or changed"
done <<'LIST'
share/applications/trawlbox.desktop data/trawlbox.desktop
share/icons/hicolor/scalable/apps/trawlbox.svg data/icons/hicolor/scalable/apps/trawlbox.svg
share/metainfo/io.github.trawlbox.Trawlbox.metainfo.xml data/io.github.trawlbox.Trawlbox.metainfo.xml
LIST
grep -q '^License: MIT$' "$scratch/root/usr/share/doc/trawlbox/copyright" ||
  fail "usr/share/doc/trawlbox/copyright missing or without the licence"
for compressed in share/man/man1/trawlbox.1.gz share/doc/trawlbox/changelog.gz; do
  gzip --test "$scratch/root/usr/$compressed" 2>/dev/null || fail "$compressed missing or not gzip"
done
zcat "$scratch/root/usr/share/doc/trawlbox/changelog.gz" | head -n 1 | grep -q "^trawlbox ($version) " ||
  fail "changelog does not start with version $version"

# The package owning each library the binary links, plus what the program reaches otherwise:
# the certificate store, the grid's font, Qt's own Japanese texts and the browser hand-off.
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
needed=$(
  for library in $(readelf --dynamic "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    owner=$(dpkg --search "*/$multiarch/$library" 2>/dev/null | grep -v '^diversion' | head -n 1) ||
      true
    [ -n "$owner" ] || { echo "UNOWNED:$library"; continue; }
    echo "${owner%%:*}"
  done
  printf '%s\n' ca-certificates fonts-ipafont-gothic qt6-translations-l10n xdg-utils
)
expected=$(sort -u <<<"$needed")
declared=$(field Depends | tr ',' '\n' | sed 's/(.*)//; s/[[:space:]]//g' | grep -v '^$' | sort -u)
[ "$declared" = "$expected" ] ||
  fail "Depends declares: $(echo $declared); the program needs: $(echo $expected)"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libcurl4; do
  grep -qx "$library" <<<"$declared" || fail "Depends lacks $library: $(field Depends)"
done
echo "$(basename "$deb"): $(field Depends)"
