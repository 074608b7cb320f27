#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Parameter study benchmark: F2 to the study window shown (the first of a
# run, when the plugin and Qt Charts are loaded, and later ones), and a change
# of a 1001-point range until it is redrawn; each run of bench_study is a
# fresh process. Then checks that the program itself neither links Qt Charts
# nor has it mapped after start.
#   bench/study_bench.sh BUILD_DIR [RUNS]   (BUILD_DIR configured with the
#                                             bench preset; builds bench_study)
#   bench/study_bench.sh BUILD_DIR --instructions [REPEATS]
#       instead: the instructions of a new study window (callgrind, counted
#       from F2 until the window is painted, REPEATS windows, default 4), with
#       the most expensive calls; the callgrind file stays in BUILD_DIR.
# Runs on a private Xvfb; only the processes this script starts are stopped,
# by pid.
set -euo pipefail
build=$(cd "${1:?usage: study_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-9}
for f in orvella bench/bench_study plugins/orvella_study.so; do
  [ -e "$build/$f" ] || { echo "missing $build/$f: cmake --build $build --target orvella bench_study"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

work=$(mktemp -d)
xvfb= app=
stop() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null || true; }
cleanup() { stop "$app"; stop "$xvfb"; rm -rf "$work"; }
trap cleanup EXIT

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
start_xvfb "$work" 300 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
sleep 0.3

if [ "$runs" = --instructions ]; then
  command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 1; }
  repeats=${3:-4}
  out="$build/study_windows.callgrind"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out" \
    "$build/bench/bench_study" "$repeats" >/dev/null 2>"$work/callgrind.log" || {
    echo "bench_study under callgrind failed"; cat "$work/callgrind.log"
    echo "(Debian 12's valgrind reads no DWARF 5: configure BUILD_DIR with -gdwarf-4 in its CMAKE_CXX_FLAGS)"
    exit 1; }
  total=$(sed -n 's/^summary: //p' "$out")
  awk -v n="$total" -v r="$repeats" \
    'BEGIN{printf "a new study window: %.1f M instructions (%d windows, callgrind)\n", n/r/1e6, r}'
  echo "most expensive calls (inclusive, all windows):"
  callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$out" 2>/dev/null |
    grep -E '^ *[0-9,]+ \(' | grep -v 'PROGRAM TOTALS' | head -40
  exit 0
fi

"$build/bench/bench_study" 3 >/dev/null  # warm-up: the files in the page cache
for i in $(seq "$runs"); do
  "$build/bench/bench_study" 10 >"$work/result.$i" || { echo "bench_study failed"; exit 1; }
done
cat "$work"/result.* >"$work/all"

median() { sort -n | awk '{v[NR]=$1} END{if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }
maximum() { sort -n | tail -1; }
col() { awk -v k="$1" -v c="$2" '$1==k {print $c}' "$work/all"; }

echo "study benchmark: $runs runs of bench_study (10 repeats each), Xvfb without window manager"
printf '%-34s %10s %10s %10s\n' "" "median" "max" "limit"
printf '%-34s %7.1f ms %7.1f ms %7s ms\n' "first study window after F2" "$(col first_open_ms 2 | median)" \
  "$(col first_open_ms 2 | maximum)" 150
printf '%-34s %7.1f ms %7.1f ms %7s ms\n' "later study windows (new) after F2" "$(col later_open_ms 2 | median)" \
  "$(col later_open_ms 3 | maximum)" 50
printf '%-34s %7.1f ms %7.1f ms %7s ms\n' "study reopened after closing it" "$(col reopen_ms 2 | median)" \
  "$(col reopen_ms 3 | maximum)" 50
printf '%-34s %7.1f ms %7.1f ms %7s ms\n' "range change, 1001 points, redrawn" "$(col recompute_1001_ms 2 | median)" \
  "$(col recompute_1001_ms 3 | maximum)" 30
bench_row "study after F2, first (plugin and Qt Charts loaded)" "$(col first_open_ms 2 | median)" \
  "$(col first_open_ms 2 | maximum)" 100
bench_row "study after F2, a new window (plugin loaded)" "$(col later_open_ms 2 | median)" \
  "$(col later_open_ms 3 | maximum)" 16.7
bench_row "study reopened after closing it" "$(col reopen_ms 2 | median)" "$(col reopen_ms 3 | maximum)" 16.7
bench_row "study: a range change of 1001 points, redrawn" "$(col recompute_1001_ms 2 | median)" \
  "$(col recompute_1001_ms 3 | maximum)" 16.7
echo "Qt Charts mapped before the first F2 (bench_study): $(col charts_loaded_before_f2 2 | sort -u | tr '\n' ' ')"

# The program itself: Qt Charts is neither a dependency nor loaded at start.
if readelf -d "$build/orvella" | grep NEEDED | grep -qi charts; then
  echo "orvella links Qt Charts: FAILED"; exit 1
fi
"$build/orvella" >/dev/null 2>&1 &
app=$!
sleep 2
charts=$(grep -c libQt6Charts "/proc/$app/maps" || true)
echo "orvella after start: libQt6Charts mappings: $charts (must be 0)"
[ "$charts" = 0 ]
