#!/bin/sh
# The 200-file C tree (6,000 documented functions, 3.2 MB) built by
# `tessarel-cli --rebuild` and by doxygen, side by side: whole-process wall
# time, median of RUNS alternating runs each, with the default workers and
# with one (`-j 1`; doxygen's default is one processing thread).
# Doxygen gets a Doxyfile of only INPUT, EXTRACT_ALL, GENERATE_LATEX, QUIET
# and WARNINGS; when `dot` is missing it still tries to start it for every
# file, so a second row gives its time with HAVE_DOT = NO as well.
# Usage: bench/doxygen_tree_bench.sh [BUILD_DIR] [RUNS]
# Needs python3, doxygen, bc and GNU time. Run it on a quiet machine, with
# TMPDIR=/dev/shm where a disk makes files created soon after thousands were
# deleted slow (the runs delete doxygen's old output).
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-5}
cli=$build/bin/tessarel-cli
gen=${GEN_CORPUS:-/work/shared/bench/gen_corpus.py}
command -v doxygen >/dev/null || { echo "doxygen is not on PATH" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 "$gen" "$work/t" 200 30 --qdx
python3 "$gen" "$work/d" 200 30 --doxygen
printf 'INPUT = src\nEXTRACT_ALL = YES\nGENERATE_LATEX = NO\nQUIET = YES\nWARNINGS = NO\n' >"$work/d/Doxyfile"
{ cat "$work/d/Doxyfile"; echo "HAVE_DOT = NO"; } >"$work/d/Doxyfile.nodot"

now() { date +%s.%N; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Runs the rest of the line, appends its wall time to the file named first.
timed() {
    out=$1
    shift
    t0=$(now)
    "$@" >/dev/null 2>&1
    t1=$(now)
    echo "$t1 - $t0" | bc -l >>"$out"
}
doxy() { (cd "$work/d" && doxygen "$1"); }

for f in tess tess1 doxy nodot; do : >"$work/$f.t"; done
i=0
while [ "$i" -lt "$runs" ]; do
    timed "$work/tess.t" "$cli" --rebuild "$work/t/corpus.qdx"
    rm -rf "$work/d/html"
    timed "$work/doxy.t" doxy Doxyfile
    timed "$work/tess1.t" "$cli" -j 1 --rebuild "$work/t/corpus.qdx"
    rm -rf "$work/d/html"
    timed "$work/nodot.t" doxy Doxyfile.nodot
    i=$((i + 1))
done
"$cli" --rebuild "$work/t/corpus.qdx" | grep -q "200 of 200 files processed: 200 built, 0 failed" ||
    { echo "tessarel-cli did not build all 200 files" >&2; exit 1; }

tess=$(median <"$work/tess.t")
tess1=$(median <"$work/tess1.t")
doxy=$(median <"$work/doxy.t")
nodot=$(median <"$work/nodot.t")
peak=$(/usr/bin/time -f %M "$cli" --rebuild "$work/t/corpus.qdx" 2>&1 >/dev/null | tail -n 1)
dpeak=$( (cd "$work/d" && rm -rf html && /usr/bin/time -f %M doxygen Doxyfile.nodot 2>&1 >/dev/null) | tail -n 1)
printf 'tessarel-cli --rebuild: %.3f s, -j 1: %.3f s, peak %d KB\n' "$tess" "$tess1" "$peak"
printf 'doxygen, Doxyfile as given: %.3f s; with HAVE_DOT = NO: %.3f s, peak %d KB\n' "$doxy" "$nodot" "$dpeak"
ratio() { echo "$1 / $2" | bc -l; }
printf 'default workers: %.1fx (%.1fx without dot) (target >= 25)\n' "$(ratio "$doxy" "$tess")" "$(ratio "$nodot" "$tess")"
printf 'one worker:      %.1fx (%.1fx without dot) (target >= 15)\n' "$(ratio "$doxy" "$tess1")" "$(ratio "$nodot" "$tess1")"
