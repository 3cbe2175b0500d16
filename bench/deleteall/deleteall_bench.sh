#!/usr/bin/env bash
# Delete All as the menu does it: `ringlog-tool --store FILE delete --all`, each run a fresh process
# on a store made anew just before it, so every run deletes a full log. Stores: our own (WAL) of
# 1,000, 10,000 and 100,000 demo calls; GNOME Calls' and Plasma Dialer's histories of 2,000 calls in
# rollback-journal mode. Beside each, the bare `sqlite3 FILE "DELETE FROM <table>"` on a store made
# the same way, as a floor. Prints median, min and max seconds. Not run by CTest.
#   bash bench/deleteall/deleteall_bench.sh [BUILD_DIR] [RUNS]
set -euo pipefail

cd "$(dirname "$0")/../.."
tool="${1:-build}/bin/ringlog-tool"
runs="${2:-5}"
work=$(mktemp -d /var/tmp/ringlog-deleteall.XXXXXX)
trap 'rm -rf "$work"' EXIT

# make KIND CALLS FILE: a fresh store of CALLS calls.
make_store() {
    rm -f "$3" "$3"-wal "$3"-shm "$3"-journal
    case "$1" in
    ringlog) "$tool" --store "$3" demo --calls "$2" --seed 1 >/dev/null ;;
    gnome-calls) sqlite3 "$3" <<EOF
CREATE TABLE calls (id INTEGER PRIMARY KEY, target TEXT NOT NULL DEFAULT '', inbound BOOLEAN NOT NULL,
    start TEXT NOT NULL, answered TEXT, end TEXT, protocol TEXT);
WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < $2)
INSERT INTO calls (target, inbound, start, answered, end, protocol)
SELECT printf('tel:+1206386%04d', i), i % 2, strftime('%Y-%m-%dT%H:%M:%S.123456Z', t, 'unixepoch'),
    CASE WHEN i % 3 = 0 THEN NULL ELSE strftime('%Y-%m-%dT%H:%M:%S.123456Z', t, 'unixepoch') END,
    strftime('%Y-%m-%dT%H:%M:%SZ', t + 90, 'unixepoch'), 'tel'
FROM (SELECT i, 1796832000 - ($2 - i) * 600 AS t FROM c);
EOF
    ;;
    plasma-dialer) sqlite3 "$3" <<EOF
CREATE TABLE History (id INTEGER PRIMARY KEY AUTOINCREMENT, protocol TEXT, account TEXT, provider TEXT,
    communicationWith TEXT, direction INTEGER, state INTEGER, stateReason INTEGER, callAttribute INTEGER,
    startedAt TEXT, duration INTEGER);
WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < $2)
INSERT INTO History (protocol, account, provider, communicationWith, direction, state, stateReason,
    callAttribute, startedAt, duration)
SELECT 'tel', '', '', printf('+1206386%04d', i), 1 + i % 2, 0, CASE WHEN i % 2 = 0 THEN 3 ELSE 0 END, 0,
    strftime('%Y-%m-%dT%H:%M:%S', 1796803200 - ($2 - i) * 600, 'unixepoch'), 90
FROM c;
EOF
    ;;
    esac
}

table_of() {
    case "$1" in ringlog) echo records ;; gnome-calls) echo calls ;; plasma-dialer) echo History ;; esac
}

# stats: median, min and max of the numbers on standard input.
stats() {
    sort -n | awk '{ v[NR] = $1 } END { printf "%10.3f %10.3f %10.3f", v[int((NR + 1) / 2)], v[1], v[NR] }'
}

now() { date +%s.%N; }

printf '%-14s %8s %10s %10s %10s %12s\n' store calls median_s min_s max_s bare_median_s
for spec in ringlog:1000 ringlog:10000 ringlog:100000 gnome-calls:2000 plasma-dialer:2000; do
    kind=${spec%%:*}
    calls=${spec##*:}
    table=$(table_of "$kind")
    store="$work/$kind-$calls.db"

    make_store "$kind" "$calls" "$store"
    listed=$("$tool" --store "$store" list | wc -l)
    if [ "$listed" -ne "$calls" ]; then
        echo "$kind: ringlog-tool lists $listed calls of $calls" >&2
        exit 1
    fi
    journal=$(sqlite3 "$store" 'PRAGMA journal_mode')
    if [ "$kind" != ringlog ] && [ "$journal" != delete ]; then
        echo "$kind: journal mode $journal, not delete" >&2
        exit 1
    fi

    times=()
    bare=()
    for _ in $(seq "$runs"); do
        make_store "$kind" "$calls" "$store"
        sync
        start=$(now)
        "$tool" --store "$store" delete --all >/dev/null
        end=$(now)
        left=$(sqlite3 "$store" "SELECT count(*) FROM $table")
        if [ "$left" -ne 0 ]; then
            echo "$kind $calls: $left calls left after delete --all" >&2
            exit 1
        fi
        times+=("$(echo "$end - $start" | bc -l)")

        make_store "$kind" "$calls" "$store"
        sync
        start=$(now)
        sqlite3 "$store" "DELETE FROM $table"
        end=$(now)
        bare+=("$(echo "$end - $start" | bc -l)")
    done
    printf '%-14s %8d %s %12.3f\n' "$kind" "$calls" "$(printf '%s\n' "${times[@]}" | stats)" \
        "$(printf '%s\n' "${bare[@]}" | stats | awk '{ print $1 }')"
done
