#!/usr/bin/env bash
# Sets up and builds Quilm with compiler warnings as errors, then runs the
# whole test suite with CTest.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
QUILM_CMAKE_ARGS="-DQUILM_WERROR=ON ${QUILM_CMAKE_ARGS:-}" bash "$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
