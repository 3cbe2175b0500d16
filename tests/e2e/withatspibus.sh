#!/usr/bin/env bash
# Runs a command under a session bus of its own with the accessibility bus already up, as a
# desktop session has it: Qt's bridge joins only a running accessibility bus.
set -uo pipefail
if [ -z "${RINGLOG_IN_SESSION_BUS:-}" ]; then
    RINGLOG_IN_SESSION_BUS=1 exec dbus-run-session -- bash "$0" "$@" 2> >(grep -v "fd limit" >&2)
fi
# The accessibility bus's socket goes into the runtime folder: one of our own, so that runs side
# by side do not share it.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/ringlog-atspi-XXXXXX)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
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
    kill "$launcherPid" 2>/dev/null
    exit 1
fi
"$@"
rc=$?
kill "$launcherPid" 2>/dev/null
wait "$launcherPid" 2>/dev/null
exit $rc
