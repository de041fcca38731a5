#!/usr/bin/env bash
# Usage: scripts/soak.sh [entries, default 2999] [rounds, default 3]
# Runs the soak at full size twice: in the strict build, where each round's peak memory is
# compared with the first round's, and under AddressSanitizer and UndefinedBehaviorSanitizer, where
# any sanitizer or leak report fails it. Uses the build folders of scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
entries=${1:-2999}
rounds=${2:-3}
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
source scripts/sanitizer-env.sh

soak_in() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja -DTRAWLBOX_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" --target soak
  "$dir/tests/reliability/soak" "$entries" "$rounds"
}

echo "== Strict build"
soak_in build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== AddressSanitizer and UndefinedBehaviorSanitizer build"
soak_in build/sanitize -DCMAKE_BUILD_TYPE=Debug -DTRAWLBOX_SANITIZE=ON
