#!/usr/bin/env bash
# Runs every libFuzzer target of build-fuzz/ for SECONDS each (default 60), one after the other,
# each on a working copy of its seed corpus, with its dictionary. Findings go to
# build-fuzz/findings/<target>/; the last lines of each run's log are printed.
#   bash fuzz/run.sh [SECONDS] [TARGET...]
# FUZZ_RUNS=N stops a target after N executions if that comes first.
set -uo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(citydb resources csv callentry vcard)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for target in "${targets[@]}"; do
    binary=build-fuzz/bin/fuzz_$target
    work=build-fuzz/corpus/$target
    findings=build-fuzz/findings/$target
    mkdir -p "$work" "$findings"
    cp -n fuzz/corpus/"$target"/* "$work"/ 2>/dev/null
    dict=()
    [ -f fuzz/dict/"$target".dict ] && dict=(-dict=fuzz/dict/"$target".dict)
    echo "== $target: $seconds s"
    "$binary" "$work" "${dict[@]}" -max_total_time="$seconds" -artifact_prefix="$findings"/ -print_final_stats=1 \
        -runs="${FUZZ_RUNS:--1}" -timeout=10 -rss_limit_mb=2048 >build-fuzz/fuzz-"$target".log 2>&1 || status=1
    grep -E "^#[0-9]+.*(DONE|pulse)|stat::number_of_executed_units|stat::peak_rss|ERROR|SUMMARY" \
        build-fuzz/fuzz-"$target".log | tail -4
    grep -E "cov: [0-9]+" -o build-fuzz/fuzz-"$target".log | tail -1
done
exit $status
