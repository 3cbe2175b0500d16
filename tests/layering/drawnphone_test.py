#!/usr/bin/python3
"""Fails when a test program that runs on the test shell carries a class of the drawn phone: the
test shell is to stand on the shell's interface alone, so that a change to the phone's window
rebuilds and retests only what drives it.

    drawnphone_test.py NM PROGRAM..."""
import re
import subprocess
import sys

DRAWN_PHONE = re.compile(r"\b(PhoneShell|PhoneScreen|SoftKeyBar|NavBar|ShellMessageBox)\b")


def main():
    if len(sys.argv) < 3:
        print(__doc__)
        return 2
    nm = sys.argv[1]
    failures = 0
    for program in sys.argv[2:]:
        symbols = subprocess.run([nm, "-C", program], capture_output=True, text=True)
        if symbols.returncode != 0:
            print(f"{program}: nm failed: {symbols.stderr.strip()}")
            failures += 1
            continue
        found = sorted({line.split(" ", 2)[-1] for line in symbols.stdout.splitlines() if DRAWN_PHONE.search(line)})
        if found:
            failures += 1
            print(f"{program} links the drawn phone ({len(found)} symbols), for example:")
            for name in found[:5]:
                print(f"    {name}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
