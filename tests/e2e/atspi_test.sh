#!/usr/bin/env bash
# What a screen reader reads of ringlog over AT-SPI, on a private D-Bus session and a private X
# server: the call list with its rows and their selected state, the soft keys, the open main menu
# with its items, the Filter submenu with its check mark, and the message of an empty filter.
#   atspi_test.sh BIN_DIR
set -euo pipefail
bin="$1"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ -z "${ATSPI_TEST_INNER:-}" ]; then
    exec env ATSPI_TEST_INNER=1 dbus-run-session -- bash "$0" "$@"
fi

work=$(mktemp -d)
display=":$((200 + $$ % 500))"
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${bus:-}" ] && kill "$bus" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    echo "--- what the screen reader read:" >&2
    cat "$work/tree" >&2 || true
    exit 1
}
read_tree() {
    /usr/bin/python3 "$here/atspi_tree.py" ringlog 30 > "$work/tree" || fail "ringlog not on the accessibility bus"
}
# Waits until the screen reader reads a line matching the pattern.
wait_for() {
    for _ in $(seq 100); do
        read_tree
        grep -qE "$1" "$work/tree" && return 0
        sleep 0.2
    done
    fail "never read: $1"
}

Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display" QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work" TZ=UTC LC_ALL=C
for _ in $(seq 100); do
    DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break
    sleep 0.1
done
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
bus=$!

store="$work/phone.db"
"$bin/ringlog-tool" --store "$store" add --type incoming --start "2025-03-04 15:04:00Z" --number 2063861234 \
    --name "Grace Hopper" >/dev/null
"$bin/ringlog-tool" --store "$store" add --type outgoing --start "2025-03-04 14:00:00Z" --number 4258826683 >/dev/null

"$bin/ringlog" --store "$store" &
app=$!

wait_for '^ +list item \| Grace Hopper, 3/4/25, \(206\) 386-1234, Seattle, WA \|.*selected'
grep -qE '^ +list item \| \(425\) 882-6683, 3/4/25, Redmond, WA \|' "$work/tree" || fail "second row"
grep -qE '^ +list \|.*focused' "$work/tree" || fail "the list has the focus"
grep -qE '^ +push button \| Call \|' "$work/tree" || fail "left soft key"
grep -qE '^ +push button \| Menu \|' "$work/tree" || fail "right soft key"

# The right soft key opens the main menu: a menu under the soft keys, with its items.
xdotool key F2
wait_for '^ +popup menu \|'
for item in "Delete" "Delete All" "Filter" "Quit"; do
    grep -qE "^ +menu item \| $item \| +\|.*enabled" "$work/tree" || fail "menu item $item"
done
grep -qE '^ +menu item \| All Calls \| +\|.*checked' "$work/tree" || fail "All Calls checked"
grep -qE '^ +menu item \| Missed Calls \| +\|' "$work/tree" || fail "Missed Calls in the submenu"
if grep -qE '^ +menu item \| About \|.*enabled' "$work/tree"; then
    fail "About is offered before its dialog exists"
fi

# Filter > Missed Calls from the keyboard: the list is empty and says so.
xdotool key Down Down Down Right Down Return
wait_for '^ +list \|  \| No Missed Calls in Call Log \|'
grep -q 'list item' "$work/tree" && fail "rows under an empty filter"
echo "AT-SPI: list, rows, soft keys, menu, submenu and empty message read as expected"
exit 0
