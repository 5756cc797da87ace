#!/usr/bin/env bash
# Fuzzes with libFuzzer, in a clang build of its own with AddressSanitizer and
# UndefinedBehaviorSanitizer. The normal build and its tests are not touched.
#
#   scripts/fuzz.sh [TARGET] [SECONDS] [libFuzzer options...]
#
# TARGET is one of
#   exif   the capture-date lookup: the EXIF library's parser and readExif() (default)
#   video  the video date reader
#   bmff   the CR3 reader, and the lookup with the library's BMFF reader on
#
# New inputs collect in build-fuzz/corpus[-TARGET]; inputs that crash are
# written to build-fuzz/artifacts[-TARGET]/. Copy a crash whose cause was ours
# into tests/fuzz/crashes[-TARGET]/ once fixed: the test tst_fuzzreplay[_TARGET]
# replays it from then on. Extra seed folders can follow as options.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_FUZZ_BUILD_DIR:-$here/build-fuzz}
target=exif
case "${1:-}" in
exif | video | bmff) target=$1; shift ;;
esac
seconds=${1:-600}
shift || true

for p in clang-14 libclang-rt-14-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || {
        echo "The fuzz build needs the Debian package $p." >&2
        exit 1
    }
done

flags="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer -g"
cmake -S "$here" -B "$build" -DQUILM_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_CXX_FLAGS="$flags" >/dev/null
cmake --build "$build" -j2 --target "quilm_fuzz_$target"

if [ "$target" = exif ]; then
    suffix="" seeds=corpus dict=(-dict="$here/tests/fuzz/exif.dict") timeout=10
else
    suffix="-$target" seeds="corpus-$target" dict=(-dict="$here/tests/fuzz/bmff.dict") timeout=1
fi
mkdir -p "$build/corpus$suffix" "$build/artifacts$suffix"
# One process: the machine's cores are shared. Allocations the EXIF library
# makes from crafted sizes show up as out-of-memory reports above 1 GiB.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:quarantine_size_mb=64}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec "$build/tests/quilm_fuzz_$target" "$build/corpus$suffix" "$here/tests/fuzz/$seeds" \
    "${dict[@]}" -artifact_prefix="$build/artifacts$suffix/" \
    -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=1024 -timeout="$timeout" \
    -print_final_stats=1 "$@"
