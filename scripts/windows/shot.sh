#!/bin/bash
# A screenshot of the installed Windows program under Wine on a virtual X
# server: the installer of build-win installed silently into a Wine prefix of
# its own, quilm.exe started from the Start-menu entry's working folder with
# the language stored in its settings, the whole screen saved once the window
# has appeared.
#
#   scripts/windows/shot.sh OUT.png [LANG]     LANG: en (default), zh, de, fr
#
# Needs Xvfb, xdotool and ImageMagick's import. Chinese texts need a CJK font
# on this machine (fonts-noto-cjk), which Wine finds through fontconfig.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD=${QUILM_WIN_BUILD_DIR:-$HERE/../../build-win}
OUT=$(readlink -f "$1")
LANG_CODE=${2:-en}
WINE=${QUILM_WINE64:-/usr/lib/wine/wine64}
SETUP=$(ls "$BUILD"/Quilm-*-setup.exe | head -n1)

export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quilm-shot.XXXXXX")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
# No menu entries or icons for this machine's desktop from the Start-menu
# entry (winemenubuilder), wherever Wine would still look.
export XDG_DATA_HOME=$WINEPREFIX/xdg-data XDG_CONFIG_HOME=$WINEPREFIX/xdg-config
unset WINEPATH
DISPLAY_NO=:$((150 + RANDOM % 50))
xvfb=""
cleanup() {
    timeout 30 wineserver -k 2>/dev/null || true
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

timeout 120 "$WINE" wineboot -i >/dev/null 2>&1
# Windows' interface fonts are not here (nor Wine's stand-ins, fonts-wine):
# Wine would take a serif face with the line height of a CJK font. Stand-ins
# of the same kind from this machine.
fonts=$WINEPREFIX/fonts.reg
{
    printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Segoe UI" "Microsoft Sans Serif" \
        "Arial"; do
        printf '"%s"="DejaVu Sans"\r\n' "$face"
    done
    for face in "SimSun" "NSimSun" "Microsoft YaHei" "SimHei"; do
        printf '"%s"="Noto Sans CJK SC"\r\n' "$face"
    done
} > "$fonts"
timeout 120 "$WINE" regedit /S "$(winepath -w "$fonts" 2>/dev/null || echo "Z:$fonts")"
timeout 120 "$WINE" "$SETUP" /S
timeout 120 wineserver -w

# The working folder the Start-menu entry gives, with the language chosen.
work=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Quilm
mkdir -p "$work"
printf '[MainWindow]\r\nlanguage=%s\r\n' "$LANG_CODE" > "$work/Quilm.ini"

Xvfb "$DISPLAY_NO" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$DISPLAY_NO
for _ in $(seq 1 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

(cd "$work" && exec timeout 300 "$WINE" 'C:\Program Files\Quilm\quilm.exe' >/dev/null 2>&1) &
# The main window is the largest of the program's windows; the splash goes
# once it has appeared.
for _ in $(seq 1 300); do
    xdotool search --onlyvisible --name 'Quilm' >/dev/null 2>&1 && break
    sleep 0.2
done
sleep 8
import -window root "$OUT"
echo "$OUT"
