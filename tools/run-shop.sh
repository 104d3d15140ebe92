#!/usr/bin/env bash
# Starts the stand-in chat client with its window and then the shop, both on one session bus,
# so the art the shop scrolls can be watched arriving in the chat room.
#
#   tools/run-shop.sh [STAGE_DIR] [FILE]
#
# STAGE_DIR  the built program folder (default: build/stage)
# FILE       an art or macro file for the shop to open
#
# The shop runs from a copy of the program folder, $QUORL_HOME or else
# ${XDG_DATA_HOME:-~/.local/share}/quorl-shop: settings, pages and skins there survive a rebuild,
# the program itself is refreshed each time. Without a session bus the pair gets a private one.
# QUORL_CHAT_TRANSCRIPT=FILE makes the chat client log every message it receives to FILE.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
stage=${1:-$root/build/stage}
[ $# -gt 0 ] && shift
service=org.quorl.ChatClient

for program in quorl quorl-chatclient; do
  if [ ! -x "$stage/$program" ]; then
    echo "run-shop: $stage/$program is missing; build first: cmake --build build" >&2
    exit 1
  fi
done
stage=$(cd "$stage" && pwd)

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ ! -S "${XDG_RUNTIME_DIR:-/nonexistent}/bus" ]; then
  if [ -n "${QUORL_RUN_PRIVATE_BUS:-}" ]; then
    echo "run-shop: no session bus even under dbus-run-session" >&2
    exit 1
  fi
  exec env QUORL_RUN_PRIVATE_BUS=1 dbus-run-session -- "$0" "$stage" "$@"
fi

home=${QUORL_HOME:-${XDG_DATA_HOME:-$HOME/.local/share}/quorl-shop}
mkdir -p "$home"
# The user's files win over the shipped ones; the program is always the fresh build.
cp -R -n "$stage/." "$home/"
cp -f "$stage/quorl" "$home/quorl"
rm -f "$home/quorl-chatclient"

on_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner "string:$service" 2>/dev/null | grep -q "boolean true"
}

client_pid=
stop_client() {
  if [ -n "$client_pid" ]; then
    kill "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
  fi
}
trap stop_client EXIT
trap 'exit 130' INT TERM HUP

if on_bus; then
  echo "run-shop: a chat client already serves $service; using it" >&2
else
  client_args=()
  [ -n "${QUORL_CHAT_TRANSCRIPT:-}" ] && client_args+=(--transcript "$QUORL_CHAT_TRANSCRIPT")
  "$stage/quorl-chatclient" "${client_args[@]}" &
  client_pid=$!
  for _ in $(seq 100); do
    on_bus && break
    if ! kill -0 "$client_pid" 2>/dev/null; then
      echo "run-shop: the chat client did not start" >&2
      exit 1
    fi
    sleep 0.1
  done
  if ! on_bus; then
    echo "run-shop: the chat client did not appear on the session bus" >&2
    exit 1
  fi
fi

export QUORL_HOME="$home"
"$home/quorl" "$@"
