#!/usr/bin/env bash
# What a screen reader reads of ringlog over AT-SPI, on a private D-Bus session and a private X
# server: the reverse lookup with typed digits before and after a screen turn, the call list with
# its rows and their selected state, the soft keys, the open main menu with its items, the Filter
# submenu with its check mark, the message of an empty filter, the Find dialog and a list under a
# search, and the message that says why a Delete did not happen.
#   atspi_test.sh BIN_DIR
set -euo pipefail
bin="$1"
support="$(cd "$(dirname "$0")/../support" && pwd)"

# The desktop of its own: a session bus, a virtual X server and the accessibility bus.
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    exec bash "$support/withdesktop.sh" bash "$0" "$@"
fi

work=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    [ -n "${holder:-}" ] && kill "$holder" 2>/dev/null || true
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
    /usr/bin/python3 "$support/atspi.py" ringlog 60 > "$work/tree" || fail "ringlog not on the accessibility bus"
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

export QT_QPA_PLATFORM=xcb RINGLOG_RUNTIME_DIR="$work" TZ=UTC LC_ALL=C
# A key that lands on Export Calls writes into this run's home, not the user's.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
# The program ends at once and frees nothing on purpose; in a sanitizer build the desktop libraries'
# allocations would otherwise count as leaks and change the exit code.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

store="$work/phone.db"
"$bin/ringlog-tool" --store "$store" add --type incoming --start "2025-03-04 15:04:00Z" --number 2063861234 \
    --name "Grace Hopper" >/dev/null
"$bin/ringlog-tool" --store "$store" add --type outgoing --start "2025-03-04 14:00:00Z" --number 4258826683 >/dev/null

# The reverse lookup from the menu, past the greyed Undo Delete, which the keys skip: six digits
# typed give the city and state, and both stay when the screen turns. The End key then ends the
# program with 0.
"$bin/ringlog" --store "$store" &
app=$!
wait_for '^ +list item \| Grace Hopper'
xdotool key F2
wait_for '^ +popup menu \|'
xdotool key --delay 100 Down Down Down Down Down Return
wait_for '^ +text \|  \|'
xdotool type --delay 100 206386
wait_for '^ +label \| Seattle, WA \|.*showing'
grep -qE '^ +text \| 206386 \|' "$work/tree" || fail "the typed digits"
# The turn is read once what the screen reader reads has changed.
cp "$work/tree" "$work/before-turn"
xdotool key F9
for _ in $(seq 100); do
    read_tree
    cmp -s "$work/tree" "$work/before-turn" || break
    sleep 0.2
done
cmp -s "$work/tree" "$work/before-turn" && fail "the screen did not turn"
wait_for '^ +label \| Seattle, WA \|.*showing'
grep -qE '^ +text \| 206386 \|.*showing' "$work/tree" || fail "the digits after the turn"
xdotool key F4
status=0
wait "$app" || status=$?
app=
[ "$status" -eq 0 ] || fail "End in the reverse lookup ended with $status"

"$bin/ringlog" --store "$store" &
app=$!

wait_for '^ +list item \| Grace Hopper, 3/4/25, \(206\) 386-1234, Seattle, WA \|.*selected'
grep -qE '^ +list item \| \(425\) 882-6683, 3/4/25, Redmond, WA \|' "$work/tree" || fail "second row"
grep -qE '^ +list \|.*focused' "$work/tree" || fail "the list has the focus"
grep -qE '^ +push button \| Call \|' "$work/tree" || fail "left soft key"
grep -qE '^ +push button \| Menu \|' "$work/tree" || fail "right soft key"
# Down moves the selection, and the screen reader's focus with it.
xdotool key Down
wait_for '^ +list item \| \(425\) 882-6683, 3/4/25, Redmond, WA \|.*selected,focused'
xdotool key Up
wait_for '^ +list item \| Grace Hopper, .*selected,focused'

# The right soft key opens the main menu: a menu under the soft keys, with its items.
xdotool key F2
wait_for '^ +popup menu \|'
for item in "Delete" "Delete All" "Filter" "Find" "Reverse Lookup" "Export Calls" "About" "Quit"; do
    grep -qE "^ +menu item \| $item \| +\|.*enabled" "$work/tree" || fail "menu item $item"
done
# Nothing was deleted yet: Undo Delete is there, greyed.
grep -qE "^ +menu item \| Undo Delete \| +\|" "$work/tree" || fail "menu item Undo Delete"
grep -qE "^ +menu item \| Undo Delete \| +\|.*enabled" "$work/tree" && fail "Undo Delete enabled with nothing to undo"
grep -qE '^ +menu item \| All Calls \| +\|.*checked' "$work/tree" || fail "All Calls checked"
grep -qE '^ +menu item \| Missed Calls \| +\|' "$work/tree" || fail "Missed Calls in the submenu"
grep -qE '^ +menu item \| This Number \| +\|.*enabled' "$work/tree" || fail "This Number in the submenu"

