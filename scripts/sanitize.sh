#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# (gcc) into build-asan/ and runs the test suite there; then the engine's and
# the command's tests with ThreadSanitizer in build-tsan/, where the run's
# reading threads are. The normal build is left alone. Any report fails the
# test that caused it.
#   scripts/sanitize.sh [ctest options...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_ASAN_BUILD_DIR:-$here/build-asan}
tsan=${QUILM_TSAN_BUILD_DIR:-$here/build-tsan}

configure() { # BUILD FLAGS
    cmake -S "$here" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS="$2" -DCMAKE_C_FLAGS="$2" -DCMAKE_EXE_LINKER_FLAGS="$2" \
        -DCMAKE_SHARED_LINKER_FLAGS="$2" ${QUILM_CMAKE_ARGS:-} >/dev/null
}

configure "$build" "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake --build "$build" -j"$(nproc)"

# Leaks are not checked: the toolkit, fontconfig and the X libraries keep
# allocations until exit by design. The fault shim is preloaded ahead of the
# sanitizer runtime in some tests, which is harmless here.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:verify_asan_link_order=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
(cd "$build" && ctest --output-on-failure -j"$(nproc)" "$@")

# Only the engine's tests and the command's are built: the window's add
# nothing on threads and double the build. Qt, glibc and the EXIF library are
# not instrumented, so what they order among themselves is unseen (the
# suppressions name the one place it shows); the reading threads are the
# standard library's and order their work with its locks and atomics, which
# the sanitizer sees.
# The heaviest of them (kills, real file systems, the ledger's and undo's
# tables, the watch's soak) run the same reading threads as the rest and
# would take the sanitizer's build past CI's time: they are left out.
heavy='^tst_(library|filesystems|undo|undocommand|groups|watch)$'
configure "$tsan" "-fsanitize=thread -fno-omit-frame-pointer"
mapfile -t engine_tests < <(cd "$tsan" && ctest -N -L engine -E "$heavy" |
    sed -n 's/^ *Test *#[0-9]*: //p')
cmake --build "$tsan" -j"$(nproc)" --target quilm-sort quilm_faultshim quilm_sortdriver \
    "${engine_tests[@]}"
export TSAN_OPTIONS=${TSAN_OPTIONS:-second_deadlock_stack=1 suppressions=$here/tests/tsan.supp}
(cd "$tsan" && ctest --output-on-failure -j"$(nproc)" -L engine -E "$heavy" "$@")
