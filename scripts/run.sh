#!/usr/bin/env bash
# Installs what building and running Quilm needs, builds the two programs, then
# starts the window from the build folder, which holds image/ (the program
# finds its pictures relative to its working directory).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
bash "$here/scripts/setup.sh" --programs
cd "$build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting Quilm on a virtual one (xvfb-run)."
    exec xvfb-run -a ./quilm "$@"
fi
exec ./quilm "$@"
