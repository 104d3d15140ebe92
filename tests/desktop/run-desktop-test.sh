#!/usr/bin/env bash
# Runs one desktop test on a private X display with a window manager and a private session bus.
set -eu
fifo=$(mktemp -u)
mkfifo "$fifo"
# Xvfb picks a free display itself and tells its number.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo"
export DISPLAY=:$number
dbus-run-session -- bash -c 'openbox >/dev/null 2>&1 & exec "$@"' _ "$@"
