#!/usr/bin/env bash
# quilm-sort side by side with the least any sorter has to do (quilm_floor),
# with exiftool and with mv or cp, on the same generated photos in one run.
# Each command is timed until its result is on the disk (it ends with sync),
# on a fresh copy of the photos, N times in turns (A B C A B C ...); prints
# the machine, then Markdown tables of the medians and their ratios.
#   bash bench/compare.sh BUILD_DIR [--images N] [--runs N] [--cases LIST]
#        [--jobs LIST] [--big N] [--dir FOLDER]
# --images  photos of the warm, cold, card and exfat cases (default 10000)
# --runs    runs of each command (default 5)
# --cases   any of warm,cold,card,exfat,100k (default all of them):
#   warm   photos on the disk, page cache warm: quilm-sort against
#          quilm_floor, exiftool and mv
#   cold   the same, the page cache dropped before each run (root)
#   card   photos on tmpfs (/dev/shm) to the disk: quilm-sort and --copy
#          against quilm_floor and cp -r
#   exfat  the same from an exFAT image mounted through FUSE (root,
#          mkfs.exfat, mount.exfat-fuse)
#   100k   the warm case with --big photos: time per photo against warm's,
#          and quilm-sort's peak memory
# --jobs    values of quilm-sort --jobs, one command each (default 1,2)
# --big     photos of the 100k case (default 100000)
# --dir     where the work folder goes (default /var/tmp); removed at the end
# QUILM_COMPARE_EXIFTOOL=0 leaves exiftool out (it takes about a quarter of an
# hour for 100,000 photos).
set -euo pipefail
export LC_ALL=C.UTF-8
usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}
if [ $# -lt 1 ] || [ ! -d "$1" ]; then usage; fi
args=("$@")
build=$(readlink -f "$1"); shift
images=10000 runs=5 cases=warm,cold,card,exfat,100k jobs_list=1,2 big=100000 dir=/var/tmp
while [ $# -gt 0 ]; do
    [ $# -ge 2 ] || usage
    case $1 in
        --images) images=$2 ;;
        --runs) runs=$2 ;;
        --cases) cases=$2 ;;
        --jobs) jobs_list=$2 ;;
        --big) big=$2 ;;
        --dir) dir=$2 ;;
        *) usage ;;
    esac
    shift 2
done
[[ $images =~ ^[1-9][0-9]*$ && $runs =~ ^[1-9][0-9]*$ && $big =~ ^[1-9][0-9]*$ ]] || usage
sort_cmd=$build/quilm-sort
floor_cmd=$build/bench/quilm_floor
bench_cmd=$build/bench/quilm_bench
for tool in "$sort_cmd" "$floor_cmd" "$bench_cmd"; do
    [ -x "$tool" ] || { echo "$tool is not built" >&2; exit 1; }
done
wanted() { [[ ,$cases, == *,$1,* ]]; }
is_root() { [ "$(id -u)" -eq 0 ]; }
PATH=$PATH:/usr/sbin:/sbin

# The exFAT mount lives in a mount namespace of this script alone.
if wanted exfat && is_root && [ -z "${QUILM_COMPARE_NS:-}" ]; then
    QUILM_COMPARE_NS=1 exec unshare -m --propagation private bash "$0" "${args[@]}"
fi

