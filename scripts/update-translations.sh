#!/usr/bin/env bash
# Refreshes translation files from the sources: every translations/*.ts, or the
# files named as arguments (a name that does not exist yet starts a new
# language, e.g. translations/it.ts). New texts arrive unfinished, texts gone
# from the sources are dropped. Run by hand or through the build target
# quilm_update_translations; the normal build never runs it. LUPDATE names
# another lupdate.
#   --carry   a text that moved to another class keeps the translation it had
#             there (scripts/carry-translations.py); for code moved, not reworded
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
carry=false
if [ "${1:-}" = --carry ]; then
    carry=true
    shift
fi
ts=()
for f in "$@"; do
    case $f in
    *.ts) ;;
    *) echo "not a .ts file: $f" >&2; exit 2 ;;
    esac
    ts+=("$(cd "$(dirname "$f")" && pwd)/$(basename "$f")")
done
cd "$here"
if [ ${#ts[@]} -eq 0 ]; then
    shopt -s nullglob
    ts=(translations/*.ts)
    [ ${#ts[@]} -gt 0 ] || { echo "no translations/*.ts" >&2; exit 1; }
fi
lupdate=${LUPDATE:-$(command -v lupdate || true)}
[ -n "$lupdate" ] || lupdate=/usr/lib/qt5/bin/lupdate
refresh() { "$lupdate" -no-obsolete -locations relative shell engine ui "$@"; }
existing=()
for f in "${ts[@]}"; do
    if [ -e "$f" ]; then
        existing+=("$f")
    else
        # A new file is told its language, taken from its name (de.ts: de).
        refresh -target-language "$(basename "$f" .ts)" -ts "$f"
    fi
done
[ ${#existing[@]} -gt 0 ] || exit 0
before=$(mktemp -d)
trap 'rm -rf "$before"' EXIT
for f in "${existing[@]}"; do cp "$f" "$before/$(basename "$f")"; done
refresh -ts "${existing[@]}"
if $carry; then
    for f in "${existing[@]}"; do
        python3 "$here/scripts/carry-translations.py" "$before/$(basename "$f")" "$f"
    done
fi