# Filter > Missed Calls from the keyboard: the list is empty and says so.
xdotool key Down Down Down Right Down Return
wait_for '^ +list \|  \| No Missed Calls in Call Log \|'
grep -q 'list item' "$work/tree" && fail "rows under an empty filter"

# Find from the menu: the dialog's title and its one field, which has the focus.
xdotool key F2
wait_for '^ +popup menu \|'
# Delete and Delete All are greyed on the empty list, and the keys skip them.
xdotool key --delay 100 Down Down Return
wait_for '^ +text \|  \|.*focused'
grep -qE '^ +label \| Find \|' "$work/tree" || fail "the Find dialog's title"
grep -qE '^ +label \| Name, number or place \|' "$work/tree" || fail "the Find dialog's prompt"
# A search within Missed Calls finds nothing and says so; the title reads the search.
xdotool type --delay 100 seattle
xdotool key Return
wait_for '^ +list \|  \| No Matching Calls \|'
grep -qE '^ +label \| Find: seattle \|' "$work/tree" || fail "the title of a search with no match"
# Incoming Calls keeps the search: its one row is read, the other call is not.
xdotool key F2
wait_for '^ +popup menu \|'
xdotool key --delay 100 Down Right Down Down Return
wait_for '^ +list item \| Grace Hopper, .*selected'
grep -qE '^ +label \| Find: seattle \|' "$work/tree" || fail "the title of the search on a list"
grep -q 'Redmond' "$work/tree" && fail "a row the search does not find"
xdotool key F4
wait "$app" || true
app=

# A dialler holds the log while the user deletes the second call: the message box says why, is
# read out, and closes with Enter; the call stays, selected.
mkfifo "$work/release"
/usr/bin/python3 -c '
import sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("BEGIN IMMEDIATE")
db.execute("DELETE FROM records")
print("held", flush=True)
open(sys.argv[2]).read()
db.execute("ROLLBACK")
' "$store" "$work/release" > "$work/holder" &
holder=$!
for _ in $(seq 100); do
    grep -q held "$work/holder" && break
    sleep 0.1
done
grep -q held "$work/holder" || fail "the lock was not taken"
"$bin/ringlog" --store "$store" &
app=$!
wait_for '^ +list item \| Grace Hopper, .*selected'
xdotool key Down
wait_for '^ +list item \| \(425\) 882-6683, .*selected'
xdotool key F2
wait_for '^ +popup menu \|'
xdotool key --delay 100 Down Return
wait_for 'The call was not deleted\. The call log is in use by another program\.'
grep -qE '^ +push button \| OK \|' "$work/tree" || fail "the message box's OK button"
echo > "$work/release"
wait "$holder"
holder=
xdotool key Return
wait_for '^ +list item \| \(425\) 882-6683, .*selected'
grep -q 'The call was not deleted' "$work/tree" && fail "the message box stayed"
[ "$("$bin/ringlog-tool" --store "$store" list | wc -l)" -eq 2 ] || fail "a call was deleted"
xdotool key F4
wait "$app" || true
app=

# A drag up a long list with the mouse, as a finger drags it: the rows it moved out of view are read
# as not showing, and the first row stays the only one selected (the drag is no tap).
long="$work/long.db"
"$bin/ringlog-tool" --store "$long" demo --calls 30 --seed 1 >/dev/null
"$bin/ringlog" --store "$long" &
app=$!
wait_for '^ +list item \|.*selected.*showing$'
first=$(grep -m1 -E '^ +list item \|' "$work/tree" | cut -d'|' -f2)
# Where the third row is on the screen, and how high a row is.
read -r x y height < <(/usr/bin/python3 - "$support" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
import pyatspi
import atspi
def rows(node):
    if node.getRole() == pyatspi.ROLE_LIST_ITEM:
        return [node]
    found = []
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            found += rows(child)
        if len(found) > 2:
            break
    return found
box = rows(atspi.find_app("ringlog", 20))[2].queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
print(box.x + box.width // 2, box.y + box.height // 2, box.height)
PY
)
xdotool mousemove --sync "$x" "$y" mousedown 1
for step in $(seq 1 $((3 * height / 10))); do
    xdotool mousemove --sync "$x" $((y - 10 * step))
done
xdotool mouseup 1
for _ in $(seq 100); do
    read_tree
    grep -m1 -E '^ +list item \|' "$work/tree" | grep -qv 'showing$' && break
    sleep 0.2
done
grep -m1 -E '^ +list item \|' "$work/tree" | grep -qv 'showing$' || fail "the first row still showing after the drag"
grep -qE '^ +list item \|.*showing$' "$work/tree" || fail "no row showing after the drag"
selected=$(grep -E '^ +list item \|.*selected' "$work/tree" | cut -d'|' -f2)
[ "$selected" = "$first" ] || fail "the drag selected another row: $selected"

echo "AT-SPI: list, rows, soft keys, menu, submenu, empty message, Find, a search, reverse lookup, a refused Delete and a drag read as expected"
exit 0
