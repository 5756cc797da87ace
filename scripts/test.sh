#!/usr/bin/env bash
# Sets up and builds Quilm with compiler warnings as errors, then runs the
# whole test suite with CTest; then again in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (scripts/sanitize.sh, build-asan/), unless
# QUILM_SANITIZE=0. Arguments go to both ctest runs. Then the Windows build and
# its suite under Wine (scripts/windows/), when the Windows toolchain is there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
QUILM_CMAKE_ARGS="-DQUILM_WERROR=ON ${QUILM_CMAKE_ARGS:-}" bash "$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
if [ "${QUILM_SANITIZE:-1}" != 0 ]; then
    bash "$here/scripts/sanitize.sh" "$@"
fi
# The Windows build under Wine, where its toolchain is installed.
if [ -e "${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}/.quilm-toolchain-done" ]; then
    bash "$here/scripts/windows/build.sh"
    bash "$here/scripts/windows/test.sh"
else
    echo "Windows suite skipped: no Windows toolchain; 'bash scripts/windows/build.sh' builds it (as root, about 70 minutes) and the Windows build."
fi
