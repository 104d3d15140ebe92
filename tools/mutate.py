#!/usr/bin/env python3
"""Mutation run: applies small plausible bugs one at a time, rebuilds, runs the tests that cover
the mutated file and reports which mutants survived.

    tools/mutate.py [--build DIR] [--only ID,ID] [--list]

Mutants are listed in tools/mutants.tsv: id, file, the exact text to find (once in the file),
its replacement, the test programs to run (space separated), and what the bug is. "⏎" in the
find and replacement texts stands for a line break (source text keeps its own backslashes). A mutant whose text is
not found exactly once is reported as not applicable; one that does not compile is stillborn.
Neither counts. The source tree is always restored, also when the run is interrupted.
"""
import argparse
import csv
import os
import pathlib
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def unescape(text):
    return text.replace("\u23ce", "\n")


def load(path):
    mutants = []
    with open(path, newline="", encoding="utf-8") as f:
        for row in csv.reader(f, delimiter="\t", quoting=csv.QUOTE_NONE):
            if not row or row[0].startswith("#"):
                continue
            mid, file, find, repl, tests, what = row
            mutants.append(dict(id=mid, file=file, find=unescape(find), repl=unescape(repl),
                                tests=tests.split(), what=what))
    return mutants


def run(cmd, timeout, env=None):
    try:
        return subprocess.run(cmd, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout, env=env).returncode
    except subprocess.TimeoutExpired:
        return "timeout"


def test_passes(build, test):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    binary = str(build / "tests" / test)
    # Every program gets a session bus of its own, as ctest gives the chat tests: several start
    # the stand-in chat client.
    cmd = ["dbus-run-session", "--", binary]
    return run(cmd, 600, env) == 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=str(ROOT / "build-mutate"))
    ap.add_argument("--only", default="")
    ap.add_argument("--list", action="store_true")
    args = ap.parse_args()
    build = pathlib.Path(args.build)
    mutants = load(ROOT / "tools" / "mutants.tsv")
    if args.only:
        keep = set(args.only.split(","))
        mutants = [m for m in mutants if m["id"] in keep]
    if args.list:
        for m in mutants:
            print(f"{m['id']}\t{m['file']}\t{m['what']}")
        return 0

    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                    "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DQUORL_BENCH=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    every = sorted({t for m in mutants for t in m["tests"]})
    print("building the unmutated tree ...", flush=True)
    subprocess.run(["cmake", "--build", str(build), "--target", *every], check=True, stdout=subprocess.DEVNULL)
    failing = [t for t in every if not test_passes(build, t)]
    if failing:
        print("the unmutated tree fails:", " ".join(failing))
        return 2

    results = []
    for m in mutants:
        path = ROOT / m["file"]
        original = path.read_text(encoding="utf-8", errors="surrogateescape")
        if original.count(m["find"]) != 1:
            results.append((m, "not applicable"))
            print(f"{m['id']}: not applicable ({original.count(m['find'])} matches)", flush=True)
            continue
        started = time.time()
        try:
            path.write_text(original.replace(m["find"], m["repl"]), encoding="utf-8", errors="surrogateescape")
            built = run(["cmake", "--build", str(build), "--target", *m["tests"]], 900) == 0
            if not built:
                verdict = "stillborn"
            else:
                verdict = "survived"
                for t in m["tests"]:
                    if not test_passes(build, t):
                        verdict = f"killed by {t}"
                        break
        finally:
            path.write_text(original, encoding="utf-8", errors="surrogateescape")
        results.append((m, verdict))
        print(f"{m['id']}: {verdict} ({time.time() - started:.0f} s) - {m['what']}", flush=True)
    # Leave the build matching the restored tree.
    subprocess.run(["cmake", "--build", str(build), "--target", *every], stdout=subprocess.DEVNULL)

    counted = [(m, v) for m, v in results if v.startswith("killed") or v == "survived"]
    killed = sum(1 for _, v in counted if v.startswith("killed"))
    print()
    print(f"{killed} of {len(counted)} mutants killed"
          + (f" ({100.0 * killed / len(counted):.0f} %)" if counted else ""))
    for m, v in results:
        if v == "survived":
            print(f"  survived: {m['id']} {m['file']}: {m['what']}")
    for m, v in results:
        if v in ("not applicable", "stillborn"):
            print(f"  {v}: {m['id']} {m['file']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
