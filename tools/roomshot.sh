#!/usr/bin/env bash
# Takes docs/room-macros.png: the stand-in client's room, shown on a private X display, after the
# shop scrolled two built-in macros into it (the room test that does so, with the client shown
# instead of headless; the picture is taken as the test ends the client).
#
#   tools/roomshot.sh [BUILD_DIR]      (default: build)
#
# Needs xvfb-run and ImageMagick (import, convert).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${QUORL_SHOTS_INSIDE:-}" ]; then
  exec env QUORL_SHOTS_INSIDE=1 xvfb-run -a -s '-screen 0 1100x980x24' dbus-run-session -- "$0" "$build"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The client the test starts: shown on the display, pictured when the test lets it go.
cat > "$work/client.sh" <<INNER
#!/usr/bin/env bash
args=()
for a in "\$@"; do [ "\$a" = --headless ] || args+=("\$a"); done
QT_QPA_PLATFORM=xcb "$build/stage/quorl-chatclient" -geometry 1080x960+10+10 "\${args[@]}" &
pid=\$!
trap 'import -window root "$work/room.png"; kill \$pid; wait \$pid; exit 0' TERM
wait \$pid
INNER
chmod +x "$work/client.sh"
QUORL_CHATCLIENT="$work/client.sh" QT_QPA_PLATFORM=offscreen \
  "$build/tests/test_room" --gtest_filter='roomShop.BuiltInMacrosScrollLineByLineAsTheyAreDrawn'
convert "$work/room.png" -crop 1080x960+10+10 +repage -colors 256 "$root/docs/room-macros.png"
echo "docs/room-macros.png"
