#!/usr/bin/env bash
# Sets up and builds Quilm, then starts it from the build folder, which holds
# image/ (the program finds its pictures relative to its working directory).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh"
cd "$build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Quilm on a virtual one (xvfb-run)."
    exec xvfb-run -a ./quilm "$@"
fi
exec ./quilm "$@"
