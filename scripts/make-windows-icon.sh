#!/usr/bin/env bash
# Renders data/icons' SVG into app/win32/resources/trawlbox.ico, the icon the Windows program and
# its installer carry. Run it after changing the SVG and commit the result: the build uses the
# committed file, so that the same sources give the same exe whatever rasterizer a machine has.
# The small sizes are stored as bitmaps, which every icon API draws; 256 pixels as PNG, which
# Windows reads since Vista and keeps the file small. Needs Debian's librsvg2-bin and icoutils,
# which the build itself does not.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
svg=$root/data/icons/hicolor/scalable/apps/trawlbox.svg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for size in 16 24 32 48 256; do
  rsvg-convert --width "$size" --height "$size" --output "$work/$size.png" "$svg"
done
icotool --create --output "$root/app/win32/resources/trawlbox.ico" \
  "$work"/16.png "$work"/24.png "$work"/32.png "$work"/48.png --raw="$work"/256.png
