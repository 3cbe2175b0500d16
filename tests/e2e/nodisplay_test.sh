#!/usr/bin/env bash
# ringlog where there is no display at all (no DISPLAY, no WAYLAND_DISPLAY, no QT_QPA_PLATFORM):
# --screenshot draws the phone off-screen and writes its picture; a plain start, and a start on a
# call log it refuses, end with one line on standard error and exit code 1, never an abort.
#   nodisplay_test.sh BIN_DIR
set -uo pipefail
# An abort on the old path leaves no core file behind.
ulimit -c 0

bin=$1
work=$(mktemp -d /tmp/ringlog-nodisplay-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Runs ringlog without a display; its exit code goes to code, its output to out and err.
run_without_display() {
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work" \
        timeout 60 "$bin/ringlog" "$@" >"$work/out" 2>"$work/err"
    code=$?
}
# The width and height of a PNG file, from its header.
png_size() {
    file -b "$1" | sed -n 's/^PNG image data, \([0-9]* x [0-9]*\),.*/\1/p'
}

run_without_display --store "$work/phone.db" --screenshot "$work/screen.png"
[ "$code" -eq 0 ] || fail "--screenshot without a display ended with $code: $(head -3 "$work/err")"
size=$(png_size "$work/screen.png")
[ -n "$size" ] || fail "--screenshot without a display wrote no PNG"
# The same picture as one drawn on the off-screen platform chosen by hand.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work" \
    timeout 60 "$bin/ringlog" --store "$work/phone.db" --screenshot "$work/offscreen.png" 2>/dev/null ||
    fail "--screenshot on the off-screen platform failed"
[ "$size" = "$(png_size "$work/offscreen.png")" ] ||
    fail "the picture is $size, on the off-screen platform $(png_size "$work/offscreen.png")"

# Exit code 1 and a single line that names the missing display.
run_without_display --store "$work/phone.db"
[ "$code" -eq 1 ] || fail "a start without a display ended with $code: $(head -3 "$work/err")"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "a start without a display wrote: $(cat "$work/err")"
grep -q "display" "$work/err" || fail "the line does not name the display: $(cat "$work/err")"

# A refused call log: its reason is the one line.
head -c 100 "$work/phone.db" >"$work/truncated.db"
run_without_display --store "$work/truncated.db"
[ "$code" -eq 1 ] || fail "a refused start without a display ended with $code: $(head -3 "$work/err")"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "a refused start without a display wrote: $(cat "$work/err")"

[ "$failures" -eq 0 ] || exit 1
echo "without a display: the picture ($size) written, a start refused in one line"
