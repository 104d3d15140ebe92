#!/usr/bin/python3
"""The Options menu as a screen reader sees it: "text2" is a checkable menu item that reports
checked after it is picked, and unchecked once picked again. Runs inside run-desktop-test.sh
(Xvfb, openbox, private session bus)."""
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


def states(node):
    s = node.get_state_set()
    return s.contains(Atspi.StateType.CHECKABLE), s.contains(Atspi.StateType.CHECKED)


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
        open_options()
        node = item("text2")
        check(node is not None, "text2 is a menu item of the shown Options menu")
        if node is None:
            return 1
        checkable, checked = states(node)
        check(checkable, "text2 is checkable")
        check(node.get_name() != "a", "no check mark is named a")
        if checked:
            press(node)
            time.sleep(0.5)
        else:
            # Close the menu again from its caption.
            press(search(lambda n: n.get_name() == "Options" and pressable(n)))
            time.sleep(0.5)
        pick_text2()
        open_options()
        node = item("text2")
        check(node is not None and states(node) == (True, True), "text2 reports checked after it is picked")
        press(node)
        time.sleep(0.5)
        open_options()
        node = item("text2")
        check(node is not None and states(node) == (True, False), "text2 reports unchecked once picked again")
    finally:
        shop.kill()
        shop.wait()
        shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
