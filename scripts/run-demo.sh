#!/usr/bin/env bash
# Starts ringlog on a demo call log.
#   scripts/run-demo.sh [RINGLOG ARGS...]
# The demo store is made at every start with `ringlog-tool demo` (an empty store when the tool cannot) in
# $RINGLOG_DEMO_DIR (default: /tmp/ringlog-demo). With no display ($DISPLAY and $WAYLAND_DISPLAY
# unset) the phone screen is rendered to a PNG file instead, and its path printed.
# RINGLOG_BUILD_DIR chooses the build tree (default: build).
set -euo pipefail

cd "$(dirname "$0")/.."
bin="${RINGLOG_BUILD_DIR:-build}/bin"
demo_dir="${RINGLOG_DEMO_DIR:-${TMPDIR:-/tmp}/ringlog-demo}"
store="$demo_dir/phone.db"

if [ ! -x "$bin/ringlog" ]; then
    echo "run-demo: $bin/ringlog is not built (bash scripts/setup.sh run builds it)" >&2
    exit 1
fi

mkdir -p "$demo_dir"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    # Qt wants a private runtime folder; without a session there is none.
    export XDG_RUNTIME_DIR="$demo_dir/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
# Made afresh at every start, so the demo always has calls from today.
if [ -x "$bin/ringlog-tool" ] && "$bin/ringlog-tool" --help 2>/dev/null | grep -q '^  demo'; then
    "$bin/ringlog-tool" --store "$store" demo >/dev/null
    echo "Demo call log made in $store"
else
    # ringlog creates a missing store empty.
    echo "ringlog-tool cannot make a demo call log; starting on the store in $store"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    picture="$demo_dir/ringlog-screen.png"
    QT_QPA_PLATFORM=offscreen "$bin/ringlog" --store "$store" --screenshot "$picture" "$@"
    echo "No display here: the phone screen was rendered to $picture"
    exit 0
fi

exec "$bin/ringlog" --store "$store" "$@"
