#!/usr/bin/env bash
# Cross-builds the Windows program in release mode in build-windows/ and packs it with CPack as a
# zip and a setup program; prints their paths, the zip's first. Needs the packages that
# scripts/setup.sh installs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF -DTRAWLBOX_WERROR=ON >/dev/null
cmake --build "$build" --target trawlbox --parallel "$(nproc)"
rm -rf "$build/packages"
cpack --config "$build/CPackConfig.cmake" -B "$build/packages" >/dev/null
# The metadata that CPack's External generator writes beside the setup program is no package.
rm "$build"/packages/*.json
ls "$build"/packages/*-win64.zip
ls "$build"/packages/*-win64-setup.exe
