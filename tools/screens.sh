#!/usr/bin/env bash
# Takes the pictures in docs/screens/: every window and menu of the shop in the three shipped
# skins, read back from a private X display with a window manager and a private session bus.
#
#   tools/screens.sh [BUILD_DIR]      (default: build)
#
# Needs xvfb-run and openbox (and ImageMagick to keep the pictures small).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${QUORL_SCREENS_INSIDE:-}" ]; then
  exec env QUORL_SCREENS_INSIDE=1 xvfb-run -a -s '-screen 0 1280x1024x24' \
    dbus-run-session -- "$0" "$build"
fi

openbox >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
sleep 1
rm -f "$root"/docs/screens/*.png
QT_QPA_PLATFORM=xcb "$build/tests/quorl-screens" "$root/docs/screens"
# Few colours each: the pictures stay small in the repository.
if command -v mogrify >/dev/null; then
  mogrify -colors 256 "$root"/docs/screens/*.png
fi