work=$(mktemp -d "$dir/quilm-compare-XXXXXX")
work=$(readlink -f "$work")
shm=$(mktemp -d /dev/shm/quilm-compare-XXXXXX)
mounted=""
cleanup() {
    if [ -n "$mounted" ]; then
        umount "$mounted" || umount -l "$mounted" || true
    fi
    rm -rf "$work" "$shm"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

note() { echo "$*" >&2; }
calc() { awk "BEGIN { printf \"%.${2:-3}f\", $1 }"; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
sorted_count() { find "$1" -type f -not -path '*/.quilm/*' | wc -l; }

# Peak memory of each quilm-sort run, in KiB: from /usr/bin/time where it is,
# else the last VmHWM read from /proc while the run was going.
if [ -x /usr/bin/time ]; then
    memory_from="/usr/bin/time -f %M"
else
    memory_from="VmHWM in /proc/PID/status, read every 0.1 s while it runs"
fi
with_memory() {
    if [ -x /usr/bin/time ]; then
        /usr/bin/time -f %M -o "$work/memory" "$@"
        return
    fi
    "$@" &
    local pid=$! status=0
    (while hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" 2>/dev/null) && [ -n "$hwm" ]; do
        echo "$hwm" >"$work/memory"; sleep 0.1
    done) &
    local poller=$!
    wait "$pid" || status=$?
    kill "$poller" 2>/dev/null || true
    wait "$poller" 2>/dev/null || true
    return "$status"
}

has_jobs=""
# The help is read whole first: grep -q would end the pipe early, and pipefail
# would take quilm-sort's broken pipe for a missing option.
help_text=$("$sort_cmd" --help)
[[ $help_text == *--jobs* ]] && has_jobs=1
jobs_values=()
if [ -n "$has_jobs" ]; then
    IFS=, read -r -a jobs_values <<<"$jobs_list"
fi
[ ${#jobs_values[@]} -gt 0 ] || jobs_values=("")
has_exiftool=""
[ "${QUILM_COMPARE_EXIFTOOL:-1}" = 0 ] || ! command -v exiftool >/dev/null || has_exiftool=1

# The commands timed. Each is given INPUT and OUTPUT, and ends with sync.
quilm() { # JOBS [OPTION...] INPUT OUTPUT
    local jobs=$1; shift
    rm -f "$work/memory"
    XDG_DATA_HOME=$work/data with_memory "$sort_cmd" -q --folders month \
        ${jobs:+--jobs "$jobs"} "$@" && sync
}
floor() { "$floor_cmd" "$@" >/dev/null && sync; }
exiftool_months() { exiftool -q '-Directory<DateTimeOriginal' -d "$2/%Y-%m" "$1" >/dev/null && sync; }
mv_all() { mkdir -p "$2" && find "$1" -maxdepth 1 -type f -exec mv -t "$2" {} + && sync; }
cp_all() { cp -r "$1" "$2" && sync; }

# Fills the arrays labels and commands with the contestants of a case: the
# quilm-sort runs first, for each --jobs value.
labels=() commands=()
add() { labels+=("$1"); commands+=("$2"); }
add_quilm() { # LABEL-SUFFIX [OPTION...]
    local suffix=$1 jobs; shift
    for jobs in "${jobs_values[@]}"; do
        add "quilm-sort${jobs:+ --jobs $jobs}$suffix" "quilm '$jobs' $*"
    done
}

# Runs the case's contestants in turns: PREPARE is called before each run
# with the input folder to fill, then the caches are dropped where DROP is
# set. Times land in times_<index>, peak memory in memory_<index>.
run_case() { # NAME PHOTOS INPUT PREPARE DROP
    local name=$1 photos=$2 in=$3 prepare=$4 drop=$5 run i start end got want
    want=$(find "$photos" -type f | wc -l)
    for i in "${!labels[@]}"; do
        eval "times_$i=()" "memory_$i=()"
    done
    for run in $(seq "$runs"); do
        for i in "${!labels[@]}"; do
            rm -rf "$in" "$work/out" "$work/data"
            mkdir -p "$in"
            "$prepare" "$photos" "$in"
            sync
            [ -z "$drop" ] || echo 3 >/proc/sys/vm/drop_caches
            start=$EPOCHREALTIME
            eval "${commands[$i]} '$in' '$work/out'" >"$work/log" 2>&1 || {
                cat "$work/log" >&2
                note "$name: ${labels[$i]} failed"
                exit 1
            }
            end=$EPOCHREALTIME
            got=$(sorted_count "$work/out")
            [ "$got" -eq "$want" ] ||
                note "warning: $name, ${labels[$i]}: $got files in the output"
            eval "times_$i+=($(calc "$end - $start"))"
            if [[ ${labels[$i]} == quilm-sort* && -s $work/memory ]]; then
                eval "memory_$i+=($(tail -n 1 "$work/memory"))"
            fi
            note "$name run $run: ${labels[$i]} $(calc "$end - $start" 2) s"
        done
    done
    rm -rf "$in" "$work/out" "$work/data"
}
median_of() { local -n values="times_$1"; median "${values[@]}"; }
memory_of() {
    local -n values="memory_$1"
    [ ${#values[@]} -gt 0 ] && calc "$(median "${values[@]}") / 1024" 0 || echo "-"
}
index_of() {
    local i
    for i in "${!labels[@]}"; do
        [ "${labels[$i]}" != "$1" ] || { echo "$i"; return; }
    done
    return 1
}
# The table of the case: median, time per photo, each run, peak memory.
print_times() { # PHOTOS
    local i all
    echo "| command | median (s) | per photo (ms) | runs (s) | peak memory (MiB) |"
    echo "| --- | ---: | ---: | --- | ---: |"
    for i in "${!labels[@]}"; do
        local -n values="times_$i"
        all=$(printf '%s ' "${values[@]}")
        printf '| %s | %.3f | %.4f | %s | %s |\n' "${labels[$i]}" "$(median_of "$i")" \
            "$(calc "$(median_of "$i") * 1000 / $1" 4)" "${all% }" "$(memory_of "$i")"
    done
    echo
}
ratio_rows=()
ratio() { # LABEL-A LABEL-B: a row A / B, when both ran
    local a b
    a=$(index_of "$1") && b=$(index_of "$2") || return 0
    ratio_rows+=("| $1 / $2 | $(calc "$(median_of "$a") / $(median_of "$b")" 2) |")
}
print_ratios() {
    [ ${#ratio_rows[@]} -gt 0 ] || return 0
    echo "| ratio of medians | value |"
    echo "| --- | ---: |"
    printf '%s\n' "${ratio_rows[@]}"
    echo
    ratio_rows=()
}
quilm_labels() { # SUFFIX
    local jobs
    for jobs in "${jobs_values[@]}"; do echo "quilm-sort${jobs:+ --jobs $jobs}$1"; done
}

fill_copy() { cp -r "$1/." "$2/"; }
photos=$work/photos
make_photos() { # FOLDER COUNT
    "$bench_cmd" --images "$2" --write "$1" >/dev/null
}

echo "## quilm-sort compared: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo
echo "- processors: $(nproc), $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)"
echo "- kernel: $(uname -r)"
echo "- work folder: $work, $(findmnt -no FSTYPE -T "$work") on $(findmnt -no SOURCE -T "$work")"
echo "- memory: $(awk '/^MemTotal/ { t = $2 } /^MemAvailable/ { a = $2 } END { printf "%d MiB, %d MiB available", t / 1024, a / 1024 }' /proc/meminfo)"
echo "- load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "- quilm-sort: $("$sort_cmd" --version | head -n 1)"
if [ "${QUILM_COMPARE_EXIFTOOL:-1}" = 0 ]; then
    echo "- exiftool: left out (QUILM_COMPARE_EXIFTOOL=0)"
else
    echo "- exiftool: $([ -n "$has_exiftool" ] && exiftool -ver || echo "not installed (Debian: libimage-exiftool-perl); its rows are left out")"
fi
[ -n "$has_jobs" ] || echo "- this quilm-sort has no --jobs: it ran without it"
echo "- peak memory from: $memory_from"
echo "- each command is timed to the end of a sync that follows it; mv moves each file"
echo "- runs of each command: $runs, taken in turns, each on a fresh copy of the photos; the tables give their medians"
echo

needs_photos() { wanted warm || wanted cold || wanted card || wanted exfat; }
if needs_photos; then
    make_photos "$photos" "$images"
    echo "Photos: $images JPEGs of $(stat -c %s "$photos/IMG_000000.JPG") bytes from quilm_bench --write."
    echo
fi

disk_case() { # NAME PHOTOS DROP
    labels=() commands=()
    add_quilm ""
    add "quilm_floor" "floor"
    add "quilm_floor --sync" "floor --sync"
    [ -z "$has_exiftool" ] || add "exiftool" "exiftool_months"
    [ -n "$has_exiftool" ] || { echo "_exiftool is not installed: no exiftool row._"; echo; }
    add "mv" "mv_all"
    run_case "$1" "$2" "$work/in" fill_copy "$3"
    print_times "$(find "$2" -type f | wc -l)"
    local q
    while read -r q; do
        ratio "$q" "quilm_floor"
        ratio "$q" "quilm_floor --sync"
        ratio "exiftool" "$q"
        ratio "$q" "mv"
    done < <(quilm_labels "")
    print_ratios
}

declare -A warm_per_photo=() warm_memory=()
if wanted warm; then
    echo "### warm: $images photos on the disk, page cache warm"
    echo
    disk_case warm "$photos" ""
    for i in "${!labels[@]}"; do
        warm_per_photo[${labels[$i]}]=$(calc "$(median_of "$i") / $images" 9)
        warm_memory[${labels[$i]}]=$(memory_of "$i")
    done
fi

if wanted cold; then
    echo "### cold: $images photos on the disk, page cache dropped before each run"
    echo
    if is_root && (echo 3 >/proc/sys/vm/drop_caches) 2>/dev/null; then
        disk_case cold "$photos" drop
    else
        echo "_Skipped: dropping the page cache needs root._"
        echo
    fi
fi

# The card cases: INPUT elsewhere, OUTPUT on the disk.
card_case() { # NAME INPUT
    labels=() commands=()
    add_quilm ""
    add_quilm " --copy" --copy
    add "quilm_floor" "floor"
    add "quilm_floor --copy" "floor --copy"
    add "cp -r" "cp_all"
    run_case "$1" "$photos" "$2" fill_copy ""
    print_times "$images"
    local q
    while read -r q; do
        ratio "$q" "quilm_floor"
        ratio "$q --copy" "quilm_floor --copy"
        ratio "$q --copy" "cp -r"
    done < <(quilm_labels "")
    print_ratios
}

if wanted card; then
    echo "### card: $images photos from tmpfs (/dev/shm) to the disk"
    echo
    card_case card "$shm/in"
fi

if wanted exfat; then
    echo "### exfat: $images photos from an exFAT image (FUSE, loop device) to the disk"
    echo
    why=""
    is_root || why="mounting needs root"
    for tool in mkfs.exfat mount.exfat-fuse losetup; do
        [ -n "$why" ] || command -v "$tool" >/dev/null || why="$tool is not installed"
    done
    [ -n "$why" ] || { [ -e /dev/fuse ] && grep -qw fuseblk /proc/filesystems; } ||
        why="the kernel has no FUSE block devices"
    if [ -z "$why" ]; then
        image=$work/card.img
        truncate -s $(($(du -sm "$photos" | cut -f1) * 3 / 2 + 64))M "$image"
        mkfs.exfat "$image" >/dev/null
        mkdir -p "$work/card"
        loop=$(losetup -f --show "$image")
        mount.exfat-fuse "$loop" "$work/card" >/dev/null 2>&1 || why="$loop would not mount"
        # The driver holds the device: it goes when the driver lets go.
        losetup -d "$loop"
    fi
    if [ -z "$why" ]; then
        mounted=$work/card
        echo "Card: $(findmnt -no FSTYPE,SOURCE -T "$mounted") through $(mount.exfat-fuse -V 2>&1 | head -n 1)"
        echo
        card_case exfat "$mounted/in"
        umount "$mounted"
        mounted=""
    else
        echo "_Skipped: ${why}._"
        echo
    fi
fi
rm -rf "$photos"

if wanted 100k; then
    echo "### 100k: $big photos on the disk, page cache warm"
    echo
    make_photos "$photos" "$big"
    disk_case 100k "$photos" ""
    if [ ${#warm_per_photo[@]} -gt 0 ]; then
        echo "| command | per photo at $big / per photo at $images | peak memory at $images (MiB) | at $big (MiB) |"
        echo "| --- | ---: | ---: | ---: |"
        for j in "${!labels[@]}"; do
            per=${warm_per_photo[${labels[$j]}]:-}
            [ -n "$per" ] || continue
            printf '| %s | %s | %s | %s |\n' "${labels[$j]}" \
                "$(calc "$(median_of "$j") / $big / $per" 2)" \
                "${warm_memory[${labels[$j]}]}" "$(memory_of "$j")"
        done
        echo
    else
        echo "_The warm case did not run: no time per photo to compare with._"
        echo
    fi
    rm -rf "$photos"
fi

echo "Load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
