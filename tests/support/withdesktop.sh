#!/usr/bin/env bash
# Runs a command on a desktop of its own, as a user's session has it: a D-Bus session bus, a
# runtime folder, a virtual X server (DISPLAY) and the accessibility bus already up (Qt's bridge
# joins only a running one). The one launcher of the shell, Python and C++ tests that need any of
# these; each wait ends on a condition.
#   withdesktop.sh [--display-only | --address-book | --portal | --phone [--keyboard] [--portal]] COMMAND [ARGS...]
# With --display-only the virtual X server alone, without the buses: the program's end-to-end cases,
# which share it. RINGLOG_IN_DESKTOP tells the command it runs on such a desktop;
# RINGLOG_DESKTOP_SCREEN sets the server's screen (800x600x24 unless set).
# The session bus starts no service of the machine's, so that a test never depends on what is
# installed; with --address-book it starts them as a session does (the address-book service), over
# a home of the run's own (HOME and the XDG folders, GSettings in memory). Every service the bus
# started is ended with the run, so that none holds the caller's pipes. --portal does the same for
# the desktop's settings portal, on a GNOME desktop whose GSettings live in a keyfile of the run's
# own ($XDG_CONFIG_HOME/glib-2.0/settings/keyfile), so that a test chooses the colour scheme with
# gsettings and the portal tells the program.
# With --phone a phone's Wayland session instead of the X server: the phone's compositor headless
# on one 720x1440 output at scale 2 (WAYLAND_DISPLAY, Qt on Wayland), over a home of the run's own
# whose GSettings are a keyfile; with --keyboard also the on-screen keyboard, switched on in that
# keyfile and on the bus as sm.puri.OSK0, its log in $XDG_RUNTIME_DIR/keyboard.log. The
# compositor's output is HEADLESS-1; its seat comes from the program RINGLOG_PHONE_SEAT names
# (build/bin/phoneseat unless set).
set -uo pipefail
displayOnly=0
if [ "${1:-}" = "--display-only" ]; then
    displayOnly=1
    shift
fi
if [ "${1:-}" = "--phone" ]; then
    export RINGLOG_PHONE_SESSION=1
    shift
    if [ "${1:-}" = "--keyboard" ]; then
        export RINGLOG_PHONE_KEYBOARD=1
        shift
    fi
fi
if [ "$displayOnly" -eq 0 ] && [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    scratch=$(mktemp -d /tmp/ringlog-session-XXXXXX)
    config=(--config-file "$scratch/session.conf")
    if [ "${1:-}" = "--address-book" ] || [ "${1:-}" = "--portal" ]; then
        config=(--config-file /usr/share/dbus-1/session.conf)
        export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_CONFIG_HOME="$scratch/home/.config"
        export XDG_CACHE_HOME="$scratch/home/.cache" GSETTINGS_BACKEND=memory
        if [ "$1" = "--portal" ]; then
            export GSETTINGS_BACKEND=keyfile XDG_CURRENT_DESKTOP=GNOME RINGLOG_DESKTOP_SERVICES_NEED_DISPLAY=1
            mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
        fi
        shift
        mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
    fi
    if [ -n "${RINGLOG_PHONE_SESSION:-}" ]; then
        export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share" XDG_CONFIG_HOME="$scratch/home/.config"
        export XDG_CACHE_HOME="$scratch/home/.cache" GSETTINGS_BACKEND=keyfile
        mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME/glib-2.0/settings" "$XDG_CACHE_HOME"
        if [ -n "${RINGLOG_PHONE_KEYBOARD:-}" ]; then
            printf '[org/gnome/desktop/a11y/applications]\nscreen-keyboard-enabled=true\n' \
                >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
        fi
    fi
    cat >"$scratch/session.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <keep_umask/>
  <listen>unix:tmpdir=/tmp</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    RINGLOG_IN_DESKTOP=1 dbus-run-session "${config[@]}" -- bash "$0" "$@" 2> >(grep -v "fd limit" >&2)
    status=$?
    rm -rf "$scratch"
    exit $status
fi
export RINGLOG_IN_DESKTOP=1
# The accessibility bus's socket goes into the runtime folder: one of our own, so that runs side
# by side do not share it.
XDG_RUNTIME_DIR=$(mktemp -d /tmp/ringlog-desktop-XXXXXX)
chmod 700 "$XDG_RUNTIME_DIR"
export XDG_RUNTIME_DIR
server=""
launcherPid=""
compositor=""
seatPid=""
# The processes of every connection to the bus but the bus itself and this script's own.
bus_clients() {
    local names name pid
    names=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames 2>/dev/null | grep -o 'string ":[^"]*"' | cut -d'"' -f2)
    for name in $names; do
        pid=$(dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.GetConnectionUnixProcessID "string:$name" 2>/dev/null | awk '/uint32/ {print $2}')
        [ -n "$pid" ] && [ "$pid" != "$$" ] && [ "$pid" != "$launcherPid" ] && echo "$pid"
    done | sort -u
}

