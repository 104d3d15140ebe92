#!/usr/bin/env bash
# Runs one desktop test on a private X display with a window manager and a private session bus.
set -eu
display=:$(( 90 + $$ % 800 ))
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
export DISPLAY=$display
export NO_AT_BRIDGE=0
dbus-run-session -- bash -c 'openbox >/dev/null 2>&1 & exec "$@"' _ "$@"
