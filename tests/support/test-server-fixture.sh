#!/bin/sh
# Starts and stops the test server that the Windows tests reach from under Wine, as CTest's setup
# and cleanup of the fixture test_site.
#   test-server-fixture.sh start SERVER STATE_DIR   runs SERVER, its control port in STATE_DIR/port
#   test-server-fixture.sh stop SERVER STATE_DIR    ends it and removes STATE_DIR
# CTest waits for every process that holds its output pipe, so the server gets none of it: its
# output goes to STATE_DIR/server.log, shown when it fails to start.
set -eu
action=$1
server=$2
state=$3

case $action in
  start)
    if [ ! -x "$server" ]; then
      echo "no test server at $server: build it in the Linux tree first" \
        "(cmake --build build/test --target trawlbox_test_server)" >&2
      exit 1
    fi
    rm -rf "$state"
    mkdir -p "$state"
    "$server" "$state/port" </dev/null >"$state/server.log" 2>&1 &
    echo $! >"$state/pid"
    # Twenty seconds, in tenths.
    tries=200
    while [ ! -f "$state/port" ]; do
      if ! kill -0 "$(cat "$state/pid")" 2>/dev/null; then
        echo "the test server $server ended before it listened:" >&2
        cat "$state/server.log" >&2
        exit 1
      fi
      tries=$((tries - 1))
      if [ "$tries" -eq 0 ]; then
        echo "the test server $server wrote no port within 20 seconds:" >&2
        cat "$state/server.log" >&2
        exit 1
      fi
      sleep 0.1
    done
    echo "test server listening for orders on 127.0.0.1:$(cat "$state/port")"
    ;;
  stop)
    if [ -f "$state/pid" ]; then
      kill "$(cat "$state/pid")" 2>/dev/null || true
    fi
    rm -rf "$state"
    ;;
  *)
    echo "usage: $0 start|stop SERVER STATE_DIR" >&2
    exit 2
    ;;
esac
