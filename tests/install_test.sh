#!/usr/bin/env bash
# Installs the build into a temporary prefix, checks the layout a desktop needs,
# then starts the installed launcher with a temporary home for a few seconds.
set -euo pipefail
build=$1
tmp=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi
    rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

launcher=$prefix/bin/quilm
[ -x "$launcher" ] || fail "no launcher in bin/"
program=$(find "$prefix" -path '*/quilm/quilm' -type f -perm -u+x | head -n1)
[ -n "$program" ] || fail "no program under lib*/quilm"
programdir=$(dirname "$program")
for code in en zh; do
    [ -f "$programdir/$code.qm" ] || fail "$code.qm is not beside the program"
done
for picture in splash start logoSmall en zh; do
    [ -f "$prefix/share/quilm/image/$picture.png" ] || fail "image/$picture.png not installed"
done
desktop=$prefix/share/applications/quilm.desktop
[ -f "$desktop" ] || fail "no desktop entry"
grep -qx "Exec=$launcher" "$desktop" || fail "desktop entry does not start the launcher: $(grep ^Exec= "$desktop")"
grep -qx "Icon=quilm" "$desktop" || fail "desktop entry names another icon"
grep -qx "Type=Application" "$desktop" || fail "desktop entry is not an application"
for size in 48 256; do
    icon=$prefix/share/icons/hicolor/${size}x${size}/apps/quilm.png
    [ -f "$icon" ] || fail "no ${size}px icon"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi

# A user with no Quilm folder yet: the launcher creates it and starts there.
home=$tmp/home
mkdir -p "$home"
env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$launcher" >/dev/null 2>&1 &
pid=$!
work=$home/.local/share/quilm
for _ in $(seq 50); do
    [ -e "$work/image/splash.png" ] && [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$work" ] && break
    sleep 0.1
done
[ -f "$work/image/splash.png" ] || fail "the working folder has no image/"
[ "$(readlink "/proc/$pid/cwd")" = "$work" ] || fail "the program does not run in $work"
[ "$(readlink -f "/proc/$pid/exe")" = "$(readlink -f "$program")" ] || fail "the launcher did not start the program"
sleep 2
kill -0 "$pid" 2>/dev/null || fail "the program ended within two seconds"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# A second start reuses the folder and keeps a picture folder of the user's own.
rm "$work/image"
mkdir "$work/image"
env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen timeout 1 "$launcher" >/dev/null 2>&1 || true
[ -d "$work/image" ] && [ ! -L "$work/image" ] || fail "the user's own image folder was replaced"

# A user of the days when the window worked in "Quilm" and the journals lay in
# "quilm": everything ends up in "quilm" and keeps working.
home=$tmp/olduser
old=$home/.local/share/Quilm
new=$home/.local/share/quilm
mkdir -p "$old" "$new/journal"
printf '[MainWindow]\ninput=/photos/card\n' > "$old/Quilm.ini"
echo "an old report" > "$old/Quilm.Log.txt"
ln -s "$tmp/gone" "$old/image"
echo '{"record":"run"}' > "$new/journal/20240101-000000-000-1.jsonl"
env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen "$launcher" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 50); do
    [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$new" ] && break
    sleep 0.1
done
[ "$(readlink "/proc/$pid/cwd")" = "$new" ] || fail "the program does not run in $new"
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=
[ ! -e "$old" ] || fail "the old folder is still there: $(ls -A "$old")"
grep -qx 'input=/photos/card' "$new/Quilm.ini" || fail "the settings did not move over"
grep -qx 'an old report' "$new/Quilm.Log.txt" || fail "the log did not move over"
[ -f "$new/journal/20240101-000000-000-1.jsonl" ] || fail "a journal went"
[ -f "$new/image/splash.png" ] || fail "the image link was not made again"

# Where both folders hold a file of one name, the one in use stays and the
# other is left where it was, not lost.
mkdir -p "$old"
printf '[MainWindow]\ninput=/photos/older\n' > "$old/Quilm.ini"
env -u XDG_DATA_HOME HOME="$home" QT_QPA_PLATFORM=offscreen timeout 1 "$launcher" >/dev/null 2>&1 || true
grep -qx 'input=/photos/card' "$new/Quilm.ini" || fail "the settings in use were replaced"
grep -qx 'input=/photos/older' "$old/Quilm.ini" || fail "the other settings were lost"
echo "installed layout OK"
