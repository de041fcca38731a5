#!/usr/bin/env bash
# Builds the screenshot tool and saves pictures of the main window as a real X server (Xvfb on a
# free display) draws it: at scale 1 to docs/screenshot.png (or the path given) and at scale 2
# (QT_SCALE_FACTOR=2) beside it with "-scale2" in its name.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

output=${1:-docs/screenshot.png}
output_scale2=${output%.png}-scale2.png
[ "$output" = docs/screenshot.png ] && output_scale2=build/screenshot/screenshot-scale2.png
mkdir -p "$(dirname "$output")" build/screenshot
cmake -S . -B build/screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF >/dev/null
cmake --build build/screenshot -j 2 --target trawlbox_screenshot

take() {
  QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$1 xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96" \
    build/screenshot/tools/trawlbox_screenshot "$2"
  echo "Saved $2 (scale $1)"
}
take 1 "$output"
take 2 "$output_scale2"
