#!/usr/bin/python3
"""The first-run handle dialog over AT-SPI: "Ok" and "Cancel" are push buttons an assistive
client finds by name and presses. Runs inside run-desktop-test.sh (Xvfb, private session bus)."""
import os
import subprocess
import sys
import tempfile
import time

from atspi import Atspi, press, search as wait_for  # noqa: E402


def button(name):
    return lambda n: n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() == name


def launch(stage, home):
    env = dict(os.environ, QUORL_HOME=home, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_DATA_HOME=os.path.join(home, ".local"))
    subprocess.run(["cp", "-r", os.path.join(stage, "skins"), home], check=True)
    for d in ("output", "ascii", "macros", "Filters"):
        os.makedirs(os.path.join(home, d), exist_ok=True)
    return subprocess.Popen([os.path.join(stage, "quorl")], env=env)


def main():
    stage = sys.argv[1]
    failures = []
    # Cancel: found by name, pressed, the program ends and leaves no settings file.
    with tempfile.TemporaryDirectory() as home:
        shop = launch(stage, home)
        try:
            cancel = wait_for(button("Cancel"))
            ok = wait_for(button("Ok"))
            if cancel is None or ok is None:
                failures.append("Ok/Cancel push buttons not found over AT-SPI")
            else:
                press(cancel)
                shop.wait(timeout=15)
                if os.path.exists(os.path.join(home, "quorl.ini")):
                    failures.append("Cancel left quorl.ini behind")
        finally:
            if shop.poll() is None:
                shop.kill()
    # Ok: the setup runs and the handle is stored.
    with tempfile.TemporaryDirectory() as home:
        shop = launch(stage, home)
        try:
            ok = wait_for(button("Ok"))
            if ok is None:
                failures.append("Ok push button not found over AT-SPI")
            else:
                press(ok)
                readme = os.path.join(home, "readme.txt")
                deadline = time.monotonic() + 20
                while time.monotonic() < deadline and not os.path.exists(readme):
                    time.sleep(0.2)
                if not os.path.exists(readme):
                    failures.append("Ok did not run the first-run setup")
                with open(os.path.join(home, "quorl.ini"), "rb") as f:
                    if b"HANDLE=handle\r\n" not in f.read():
                        failures.append("Ok did not store the handle")
        finally:
            shop.kill()
    for f in failures:
        print("FAIL:", f)
    print(f"{2 - min(2, len(failures))} passed, {min(2, len(failures))} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
