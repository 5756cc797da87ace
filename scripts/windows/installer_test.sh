#!/bin/bash
# The installer under Wine, in a Wine prefix of its own that goes at the end:
# installed silently, every file of the staged tree where it belongs, the
# Start-menu entry starting in %LOCALAPPDATA%\Quilm, the uninstall entry; the
# installed quilm-sort.exe prints the build's version without any DLL from
# elsewhere; the uninstaller removes all of it.
#
#   scripts/windows/installer_test.sh [build-win]
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
BUILD=$(cd "${1:-$HERE/../../build-win}" && pwd)
STAGE=$BUILD/stage
VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
SETUP=$BUILD/Quilm-$VERSION-setup.exe
WINE=${QUILM_WINE64:-/usr/lib/wine/wine64}
[ -e "$SETUP" ] || { echo "no $SETUP: run scripts/windows/build.sh" >&2; exit 1; }

export WINEPREFIX
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/quilm-setup.XXXXXX")
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" LC_ALL=C.UTF-8
# No menu entries or icons for this machine's desktop from the Start-menu
# entry (winemenubuilder), wherever Wine would still look.
export XDG_DATA_HOME=$WINEPREFIX/xdg-data XDG_CONFIG_HOME=$WINEPREFIX/xdg-config
# Nothing but the installed tree may supply a DLL.
unset WINEPATH DISPLAY
trap 'timeout 30 wineserver -k 2>/dev/null; rm -rf "$WINEPREFIX"' EXIT

failures=0
check() { # what, then the test
    local what=$1
    shift
    if "$@"; then echo "ok   $what"; else echo "FAIL $what"; failures=$((failures + 1)); fi
}
wine() { timeout 120 "$WINE" "$@"; }
# The uninstaller runs a copy of itself from the temporary folder and returns
# at once: wait for every process of the prefix.
settle() { timeout 120 wineserver -w; }
has_key() { wine reg query "$1" >/dev/null 2>&1; }

wine wineboot -i >/dev/null 2>&1
C=$WINEPREFIX/drive_c
DIR="$C/Program Files/Quilm"
LINK="$C/ProgramData/Microsoft/Windows/Start Menu/Programs/Quilm.lnk"
KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quilm'

wine "$SETUP" /S
settle
same_tree() {
    local f
    while IFS= read -r f; do
        cmp -s "$STAGE/$f" "$DIR/$f" || { echo "  $f differs or is missing"; return 1; }
    done < <(cd "$STAGE" && find . -type f | sed 's|^\./||')
}
check "every staged file installed in Program Files" same_tree
check "uninstaller installed" test -e "$DIR/Uninstall.exe"
check "Start-menu entry" test -e "$LINK"
check "Start-menu entry starts in %LOCALAPPDATA%\\Quilm" \
    grep -q '%LOCALAPPDATA%\\Quilm' <(strings -el "$LINK"; strings "$LINK")
check "the installing user's working folder" test -d "$C/users/$(id -un)/AppData/Local/Quilm"
check "uninstall entry" has_key "$KEY"
said=$(wine "C:\\Program Files\\Quilm\\quilm-sort.exe" --version | tr -d '\r')
check "installed quilm-sort.exe --version says $VERSION" test "$said" = "quilm-sort $VERSION"

wine "C:\\Program Files\\Quilm\\Uninstall.exe" /S
settle
check "Program Files\\Quilm removed" test ! -e "$DIR"
check "Start-menu entry removed" test ! -e "$LINK"
check "uninstall entry removed" eval '! has_key "$KEY"'
check "the user's working folder kept" test -d "$C/users/$(id -un)/AppData/Local/Quilm"

echo "installer $(basename "$SETUP"): $(du -k "$SETUP" | cut -f1) KiB, $failures failure(s)"
[ "$failures" = 0 ]
