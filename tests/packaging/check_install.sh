#!/usr/bin/env bash
# Installs the build tree under /usr inside a scratch folder and checks that the program and the
# files desktops read about it land where they look, unchanged, and where the installed program
# and the one in the build tree start saving.
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

# Installed, the program starts saving into the user's download folder, or the home folder when
# that is missing; run from the build tree, into its own folder. Each start gets a display of its
# own and a home whose desktop names "Fetched" as the download folder.
home=$scratch/home
mkdir -p "$home/.config" "$home/Fetched"
echo 'XDG_DOWNLOAD_DIR="$HOME/Fetched"' >"$home/.config/user-dirs.dirs"
expect_start() {
  local program=$1 expected=$2 actual
  actual=$(env -u XDG_CONFIG_HOME HOME="$home" xvfb-run -a \
    bash "$(dirname "$0")/save_folder_at_start.sh" "$program" 2>"$scratch/start.log") ||
    fail "$program did not start: $(cat "$scratch/start.log")"
  [ "$actual" = "$expected" ] || fail "$program starts saving into $actual, not $expected"
}
expect_start "$root/bin/trawlbox" "$home/Fetched/"
expect_start "$build/app/qt/trawlbox" "$(cd "$build/app/qt" && pwd -P)/"
rmdir "$home/Fetched"
expect_start "$root/bin/trawlbox" "$home/"
echo "installed tree complete"
