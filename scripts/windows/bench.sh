#!/bin/bash
# For information: the Windows quilm-sort.exe under Wine against this
# machine's quilm-sort, sorting the same images (10,000 unless given) into
# per-month folders on the same disk, taking turns; the seconds of each and
# their ratio. Wine's file calls are not Windows' own: this says what Wine
# costs, not how fast Quilm is on Windows.
#
#   scripts/windows/bench.sh [IMAGES] [RUNS]
#
# Needs build/ (quilm-sort, bench/quilm_bench) and build-win/quilm-sort.exe.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
IMAGES=${1:-10000}
RUNS=${2:-1}
LINUX=${QUILM_BUILD_DIR:-$REPO/build}
BUILD=${QUILM_WIN_BUILD_DIR:-$REPO/build-win}
PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
WINE=${QUILM_WINE64:-/usr/lib/wine/wine64}

export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quilm-bench.XXXXXX")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
export WINEPATH="$PREFIX/bin;/usr/lib/gcc/x86_64-w64-mingw32/12-posix;/usr/x86_64-w64-mingw32/lib"
trap 'timeout 30 wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
# Started once, before anything else in the prefix, as a Windows desktop has
# its services running already.
wineserver -p
timeout 120 "$WINE" wineboot -i >/dev/null 2>&1

# Drive C: of the prefix, on the same disk as everything else here.
work=$WINEPREFIX/drive_c/bench
mkdir -p "$work"
"$LINUX/bench/quilm_bench" --images "$IMAGES" --write "$work/images" >/dev/null
# The journals of both out of the user's folders; each command reads only its
# own system's setting.
export XDG_DATA_HOME=$work/linux-data

# Sorts a fresh copy of the images with the command given; prints seconds.
timed() {
    rm -rf "$work/in" "$work/out"
    cp -r "$work/images" "$work/in"
    sync
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null
    t1=$(date +%s.%N)
    local sorted
    sorted=$(find "$work/out" -name '*.jpg' -o -name '*.JPG' | wc -l)
    [ "$sorted" = "$IMAGES" ] || { echo "only $sorted of $IMAGES sorted by $*" >&2; exit 1; }
    echo "$t1 - $t0" | bc
}

echo "$IMAGES images, $(du -sh "$work/images" | cut -f1), per-month folders"
for run in $(seq 1 "$RUNS"); do
    linux=$(timed "$LINUX/quilm-sort" -q --folders month "$work/in" "$work/out")
    windows=$(timed env QUILM_JOURNAL_DIR='C:\bench\windows-journal' timeout 3600 "$WINE" \
        "$BUILD/quilm-sort.exe" -q --folders month 'C:\bench\in' 'C:\bench\out')
    printf 'run %d: Linux %.1f s, Windows under Wine %.1f s, ratio %.2f\n' "$run" "$linux" \
        "$windows" "$(echo "$windows / $linux" | bc -l)"
done
