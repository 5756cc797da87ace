#!/usr/bin/env bash
# Sets up and builds Quilm, then runs the whole test suite with CTest.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
