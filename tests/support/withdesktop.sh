#!/usr/bin/env bash
# Runs a command on a desktop of its own, as a user's session has it: a D-Bus session bus, a
# runtime folder, a virtual X server (DISPLAY) and the accessibility bus already up (Qt's bridge
# joins only a running one). The one launcher of the shell, Python and C++ tests that need any of
# these; each wait ends on a condition. With --display-only the virtual X server alone, without the
# buses: the program's end-to-end cases, which share it. RINGLOG_IN_DESKTOP tells the command it
# runs on such a desktop; RINGLOG_DESKTOP_SCREEN sets the server's screen (800x600x24 unless set).
#   withdesktop.sh [--display-only] COMMAND [ARGS...]
set -uo pipefail
displayOnly=0
if [ "${1:-}" = "--display-only" ]; then
    displayOnly=1
    shift
fi
if [ "$displayOnly" -eq 0 ] && [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    RINGLOG_IN_DESKTOP=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v "fd limit" >&2)
fi
export RINGLOG_IN_DESKTOP=1
# The accessibility bus's socket goes into the runtime folder: one of our own, so that runs side
# by side do not share it.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/ringlog-desktop-XXXXXX)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
server=""
launcherPid=""
cleanup() {
    [ -n "$launcherPid" ] && kill "$launcherPid" 2>/dev/null && wait "$launcherPid" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

# A display number of the server's own choosing, so runs side by side never meet.
exec 3>"$XDG_RUNTIME_DIR/display"
Xvfb -displayfd 3 -screen 0 "${RINGLOG_DESKTOP_SCREEN:-800x600x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
server=$!
exec 3>&-
for _ in $(seq 200); do
    [ -s "$XDG_RUNTIME_DIR/display" ] && break
    sleep 0.05
done
number=$(head -n 1 "$XDG_RUNTIME_DIR/display")
if [ -z "$number" ]; then
    echo "Xvfb gave no display" >&2
    exit 1
fi
export DISPLAY=":$number"

if [ "$displayOnly" -eq 1 ]; then
    "$@"
    exit
fi

launcher=""
for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
    [ -x "$candidate" ] && launcher=$candidate && break
done
if [ -z "$launcher" ]; then
    echo "at-spi-bus-launcher is not installed" >&2
    exit 1
fi
"$launcher" --launch-immediately &
launcherPid=$!
up=0
for _ in $(seq 200); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q "boolean true"; then
        up=1
        break
    fi
    sleep 0.1
done
if [ "$up" -ne 1 ]; then
    echo "the accessibility bus did not come up" >&2
    exit 1
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
"$@"
