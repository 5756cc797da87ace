#!/usr/bin/env bash
# Installs the Debian packages Quilm needs (when missing), then configures and
# builds it into build/. Safe to run again: it only does what is left to do.
#   scripts/setup.sh             what the tests need too, and everything built
#   scripts/setup.sh --programs  only what building and running needs, and
#                                only the two programs built
set -euo pipefail
programs_only=false
[ "${1:-}" = --programs ] && programs_only=true

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}

packages=(
    g++ cmake make pkg-config
    qtbase5-dev qttools5-dev qttools5-dev-tools
    libexiv2-dev
    libsqlite3-dev libxxhash-dev  # the library's ledger; content hashes
    xvfb xauth              # a virtual display where there is none
    fonts-noto-cjk          # Chinese texts need a CJK font to render
    fonts-dejavu-core
    qttranslations5-l10n    # the toolkit's own texts in the chosen language
)
$programs_only || packages+=(
    dpkg-dev file           # the Debian package: cpack, dpkg-shlibdeps
    desktop-file-utils appstream x11-utils  # checks of the package
    clang-format            # the format check
    xdotool                 # a window destroyed under the program
    exfat-fuse exfatprogs fusefat dosfstools ntfs-3g btrfs-progs xfsprogs  # file-system tests
    bindfs                  # a FUSE mount whose changes inotify does not see (tst_watch)
    systemd man-db          # systemd-analyze verify of the service units; the manual pages
    lintian                 # the Debian package's check
    bc python3 time libimage-exiftool-perl  # the benchmark scripts (bench/compare.sh)
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# QUILM_CMAKE_ARGS: more configure options, e.g. -DQUILM_WERROR=ON.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${QUILM_CMAKE_ARGS:-} >/dev/null
if $programs_only; then
    cmake --build "$build" -j"$(nproc)" --target quilm quilm-sort
else
    cmake --build "$build" -j"$(nproc)"
fi
