#!/usr/bin/env bash
# Start-up of ringlog as a user meets it: a fresh process on a store it has not read yet, under a
# virtual X server, from the start of the process to the first paint of the list (rows on screen),
# and the peak resident memory at that moment. Not run by CTest.
#   bench/startup/startup_bench.sh [BUILD_DIR] [RUNS]
# Stores of 0, 1,000, 10,000 and 100,000 demo calls are made once in /tmp/ringlog-startup-N.db.
set -euo pipefail

cd "$(dirname "$0")/../.."
# The virtual X server of the one launcher of the tests.
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    exec bash tests/support/withdesktop.sh --display-only bash bench/startup/startup_bench.sh "$@"
fi
bin="${1:-build}/bin"
runs="${2:-5}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work"
export QT_QPA_PLATFORM=xcb
printf '%8s %6s %10s %10s %10s %12s %12s\n' calls runs min_ms median_ms max_ms cpu_ms_med peak_rss_mib
for calls in 0 1000 10000 100000; do
    store="/tmp/ringlog-startup-$calls.db"
    if [ ! -f "$store" ]; then
        if [ "$calls" -eq 0 ]; then
            "$bin/ringlog-tool" --store "$store" list >/dev/null
        else
            "$bin/ringlog-tool" --store "$store" demo --calls "$calls" --seed 7 >/dev/null
        fi
    fi
    times=()
    cpus=()
    peak=0
    for _ in $(seq "$runs"); do
        start=$(date +%s.%N)
        report=$("$bin/ringlog-startupbench" --store "$store" 2>&1 >/dev/null | grep '^first-paint' || true)
        if [ -z "$report" ]; then
            echo "no first paint reported for $calls calls" >&2
            exit 1
        fi
        set -- $report
        times+=("$(echo "($2 - $start) * 1000" | bc -l)")
        cpus+=("$8")
        [ "$6" -gt "$peak" ] && peak=$6
    done
    sorted=$(printf '%s\n' "${times[@]}" | sort -n)
    min=$(echo "$sorted" | head -n 1)
    max=$(echo "$sorted" | tail -n 1)
    median=$(echo "$sorted" | sed -n "$(( (runs + 1) / 2 ))p")
    cpu=$(printf '%s\n' "${cpus[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
    printf '%8d %6d %10.0f %10.0f %10.0f %12.0f %12.1f\n' "$calls" "$runs" "$min" "$median" "$max" "$cpu" \
        "$(echo "$peak / 1024" | bc -l)"
done
