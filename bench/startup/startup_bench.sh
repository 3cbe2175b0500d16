#!/usr/bin/env bash
# Start-up of ringlog as a user meets it: a fresh process on a store it has not read yet, under a
# virtual X server, from just before the start of the process to the first frame on the screen that
# shows the settled list (bench/startup/screenwatch polls the root window), and the peak resident
# memory (VmHWM). Beside it, the program's own first-paint report (ringlog-startupbench). Writes a
# table to standard output, the figures to docs/startup.tsv and, where gnuplot is installed, the
# plot docs/startup.png. Not run by CTest.
#   bench/startup/startup_bench.sh [BUILD_DIR] [RUNS] [SIZES...]
# Stores of demo calls are made once in /tmp/ringlog-startup-N.db and kept for later runs.
set -euo pipefail

cd "$(dirname "$0")/../.."
# The virtual X server of the tests' one launcher. The phone window is 268 × 426 pixels: a screen not
# much larger keeps each poll cheap.
if [ -z "${RINGLOG_IN_DESKTOP:-}" ]; then
    RINGLOG_DESKTOP_SCREEN=320x480x24 exec bash tests/support/withdesktop.sh --display-only \
        bash bench/startup/startup_bench.sh "$@"
fi
bin="${1:-build}/bin"
runs="${2:-5}"
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -eq 0 ] && sizes=(0 1000 10000 100000 1000000)
out=docs/startup.tsv

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

export RINGLOG_RUNTIME_DIR="$work" XDG_RUNTIME_DIR="$work"
export QT_QPA_PLATFORM=xcb

median() { sort -n | sed -n "$(( (runs + 1) / 2 ))p"; }

echo "# $(date -u '+%F %T UTC'), $(nproc) cores, load average at start: $(cut -d' ' -f1-3 /proc/loadavg)" >"$out"
printf '# calls\truns\tscreen_min_ms\tscreen_median_ms\tscreen_max_ms\town_paint_median_ms\tcpu_median_ms\tpeak_rss_mib\n' \
    >>"$out"
printf '%8s %5s %10s %10s %10s %10s %8s %9s\n' calls runs min_ms median_ms max_ms own_ms cpu_ms rss_mib
for calls in "${sizes[@]}"; do
    store="/tmp/ringlog-startup-$calls.db"
    if [ ! -f "$store" ]; then
        if [ "$calls" -eq 0 ]; then
            "$bin/ringlog-tool" --store "$store" list >/dev/null
        else
            "$bin/ringlog-tool" --store "$store" demo --calls "$calls" --seed 7 >/dev/null
        fi
    fi
    : >"$work/screen"
    : >"$work/own"
    : >"$work/cpu"
    : >"$work/rss"
    for _ in $(seq "$runs"); do
        # The shipped program, watched from outside.
        read -r _ screen _ _ _ rss _ cpu < <("$bin/screenwatch" -- "$bin/ringlog" --store "$store")
        echo "$screen" >>"$work/screen"
        echo "$cpu" >>"$work/cpu"
        echo "$rss" >>"$work/rss"
        # The same start with the first-paint report, which ends the program at its first paint.
        start=$(date +%s.%N)
        report=$("$bin/ringlog-startupbench" --store "$store" 2>&1 >/dev/null | grep '^first-paint' || true)
        if [ -z "$report" ]; then
            echo "no first paint reported for $calls calls" >&2
            exit 1
        fi
        set -- $report
        echo "($2 - $start) * 1000" | bc -l >>"$work/own"
    done
    min=$(sort -n "$work/screen" | head -n 1)
    max=$(sort -n "$work/screen" | tail -n 1)
    med=$(median <"$work/screen")
    own=$(median <"$work/own")
    cpu=$(median <"$work/cpu")
    rss=$(echo "$(sort -n "$work/rss" | tail -n 1) / 1024" | bc -l)
    printf '%8d %5d %10.0f %10.0f %10.0f %10.0f %8.0f %9.1f\n' "$calls" "$runs" "$min" "$med" "$max" "$own" "$cpu" "$rss"
    printf '%d\t%d\t%.0f\t%.0f\t%.0f\t%.0f\t%.0f\t%.1f\n' "$calls" "$runs" "$min" "$med" "$max" "$own" "$cpu" "$rss" >>"$out"
done
echo "load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "# load average at the end: $(cut -d' ' -f1-3 /proc/loadavg)" >>"$out"

if command -v gnuplot >/dev/null; then
    gnuplot bench/startup/startup_plot.gp && echo "wrote docs/startup.png"
fi
