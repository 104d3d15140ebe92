#!/usr/bin/python3
"""The shop of an installed package, started from the PATH with fresh per-user folders: the handle
dialog opens, the settings go to $XDG_DATA_HOME/quorl-shop, nothing of what the package installs
system-wide is registered again for the user, and a later start keeps a shipped macro the user
changed while adding what a newer version ships. Runs inside run-desktop-test.sh with the root
the package was unpacked into (or "/" for the installed package)."""
import os
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "desktop"))
from atspi import Atspi, press, search  # noqa: E402

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def wait_for(cond, timeout=30):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if cond():
            return True
        time.sleep(0.2)
    return False


def read(path):
    try:
        with open(path, "rb") as f:
            return f.read()
    except OSError:
        return b""


def main():
    root = os.path.abspath(sys.argv[1])
    usr = os.path.join(root, "usr")
    work = tempfile.mkdtemp(prefix="quorl-installed-")
    home = os.path.join(work, "home")
    data, config = os.path.join(home, ".local/share"), os.path.join(home, ".config")
    for d in (data, config):
        os.makedirs(d)
    env = dict(os.environ, HOME=home, XDG_DATA_HOME=data, XDG_CONFIG_HOME=config,
               XDG_DATA_DIRS=os.path.join(usr, "share") + ":/usr/share",
               PATH=os.path.join(usr, "bin") + ":" + os.environ["PATH"], QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    for var in ("QUORL_HOME", "QT_QPA_PLATFORM"):
        env.pop(var, None)
    folder = os.path.join(data, "quorl-shop")

    shop = subprocess.Popen(["quorl"], env=env, cwd=work)
    try:
        ok = search(lambda n: n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() == "Ok", 60)
        check(ok is not None, "the handle dialog opens")
        if ok is not None:
            press(ok)
        check(wait_for(lambda: os.path.exists(os.path.join(folder, "readme.txt"))),
              "the first-run setup writes into $XDG_DATA_HOME/quorl-shop")
        check(b"HANDLE=handle\r\n" in read(os.path.join(folder, "quorl.ini")),
              "the settings are under $XDG_DATA_HOME/quorl-shop")
        check(read(os.path.join(folder, "macros/rose.mcr")) == read(os.path.join(usr, "share/quorl/macros/rose.mcr")),
              "the shipped macros are in the per-user folder")
        apps = os.path.join(config, "mimeapps.list")
        check(wait_for(lambda: b"text/x-glymcrfile=quorl.desktop;" in read(apps)), "the shop is the default")
        for mime in ("text/x-glyfile", "text/x-glymcrfile"):
            got = subprocess.run(["xdg-mime", "query", "default", mime], env=env, capture_output=True,
                                 text=True).stdout.strip()
            check(got == "quorl.desktop", "xdg-mime names the installed entry for %s (%r)" % (mime, got))
        for own in ("applications", "mime", "icons"):
            check(not os.path.exists(os.path.join(data, own)),
                  "nothing of the package's is registered again under $XDG_DATA_HOME/" + own)
    finally:
        shop.terminate()
        shop.wait(15)

    # The user changes a shipped macro; a newer version ships a changed one and a new one.
    with open(os.path.join(folder, "macros/rose.mcr"), "wb") as f:
        f.write(b"my own rose\r\n")
    shipped = os.path.join(usr, "share/quorl/macros")
    if root != "/":
        os.chmod(os.path.join(shipped, "rose.mcr"), 0o644)
        with open(os.path.join(shipped, "rose.mcr"), "wb") as f:
            f.write(b"a newer rose\r\n")
        with open(os.path.join(shipped, "tulip.mcr"), "wb") as f:
            f.write(b"tulip\r\n")
    shop = subprocess.Popen(["quorl"], env=env, cwd=work)
    try:
        main_window = search(lambda n: n.get_name() == "quorl ascii shop" and
                             n.get_state_set().contains(Atspi.StateType.SHOWING), 60)
        check(main_window is not None, "the second start opens the main window")
        check(read(os.path.join(folder, "macros/rose.mcr")) == b"my own rose\r\n",
              "the second start keeps the user's version of the macro")
        if root != "/":
            check(read(os.path.join(folder, "macros/tulip.mcr")) == b"tulip\r\n",
                  "the second start adds the newly shipped macro")
    finally:
        shop.terminate()
        shop.wait(15)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
