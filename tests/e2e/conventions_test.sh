#!/usr/bin/env bash
# The conventions of a Linux program, on the real binaries: --help and --version answered before
# anything else (no display, no call log, another ringlog running), a wrong switch refused with the
# usage; the window's X11 class as the desktop entry names it; a call log refused at start (a
# truncated store, 64 KiB of random bytes) told on the phone's screen, read by a screen reader,
# until a key ends the program with 1.
#   conventions_test.sh BIN_DIR DESKTOP_ENTRY
set -euo pipefail
bin="$1"
entry="$2"
support="$(cd "$(dirname "$0")/../support" && pwd)"

# A desktop of its own: a session bus, a virtual X server and the accessibility bus.
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    exec bash "$support/withdesktop.sh" bash "$0" "$@"
fi

work=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# Waits until the screen reader reads a line matching the pattern.
wait_for() {
    for _ in $(seq 100); do
        /usr/bin/python3 "$support/atspi.py" ringlog 60 >"$work/tree" 2>/dev/null || true
        grep -qE "$1" "$work/tree" && return 0
        sleep 0.2
    done
    cat "$work/tree" >&2
    fail "never read: $1"
}
# The program's visible window, once it is shown.
wait_for_window() {
    for _ in $(seq 300); do
        window=$(xdotool search --onlyvisible --name '^Zonrik Ringlog$' 2>/dev/null | head -n 1 || true)
        [ -n "$window" ] && return 0
        sleep 0.1
    done
    cat "$work/err" >&2 || true
    fail "no window"
}
# The exit code of the program started last, once it has ended (a minute at most).
wait_for_end() {
    for _ in $(seq 600); do
        kill -0 "$app" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$app" 2>/dev/null && fail "the program did not end"
    status=0
    wait "$app" || status=$?
    app=
}

export QT_QPA_PLATFORM=xcb RINGLOG_RUNTIME_DIR="$work" TZ=UTC LC_ALL=C
# The program ends at once and frees nothing on purpose; in a sanitizer build the desktop libraries'
# allocations would otherwise count as leaks and change the exit code.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

store="$work/phone.db"
"$bin/ringlog-tool" --store "$store" demo --calls 5 >/dev/null

# The window's X11 class is what the desktop entry says it is.
"$bin/ringlog" --store "$store" &
app=$!
wait_for_window
class=$(xprop -id "$window" WM_CLASS)
wanted=$(sed -n 's/^StartupWMClass=//p' "$entry")
[ -n "$wanted" ] || fail "the desktop entry has no StartupWMClass"
echo "$class" | grep -qE "^WM_CLASS\(STRING\) = \"[^\"]*\", \"$wanted\"$" || fail "class $class, entry $wanted"

# --help and --version while that one runs on the same store, without a display, and with a store
# that is no call log: answered all the same, on standard output.
echo "not a call log" >"$work/text.db"
for program in ringlog ringlog-tool; do
    for st in "$store" "$work/text.db"; do
        out=$(env -u DISPLAY "$bin/$program" --store "$st" --version) || fail "$program --version ended with $?"
        [ "$out" = "$program (Zonrik Ringlog) 1.6.0" ] || fail "$program --version said '$out'"
        env -u DISPLAY "$bin/$program" --store "$st" --help >"$work/help" 2>"$work/err" ||
            fail "$program --help ended with $?"
        grep -q "^usage: $program " "$work/help" || fail "$program --help: $(cat "$work/help")"
        grep -q -- "--version" "$work/help" || fail "$program --help does not name --version"
        [ -s "$work/err" ] && fail "$program --help wrote to standard error: $(cat "$work/err")"
    done
    status=0
    "$bin/$program" --bogus >"$work/out" 2>"$work/err" || status=$?
    [ "$status" -eq 2 ] || fail "$program --bogus ended with $status"
    [ -s "$work/out" ] && fail "$program --bogus wrote to standard output"
    grep -q -- "--bogus" "$work/err" || fail "$program --bogus: $(cat "$work/err")"
done
kill -0 "$app" || fail "the running program ended"
xdotool key --window "$window" F4
wait_for_end
[ "$status" -eq 0 ] || fail "End ended with $status"

# Call logs refused at start: the reason on the phone's screen and on standard error; Enter, or
# the window's close, ends the program with 1 and leaves the file as it was.
head -c 8192 "$store" >"$work/truncated.db"
head -c 65536 /dev/urandom >"$work/random.db"
for broken in truncated random; do
    file="$work/$broken.db"
    sum=$(sha256sum <"$file")
    "$bin/ringlog" --store "$file" 2>"$work/err" &
    app=$!
    wait_for_window
    wait_for "^ +label \| $file is not a call log .*showing"
    grep -qE '^ +push button \| OK \|' "$work/tree" || fail "the box's OK button"
    grep -qx "ringlog: $file is not a call log .*" "$work/err" || fail "standard error: $(cat "$work/err")"
    kill -0 "$app" || fail "the program ended before the box was answered"
    wait_for_window
    xdotool mousemove --window "$window" 100 100 key Return
    wait_for_end
    [ "$status" -eq 1 ] || fail "the refused $broken store ended with $status"
    [ "$(sha256sum <"$file")" = "$sum" ] || fail "the $broken store was changed"
done
echo "--help, --version, the window's class and refused call logs behave as a Linux program's"
