#!/usr/bin/env bash
# Starts PROGRAM on the X display named by DISPLAY and prints the text of its save-folder box as a
# user would copy it: at start the focus is in the maximum box, three Tab presses reach the
# save-folder box (the disabled save button takes no focus), and Ctrl+A, Ctrl+C copy its text.
# Ends the program again.
# Usage: save_folder_at_start.sh PROGRAM
set -euo pipefail
program=$1

"$program" >&2 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Trawlbox Ver1\.20$' | head -n 1)
[ -n "$window" ] || { echo "FAIL: the window never came up" >&2; exit 1; }
xdotool windowfocus --sync "$window"
xdotool key --clearmodifiers Tab Tab Tab ctrl+a ctrl+c

# The program answers the clipboard request once it has handled the keys.
for _ in $(seq 300); do
  if text=$(xclip -out -selection clipboard 2>/dev/null) && [ -n "$text" ]; then
    printf '%s\n' "$text"
    exit 0
  fi
  sleep 0.1
done
echo "FAIL: nothing was copied from the save-folder box" >&2
exit 1
