#!/bin/bash
# Builds scripts/windows/smoke with the cross toolchain and runs it under Wine
# in a throwaway WINEPREFIX: a Qt Widgets window (screenshot under Xvfb), a
# QImage JPEG/PNG round trip, Exiv2 through a non-ASCII path with SQLite and
# xxHash, and a Qt Test executable through ctest.
#
#   scripts/windows/smoke.sh [SCREENSHOT.png]     (default /tmp/quilm-windows-smoke.png)
set -euo pipefail

PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
HERE=$(cd "$(dirname "$0")" && pwd)
REPO=$(cd "$HERE/../.." && pwd)
SHOT=${1:-/tmp/quilm-windows-smoke.png}
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64

[ -e "$PREFIX/.quilm-toolchain-done" ] || [ -e "$PREFIX/lib/cmake/Qt5/Qt5Config.cmake" ] \
    || { echo "no toolchain in $PREFIX: run scripts/windows/toolchain.sh" >&2; exit 1; }

# Wine draws Chinese only with a CJK font on the host.
if [ -z "$(fc-list :lang=zh 2>/dev/null)" ] || [ ! -x /usr/bin/import ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        fonts-wqy-microhei imagemagick x11-utils
fi

TMP=$(mktemp -d /tmp/quilm-smoke.XXXXXX)
export WINEPREFIX=$TMP/wine WINEARCH=win64 WINEDEBUG=-all
# No prompts to install Wine's Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Wine turns the Unix command line into UTF-16 with the locale's charset.
export LC_ALL=C.UTF-8
cleanup() {
    "$WINESERVER" -k 2>/dev/null || true
    rm -rf "$TMP"
}
trap cleanup EXIT

B=$TMP/build
cmake -S "$HERE/smoke" -B "$B" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$REPO/cmake/mingw-w64-x86_64.cmake" \
    -DQUILM_MINGW_PREFIX="$PREFIX" \
    -DQt5LinguistTools_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt5LinguistTools \
    -DCMAKE_BUILD_TYPE=Release > "$TMP/cmake.log" || { cat "$TMP/cmake.log"; exit 1; }
nice -n 19 cmake --build "$B" -j 2
[ -s "$B/smoke_de.qm" ] && echo "host lrelease made smoke_de.qm"

# Lay the folder out as an installer would: DLLs and plugin folders beside
# the executables, so no WINEPATH is needed.
plugins=(platforms/qwindows.dll imageformats/qjpeg.dll styles/qwindowsvistastyle.dll)
for p in "${plugins[@]}"; do
    mkdir -p "$B/$(dirname "$p")"
    cp "$PREFIX/plugins/$p" "$B/$p"
done
"$HERE/dlldeps.sh" "$B"/*.exe "${plugins[@]/#/$PREFIX/plugins/}" > "$TMP/dlls.txt"
xargs -a "$TMP/dlls.txt" cp -t "$B"
# Debian's libstdc++-6.dll carries its symbols (23 MB, 1.9 MB stripped);
# strip the runtime as an installer would, so that this is what gets tested.
(cd "$B" && x86_64-w64-mingw32-strip --strip-unneeded libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
echo "DLLs beside the executables:"
(cd "$B" && ls -l --block-size=K *.dll "${plugins[@]}" | awk '{print "  " $5 "\t" $NF}')

"$WINE64" wineboot -i > /dev/null 2>&1
"$WINESERVER" -w

WDIR='C:\quilm-smoke\Fotos'
mkdir -p "$WINEPREFIX/drive_c/quilm-smoke/Fotos"
base="$WDIR\\Überraschung 照片"
wine() { (cd "$B" && "$WINE64" "$@"); }

echo "--- image_roundtrip"
wine ./image_roundtrip.exe "$base"
echo "--- exif_probe"
wine ./exif_probe.exe "$base.jpg" --set "2024:05:17 10:20:30"
echo "--- ctest"
(cd "$B" && ctest --output-on-failure)

echo "--- hello_widgets under Xvfb"
export B SHOT WINE64
xvfb-run -a -s "-screen 0 640x320x24" bash -c '
    cd "$B"
    "$WINE64" ./hello_widgets.exe 20000 &
    pid=$!
    for i in $(seq 60); do
        xwininfo -root -tree 2>/dev/null | grep -q "Quilm" && break
        sleep 0.5
    done
    sleep 3
    import -window root "$SHOT"
    wait $pid
'
echo "screenshot: $SHOT"
echo "smoke test passed"
