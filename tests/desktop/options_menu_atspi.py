#!/usr/bin/python3
"""The Options menu as a screen reader sees it: "text2" is a menu item that reports checked
after it is picked, and unchecked once picked again. (Qt's bridge carries the checked state but
not the checkable one.) Runs inside run-desktop-test.sh (Xvfb, openbox, private session bus)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time

from atspi import Atspi, press, pressable, search  # noqa: E402

failures = []


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)


def item(name):
    """The shown menu item of that name, looked up afresh (no cached state)."""
    def shown_item(n):
        if n.get_name() != name or n.get_role() not in (Atspi.Role.MENU_ITEM, Atspi.Role.CHECK_MENU_ITEM):
            return False
        return n.get_state_set().contains(Atspi.StateType.SHOWING)
    return search(shown_item, timeout=10)


def checked(node):
    return node.get_state_set().contains(Atspi.StateType.CHECKED)


def main_window_shown():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^quorl ascii shop$"],
                           capture_output=True, text=True).stdout.split()
    return found[0] if found else None


def wait_for(pred, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = pred()
        if value:
            return value
        time.sleep(0.2)
    return None


def open_options():
    options = search(lambda n: n.get_name() == "Options" and pressable(n))
    assert options is not None, "the Options caption"
    press(options)


def pick_text2():
    open_options()
    node = item("text2")
    assert node is not None, "text2 in the shown Options menu"
    press(node)
    time.sleep(0.5)  # the press is queued; the menu hides and the mark changes


def main():
    stage = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quorl-options-")
    folder = os.path.join(work, "shop")
    shutil.copytree(stage, folder)
    with open(os.path.join(folder, "quorl.ini"), "wb") as f:
        f.write(b"[quorl]\r\nHANDLE=tester\r\nID=XXXXXXXXX\r\nLOADED=5\r\nASCII=x\r\nSKIN=none\r\nX=none\r\n"
                b"Y=none\r\nOPTIONSWIN=False\r\nROLLEDUP=False\r\nLOADONSTARTUP=False\r\n")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", XDG_DATA_HOME=os.path.join(work, "data"),
               XDG_CONFIG_HOME=os.path.join(work, "config"))
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("QUORL_HOME", None)
    shop = subprocess.Popen([os.path.join(folder, "quorl")], env=env)
    try:
        # The start-up ends with the main window shown; a press before that opens a menu the
        # start-up's own activation closes again.
        window = wait_for(main_window_shown)
        check(window is not None, "the main window shows")
        if window is None:
            return 1
        subprocess.run(["xdotool", "windowactivate", "--sync", window], check=False)
        open_options()
        node = item("text2")
        check(node is not None, "text2 is a menu item of the shown Options menu")
        if node is None:
            return 1
        marks = search(lambda n: n.get_name() == "a" and n.get_role() == Atspi.Role.CHECK_BOX, timeout=1)
        check(marks is None, "no check mark is named a")
        if checked(node):
            press(node)
            time.sleep(0.5)
        else:
            # Close the menu again from its caption.
            press(search(lambda n: n.get_name() == "Options" and pressable(n)))
            time.sleep(0.5)
        pick_text2()
        open_options()
        node = item("text2")
        check(node is not None and checked(node), "text2 reports checked after it is picked")
        press(node)
        time.sleep(0.5)
        open_options()
        node = item("text2")
        check(node is not None and not checked(node), "text2 reports unchecked once picked again")
    finally:
        shop.kill()
        shop.wait()
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
