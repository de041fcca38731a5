#!/bin/sh
# Runs a Windows program under Wine in the prefix given first, made on first use, so that tests
# never touch the user's own prefix. Wine's server and services inherit the output of whoever
# starts them, and a test runner waits on that output until they have gone: scripts/test.sh starts
# them itself, with their output elsewhere, before it runs the tests.
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
(
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot --init </dev/null >/dev/null 2>&1
  fi
) 9>"$prefix.lock"
exec wine "$@"
