"""The reverse lookup dialog as a screen reader reads it over AT-SPI: its texts are labels, its
number field is a text field holding the typed digits, Clear is a push button.

Run inside its own D-Bus session: dbus-run-session -- python3 atspi_revlookup.py DIALOGSHOTS
It starts a virtual X server of its own and `DIALOGSHOTS --show lookup` on it."""
import os
import subprocess
import sys
import time

import pyatspi

WAIT_SECONDS = 60


def start_x_server():
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "640x480x24", "-nolisten", "tcp"],
                              pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        display = pipe.readline().strip()
    if not display:
        server.kill()
        sys.exit("Xvfb gave no display")
    return server, ":" + display


def find_application(name):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def walk(node, found):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is None:
            continue
        role = child.getRoleName()
        text = child.name
        if role == "text":
            accessible_text = child.queryText()
            text = accessible_text.getText(0, accessible_text.characterCount)
        if showing(child):
            found.append((role, text))
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
    server, display = start_x_server()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               QT_ACCESSIBILITY="1")
    program = subprocess.Popen([dialogshots, "--show", "lookup"], env=env, stdout=subprocess.DEVNULL)
    try:
        app = find_application(os.path.basename(dialogshots))
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
        server.kill()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
