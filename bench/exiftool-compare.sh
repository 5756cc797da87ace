#!/usr/bin/env bash
# quilm-sort against exiftool's own way of filing photos into month folders,
# on the same 1,000 photos, in one run:
#   bash bench/exiftool-compare.sh BUILD_DIR [IMAGES]
# exiftool is not a dependency of the project; install it for this comparison
# only (Debian: libimage-exiftool-perl).
set -euo pipefail
build=$(readlink -f "$1"); images=${2:-1000}
command -v exiftool >/dev/null || { echo "exiftool is not installed" >&2; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/quilm_bench" --images "$images" --write "$work/photos"
cp -r "$work/photos" "$work/a"
cp -r "$work/photos" "$work/b"
sync

start=$(date +%s.%N)
(cd "$work" && exiftool -q '-Directory<DateTimeOriginal' -d exiftool-out/%Y-%m a >/dev/null)
exiftool_s=$(echo "$(date +%s.%N) - $start" | bc)

start=$(date +%s.%N)
XDG_DATA_HOME="$work/data" "$build/quilm-sort" -q --folders month "$work/b" "$work/quilm-out"
quilm_s=$(echo "$(date +%s.%N) - $start" | bc)

printf '%d photos: exiftool %.2f s, quilm-sort %.2f s: quilm-sort takes %.2f of exiftool'"'"'s time\n' \
    "$images" "$exiftool_s" "$quilm_s" "$(echo "$quilm_s / $exiftool_s" | bc -l)"
printf 'files sorted: exiftool %d, quilm-sort %d\n' \
    "$(find "$work/exiftool-out" -type f | wc -l)" "$(find "$work/quilm-out" -type f | wc -l)"
