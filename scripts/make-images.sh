#!/usr/bin/env bash
# Redraws the pictures under image/ and the desktop icons under dist/icons/.
# Needs the DejaVu and Noto CJK fonts (scripts/setup.sh installs them).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$here/scripts/make-images" -B "$work" >/dev/null
cmake --build "$work" -j2 >/dev/null
QT_QPA_PLATFORM=offscreen "$work/make-images" "$here"
