#!/usr/bin/env bash
# Installs the build tree under /usr inside a scratch folder and checks that the program and the
# files desktops read about it land where they look, unchanged.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR SCRATCH_DIR
set -euo pipefail
cmake=$1 build=$2 source=$3 scratch=$4

rm -rf "$scratch"
DESTDIR="$scratch" "$cmake" --install "$build" --prefix /usr >/dev/null
root=$scratch/usr

fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$root/bin/trawlbox" ] || fail "bin/trawlbox missing or not executable"
while read -r installed original; do
  [ -f "$root/$installed" ] || fail "$installed missing"
  cmp -s "$root/$installed" "$source/$original" || fail "$installed differs from $original"
done <<'LIST'
share/applications/trawlbox.desktop data/trawlbox.desktop
share/icons/hicolor/scalable/apps/trawlbox.svg data/icons/hicolor/scalable/apps/trawlbox.svg
share/metainfo/io.github.trawlbox.Trawlbox.metainfo.xml data/io.github.trawlbox.Trawlbox.metainfo.xml
LIST
[ -f "$root/share/doc/trawlbox/copyright" ] || fail "share/doc/trawlbox/copyright missing"
for compressed in share/man/man1/trawlbox.1.gz share/doc/trawlbox/changelog.gz; do
  gzip --test "$root/$compressed" 2>/dev/null || fail "$compressed missing or not gzip"
done

# Software centres find the desktop entry and the icon through the metainfo file.
appstreamcli validate-tree --no-net --strict "$scratch" >/dev/null ||
  fail "appstreamcli validate-tree: $(appstreamcli validate-tree --no-net "$scratch")"
echo "installed tree complete"
