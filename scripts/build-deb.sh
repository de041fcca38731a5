#!/usr/bin/env bash
# Builds Trawlbox in release mode in build-deb/ and packs it as a Debian package with CPack;
# prints the path of the .deb. Needs the packages that scripts/setup.sh installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-deb

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF >/dev/null
cmake --build "$build" --target trawlbox --parallel "$(nproc)"
rm -rf "$build/packages"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$build/packages" >/dev/null
ls "$build"/packages/*.deb
