#!/usr/bin/env bash
# Takes the skin pictures in docs/: for every shipped skin the main window with its indicator,
# options panel and Files menu open, beside the load-skin dialog. Runs the built shop on a private
# X display and session bus.
#
#   tools/skinshots.sh [STAGE_DIR]      (default: build/stage)
#
# Needs xvfb-run, xdotool and ImageMagick (import, convert).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(cd "${1:-$root/build/stage}" && pwd)

if [ -z "${QUORL_SHOTS_INSIDE:-}" ]; then
  exec env QUORL_SHOTS_INSIDE=1 xvfb-run -a -s '-screen 0 1280x1024x24' \
    dbus-run-session -- "$0" "$stage"
fi

home=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$home" "$work"' EXIT
cp -R "$stage/." "$home/"

# Pages and strings to show: art of our own, Windows-1252 with CR LF.
printf ' .-~*~-. quorl .-~*~-.\r\n' > "$home/output/text1.gly"
printf '<(( slate  linen  signal ))>\r\n' > "$home/output/text2.gly"
printf " \`-._.-' ascii \`-._.-'\r\n" > "$home/output/text3.gly"
printf '  \xab\xab all night \xbb\xbb\r\n' > "$home/output/text4.gly"
printf '\xab\xbb\r\n\xb7:\xb7\r\n-=-\r\n(*)\r\n~*~\r\n|:|\r\n[#]\r\n' > "$home/ascii/asc.asc"

for skin in default linen signal; do
  printf '[quorl]\r\nHANDLE=tester\r\nID=XXXXXXXXX\r\nLOADED=5\r\nASCII=\x8b\x9b\xbb\r\nSKIN=%s\r\nX=1500\r\nY=1500\r\nOPTIONSWIN=True\r\nROLLEDUP=False\r\nLOADONSTARTUP=False\r\n' \
    "$home/skins/$skin/" > "$home/quorl.ini"
  QUORL_HOME=$home "$home/quorl" &
  pid=$!
  sleep 4
  xdotool mousemove 600 700
  import -window root "$work/main.png"
  # The Files caption of the main window (placed at 100, 100), then "&load skin" in its menu.
  xdotool mousemove 120 108 click 1
  sleep 1
  import -window root "$work/menu.png"
  xdotool mousemove 160 329 click 1
  sleep 1.5
  import -window root "$work/dialog.png"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  convert "$work/main.png" -crop 248x276+100+100 +repage "$work/1.png"
  convert "$work/menu.png" -crop 180x320+104+137 +repage "$work/2.png"
  convert "$work/dialog.png" -crop 360x240+460+392 +repage "$work/3.png"
  convert "$work/1.png" "$work/2.png" "$work/3.png" -bordercolor '#4a4a4a' -border 4 -background '#4a4a4a' \
    -gravity north +append -colors 256 "$root/docs/skin-$skin.png"
  echo "docs/skin-$skin.png"
done
