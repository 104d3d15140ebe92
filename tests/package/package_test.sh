#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as Debian's tools and a user do:
# lintian without errors, the AppStream entry, the desktop entry and both manual pages, then the
# package unpacked into a scratch root and the shop started from there on a private desktop.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
work=$(mktemp -d /tmp/quorl-package-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # check WHAT COMMAND...: runs the command, says what failed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; fail=1; fi
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/out/quorl_*_amd64.deb)
echo "package: $(basename "$deb")"
dpkg-deb --info "$deb" | sed -n '/Package:/,$p'

# lintian: errors fail; warnings are shown.
lintian --fail-on error --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
check "lintian finds no error" bash -c "! grep -q '^E:' '$work/lintian.log'"

root=$work/root
dpkg-deb -x "$deb" "$root"
check "appstreamcli validates the metainfo" \
  appstreamcli validate --no-net "$root/usr/share/metainfo/org.quorl.asciishop.metainfo.xml"
check "desktop-file-validate accepts the entry" \
  bash -c "out=\$(desktop-file-validate '$root/usr/share/applications/quorl.desktop' 2>&1); echo -n \"\$out\"; [ -z \"\$out\" ]"
for page in quorl quorl-chatclient; do
  check "man -l reads $page(1) without a warning" bash -c \
    "out=\$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l '$root/usr/share/man/man1/$page.1.gz' 2>&1 >/dev/null); echo -n \"\$out\"; [ -z \"\$out\" ] && man -l '$root/usr/share/man/man1/$page.1.gz' | grep -q '^NAME'"
done
for f in usr/bin/quorl usr/bin/quorl-chatclient usr/share/quorl/skins/default/frm.bmp \
         usr/share/mime/packages/quorl.xml usr/share/icons/hicolor/48x48/apps/quorl.png \
         usr/share/icons/hicolor/48x48/mimetypes/text-x-glyfile.png usr/share/doc/quorl/copyright; do
  check "the package holds /$f" test -f "$root/$f"
done
check "the package declares its libraries" bash -c "dpkg-deb -f '$deb' Depends | grep -q 'libqt6widgets6'"

# The shop from the unpacked package, on a private X display and session bus.
update-mime-database "$root/usr/share/mime" >/dev/null 2>&1 || true
check "the unpacked shop starts with a per-user program folder" \
  "$source/tests/desktop/run-desktop-test.sh" /usr/bin/python3 "$source/tests/package/installed_shop.py" "$root"
exit $fail
