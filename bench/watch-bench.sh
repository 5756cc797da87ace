#!/usr/bin/env bash
# quilm-sort --watch, measured:
# - latency: from a file's last write to the moment it is at its sorted place,
#   against the target of the settle time + 2 s (the file is written in
#   chunks over longer than the settle time, as an upload arrives);
# - the cost of one poll (--poll) over an input of unchanged files: the
#   watch's CPU time per poll and the wall time of one look, from its CPU
#   ticks over a number of polls.
#   bash bench/watch-bench.sh BUILD_DIR [SETTLE_SECONDS] [FILES] [FOLDER]
set -euo pipefail
build=$(readlink -f "$1"); settle=${2:-10}; files=${3:-100000}
work=$(mktemp -d "${4:-${TMPDIR:-/tmp}}/quilm-watch-bench-XXXXXX")
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export XDG_DATA_HOME=$work/data
picture=$(dirname "$0")/../image/splash.png
now() { date +%s.%N; }
calc() { awk "BEGIN { print $1 }"; }

echo "== latency, settle $settle s (target: settle + 2 s)"
mkdir -p "$work/in" "$work/out"
"$build/quilm-sort" --watch --settle "$settle" --all-images -q "$work/in" "$work/out" &
pid=$!
sleep 1
for round in 1 2 3; do
    file=$work/in/upload-$round.png
    # Five chunks, a fifth of the settle time apart; the last bytes make it unique.
    for chunk in 1 2 3 4; do
        head -c "$(($(stat -c %s "$picture") / 4 * chunk))" "$picture" | tail -c "$(($(stat -c %s "$picture") / 4))" >>"$file"
        sleep "$(calc "$settle / 5")"
    done
    tail -c +"$(($(stat -c %s "$picture") / 4 * 4 + 1))" "$picture" >>"$file"
    echo "round $round" >>"$file"
    last=$(now)
    while [ -e "$file" ] || [ "$(find "$work/out" -name '*.png' | wc -l)" -lt "$round" ]; do
        sleep 0.02
    done
    echo "round $round: sorted $(calc "$(now) - $last") s after the last write"
done
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=

echo "== one poll over $files unchanged files"
mkdir -p "$work/many" "$work/out2"
# Empty JPEG names: each is looked at (listed and stat'ed) on every poll; the
# first batch leaves them all in place (no capture date) and they stay so.
(cd "$work/many" && seq -f 'IMG_%06g.JPG' 1 "$files" | xargs touch)
"$build/quilm-sort" --watch --poll 1 --settle 0 -q "$work/many" "$work/out2" &
pid=$!
hz=$(getconf CLK_TCK)
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# Once the first batch is over, the CPU time settles to the polls alone.
previous=-1
while :; do
    sleep 3
    current=$(ticks)
    [ "$current" -eq "$previous" ] 2>/dev/null && break
    [ $((current - previous)) -le $((hz * 3 * 60 / 100)) ] && [ "$previous" -ge 0 ] && break
    previous=$current
done
start=$(ticks); begun=$(now)
sleep 20
polls=$(calc "int($(now) - $begun)")
used=$(( $(ticks) - start ))
echo "$polls polls: $(calc "$used * 1000 / $hz / $polls") ms of CPU per poll over $files files"
