#!/usr/bin/python3
"""The tray icon in a real tray host (trayer) and the file types seen by the desktop's own tools.

Runs inside run-desktop-test.sh (Xvfb, openbox, private session bus). The shop runs from a copy of
the staged program folder with its own per-user folders:
  - after one start, desktop-file-validate accepts its entry, xdg-mime names it as the default for
    both types and gives the new types for a .gly and a .mcr file;
  - the tray icon is embedded in trayer; after "&min to tray" a click on it, and the tray menu's
    "Maximize", bring the main window back; the tray menu's "Exit" ends the shop and the icon goes;
  - a .gly opened with `gio open` while the shop is shown goes to that shop: its pages show the
    file, one shop process stays and the start counter counts one start;
  - the moved program folder registers again on its next start.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

from atspi import press, pressable, search  # noqa: E402

TITLE = "quorl ascii shop"
failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(pred, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = pred()
        if value:
            return value
        time.sleep(0.2)
    return None


def out(*cmd):
    return subprocess.run(cmd, capture_output=True, text=True).stdout.strip()


def main_window_shown():
    return out("xdotool", "search", "--onlyvisible", "--name", "^" + TITLE + "$") != ""


def tray_icon():
    """The absolute centre of the shop's icon inside trayer's panel, or None."""
    panel = out("xdotool", "search", "--class", "trayer")
    for wid in panel.split():
        tree = out("xwininfo", "-tree", "-id", wid)
        m = re.search(r'"quorl": \("quorl" "quorl"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', tree)
        if m:
            w, h, x, y = map(int, m.groups())
            return x + w // 2, y + h // 2
    return None


def press_named(name):
    node = search(lambda n: n.get_name() == name and pressable(n))
    assert node is not None, name
    press(node)


def min_to_tray():
    press_named("Files")
    press_named("min to tray")
    return wait_for(lambda: not main_window_shown(), 10) is not None


def tray_menu(keys):
    x, y = tray_icon()
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "3"], check=True)
    time.sleep(0.5)  # the menu maps; keys before that go to no window
    subprocess.run(["xdotool", "key", "--delay", "100"] + keys + ["Return"], check=True)


def text_of(node):
    try:
        return node.get_text_iface().get_text(0, -1)
    except Exception:
        return None


def shops(folder):
    """The running processes of the program in folder."""
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            if os.readlink("/proc/%s/exe" % pid) == os.path.join(folder, "quorl"):
                found.append(pid)
        except OSError:
            pass
    return found


def start(folder, env):
    return subprocess.Popen([os.path.join(folder, "quorl")], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


def registered(env, folder):
    entry = os.path.join(env["XDG_DATA_HOME"], "applications", "quorl.desktop")
    apps = os.path.join(env["XDG_CONFIG_HOME"], "mimeapps.list")

    def done():
        try:
            text = open(entry, encoding="utf-8").read()
            return folder in text and "glymcrfile=" in open(apps, encoding="utf-8").read()
        except OSError:
            return False
    return wait_for(done) is not None


def main():
    stage = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quorl-tray-")
    folder = os.path.join(work, "my shop")
    shutil.copytree(stage, folder)
    with open(os.path.join(folder, "quorl.ini"), "wb") as f:
        f.write(b"[quorl]\r\nHANDLE=tester\r\nID=XXXXXXXXX\r\nLOADED=5\r\nASCII=x\r\nSKIN=none\r\nX=none\r\n"
                b"Y=none\r\nOPTIONSWIN=False\r\nROLLEDUP=False\r\nLOADONSTARTUP=False\r\n")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("QUORL_HOME", None)
    tray = subprocess.Popen(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                             "--height", "32", "--transparent", "false"], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    shop = None
    try:
        wait_for(lambda: out("xdotool", "search", "--class", "trayer"))
        shop = start(folder, env)
        check(wait_for(main_window_shown) is not None, "the main window shows")
        check(wait_for(tray_icon) is not None, "the tray icon is embedded in trayer")

        # The file types, as the desktop's tools see them after one start.
        check(registered(env, folder), "the desktop entry and the defaults are written")
        entry = os.path.join(env["XDG_DATA_HOME"], "applications", "quorl.desktop")
        valid = subprocess.run(["desktop-file-validate", entry], capture_output=True, text=True, env=env)
        check(valid.returncode == 0 and valid.stdout.strip() == "", "desktop-file-validate accepts the entry")
        for mime in ("text/x-glyfile", "text/x-glymcrfile"):
            got = subprocess.run(["xdg-mime", "query", "default", mime], capture_output=True, text=True,
                                 env=env).stdout.strip()
            check(got == "quorl.desktop", "xdg-mime names the shop for %s (%r)" % (mime, got))
        for name, mime in (("art.gly", "text/x-glyfile"), ("piece.mcr", "text/x-glymcrfile")):
            path = os.path.join(work, name)
            open(path, "wb").write(b"x\r\n")
            # The shop rebuilds the mime cache beside its start.
            def filetype():
                return subprocess.run(["xdg-mime", "query", "filetype", path], capture_output=True, text=True,
                                      env=env).stdout.strip()
            got = wait_for(lambda: filetype() == mime) and filetype()
            check(got == mime, "xdg-mime gives %s for %s (%r)" % (mime, name, got))

        # Opened from the desktop while the shop is shown: the running shop takes the file.
        shown_art = os.path.join(work, "shown.gly")
        open(shown_art, "wb").write(b"opened by gio\r\nsecond page\r\n")
        subprocess.run(["gio", "open", shown_art], env=env, capture_output=True, timeout=60)
        page = search(lambda n: n.get_role_name() == "text" and text_of(n) == "opened by gio", 20)
        check(page is not None, "gio open shows the file's pages in the running shop")
        check(wait_for(lambda: len(shops(folder)) == 1 or None, 10) is not None,
              "one shop process after gio open (%d)" % len(shops(folder)))
        ini = open(os.path.join(folder, "quorl.ini"), "rb").read()
        check(b"LOADED=6\r\n" in ini, "one start counted (%r)" % re.findall(rb"LOADED=[^\r]*", ini))

        # A plain click on the icon brings the windows back.
        check(min_to_tray(), "\"&min to tray\" hides the main window")
        check(tray_icon() is not None, "the icon stays while the shop is in the tray")
        x, y = tray_icon()
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
        check(wait_for(main_window_shown, 10) is not None, "a click on the tray icon shows the main window")

        # The tray menu's "Maximize" (second from the bottom) does too.
        check(min_to_tray(), "\"&min to tray\" hides the main window again")
        # On a loaded machine the menu may map after the keys went out: the menu is opened again.
        shown = None
        for _ in range(3):
            tray_menu(["Up", "Up"])
            shown = wait_for(main_window_shown, 7)
            if shown is not None:
                break
            subprocess.run(["xdotool", "key", "Escape"], check=False)
        check(shown is not None, "the tray menu's Maximize shows the main window")

        # "Exit" (the last item) ends the shop and takes the icon away.
        tray_menu(["Up"])
        try:
            code = shop.wait(15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "the tray menu's Exit ends the shop (exit %r)" % code)
        check(wait_for(lambda: tray_icon() is None, 5) is not None, "the tray icon is gone")

        # The moved program folder registers again on its next start.
        moved = os.path.join(work, "moved shop")
        os.rename(folder, moved)
        shop = start(moved, env)
        check(registered(env, moved), "the moved folder is registered again")
        check(wait_for(tray_icon) is not None, "the tray icon is back")
        tray_menu(["Up"])
        try:
            code = shop.wait(15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 0, "Exit ends the moved shop")
    finally:
        if shop is not None and shop.poll() is None:
            shop.kill()
        tray.kill()
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("%d failed" % len(failures))
        sys.exit(1)


if __name__ == "__main__":
    main()
