#!/usr/bin/env bash
# A flick's frame time: ringlog-scrollbench on a phone-sized virtual X screen (360 x 720 at scale 2)
# flicks the call list five times from the top and reports the paint time of every frame the
# scroller drew. Not run by CTest.
#   bench/scroll/scroll_bench.sh [BUILD_DIR] [RUNS]
# Stores of 10,000 and 100,000 demo calls are made once in /tmp/ringlog-scroll-N.db.
set -euo pipefail

cd "$(dirname "$0")/../.."
bin="${1:-build}/bin"
runs="${2:-3}"

# The virtual X server of the tests' one launcher, its screen the phone's.
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    RINGLOG_DESKTOP_SCREEN=360x720x24 exec bash tests/support/withdesktop.sh --display-only \
        bash bench/scroll/scroll_bench.sh "$@"
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work"
export QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2
for calls in 10000 100000; do
    store="/tmp/ringlog-scroll-$calls.db"
    if [ ! -f "$store" ]; then
        "$bin/ringlog-tool" --store "$store" demo --calls "$calls" --seed 1 >/dev/null
    fi
    for _ in $(seq "$runs"); do
        "$bin/ringlog-scrollbench" --store "$store" 2>&1 >/dev/null | grep '^flick' || {
            echo "no flick reported for $calls calls" >&2
            exit 1
        }
    done
done
