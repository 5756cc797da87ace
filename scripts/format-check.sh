#!/usr/bin/env bash
# Says where the C++ sources drift from the root .clang-format and exits 1 if
# any do; with --fix, formats them instead. Exits 77 without clang-format.
# CLANG_FORMAT names another clang-format.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
clang_format=${CLANG_FORMAT:-$(command -v clang-format || true)}
[ -n "$clang_format" ] || { echo "clang-format is not installed" >&2; exit 77; }

cd "$here"
files=()
while IFS= read -r f; do
    files+=("$f")
done < <(find bench cli engine shell ui tests scripts -type f \( -name '*.cpp' -o -name '*.h' \) | sort)

if [ "${1:-}" = --fix ]; then
    "$clang_format" -i "${files[@]}"
    exit 0
fi
"$clang_format" --dry-run --Werror "${files[@]}" || {
    echo "Run scripts/format-check.sh --fix, or clang-format -i on the files named above." >&2
    exit 1
}
echo "${#files[@]} files formatted as .clang-format says"
