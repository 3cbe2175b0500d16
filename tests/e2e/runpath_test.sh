#!/usr/bin/env bash
# The library search paths of the build tree. The dynamic loader reads an empty entry of a RUNPATH
# or RPATH (two colons together, a colon at either end, an empty path) as the current folder, so no
# program or shared object of the build may carry one. Then the programs and the address-book
# module run from a folder holding a library planted under every name they load, which announces
# itself when loaded: the planted library must stay unloaded and the programs must work.
#   runpath_test.sh BUILD_DIR PLANTED_LIBRARY RINGLOG RINGLOG_TOOL [ADDRESS_BOOK_MODULE]
set -uo pipefail

build=$1
planted=$2
ringlog=$3
tool=$4
module=${5:-}
work=$(mktemp -d /tmp/ringlog-runpath-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Every executable and shared object under the build folder.
checked=0
while IFS= read -r -d '' file; do
    case "$(readelf -h "$file" 2>/dev/null | awk '$1 == "Type:" { print $2 }')" in
    EXEC | DYN) ;;
    *) continue ;;
    esac
    checked=$((checked + 1))
    entries=$(readelf -d "$file" | grep -E '\((RUNPATH|RPATH)\)')
    [ -n "$entries" ] || continue
    paths=$(echo "$entries" | sed -n 's/.*: \[\(.*\)\]$/\1/p')
    while IFS= read -r path; do
        case ":$path:" in
        *::*) fail "${file#"$build"/} searches the current folder for libraries: [$path]" ;;
        esac
    done <<<"$paths"
done < <(find "$build" -type f \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) -print0)
for file in "$ringlog" "$tool" $module; do
    [ -f "$file" ] || fail "$file is not built"
done
[ "$checked" -ge 3 ] || fail "only $checked programs and libraries found under $build"

# Library names a file loads, the C library and the loader aside (a program without them cannot even
# say that it failed).
needed() {
    readelf -d "$1" | sed -n 's/.*(NEEDED).*: \[\(.*\)\]$/\1/p' | grep -v -e '^libc\.so' -e '^ld-linux' | sort -u
}
# A folder holding the planted library under each of the names given on standard input.
plant() {
    mkdir -p "$1"
    while IFS= read -r name; do
        cp "$planted" "$1/$name"
    done
}
{
    needed "$ringlog"
    needed "$tool"
} | sort -u | tee "$work/programs-need" | plant "$work/programs"
[ -s "$work/programs-need" ] || fail "no library names read from the programs"

# Runs a program from a folder with a clean library path; its output goes to out and err.
run_in() {
    local folder=$1
    shift
    (cd "$folder" && env -u LD_LIBRARY_PATH -u LD_PRELOAD "$@") >"$work/out" 2>"$work/err"
}
for program in "$ringlog" "$tool"; do
    name=$(basename "$program")
    if ! run_in "$work/programs" "$program" --version; then
        fail "$name --version from the planted folder failed: $(head -3 "$work/err")"
    fi
    grep -q "^$name (Zonrik Ringlog) " "$work/out" || fail "$name --version said: $(head -1 "$work/out")"
    if grep -q "planted" "$work/err"; then
        fail "$name loaded a library from the folder it was started in"
    fi
done

# The module, loaded as the tool names a caller from a vCard folder, from a folder holding the
# planted library under the names only the module loads.
if [ -n "$module" ]; then
    needed "$module" | comm -23 - "$work/programs-need" | plant "$work/module"
    home=$work/home
    mkdir -p "$home/.local/share/kpeoplevcard"
    printf 'BEGIN:VCARD\nVERSION:3.0\nFN:Grace Hopper\nTEL;TYPE=CELL:206-386-1234\nEND:VCARD\n' \
        >"$home/.local/share/kpeoplevcard/grace.vcf"
    run_in "$work/module" "$tool" --store "$work/names.db" add --type incoming --start "2026-12-09 10:00:00" \
        --number 2063861234 || fail "ringlog-tool add failed: $(head -3 "$work/err")"
    run_in "$work/module" env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
        DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent "$tool" --store "$work/names.db" list ||
        fail "ringlog-tool list failed: $(head -3 "$work/err")"
    grep -q "Grace Hopper" "$work/out" || fail "no name through the module: $(head -3 "$work/err")"
    if grep -q "planted" "$work/err"; then
        fail "the address-book module loaded a library from the folder the tool was started in"
    fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "$checked programs and shared objects checked, none searches the current folder"
