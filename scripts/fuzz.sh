#!/usr/bin/env bash
# Usage: scripts/fuzz.sh [seconds per target, default 30] [build folder, default build/fuzz]
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer and runs
# each for the given time, starting from a copy of its seed corpus in fuzz/corpus/<target>. Prints
# each target's executions; fails on the first crash, leak, sanitizer report or broken property
# (the input that caused it is left in <build folder>/findings).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
dir=${2:-build/fuzz}

CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRAWLBOX_FUZZ=ON -DTRAWLBOX_TESTS=OFF -DTRAWLBOX_WERROR=ON >/dev/null
cmake --build "$dir" -j "$(nproc)" --target trawlbox_fuzzers

export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p "$dir/findings"
for seeds in fuzz/corpus/*/; do
  target=$(basename "$seeds")
  corpus="$dir/corpus/$target"
  rm -rf "$corpus"
  mkdir -p "$corpus"
  cp "$seeds"* "$corpus/"
  log="$dir/$target.log"
  if ! "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$dir/findings/$target-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    tail -n 60 "$log"
    echo "$target: FAILED (log: $log)"
    exit 1
  fi
  runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1 runs in \2 s/p' "$log")
  echo "$target: $runs"
done
