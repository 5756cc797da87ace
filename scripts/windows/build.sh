#!/bin/bash
# Builds the 64-bit Windows programs (quilm.exe, quilm-sort.exe), the tests
# that run under Wine and the installer into build-win/, with the toolchain of
# toolchain.sh (run first, which builds what it lacks).
#
#   scripts/windows/build.sh
#
# Gives build-win/Quilm-VERSION-setup.exe; build-win/stage/ is the tree it
# installs. QUILM_WIN_BUILD_DIR names another build folder.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
BUILD=${QUILM_WIN_BUILD_DIR:-$REPO/build-win}
TRIPLE=x86_64-w64-mingw32

# Builds what the toolchain lacks: all of it the first time (about 70 minutes),
# a library added since alone later; otherwise it says so in one line.
[ -e "$PREFIX/.quilm-toolchain-done" ] || echo "No toolchain in $PREFIX: building it first."
bash "$HERE/toolchain.sh"

start=$(date +%s)
cmake -S "$REPO" -B "$BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
    -DQUILM_MINGW_PREFIX="$PREFIX" \
    -DCMAKE_BUILD_TYPE=Release -DQUILM_WERROR=ON ${QUILM_WIN_CMAKE_ARGS:-} > "$BUILD.cmake.log" \
    || { cat "$BUILD.cmake.log"; exit 1; }
rm -f "$BUILD.cmake.log"
nice -n 10 cmake --build "$BUILD" -j2
built=$(date +%s)

# The installed tree: the programs and everything they load, beside them.
STAGE=$BUILD/stage
rm -rf "$STAGE"
mkdir -p "$STAGE/image" "$STAGE/translations" "$STAGE/licenses/quilm"
cp "$BUILD/quilm.exe" "$BUILD/quilm-sort.exe" "$BUILD"/??.qm "$STAGE/"
cp "$REPO"/image/*.png "$STAGE/image/"
cp "$BUILD/quilm.ico" "$REPO/dist/windows/qt.conf" "$STAGE/"
for lang in de fr zh_CN en; do
    [ -e "$PREFIX/translations/qtbase_$lang.qm" ] \
        && cp "$PREFIX/translations/qtbase_$lang.qm" "$STAGE/translations/"
done
plugins=(platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll
    imageformats/qgif.dll imageformats/qico.dll)
for p in "${plugins[@]}"; do
    mkdir -p "$STAGE/$(dirname "$p")"
    cp "$PREFIX/plugins/$p" "$STAGE/$p"
done
(cd "$STAGE" && "$HERE/dlldeps.sh" quilm.exe quilm-sort.exe "${plugins[@]}") \
    | xargs cp -t "$STAGE"
# Debian's MinGW runtime carries its symbols (libstdc++ 23 MB, 1.9 MB without).
for dll in "$STAGE"/*.dll; do
    case ${dll##*/} in
    libstdc++-6.dll | libgcc_s_seh-1.dll | libwinpthread-1.dll)
        $TRIPLE-strip --strip-unneeded "$dll" ;;
    esac
done
$TRIPLE-strip --strip-unneeded "$STAGE/quilm.exe" "$STAGE/quilm-sort.exe"
cp -r "$PREFIX/licenses/." "$STAGE/licenses/"
cp "$REPO/LICENSE" "$STAGE/licenses/quilm/"

# What the uninstaller removes: each file and folder installed, deepest first.
FILES=$BUILD/files.nsh
(cd "$STAGE" && {
    find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|'
    find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|'
}) > "$FILES"

VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
SETUP=$BUILD/Quilm-$VERSION-setup.exe
makensis -V2 -DVERSION="$VERSION" -DSTAGE="$STAGE" -DFILES="$FILES" \
    -DSIZE_KB="$(du -sk "$STAGE" | cut -f1)" -DOUTFILE="$SETUP" "$REPO/dist/windows/quilm.nsi"
done=$(date +%s)
printf 'built in %dm%02ds, installer in %ds: %s (%s)\n' $(((built - start) / 60)) \
    $(((built - start) % 60)) $((done - built)) "$SETUP" "$(du -h "$SETUP" | cut -f1)"
