#!/usr/bin/env bash
# Refreshes translations/*.ts from the sources. Run by hand or through the
# build target quilm_update_translations; the normal build never runs it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
lupdate=$(command -v lupdate || true)
[ -n "$lupdate" ] || lupdate=/usr/lib/qt5/bin/lupdate
shopt -s nullglob
ts=(translations/*.ts)
[ ${#ts[@]} -gt 0 ] || { echo "no translations/*.ts" >&2; exit 1; }
"$lupdate" -no-obsolete -locations relative shell engine ui -ts "${ts[@]}"
