#!/usr/bin/python3
"""Holds the map of layers: reads every #include of the program's folders and fails when a folder
includes from one it may not reach, when the program's own folders reach Qt, GLib or SQLite
(directly or through any header they include), when GLib or the address-book libraries show up
anywhere but in the sources of platform/contacts, or when one of their headers does not compile on
its own without Qt's include folders.

    layering_test.py PROJECT_ROOT [CXX]

Without CXX the headers are not compiled."""
import os
import re
import subprocess
import sys

# Every folder and the folders it may include from. The arrows point one way:
# app -> view -> dialogs -> calllog -> citydb -> platform; the tools stand beside app. At the bottom
# of platform, beneath even text, lies memory: page memory knows nothing of what it holds.
ALLOWED = {
    "app": {"view", "dialogs", "calllog", "citydb", "resources", "platform/files", "platform/objectstore",
            "platform/phone", "platform/shell", "platform/ui", "platform/text", "platform/msgbox"},
    "tools": {"calllog", "citydb", "platform/files", "platform/objectstore", "platform/phone", "platform/text",
              "platform/time"},
    "view": {"dialogs", "calllog", "citydb", "resources", "platform/msgbox", "platform/resources", "platform/shell",
             "platform/ui", "platform/text", "platform/time"},
    "dialogs": {"calllog", "citydb", "resources", "platform/msgbox", "platform/resources", "platform/shell",
                "platform/text", "platform/time", "platform/ui"},
    "calllog": {"citydb", "platform/files", "platform/memory", "platform/objectstore", "platform/phone",
                "platform/text", "platform/time"},
    "citydb": {"platform/files", "platform/msgbox", "platform/text"},
    "resources": set(),
    "platform/ui": {"platform/memory", "platform/msgbox", "platform/resources", "platform/shell", "platform/text"},
    "platform/shell": {"platform/msgbox", "platform/resources", "platform/text"},
    "platform/phone": {"platform/contacts", "platform/memory", "platform/objectstore", "platform/text",
                       "platform/time"},
    "platform/contacts": {"platform/text"},
    "platform/objectstore": {"platform/text", "platform/time"},
    "platform/files": {"platform/text"},
    "platform/msgbox": {"platform/text"},
    "platform/resources": {"platform/text"},
    "platform/time": {"platform/text"},
    "platform/text": {"platform/memory"},
    "platform/memory": set(),
}

# Where a folder may reach another only through some of its headers: the framework knows the
# shell by its interface, never the phone that implements it.
THROUGH = {
    ("platform/ui", "platform/shell"): {"shell.h", "shellclient.h", "shellservices.h", "virtualkey.h",
                                        "windowhandle.h"},
}

# The program's own code: no toolkit, no GLib, no SQLite, not even through a framework header.
PLAIN = ("view", "dialogs", "calllog", "citydb")
FORBIDDEN = re.compile(r"^(Q[A-Za-z]*|Qt[A-Za-z]*/.*|qt.*|glib.*\.h|glib/.*|gio/.*|gobject/.*|sqlite3\.h|"
                       r"libebook/.*|libebook-contacts/.*|libedataserver/.*|libebackend/.*)$")

# GLib and the address-book libraries built on it stay in the one platform folder that reads the
# address books, and there in its sources: no header of the project, and no other folder, carries them.
GLIB = re.compile(r"^(glib.*\.h|glib/.*|gio/.*|gobject/.*|libebook/.*|libebook-contacts/.*|libedataserver/.*|"
                  r"libebackend/.*)$")
GLIB_FOLDER = "platform/contacts"

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(relative):
    parts = relative.split("/")
    if parts[0] == "platform" and len(parts) > 2:
        return "platform/" + parts[1]
    return parts[0]


def includes(path):
    with open(path, errors="replace") as source:
        for number, line in enumerate(source, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1), match.group(2)


def resolve(root, including, name):
    for base in (root, os.path.dirname(including)):
        candidate = os.path.normpath(os.path.join(base, name))
        if candidate.startswith(root + os.sep) and os.path.isfile(candidate):
            return candidate
    return None


def sources(root):
    for top in sorted({folder.split("/")[0] for folder in ALLOWED}):
        for folder, _, names in os.walk(os.path.join(root, top)):
            for name in sorted(names):
                if name.endswith((".h", ".cpp")):
                    yield os.path.join(folder, name)


def check_edges(root, problems):
    for path in sources(root):
        relative = os.path.relpath(path, root)
        source = folder_of(relative)
        if source not in ALLOWED:
            problems.append("%s: folder %s is not on the map" % (relative, source))
            continue
        for number, kind, name in includes(path):
            target = resolve(root, path, name) if kind == '"' else None
            if target is None:
                continue
            destination = folder_of(os.path.relpath(target, root))
            if destination != source and destination not in ALLOWED[source]:
                problems.append("%s:%d: %s may not include %s" % (relative, number, source, name))
            headers = THROUGH.get((source, destination))
            if headers is not None and os.path.basename(target) not in headers:
                problems.append("%s:%d: %s reaches %s only through %s, not %s" %
                                (relative, number, source, destination, ", ".join(sorted(headers)), name))


def check_plain(root, problems):
    """Follows every project header the plain folders include, to the end."""
    for path in sources(root):
        relative = os.path.relpath(path, root)
        if folder_of(relative) not in PLAIN:
            continue
        seen = set()
        stack = [(path, [relative])]
        while stack:
            current, chain = stack.pop()
            if current in seen:
                continue
            seen.add(current)
            for number, kind, name in includes(current):
                target = resolve(root, current, name) if kind == '"' else None
                if target is not None:
                    stack.append((target, chain + [os.path.relpath(target, root)]))
                elif FORBIDDEN.match(name):
                    problems.append("%s reaches <%s> through %s" % (relative, name, " -> ".join(chain)))


def check_glib(root, problems):
    for path in sources(root):
        relative = os.path.relpath(path, root)
        for number, kind, name in includes(path):
            if kind != "<" or not GLIB.match(name):
                continue
            if folder_of(relative) != GLIB_FOLDER or relative.endswith(".h"):
                problems.append("%s:%d: <%s> outside the sources of %s" % (relative, number, name, GLIB_FOLDER))


def check_headers_alone(root, compiler, problems):
    for path in sources(root):
        relative = os.path.relpath(path, root)
        if folder_of(relative) not in PLAIN or not relative.endswith(".h"):
            continue
        result = subprocess.run([compiler, "-std=c++20", "-fsyntax-only", "-Wno-pragma-once-outside-header", "-I",
                                 root, "-x", "c++", path],
                                capture_output=True, text=True)
        if result.returncode != 0:
            errors = [line for line in result.stderr.splitlines() if "error" in line]
            first = (errors or result.stderr.strip().splitlines() or ["?"])[0]
            problems.append("%s does not compile on its own: %s" % (relative, first))


def main():
    root = os.path.abspath(sys.argv[1])
    problems = []
    check_edges(root, problems)
    check_plain(root, problems)
    check_glib(root, problems)
    if len(sys.argv) > 2:
        check_headers_alone(root, sys.argv[2], problems)
    for problem in problems:
        print(problem)
    print("layering: %d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
