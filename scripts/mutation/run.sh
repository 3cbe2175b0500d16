#!/usr/bin/env bash
# Mutation check: each line of scripts/mutation/mutants.tsv is a one-line fault put into the source;
# at least one test of its CTest regex must then fail ("killed"). Too slow for the normal test run
# (a rebuild and a test run per mutant). The build dir must be configured and built in full once:
#   cmake --preset default -DCMAKE_CXX_COMPILER_LAUNCHER=ccache && cmake --build build -- -j2
#   nice -n 10 scripts/mutation/run.sh [-b BUILD_DIR] [--no-baseline] [ID ...]
# With IDs, only those mutants run. The source file is always restored, also on Ctrl-C or a failure;
# the results are printed as a table and kept in BUILD_DIR/mutation/results.tsv, the logs beside.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=build
baseline=1
wanted=()
while [ $# -gt 0 ]; do
    case "$1" in
    -b) build=$2; shift 2 ;;
    --no-baseline) baseline=0; shift ;;
    -h | --help) sed -n '2,8p' "$0"; exit 0 ;;
    *) wanted+=("$1"); shift ;;
    esac
done
case "$build" in /*) ;; *) build="$root/$build" ;; esac
[ -f "$build/CMakeCache.txt" ] || { echo "run.sh: $build is no configured build dir" >&2; exit 2; }
out="$build/mutation"
mkdir -p "$out"
cd "$root"

# The mutants to run: id, file, original, replacement, regex, what (tab-separated, # comments).
mapfile -t lines < <(grep -v '^#' "$here/mutants.tsv" | grep -v '^[[:space:]]*$')
selected=()
for line in "${lines[@]}"; do
    IFS=$'\t' read -r id _ <<<"$line"
    if [ ${#wanted[@]} -eq 0 ] || printf '%s\n' "${wanted[@]}" | grep -qxF "$id"; then
        selected+=("$line")
    fi
done
[ ${#selected[@]} -gt 0 ] || { echo "run.sh: no mutant matches ${wanted[*]}" >&2; exit 2; }

# The test programs behind a regex, so that only they and what they link are rebuilt.
targets_of() {
    ctest --test-dir "$build" -N -R "$1" --show-only=json-v1 2>/dev/null | python3 -c '
import json, os, sys
names = set()
for test in json.load(sys.stdin).get("tests", []):
    command = test.get("command") or []
    if command and os.path.isfile(command[0]) and not command[0].endswith(("bash", "sh", "python3")):
        names.add(os.path.basename(command[0]))
print(" ".join(sorted(names)))'
}

# Replaces the one exact occurrence of the original text ("⏎" joins lines); fails loudly otherwise.
apply_mutant() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, original, replacement = sys.argv[1], sys.argv[2].replace("\u23ce", "\n"), sys.argv[3].replace("\u23ce", "\n")
text = open(path, encoding="utf-8").read()
count = text.count(original)
if count != 1:
    sys.exit(f"run.sh: the original text is found {count} times in {path}, not once: {original!r}")
open(path, "w", encoding="utf-8").write(text.replace(original, replacement, 1))
EOF
}

backup=""
mutated=""
restore() {
    if [ -n "$mutated" ] && [ -n "$backup" ]; then
        # Copied, not moved back with its old time: ninja must rebuild what the mutant built.
        cat "$backup" >"$mutated"
        rm -f "$backup"
        mutated=""
        backup=""
    fi
}
trap restore EXIT
trap 'restore; exit 130' INT TERM

declare -A all_targets=()
for line in "${selected[@]}"; do
    IFS=$'\t' read -r id file original replacement regex _ <<<"$line"
    targets=$(targets_of "$regex")
    [ -n "$targets" ] || { echo "run.sh: $id: no test program matches '$regex'" >&2; exit 2; }
    [ -f "$file" ] || { echo "run.sh: $id: no file $file" >&2; exit 2; }
    for target in $targets; do all_targets[$target]=1; done
done

build_targets() {
    local args=()
    for target in "$@"; do args+=(--target "$target"); done
    cmake --build "$build" "${args[@]}" -- -j2
}

if [ "$baseline" = 1 ]; then
    echo "== baseline: the tests of every selected mutant pass on the unmutated source"
    build_targets "${!all_targets[@]}" >"$out/baseline.build.log" 2>&1 ||
        { echo "run.sh: the unmutated build fails, see $out/baseline.build.log" >&2; exit 2; }
    regexes=$(for line in "${selected[@]}"; do IFS=$'\t' read -r _ _ _ _ regex _ <<<"$line"; echo "$regex"; done | sort -u)
    while read -r regex; do
        ctest --test-dir "$build" -R "$regex" --no-tests=error --timeout 300 >"$out/baseline.test.log" 2>&1 ||
            { echo "run.sh: '$regex' fails without a mutant, see $out/baseline.test.log" >&2; exit 2; }
    done <<<"$regexes"
fi

results="$out/results.tsv"
: >"$results"
for line in "${selected[@]}"; do
    IFS=$'\t' read -r id file original replacement regex _ <<<"$line"
    targets=$(targets_of "$regex")
    backup=$(mktemp)
    cp "$file" "$backup"
    mutated=$file
    apply_mutant "$file" "$original" "$replacement"
    start=$SECONDS
    # shellcheck disable=SC2086
    if ! build_targets $targets >"$out/$id.build.log" 2>&1; then
        status="build-error"
    elif timeout 900 ctest --test-dir "$build" -R "$regex" --no-tests=error --timeout 300 --stop-on-failure \
        >"$out/$id.test.log" 2>&1; then
        status=SURVIVED
    else
        status=killed
    fi
    restore
    printf '%s\t%s\t%s\t%ss\n' "$id" "$status" "$file" "$((SECONDS - start))" | tee -a "$results"
done

# Leaves the build as the source is, without a mutant's objects.
build_targets "${!all_targets[@]}" >"$out/final.build.log" 2>&1 || echo "run.sh: the final rebuild failed" >&2

echo
echo "id	status	file	time"
cat "$results"
total=$(wc -l <"$results")
killed=$(grep -c $'\tkilled\t' "$results" || true)
errors=$(grep -c $'\tbuild-error\t' "$results" || true)
echo "score: $killed killed of $total ($((100 * killed / total)) %)"
if [ "$errors" != 0 ]; then
    echo "run.sh: $errors mutants did not build: mend their lines in mutants.tsv" >&2
    exit 1
fi
