#!/usr/bin/python3
"""A program folder whose name is not UTF-8 (a byte FF): the real shop, started from there or with
$QUORL_HOME naming it, says why it cannot start, ends when the message is answered, and writes
nothing anywhere but the per-user folders. Runs inside run-desktop-test.sh with the staged program
folder."""
import os
import shutil
import subprocess
import sys
import tempfile

from atspi import Atspi, find, press, search  # noqa: E402

failures = []


def check(ok, what):
    print(("ok: " if ok else "FAIL: ") + what)
    if not ok:
        failures.append(what)


def tree(top):
    """Every path below top (as bytes), with its size and time, so a change shows."""
    seen = {}
    for folder, dirs, files in os.walk(top):
        for name in dirs + files:
            p = os.path.join(folder, name)
            st = os.lstat(p)
            seen[p] = (st.st_size, st.st_mtime_ns)
    return seen


def text_of(node):
    try:
        t = node.get_text_iface()
        return t.get_text(0, t.get_character_count()) if t else (node.get_name() or "")
    except Exception:
        return node.get_name() or ""


def refused(program, env, cwd, what):
    shop = subprocess.Popen([program], env=env, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        box = search(lambda n: n.get_role() in (Atspi.Role.DIALOG, Atspi.Role.ALERT, Atspi.Role.FRAME,
                                                Atspi.Role.WINDOW) and
                     find(n, lambda m: "is not UTF-8 text" in text_of(m)) is not None, 25)
        check(box is not None, what + ": the shop says the folder's name is not UTF-8")
        if box is None:
            # A shop that starts anyway is taken through its first run, so what it writes shows.
            ok = search(lambda n: n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() == "Ok", 10)
            if ok is not None:
                press(ok)
                search(lambda n: n.get_name() == "quorl ascii shop" and
                       n.get_state_set().contains(Atspi.StateType.SHOWING), 20)
        else:
            message = text_of(find(box, lambda m: "is not UTF-8 text" in text_of(m)))
            check("Rename or move the folder" in message, what + ": the message says what to do (%r)" % message)
            ok = find(box, lambda n: n.get_role() == Atspi.Role.PUSH_BUTTON and n.get_name() in ("OK", "&OK"))
            check(ok is not None, what + ": the message has an OK button")
            if ok is not None:
                press(ok)
        try:
            code = shop.wait(15)
        except subprocess.TimeoutExpired:
            code = None
        check(code == 1, what + ": the shop ends with 1 after the message (%r)" % code)
    finally:
        if shop.poll() is None:
            shop.kill()
            shop.wait()


def main():
    stage = sys.argv[1]
    work = tempfile.mkdtemp(prefix="quorl-ff-").encode()
    bad = os.path.join(work, b"art \xff shop")
    shutil.copytree(stage.encode(), bad)
    home = os.path.join(work, b"home")
    xdg = {var: os.path.join(home, var.lower()) for var in
           (b"XDG_DATA_HOME", b"XDG_CONFIG_HOME", b"XDG_CACHE_HOME", b"XDG_STATE_HOME")}
    for d in xdg.values():
        os.makedirs(d)
    env = {k.encode(): v.encode() for k, v in os.environ.items()}
    env.update(xdg)
    env[b"HOME"] = home
    env[b"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = b"1"
    for var in (b"QUORL_HOME", b"QT_QPA_PLATFORM"):
        env.pop(var, None)
    cwd = os.path.join(work, b"cwd")
    os.makedirs(cwd)
    root_ini = os.path.exists("/quorl.ini")

    before = tree(work)
    refused(os.path.join(bad, b"quorl"), env, cwd, "started from the folder")
    refused(os.path.join(stage.encode(), b"quorl"), {**env, b"QUORL_HOME": bad}, cwd, "$QUORL_HOME names the folder")
    after = tree(work)
    outside = [p for p in after if before.get(p) != after[p] and not any(p.startswith(d) for d in xdg.values())]
    check(outside == [], "nothing is written beside the per-user folders (%r)" % outside[:5])
    check(os.path.exists("/quorl.ini") == root_ini, "no /quorl.ini at the root")
    check(not os.path.exists(os.path.join(bad, b"quorl.ini")), "no settings in the refused folder")
    entries = [p for p in after if b"applications" in p]
    check(entries == [], "no desktop entry names the refused folder (%r)" % entries)
    shutil.rmtree(work, ignore_errors=True)
    print(f"{len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
