#!/usr/bin/env bash
# Saves a picture of the Windows program's window as Wine shows it on a real X server (Xvfb on a
# free display), after gathering a few entries from the local generated site that
# scripts/screenshot.sh uses: to docs/screenshot-windows.png, or the path given. Wine draws the
# window's frame, caption and menu bar itself in a virtual desktop of the prefix's own, as Windows
# does; the prefix has the Japanese fonts (scripts/wine-japanese-fonts.sh). The screenshot tool
# lies where the setup program installs the program, so its window starts with the save folder
# an installed program starts with, the download folder of a user named "user".
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

output=$(realpath -m "${1:-docs/screenshot-windows.png}")
linux=build/screenshot
windows=build/screenshot-windows
mkdir -p "$(dirname "$output")"
cmake -S . -B "$linux" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_BENCHMARKS=ON >/dev/null
cmake --build "$linux" -j 2 --target trawlbox_bench_site
cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF >/dev/null
cmake --build "$windows" -j 2 --target trawlbox_screenshot

# One listing page of 20 entries with 1 KiB files, served by nginx; the window gathers 12.
work=$PWD/$windows/site
rm -rf "$work"
mkdir -p "$work"
source scripts/serve-site.sh
export WINEPREFIX=$PWD/$windows/wine-prefix WINEDEBUG=-all USER=user
trap 'wineserver -k 2>/dev/null || true; stop_site' EXIT
serve_site "$work" 1000
"$linux/bench/trawlbox_bench_site" "$work" "$site_root" 1 20 1024

# Wine keeps the display its server was started on: the prefix is set up and the picture taken on
# the one display.
# shellcheck disable=SC2016  # the inner shell expands what the quotes hold
xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
  set -euo pipefail
  tool=$1 output=$2 root=$3
  sh cmake/wine-run.sh "$WINEPREFIX" cmd /c exit </dev/null >/dev/null 2>&1
  sh scripts/wine-japanese-fonts.sh "$WINEPREFIX"
  wine reg add "HKCU\Software\Wine\Explorer" /v Desktop /d Default /f >/dev/null
  wine reg add "HKCU\Software\Wine\Explorer\Desktops" /v Default /d 1024x768 /f >/dev/null
  folder="$WINEPREFIX/drive_c/Program Files/Trawlbox"
  mkdir -p "$folder"
  cp "$tool" "$folder/"
  # The desktop is chosen when Wine starts: the one the set-up started goes first.
  wineserver -k
  wineserver -w
  wine "$folder/$(basename "$tool")" "$(winepath -w "$output")" "$root" 12
  wineserver -w' \
  take "$windows/tools/win32/trawlbox_screenshot.exe" "$output" "$site_root"
echo "Saved $output"
