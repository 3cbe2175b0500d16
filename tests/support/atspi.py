#!/usr/bin/python3
"""What a screen reader reads of a running program over AT-SPI: the one accessibility lookup of the
tests. As a program it prints every accessible object of the application, one per line, indented by
depth, as "role | name | description | states" (a text field's contents stand for its name):

    atspi.py APP_NAME [SECONDS]

It waits up to SECONDS (default 20) for the application to appear on the accessibility bus. Rows of
a long list are printed up to the first 12 only. As a module it gives find_app, spoken_name and
walk to the tests written in Python."""
import sys
import time

import pyatspi

STATES = {
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_ENABLED: "enabled",
    pyatspi.STATE_SHOWING: "showing",
}


def find_app(name, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def spoken_name(node):
    """A node's name as a screen reader says it: a text field is read by its contents."""
    if node.getRole() == pyatspi.ROLE_TEXT:
        text = node.queryText()
        return text.getText(0, text.characterCount)
    return node.name


def walk(node, depth, out):
    try:
        states = node.getState()
        flags = [label for state, label in STATES.items() if states.contains(state)]
        name = spoken_name(node)
        out.append("%s%s | %s | %s | %s" % ("  " * depth, node.getRoleName(), name,
                                             node.description, ",".join(flags)))
        count = node.childCount
        limit = 12 if node.getRole() == pyatspi.ROLE_LIST else count
        for i in range(min(count, limit)):
            child = node.getChildAtIndex(i)
            if child is not None:
                walk(child, depth + 1, out)
    except Exception as error:  # an object gone while it is read
        out.append("%s<gone: %s>" % ("  " * depth, error))


def main():
    name = sys.argv[1]
    seconds = float(sys.argv[2]) if len(sys.argv) > 2 else 20
    app = find_app(name, seconds)
    if app is None:
        print("no application %s on the accessibility bus" % name, file=sys.stderr)
        return 1
    lines = []
    walk(app, 0, lines)
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
