#!/usr/bin/env bash
# Fails on any C++ file of the project that clang-format 14 would change under the committed
# .clang-format, and names each one.
#   format_check.sh PROJECT_ROOT
set -euo pipefail
cd "$1"
formatter=$(command -v clang-format-14 || true)
if [ -z "$formatter" ]; then
    echo "clang-format-14 is not installed (scripts/setup.sh installs it)" >&2
    exit 1
fi
mapfile -t files < <(find app view dialogs calllog citydb platform resources tools tests bench fuzz \
                          -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
# One run over every file; each finding starts with the file's name.
if ! report=$("$formatter" --dry-run --Werror "${files[@]}" 2>&1); then
    echo "$report" | grep -oE '^[^:]+\.(cpp|h):' | sort -u | sed 's/:$//; s/^/not formatted: /' >&2
    echo "run: clang-format-14 -i FILE..." >&2
    exit 1
fi
echo "${#files[@]} files formatted"
