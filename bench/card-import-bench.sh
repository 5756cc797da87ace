#!/usr/bin/env bash
# Imports from a card (quilm-sort --copy) against what a person would do
# instead, each timed three times in one run, in turns; prints the medians
# and their ratios.
#   bash bench/card-import-bench.sh BUILD_DIR DISK_FOLDER [BENCH...] [--mb MEGABYTES]
# BENCH (all of them when none is named):
#   copy     camera files (RAW+JPEG pairs, videos) from /dev/shm to DISK_FOLDER:
#            --copy with the read-back, and with --verify none, against
#            cp -r && sync
#   reflink  the same files with card and library on one btrfs loop device:
#            --copy against cp -r --reflink=always && sync (root; the mount
#            lives in a mount namespace of the script's own)
#   ledger   1,000 photos sorted again into a library of 100,000 that has a
#            ledger, against 1,000 new photos; and the first run into that
#            library, before it has a ledger
set -euo pipefail
build=$(readlink -f "$1"); disk=$(readlink -f "$2"); shift 2
benches=(); total_mb=2048
while [ $# -gt 0 ]; do
    case $1 in
        --mb) total_mb=$2; shift 2 ;;
        *) benches+=("$1"); shift ;;
    esac
done
[ ${#benches[@]} -gt 0 ] || benches=(copy reflink ledger)
data=$(dirname "$(readlink -f "$0")")/../../shared/testdata/camera-formats
[ -d "$data" ] || { echo "no camera files at $data" >&2; exit 77; }
sort_cmd=$build/quilm-sort

# Mounts stay in a namespace of this script alone.
if [[ " ${benches[*]} " == *" reflink "* && -z "${QUILM_BENCH_NS:-}" ]]; then
    [ "$(id -u)" -eq 0 ] || { echo "reflink needs root" >&2; exit 77; }
    QUILM_BENCH_NS=1 exec unshare -m --propagation private bash "$0" "$build" "$disk" \
        "${benches[@]}" --mb "$total_mb"
fi

shm=$(mktemp -d /dev/shm/quilm-card-XXXXXX)
work=$(mktemp -d "$disk/quilm-card-XXXXXX")
mounted=""
cleanup() {
    [ -z "$mounted" ] || umount "$mounted"
    rm -rf "$shm" "$work"
}
trap cleanup EXIT

seconds() { date +%s.%N; }
# Runs the command; prints how long it took.
timed() {
    local start
    start=$(seconds)
    "$@" >/dev/null
    echo "$(seconds) - $start" | bc
}
median() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
ratio() { echo "scale=3; $1 / $2" | bc; }
report() { printf '%-58s %8.2f s  %8.2f s  ratio %.2f\n' "$1" "$2" "$3" "$(ratio "$2" "$3")"; }

# A card as a camera fills it: RAW+JPEG pairs of about 25 and 6 MB, a video of
# about 100 MB after every five. Real files, padded with random bytes to
# camera sizes, no two alike: the date readers read what they need, a copy
# copies every byte.
make_card() {
    local dir=$1/DCIM/100CANON mb=0 i=0
    mkdir -p "$dir"
    pad() {
        local size=$(($2 * 1024 * 1024 + RANDOM * 16 - $(stat -c %s "$1")))
        head -c "$size" /dev/urandom >>"$1"
    }
    while [ "$mb" -lt "$total_mb" ]; do
        i=$((i + 1))
        local stem
        stem=$dir/IMG_$(printf %04d $i)
        cp "$data/bep-imagemeta__sample.cr2" "$stem.CR2" && chmod u+w "$stem.CR2" && pad "$stem.CR2" 25
        cp "$data/exiftool__Google.jpg" "$stem.JPG" && chmod u+w "$stem.JPG" && pad "$stem.JPG" 6
        mb=$((mb + 31))
        if [ $((i % 5)) -eq 0 ]; then
            stem=$dir/MVI_$(printf %04d $i)
            cp "$data/mdeimages__uuid540.mp4" "$stem.MP4" && chmod u+w "$stem.MP4" && pad "$stem.MP4" 100
            mb=$((mb + 100))
        fi
    done
    echo "$(find "$1" -type f | wc -l) files, $(du -sm "$1" | cut -f1) MB"
}

# Every file of the card is in the library, once.
check_copied() {
    local card=$1 library=$2 have want
    want=$(find "$card" -type f | wc -l)
    have=$(find "$library" -type f -not -path '*/.quilm/*' | wc -l)
    [ "$have" -eq "$want" ] || echo "  warning: $have of $want files in $library" >&2
}

quilm_copy() {
    XDG_DATA_HOME=$work/data "$sort_cmd" -q --copy --types all -r "$@" && sync
}
cp_sync() { cp -r "$@" && sync; }

copy_bench() {
    local card=$shm/card
    echo "copy: card in /dev/shm, library in $disk: $(make_card "$card")"
    local cp_s=() full_s=() none_s=()
    for run in 1 2 3; do
        rm -rf "$work/cp" "$work/lib"; sync
        cp_s+=("$(timed cp_sync "$card" "$work/cp")")
        rm -rf "$work/cp"; sync
        full_s+=("$(timed quilm_copy "$card" "$work/lib")")
        check_copied "$card" "$work/lib"
        rm -rf "$work/lib" "$work/data"; sync
        none_s+=("$(timed quilm_copy --verify none "$card" "$work/lib")")
        check_copied "$card" "$work/lib"
        rm -rf "$work/lib" "$work/data"; sync
        echo "  run $run: cp ${cp_s[-1]} s, --copy ${full_s[-1]} s, --verify none ${none_s[-1]} s"
    done
    local cp_m
    cp_m=$(median "${cp_s[@]}")
    report "quilm-sort --copy (read back) vs cp -r && sync" "$(median "${full_s[@]}")" "$cp_m"
    report "quilm-sort --copy --verify none vs cp -r && sync" "$(median "${none_s[@]}")" "$cp_m"
    rm -rf "$card"
}

reflink_bench() {
    local image=$work/btrfs.img volume=$work/btrfs
    truncate -s $((total_mb * 4 + 1024))M "$image"
    mkfs.btrfs -q "$image"
    mkdir -p "$volume"
    mount -o loop "$image" "$volume"
    mounted=$volume
    echo "reflink: card and library on btrfs: $(make_card "$volume/card")"
    sync
    local cp_s=() quilm_s=()
    for run in 1 2 3; do
        cp_s+=("$(timed cp_sync --reflink=always "$volume/card" "$volume/cp")")
        rm -rf "$volume/cp"; sync
        quilm_s+=("$(timed quilm_copy "$volume/card" "$volume/lib")")
        check_copied "$volume/card" "$volume/lib"
        rm -rf "$volume/lib" "$work/data"; sync
        echo "  run $run: cp --reflink ${cp_s[-1]} s, --copy ${quilm_s[-1]} s"
    done
    report "quilm-sort --copy vs cp -r --reflink=always && sync" "$(median "${quilm_s[@]}")" \
        "$(median "${cp_s[@]}")"
    umount "$volume"
    mounted=""
}

ledger_bench() {
    local library=$work/library
    # The library: 99,000 small photos sorted by month over ten years, each
    # of its own bytes; the first import below makes it 100,000.
    python3 - "$library" <<'EOF'
import os, sys
root = sys.argv[1]
for i in range(99000):
    folder = os.path.join(root, '%d-%02d' % (2000 + i // 9900, 1 + (i // 825) % 12))
    if i % 825 == 0:
        os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, '%03d.JPG' % (1 + i % 825)), 'wb') as f:
        f.write(b'\xff\xd8photo %d\n' % i + b'.' * (i % 1000))
EOF
    local year
    for year in 2015 2016 2017 2018; do
        "$build/bench/quilm_bench" --write "$shm/card-$year" --images 1000 --year "$year"
    done
    echo "ledger: a library of $(find "$library" -type f | wc -l) files; cards of 1,000 photos"
    local first_s=() again_s=() new_s=()
    for run in 1 2 3; do
        # The library as it was before it had a ledger, and no journal.
        rm -rf "$library/.quilm" "$library"/2015-* "$work/data"
        sync
        first_s+=("$(timed quilm_copy --folders month "$shm/card-2015" "$library")")
        echo "  run $run: first import, no ledger yet: ${first_s[-1]} s"
    done
    local files
    count() { find "$library" -type f -not -path '*/.quilm/*' | wc -l; }
    for run in 1 2 3; do
        files=$(count)
        again_s+=("$(timed quilm_copy --folders month "$shm/card-2015" "$library")")
        [ "$(count)" -eq "$files" ] || echo "  warning: photos sorted again were copied" >&2
        new_s+=("$(timed quilm_copy --folders month "$shm/card-$((2015 + run))" "$library")")
        [ "$(count)" -eq $((files + 1000)) ] || echo "  warning: not all new photos copied" >&2
        echo "  run $run: again ${again_s[-1]} s, new ${new_s[-1]} s"
    done
    local new_m
    new_m=$(median "${new_s[@]}")
    report "1,000 photos again vs 1,000 new (ledger of 100,000)" "$(median "${again_s[@]}")" "$new_m"
    report "1,000 new, first run without a ledger vs with one" "$(median "${first_s[@]}")" "$new_m"
}

for bench in "${benches[@]}"; do
    "${bench}_bench"
done
