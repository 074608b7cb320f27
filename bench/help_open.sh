#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Opening time of the help window after F1 (bench/help_open.cpp), on a private
# Xvfb without a window manager. Runs the measuring program RUNS times (each
# run has one cold first F1: the help plugin and Qt PrintSupport are loaded)
# and prints the medians over the runs, per calculator.
#   bench/help_open.sh BUILD_DIR [RUNS] [REPEATS]   (BUILD_DIR configured with
#                                                   ORVELLA_BENCH=ON; build the
#                                                   target bench_help_open)
# Only the processes this script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: help_open.sh BUILD_DIR [RUNS] [REPEATS]}" && pwd)
runs=${2:-5}
repeats=${3:-10}
[ -x "$build/bench/bench_help_open" ] || { echo "missing $build/bench/bench_help_open: cmake --build $build --target bench_help_open"; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
bench_xvfb 300

for i in $(seq "$runs"); do
  "$build/bench/bench_help_open" "$repeats" >>"$work/lines" 2>>"$work/errors.log" || {
    echo "run $i failed:" >&2; cat "$work/errors.log" >&2; exit 1; }
done

echo "help window after F1: medians over $runs runs ($repeats warm openings each), Xvfb without window manager"
printf '%-14s %12s %12s %12s %12s %12s\n' window "cold F1" "warm F1" "warm max" "F1 again" "click"
awk '
  { n[$1]++; cold[$1, n[$1]] = $2; warm[$1, n[$1]] = $3; mx[$1, n[$1]] = $4; again[$1, n[$1]] = $5
    click[$1, n[$1]] = $6; order[$1] = NR }
  function med(a, k, c,   i, j, t, v) {
    for (i = 1; i <= c; i++) v[i] = a[k, i]
    for (i = 1; i <= c; i++) for (j = i + 1; j <= c; j++) if (v[j] + 0 < v[i] + 0) { t = v[i]; v[i] = v[j]; v[j] = t }
    return (c % 2) ? v[(c + 1) / 2] : (v[c / 2] + v[c / 2 + 1]) / 2
  }
  END {
    for (k in n) {
      c = (cold[k, 1] == "-") ? "-" : sprintf("%.1f ms", med(cold, k, n[k]))
      w = (click[k, 1] == "-") ? "-" : sprintf("%.1f ms", med(click, k, n[k]))
      printf "%-14s %12s %9.1f ms %9.1f ms %9.1f ms %12s\n", k, c, med(warm, k, n[k]), med(mx, k, n[k]), med(again, k, n[k]), w
    }
  }' "$work/lines" | sort -k2,2r

# For the table: over every calculator and run.
summary() {  # column: median and largest of that column over all lines
  awk -v c="$1" '$c != "-" {print $c}' "$work/lines" | sort -n |
    awk '{v[NR]=$1} END{m=(NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2; print m, v[NR]}'
}
read -r cold_med cold_max < <(summary 2)
read -r warm_med _ < <(summary 3)
read -r _ warm_max < <(summary 4)
read -r again_med again_max < <(summary 5)
read -r click_med _ < <(summary 6)
read -r _ click_max < <(summary 7)
bench_row "help after F1, first (plugin and Qt PrintSupport loaded)" "$cold_med" "$cold_max" 100
bench_row "help reopened: F1 after closing it, a new window (plugin loaded)" "$warm_med" "$warm_max" 16.7
bench_row "F1 on an open help (read again, raised)" "$again_med" "$again_max" 16.7
bench_row "worked calculation in the help after a calculate click" "$click_med" "$click_max" 16.7
