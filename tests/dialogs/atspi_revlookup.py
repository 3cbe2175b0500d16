"""The reverse lookup dialog as a screen reader reads it over AT-SPI: its texts are labels, its
number field is a text field holding the typed digits, Clear is a push button.

Run on a desktop of its own (tests/support/withdesktop.sh): atspi_revlookup.py DIALOGSHOTS starts
`DIALOGSHOTS --show lookup` there."""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import atspi  # noqa: E402  (the tests' one accessibility lookup)

WAIT_SECONDS = 60


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node, found):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        if showing(child):
            found.append((child.getRoleName(), atspi.spoken_name(child)))
        walk(child, found)


def read_screen(app):
    # The dialog may still be coming up: read until the result line is there.
    deadline = time.monotonic() + WAIT_SECONDS
    found = []
    while time.monotonic() < deadline:
        found = []
        walk(app, found)
        if ("label", "Seattle, WA") in found:
            break
        time.sleep(0.2)
    return found


def main():
    dialogshots = sys.argv[1]
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([dialogshots, "--show", "lookup"], env=env, stdout=subprocess.DEVNULL)
    try:
        app = atspi.find_app(os.path.basename(dialogshots), WAIT_SECONDS)
        if app is None:
            print("the program never appeared on the accessibility bus")
            return 1
        found = read_screen(app)
        expected = [("label", "City and State Reverse Lookup"), ("label", "Enter the Phone Number"),
                    ("text", "206386"), ("push button", "Clear"), ("label", "Seattle, WA")]
        missing = [item for item in expected if item not in found]
        if missing:
            print("missing:", missing)
            print("read:", found)
            return 1
        # The hidden landscape set is not read out: each text is there once.
        for item in expected:
            if found.count(item) != 1:
                print("read more than once:", item, found)
                return 1
        print("read:", found)
        return 0
    finally:
        program.kill()
        program.wait()


if __name__ == "__main__":
    sys.exit(main())
