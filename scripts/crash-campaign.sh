#!/usr/bin/env bash
# Kills sort runs by the thousand and checks after each that no photo is lost
# and that the next run finishes the job: every call point (rename, renameat2,
# link, unlink, and the write, fsync and close of a copy across file systems) of
# every scenario, then N random timed kills (default 2000). Prints the figures.
#   scripts/crash-campaign.sh [N]
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
kills=${1:-2000}

cmake --build "$build" -j2 --target tst_crashrecovery quilm_sortdriver quilm_faultshim >/dev/null
# It takes long: lift the test library's five-minute limit per function.
QT_QPA_PLATFORM=offscreen QUILM_CRASH_CAMPAIGN=$kills QTEST_FUNCTION_TIMEOUT=86400000 \
    "$build/tests/tst_crashrecovery" campaign -maxwarnings 0
