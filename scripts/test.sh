#!/usr/bin/env bash
# Installs whatever is missing, then builds and runs the whole test suite twice: once with
# warnings as errors, once more under AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every fuzz target for a short while in between. Last it cross-builds the Windows tree in
# build/windows and runs its tests under Wine on Xvfb (`xvfb-run -a bash scripts/windows-tests.sh`
# reruns them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh

jobs=$(nproc)
source scripts/sanitizer-env.sh

run_suite() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DTRAWLBOX_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== Strict build"
run_suite build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== Fuzz targets, 30 seconds each"
bash scripts/fuzz.sh 30
echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTRAWLBOX_SANITIZE=ON
echo "== Windows build, tests under Wine"
windows=build/windows
# The Windows tests reach their test servers in the strict tree's trawlbox_test_server, built above.
cmake -S . -B "$windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_WERROR=ON \
  -DTRAWLBOX_TEST_SERVER="$PWD/build/test/tests/trawlbox_test_server" >/dev/null
cmake --build "$windows" -j "$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/windows-tests.sh "$windows"
