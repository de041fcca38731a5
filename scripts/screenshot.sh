#!/usr/bin/env bash
# Saves pictures of the main window as the installed program shows it on a real X server (Xvfb on
# a free display), after gathering a few entries from a local generated site: at scale 1 to
# docs/screenshot.png (or the path given) and at scale 2 (QT_SCALE_FACTOR=2) beside it with
# "-scale2" in its name. The screenshot tool is placed beside the program installed into a scratch
# prefix, so its window starts with the save folder the installed program starts with; it runs
# with a neutral home, /home/user on a private tmpfs (a user and mount namespace of its own), so
# that folder reads /home/user/Downloads/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

output=${1:-docs/screenshot.png}
output_scale2=${output%.png}-scale2.png
build=build/screenshot
[ "$output" = docs/screenshot.png ] && output_scale2=$build/screenshot-scale2.png
mkdir -p "$(dirname "$output")" "$build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j 2 --target trawlbox trawlbox_screenshot trawlbox_bench_site

prefix=$PWD/$build/prefix
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
cp "$build/tools/trawlbox_screenshot" "$prefix/bin/"

# One listing page of 20 entries with 1 KiB files, served by nginx; the window gathers 12.
work=$PWD/$build/site
rm -rf "$work"
mkdir -p "$work"
source scripts/serve-site.sh
trap stop_site EXIT
serve_site "$work" 1000
root=$site_root
"$build/bench/trawlbox_bench_site" "$work" "$root" 1 20 1024

take() {
# shellcheck disable=SC2016  # the inner shell expands what the quotes hold
  unshare --user --map-root-user --mount bash -c '
    set -euo pipefail
    mount -t tmpfs tmpfs /home
    mkdir -p /home/user/Downloads
    env -u XDG_CONFIG_HOME HOME=/home/user QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$1" \
      xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96" "$2" "$3" "$4" 12' \
    take "$1" "$prefix/bin/trawlbox_screenshot" "$2" "$root"
  echo "Saved $2 (scale $1)"
}
take 1 "$output"
take 2 "$output_scale2"
