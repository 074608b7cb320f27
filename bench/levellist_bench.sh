#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Level list benchmark: 100 000 pasted levels until their results are
# computed and shown (the aim: 50 ms), an edit of one of them and a key in
# "Fremdgeräusch LB" with all of them in the list; the list's first opening
# and its reopening with the levels in it. Each run of
# bench_levellist is a fresh process.
#   bench/levellist_bench.sh BUILD_DIR [RUNS]   (BUILD_DIR configured with the
#                                                 bench preset)
# Runs on a private Xvfb; only the processes this script starts are stopped,
# by pid.
set -euo pipefail
build=$(cd "${1:?usage: levellist_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-5}
for f in bench/bench_levellist plugins/orvella_levellist.so; do
  [ -e "$build/$f" ] || { echo "missing $build/$f: cmake --build $build --target bench_levellist"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
bench_xvfb 340

for i in $(seq "$runs"); do
  "$build/bench/bench_levellist" 10 >"$work/result.$i" || { echo "bench_levellist failed"; exit 1; }
done
cat "$work"/result.* >"$work/all"

median() { sort -n | awk '{v[NR]=$1} END{if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
maximum() { sort -n | tail -1; }
col() { awk -v k="$1" -v c="$2" '$1==k {print $c}' "$work/all"; }

echo "level list benchmark: $runs runs of bench_levellist (10 repeats each), Xvfb without window manager"
printf '%-44s %10s %10s %10s\n' "" "median" "max" "aim"
row() { printf '%-44s %7.1f ms %7.1f ms %7s ms\n' "$1" "$(col "$2" 2 | median)" "$(col "$2" 3 | maximum)" "$3"; }
printf '%-44s %7.1f ms %7.1f ms %7s ms\n' "first opening (plugin loaded)" "$(col first_open_ms 2 | median)" \
  "$(col first_open_ms 2 | maximum)" 100
row "reopened after closing it, 100 000 levels" reopen_ms 16.7
row "100 000 levels pasted: results computed" paste_100000_results_ms 50
row "100 000 levels pasted: window repainted" paste_100000_painted_ms 50
row "one of 100 000 levels edited, repainted" edit_one_of_100000_ms 50
row "a key in LB with 100 000 levels, repainted" background_key_100000_ms 50
table() { bench_row "$1" "$(col "$2" 2 | median)" "$(col "$2" 3 | maximum)" "$3"; }
bench_row "Pegelliste, first (plugin loaded)" "$(col first_open_ms 2 | median)" "$(col first_open_ms 2 | maximum)" 100
table "Pegelliste reopened after closing it, 100 000 levels" reopen_ms 16.7
table "Pegelliste: 100 000 levels pasted, repainted" paste_100000_painted_ms 50
table "Pegelliste: one of 100 000 levels edited, repainted" edit_one_of_100000_ms 16.7
table "Pegelliste: a key in LB with 100 000 levels, repainted" background_key_100000_ms 16.7
