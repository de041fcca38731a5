#!/usr/bin/env bash
# Runs the tests of the Windows tree given (build/windows by default) under Wine, in the tree's
# own prefix, on the X display of the caller: Wine makes windows only on a display, so run it as
#
#   xvfb-run -a bash scripts/windows-tests.sh [TREE]
#
# Wine's server and services inherit the output of whoever starts them, and CTest waits on that
# output until they have gone, so they are started here first with their output elsewhere; and
# they keep the display they were started on, so a server left from a run without one is ended.
set -euo pipefail
cd "$(dirname "$0")/.."
tree=${1:-build/windows}
# The tree is named from the repository's root; any other folder would get a prefix of its own.
[ -f "$tree/CTestTestfile.cmake" ] || { echo "$tree is not a configured tree under $PWD" >&2; exit 2; }
export WINEPREFIX=$PWD/$tree/wine-prefix WINEDEBUG=-all
[ -n "${DISPLAY:-}" ] || { echo "no X display: run this under xvfb-run -a" >&2; exit 2; }
wineserver -k </dev/null >/dev/null 2>&1 || true
sh cmake/wine-run.sh "$WINEPREFIX" cmd /c exit </dev/null >/dev/null 2>&1
sh scripts/wine-japanese-fonts.sh "$WINEPREFIX" </dev/null >/dev/null 2>&1
wineserver -p </dev/null >/dev/null 2>&1 || true
wine cmd /c exit </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
# A test that fails is run once more: now and then Wine ends a test's process as it starts (exit
# in 10 ms, not a line written), which a second start does not repeat; a test that really fails
# fails twice.
ctest --test-dir "$tree" --output-on-failure -j "$(nproc)" --repeat until-pass:2
