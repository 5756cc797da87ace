#!/usr/bin/env bash
# Median time from process start to the main window being shown, over N starts
# on a virtual display, with a server that answers at once and with none.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${QUILM_BUILD_DIR:-$here/build}
runs=${1:-9}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
ln -s "$build/image" "$work/image"
cd "$work"
for mode in answering none; do
    times=()
    for _ in $(seq "$runs"); do
        times+=("$(xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/quilm_startup_bench" "$mode" 2>&1 >/dev/null | tail -n 1)")
    done
    sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
    median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
    echo "$mode: median ${median} ms over $runs starts (all: $sorted)"
done