cleanup() {
    local services=""
    # The bus is ours only when this script started it: never end the clients of a bus it was given.
    [ "$displayOnly" -eq 0 ] && services=$(bus_clients)
    if [ -n "$services" ]; then
        kill $services 2>/dev/null
        for _ in $(seq 50); do
            kill -0 $services 2>/dev/null || break
            sleep 0.05
        done
    fi
    [ -n "$launcherPid" ] && kill "$launcherPid" 2>/dev/null && wait "$launcherPid" 2>/dev/null
    [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    [ -n "$seatPid" ] && kill "$seatPid" 2>/dev/null && wait "$seatPid" 2>/dev/null
    [ -n "$compositor" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
    rm -rf "$XDG_RUNTIME_DIR"
}
trap cleanup EXIT

# Whether the name gets an owner on the session bus within 20 s.
wait_for_bus_name() {
    for _ in $(seq 400); do
        if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner "string:$1" 2>/dev/null | grep -q "boolean true"; then
            return 0
        fi
        sleep 0.05
    done
    return 1
}

if [ -n "${RINGLOG_PHONE_SESSION:-}" ]; then
    unset DISPLAY
    cat >"$XDG_RUNTIME_DIR/phoc.ini" <<'INI'
[core]
xwayland=false

[output:HEADLESS-1]
mode=720x1440
scale=2
INI
    # Its log says which activation tokens it took.
    G_MESSAGES_DEBUG=phoc-xdg-activation-v1 WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_NO_HARDWARE_CURSORS=1 \
        phoc -C "$XDG_RUNTIME_DIR/phoc.ini" >"$XDG_RUNTIME_DIR/phoc.log" 2>&1 &
    compositor=$!
    for _ in $(seq 200); do
        [ -S "$XDG_RUNTIME_DIR/wayland-0" ] && break
        sleep 0.05
    done
    if [ ! -S "$XDG_RUNTIME_DIR/wayland-0" ]; then
        echo "the compositor did not come up:" >&2
        cat "$XDG_RUNTIME_DIR/phoc.log" >&2
        exit 1
    fi
    export WAYLAND_DISPLAY=wayland-0 QT_QPA_PLATFORM=wayland XDG_SESSION_TYPE=wayland
    if [ -n "${RINGLOG_DESKTOP_SERVICES_NEED_DISPLAY:-}" ]; then
        dbus-update-activation-environment WAYLAND_DISPLAY XDG_RUNTIME_DIR
    fi
    # Without an input device the compositor has no seat: no keyboard focus, no text input.
    seatProgram=${RINGLOG_PHONE_SEAT:-$(dirname "$0")/../../build/bin/phoneseat}
    exec 4< <("$seatProgram")
    seatPid=$!
    read -r -t 10 ready <&4
    if [ "${ready:-}" != "ready" ]; then
        echo "the compositor got no seat from $seatProgram" >&2
        exit 1
    fi
    if [ -n "${RINGLOG_PHONE_KEYBOARD:-}" ]; then
        squeekboard >"$XDG_RUNTIME_DIR/keyboard.log" 2>&1 &
        if ! wait_for_bus_name sm.puri.OSK0; then
            echo "the on-screen keyboard did not come up:" >&2
            cat "$XDG_RUNTIME_DIR/keyboard.log" >&2
            exit 1
        fi
    fi
    "$@"
    exit
fi

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
# The portal's desktop side is a GTK program the bus starts on demand: it needs the display.
if [ -n "${RINGLOG_DESKTOP_SERVICES_NEED_DISPLAY:-}" ]; then
    dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR
fi

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
if ! wait_for_bus_name org.a11y.Bus; then
    echo "the accessibility bus did not come up" >&2
    exit 1
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
"$@"
