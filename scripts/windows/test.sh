#!/bin/bash
# The Windows suite, under Wine, in a Wine prefix of its own that goes at the
# end:
#   1. the Windows build's CTest tests: the engine's tests that need no fault
#      shim, and the command's (arguments go to ctest);
#   2. the installer, installed, started and uninstalled (installer_test.sh);
#   3. tst_windows of the Linux build: the shared camera files planned by both
#      builds, the real run, kills of the Windows command, two at once.
# Needs build-win from scripts/windows/build.sh and build/ with tst_windows.
#   QUILM_WIN_KILLS   kills of the Windows command in tst_windows (50)
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
BUILD=${QUILM_WIN_BUILD_DIR:-$REPO/build-win}
LINUX=${QUILM_BUILD_DIR:-$REPO/build}
PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
WINE=${QUILM_WINE64:-/usr/lib/wine/wine64}

export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quilm-wine.XXXXXX")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
trap 'timeout 30 wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT
# One Wine server for the whole suite, started before anything else in the
# prefix: started anew for every program, it takes about five seconds a start
# instead of under one.
wineserver -p
timeout 120 "$WINE" wineboot -i >/dev/null 2>&1

start=$(date +%s)
failed=()
step() { # name, then the command
    local name=$1 t0=$SECONDS
    shift
    echo "== $name"
    "$@" || failed+=("$name")
    echo "== $name: $((SECONDS - t0)) s"
}

step "Windows tests (CTest)" bash -c 'cd "$1" && shift && ctest --output-on-failure -j2 "$@"' \
    _ "$BUILD" "$@"
step "installer" timeout 300 bash "$HERE/installer_test.sh" "$BUILD"
# quilm-sort.exe is a console program: it needs the DLLs, no Qt plugin. The
# kills take a few seconds each, past Qt Test's five minutes for a function;
# timeout ends the whole test where the per-function limit no longer does.
# The test writes its log by opening /dev/fd/1 anew, which would truncate a
# file that the suite's output goes to: it writes into a pipe instead.
piped() { "$@" | cat; }
step "tst_windows" piped env \
    WINEPATH="$PREFIX/bin;/usr/lib/gcc/x86_64-w64-mingw32/12-posix;/usr/x86_64-w64-mingw32/lib" \
    QUILM_WINE_SORTCOMMAND="$BUILD/quilm-sort.exe" QUILM_WINE64="$WINE" \
    QUILM_WIN_KILLS="${QUILM_WIN_KILLS:-50}" QTEST_FUNCTION_TIMEOUT=1200000 \
    timeout 1500 "$LINUX/tests/tst_windows"

echo "Windows suite: $(($(date +%s) - start)) s, ${#failed[@]} part(s) failed${failed:+: ${failed[*]}}"
[ ${#failed[@]} -eq 0 ]
