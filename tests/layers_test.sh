#!/usr/bin/env bash
# Every #include of the program's sources against the layer table in the
# README ("Layout"): a folder includes only from itself and the folders its row
# names. Also refuses "../" in an include, which would hide the direction, and
# a system header (<unistd.h>, <windows.h>, ...) in the engine outside
# engine/platform/, where its calls to the operating system live.
#   layers_test.sh ROOT          checks the tree at ROOT
#   layers_test.sh --self ROOT   checks that a wrong-way include is caught
set -uo pipefail

check() {
    local root=$1
    local table
    table=$(sed -n '/<!-- layers:/,/<!-- end of layers -->/p' "$root/README.md" | grep '^| `')
    [ -n "$table" ] || { echo "no layer table in $root/README.md"; return 1; }
    local folders=() bad=0
    declare -A allowed
    while IFS='|' read -r _ folder may _; do
        folder=$(echo "$folder" | tr -d ' `/')
        allowed[$folder]=$(echo "$may" | tr -d ' `' | tr ',' ' ' | tr -d '/')
        folders+=("$folder")
    done <<< "$table"
    local known=" ${folders[*]} "
    local include='^[0-9]*:[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
    for folder in "${folders[@]}"; do
        [ -d "$root/$folder" ] || { echo "$folder/: in the table, not in the tree"; bad=1; continue; }
        while IFS= read -r hit; do
            local file=${hit%%:*} rest=${hit#*:}
            local line=${rest%%:*} target
            # Matched in the shell: a process per include line made the check
            # take a minute on a busy machine.
            [[ $rest =~ $include ]] || continue
            target=${BASH_REMATCH[1]}
            if [[ $target == *../* ]]; then
                echo "${file#$root/}:$line: \"$target\" climbs out of its folder"; bad=1; continue
            fi
            local top=${target%%/*}
            [[ $target == */* ]] || continue          # beside itself, or generated
            [[ $known == *" $top "* ]] || continue    # not one of the layers
            [[ " ${allowed[$folder]} " == *" $top "* ]] && continue
            echo "${file#$root/}:$line: $folder/ may not include \"$target\""; bad=1
        done < <(grep -rn --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include' "$root/$folder")
    done
    # The C and C++ standard headers are no system's own.
    while IFS= read -r hit; do
        echo "${hit#$root/}: the engine calls the system only in engine/platform/"; bad=1
    done < <(grep -rn --include='*.cpp' --include='*.h' -E \
        '^[[:space:]]*#[[:space:]]*include[[:space:]]*<([a-z0-9_]+/[^>]*|[a-z0-9_]+\.h)>' \
        "$root/engine" 2>/dev/null | grep -v "^$root/engine/platform/" \
        | grep -vE '<(exiv2/|sqlite3.h>|xxhash.h>)|<(assert|ctype|errno|float|limits|locale|math|setjmp|signal|stdarg|stddef|stdint|stdio|stdlib|string|time|wchar|wctype)\.h>')
    return $bad
}

if [ "${1:-}" = --self ]; then
    tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
    cp "$2/README.md" "$tmp/"
    for f in engine shell ui cli app; do mkdir -p "$tmp/$f"; done
    printf '#include "engine/FHIO.h"\n' > "$tmp/ui/ok.h"
    check "$tmp" >/dev/null || { echo "a clean tree was refused"; exit 1; }
    printf '#include "ui/FHMainWindow.h"\n' > "$tmp/engine/wrong.h"
    out=$(check "$tmp") && { echo "engine/ including ui/ was not caught"; exit 1; }
    [[ $out == *"engine/wrong.h:1: engine/ may not include \"ui/FHMainWindow.h\""* ]] || { echo "$out"; exit 1; }
    printf '#include "../ui/FHMainWindow.h"\n' > "$tmp/engine/wrong.h"
    check "$tmp" >/dev/null && { echo "a climbing include was not caught"; exit 1; }
    printf '#include <unistd.h>\n' > "$tmp/engine/wrong.h"
    check "$tmp" >/dev/null && { echo "a system header in the engine was not caught"; exit 1; }
    mkdir -p "$tmp/engine/platform"
    mv "$tmp/engine/wrong.h" "$tmp/engine/platform/ok_posix.cpp"
    check "$tmp" >/dev/null || { echo "a system header in engine/platform/ was refused"; exit 1; }
    echo "wrong-way includes are caught"
    exit 0
fi
check "$1" && echo "every include goes down the layers"
