#!/usr/bin/env bash
# Installs whatever is missing, then builds and runs the whole test suite twice: once with
# warnings as errors, once more under AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs every fuzz target for a short while in between.
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
