#!/bin/sh
# Prints the three figures of one source's build:
#  1. `tessarel-cli FILE` on a 16 MB generated source against `gzip -6` on the
#     same file, whole-process wall time, median of RUNS runs each, interleaved;
#  2. time per MB at 64 MB against 1 MB in `extract_bench --warm`;
#  3. peak resident growth over an empty file's run, per input byte, at 64 MB.
# Usage: bench/single_file_bench.sh [BUILD_DIR] [RUNS]
# Needs python3, gzip and GNU time (/usr/bin/time). Run it on a quiet machine.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-5}
cli=$build/bin/tessarel-cli
extract=$build/bench/extract_bench
gen=${GEN_CORPUS:-/work/shared/bench/gen_corpus.py}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 36300 functions make 16 MB, 145200 make 64 MB.
python3 "$gen" "$work/c16" 1 36300
python3 "$gen" "$work/c64" 1 145200
src16=$work/c16/src/module0000.c
src64=$work/c64/src/module0000.c
: >"$work/empty.c"

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

: >"$work/cli.t"
: >"$work/gzip.t"
i=0
while [ "$i" -lt "$runs" ]; do
    t0=$(now)
    "$cli" "$src16" >/dev/null 2>&1
    t1=$(now)
    gzip -6 -c "$src16" >/dev/null
    t2=$(now)
    echo "$t1 - $t0" | bc -l >>"$work/cli.t"
    echo "$t2 - $t1" | bc -l >>"$work/gzip.t"
    i=$((i + 1))
done
cli_s=$(median <"$work/cli.t")
gzip_s=$(median <"$work/gzip.t")
printf '16 MB source: tessarel-cli %.3f s, gzip -6 %.3f s, ratio %.2f (target <= 1.00)\n' \
    "$cli_s" "$gzip_s" "$(echo "$cli_s / $gzip_s" | bc -l)"

# Rows read "SIZE MB SECTIONS PARSE PAGE WALL MB/S S/MB VS-1ST ...".
"$extract" --warm --sizes 1,64 >"$work/extract.out"
awk '$1 == "64" && $2 == "MB" { printf "extract_bench --warm: time per MB at 64 MB %sx that at 1 MB (target <= 1.2)\n", $9 }' \
    "$work/extract.out"
cat "$work/extract.out"

peak() {
    /usr/bin/time -v "$cli" "$1" 2>&1 >/dev/null | awk -F: '/Maximum resident set size/ { gsub(/ /, "", $2); print $2 }'
}
empty_kb=$(peak "$work/empty.c")
big_kb=$(peak "$src64")
bytes=$(wc -c <"$src64")
printf '64 MB source: peak %d KB, empty file %d KB, growth %.2f bytes per input byte (target <= 5)\n' \
    "$big_kb" "$empty_kb" "$(echo "($big_kb - $empty_kb) * 1024 / $bytes" | bc -l)"
