#!/bin/bash
# Prints the DLLs that the given Windows executables or DLLs load, directly or
# through each other, that Windows itself does not provide: the files an
# installer has to carry. Qt plugins load at run time and are not found this
# way; pass them as arguments too.
#
#   scripts/windows/dlldeps.sh build/quilm.exe $PREFIX/plugins/platforms/qwindows.dll
set -euo pipefail

PREFIX=${QUILM_MINGW_PREFIX:-/opt/quilm-mingw}
TRIPLE=x86_64-w64-mingw32
DIRS=("$PREFIX/bin" /usr/lib/gcc/$TRIPLE/12-posix /usr/$TRIPLE/lib)

declare -A seen=()
queue=("$@")
while [ ${#queue[@]} -gt 0 ]; do
    f=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        for d in "${DIRS[@]}"; do
            if [ -e "$d/$dll" ]; then
                seen[$key]=$d/$dll
                queue+=("$d/$dll")
                break
            fi
        done
        # Not found in the folders above: a system DLL (kernel32, user32, ...).
        [ -n "${seen[$key]:-}" ] || seen[$key]=system
    done < <($TRIPLE-objdump -p "$f" | sed -n 's/^\s*DLL Name: //p')
done
for k in "${!seen[@]}"; do
    [ "${seen[$k]}" = system ] || echo "${seen[$k]}"
done | sort
