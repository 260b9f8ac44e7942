#!/usr/bin/env python3
"""Plants the faults listed in tests/planted-faults.txt one at a time and counts those the suite catches.

Each line of the list reads

    FILE: EXACT TEXT  ->  CHANGED TEXT  # what a player would see

A blank in the exact text matches any run of blanks and line ends, so that a fault may span lines; the
text must occur exactly once in FILE, and the changed text takes its place as written. For each fault the
file is changed in place in this working tree, build/ is rebuilt and ctest runs there; the file is put back
afterwards, whatever happens, Ctrl+C too.
A fault that fails a test is caught; one that builds and passes every test survived. The suite is run once
first with no fault planted, and must pass. The tests that need one look for an X server at DISPLAY.

    tools/plant_faults.py [--list FILE] [--only WORD] [--ctest-args "-E install|package"]
"""
import argparse
import re
import shlex
import subprocess
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def read_faults(path):
    """[(file, pattern, changed text, what a player sees)] from the list, in its order."""
    faults = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        body, _, seen = line.partition("  # ")
        file, _, change = body.partition(": ")
        exact, arrow, changed = change.partition("  ->  ")
        if not arrow:
            sys.exit(f"{path}:{number}: no '  ->  ' between the exact and the changed text")
        pattern = r"\s+".join(re.escape(word) for word in exact.split())
        faults.append((file.strip(), pattern, changed.strip(), seen.strip() or change))
    return faults


def run(command):
    """True when the command succeeds; its output is kept out of the way."""
    return subprocess.run(command, cwd=ROOT, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def plant(file, pattern, changed, ctest_args):
    """'caught', 'survived' or why the fault could not be tried."""
    path = ROOT / file
    original = path.read_text(encoding="utf-8")
    found = len(re.findall(pattern, original))
    if found != 1:
        return f"not planted: the text is found {found} times"
    try:
        path.write_text(re.sub(pattern, lambda _: changed, original), encoding="utf-8")
        if not run(["cmake", "--build", "build", "-j2"]):
            return "not planted: it does not build"
        return "survived" if run(["ctest", "--test-dir", "build"] + ctest_args) else "caught"
    finally:
        path.write_text(original, encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", type=Path, default=ROOT / "tests" / "planted-faults.txt")
    parser.add_argument("--only", default="", help="plant only the faults whose line holds this text")
    parser.add_argument("--ctest-args", default="-E install|package")
    args = parser.parse_args()
    faults = [f for f in read_faults(args.list) if args.only in " ".join(f)]
    ctest_args = shlex.split(args.ctest_args)
    # A suite that fails as it is would count every fault as caught.
    if not run(["cmake", "--build", "build", "-j2"]) or not run(["ctest", "--test-dir", "build"] + ctest_args):
        sys.exit("the suite fails with no fault planted: build/ and ctest " + args.ctest_args)
    caught = 0
    try:
        for file, pattern, changed, seen in faults:
            result = plant(file, pattern, changed, ctest_args)
            caught += result == "caught"
            print(f"{result:9} {file}: {seen}", flush=True)
    finally:
        # The build is left as the sources are, so that the next test run needs no care.
        run(["cmake", "--build", "build", "-j2"])
    print(f"planted faults: {caught} of {len(faults)} caught")
    return 0 if caught == len(faults) else 1


if __name__ == "__main__":
    sys.exit(main())
