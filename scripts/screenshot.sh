#!/usr/bin/env bash
# Builds the screenshot tool and saves a picture of the main window, drawn by a real X server
# (Xvfb on a free display), to docs/screenshot.png or the path given.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

output=${1:-docs/screenshot.png}
mkdir -p "$(dirname "$output")"
cmake -S . -B build/screenshot -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF >/dev/null
cmake --build build/screenshot -j 2 --target trawlbox_screenshot
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  build/screenshot/tools/trawlbox_screenshot "$output"
echo "Saved $output"
