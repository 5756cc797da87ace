#!/usr/bin/env bash
# The service, the manual pages and the completion of quilm-sort, as the
# package installs them: both units pass systemd-analyze verify with the
# settings generator's drop-in; the generator turns settings into User= and
# ReadWritePaths=; every option of --help is in the manual page and the
# completion; the pages render without a warning; the completion offers what
# each option takes. Exits 77 (skipped) where systemd-analyze is missing.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v systemd-analyze >/dev/null || { echo "SKIP: systemd-analyze is not installed"; exit 77; }

# The generator, from settings as an administrator writes them.
settings=$tmp/etc
mkdir -p "$settings" "$tmp/gen"
printf '# comment\nINPUT="/srv/my uploads"\nOUTPUT = /srv/photos\nUSER=photos\n' >"$settings/photos.conf"
printf "INPUT='/home/me/Downloads'\nOUTPUT=/home/me/Pictures\n" >"$settings/mine.conf"
QUILM_SETTINGS_DIR=$settings sh "$source_dir/dist/service/quilm-sort-settings" "$tmp/gen"
while IFS='|' read -r name expected; do
    got=$(grep -v '^#' "$tmp/gen/quilm-sort@$name.service.d/50-settings.conf" | tr '\n' '|')
    [ "$got" = "$expected" ] || fail "drop-in of $name: '$got', expected '$expected'"
done <<'TABLE'
photos|[Service]|User=photos|ReadWritePaths="-/srv/my uploads"|ReadWritePaths="-/srv/photos"|
mine|[Service]|ReadWritePaths="-/home/me/Downloads"|ReadWritePaths="-/home/me/Pictures"|
TABLE

# The units as installed, naming the built command; the manual page that
# their Documentation= names is looked up too.
mkdir -p "$tmp/man/man1" "$tmp/system" "$tmp/user" "$tmp/run"
chmod 700 "$tmp/run"
cp "$build"/dist/man/*.1.gz "$tmp/man/man1/"
for kind in system user; do
    source=quilm-sort@
    [ $kind = user ] && source=quilm-sort-user@
    sed "s|@QUILM_BINDIR@|$build|" "$source_dir/dist/service/$source.service.in" \
        >"$tmp/$kind/quilm-sort@.service"
    ln -s quilm-sort@.service "$tmp/$kind/quilm-sort@photos.service"
done
cp -r "$tmp/gen/quilm-sort@photos.service.d" "$tmp/system/"
for kind in system user; do
    out=$(XDG_RUNTIME_DIR=$tmp/run MANPATH=$tmp/man SYSTEMD_UNIT_PATH=$tmp/$kind: \
        systemd-analyze "--$kind" verify "$tmp/$kind/quilm-sort@photos.service" 2>&1) ||
        fail "systemd-analyze verify of the $kind unit: $out"
    [ -z "$out" ] || fail "systemd-analyze verify of the $kind unit says: $out"
done
grep -q '^ExecStart=.*--watch --settings /etc/quilm/%i.conf$' "$tmp/system/quilm-sort@.service" ||
    fail "the system unit does not watch with /etc/quilm/NAME.conf"
for setting in ProtectSystem=strict NoNewPrivileges=yes PrivateTmp=yes; do
    grep -qx "$setting" "$tmp/system/quilm-sort@.service" || fail "the system unit lacks $setting"
done

# Every option of --help, in the manual page and the completion.
options=$("$build/quilm-sort" --help | grep -o -- '^ *\(-[a-z], \)\?--[a-z-]*' | grep -o -- '--[a-z-]*')
[ "$(wc -w <<<"$options")" -ge 20 ] || fail "--help lists only: $options"
for option in $options; do
    grep -q -- "${option//-/\\\\-}" "$source_dir/dist/man/quilm-sort.1" ||
        fail "the manual page does not name $option"
    grep -q -- " $option\b" "$source_dir/dist/completion/quilm-sort" ||
        grep -q -- "\"$option\b" "$source_dir/dist/completion/quilm-sort" ||
        fail "the completion does not offer $option"
done
for page in quilm-sort quilm; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
        "$build/dist/man/$page.1.gz" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page.1: $warnings"
done

# What the completion offers after what is typed. A fake quilm-sort answers
# --runs as the real one does.
mkdir -p "$tmp/bin"
printf '#!/bin/sh\n[ "$1" = --runs ] && printf "%%s\\n" "20261208-073415-221-21709  2026-12-08 07:34:15  3 files  completed  /a -> /b" "20261209-101010-001-42  2026-12-09 10:10:10  1 files  completed  /a -> /b"\n' >"$tmp/bin/quilm-sort"
chmod +x "$tmp/bin/quilm-sort"
# shellcheck source=/dev/null
source "$source_dir/dist/completion/quilm-sort"
while IFS='|' read -r line expected; do
    read -r -a COMP_WORDS <<<"$line"
    [[ $line == *' ' ]] && COMP_WORDS+=("")
    COMP_WORDS[0]=$tmp/bin/quilm-sort
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _quilm_sort
    got=$(printf '%s ' "${COMPREPLY[@]}")
    [ "$got" = "$expected " ] || fail "completion of '$line': '$got', expected '$expected'"
done <<'TABLE'
quilm-sort --folders |none month day
quilm-sort --folders m|month
quilm-sort --types photo,v|photo,video
quilm-sort --types r|raw
quilm-sort --verify |full none
quilm-sort --duplicates i|import
quilm-sort --undo |20261208-073415-221-21709 20261209-101010-001-42
quilm-sort --undo 20261209|20261209-101010-001-42
quilm-sort --wa|--watch
quilm-sort --se|--settle --settings
TABLE
echo "service, manual pages and completion OK"
