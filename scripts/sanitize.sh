#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer
# (gcc) into build-asan/ and runs the test suite there; the normal build is
# left alone. Any report fails the test that caused it.
#   scripts/sanitize.sh [ctest options...]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_ASAN_BUILD_DIR:-$here/build-asan}

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" ${QUILM_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j"$(nproc)"

# Leaks are not checked: the toolkit, fontconfig and the X libraries keep
# allocations until exit by design. The fault shim is preloaded ahead of the
# sanitizer runtime in some tests, which is harmless here.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:verify_asan_link_order=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
