#!/usr/bin/env bash
# Installs whatever is missing, then builds and runs the whole test suite twice: once with
# warnings as errors, once more under AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every fuzz target for a short while in between. Last it cross-builds the Windows tree in
# build/windows and runs its tests under Wine on Xvfb (`xvfb-run -a bash scripts/windows-tests.sh`
# reruns them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

jobs=$(nproc)
source scripts/sanitizer-env.sh

# The builds are the presets of CMakePresets.json, each in its own tree under build/.
run_suite() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
}

echo "== Strict build"
cmake --preset strict >/dev/null
bash scripts/check-format.sh
run_suite strict
echo "== Fuzz targets, 30 seconds each"
bash scripts/fuzz.sh 30
echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
run_suite sanitize
echo "== Windows build, tests under Wine"
# The Windows tests reach their test servers in the strict tree's trawlbox_test_server, built above.
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
xvfb-run -a -s "-screen 0 1280x1024x24" bash scripts/windows-tests.sh build/windows
