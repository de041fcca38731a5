#!/usr/bin/env bash
# Installs whatever is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

cmake -S . -B build/run -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAWLBOX_TESTS=OFF >/dev/null
cmake --build build/run -j "$(nproc)" --target trawlbox
exec build/run/app/trawlbox
