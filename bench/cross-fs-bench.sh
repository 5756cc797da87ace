#!/usr/bin/env bash
# Moving off a camera card is moving across file systems. Times quilm-sort on
# about 1 GB of RAW, JPEG and video from /dev/shm to a folder on the disk,
# against mv followed by sync on the same files, in one run.
#   bash bench/cross-fs-bench.sh BUILD_DIR DISK_FOLDER [MEGABYTES]
set -euo pipefail
build=$(readlink -f "$1"); disk=$(readlink -f "$2"); total_mb=${3:-1024}
data=$(dirname "$0")/../../shared/testdata/camera-formats
[ -d "$data" ] || { echo "no test data at $data" >&2; exit 77; }
shm=$(mktemp -d /dev/shm/quilm-xfs-XXXXXX)
work=$(mktemp -d "$disk/quilm-xfs-XXXXXX")
trap 'rm -rf "$shm" "$work"' EXIT

# A set of real files, each padded to a camera-like size: the date readers
# read only what they need, the copy copies every byte.
make_set() {
    local dir=$1 mb=0 i=0
    mkdir -p "$dir"
    while [ "$mb" -lt "$total_mb" ]; do
        # A HEIF file is taken as it is: bytes after its last box make it unreadable.
        for spec in bep-imagemeta__sample.cr2:25 exiftool__Google.jpg:6 mdeimages__uuid540.mp4:120 exifr__heic-iphone7.heic:0; do
            src=${spec%%:*}; size=${spec##*:}
            dst="$dir/F$i-${src#*__}"
            cp "$data/$src" "$dst"
            chmod u+w "$dst"
            # Random bytes, not a hole: mv would copy a hole as a hole.
            [ "$size" -gt 0 ] && head -c "$((size * 1024 * 1024 - $(stat -c %s "$data/$src")))" /dev/urandom >> "$dst"
            mb=$((mb + (size > 0 ? size : 2))); i=$((i + 1))
        done
    done
    echo "$i files, $mb MB"
}

make_set "$shm/a"
sync
start=$(date +%s.%N)
mkdir -p "$work/mv" && mv "$shm/a/"* "$work/mv/" && sync
mv_s=$(echo "$(date +%s.%N) - $start" | bc)

make_set "$shm/b" >/dev/null
sync
start=$(date +%s.%N)
XDG_DATA_HOME="$work/data" "$build/quilm-sort" -q --types all "$shm/b" "$work/sorted"
sync
quilm_s=$(echo "$(date +%s.%N) - $start" | bc)
left=$(find "$shm/b" -type f | wc -l)

printf 'mv + sync: %.2f s; quilm-sort + sync: %.2f s; ratio %.2f (%d files left in the input)\n' \
    "$mv_s" "$quilm_s" "$(echo "$quilm_s / $mv_s" | bc -l)" "$left"
