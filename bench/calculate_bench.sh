#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A calculate click answered (bench/calculate_bench.cpp): from the release of
# the mouse button to the first drawing in the result field, the first click
# after start and later ones; and the Verlauf opened with Ctrl+H, the first
# time and again. Each run of bench_calculate is a fresh process, with an
# empty Verlauf of its own or, when HISTORY (a data folder holding
# orvella/verlauf.sqlite) is given, a copy of that one.
#   bench/calculate_bench.sh BUILD_DIR [RUNS [HISTORY LABEL]]
#                                    (BUILD_DIR configured with the bench
#                                    preset; builds bench_calculate)
# Runs on a private Xvfb without a window manager; only the processes this
# script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: calculate_bench.sh BUILD_DIR [RUNS [HISTORY LABEL]]}" && pwd)
runs=${2:-7}
history=${3:-}
label=${4:-empty Verlauf}
for f in bench/bench_calculate plugins/orvella_history.so; do
  [ -e "$build/$f" ] || { echo "missing $build/$f: cmake --build $build --target bench_calculate"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
bench_xvfb 360

# A fresh data folder per run: the empty Verlauf or a copy of HISTORY.
fresh() {
  rm -rf "$work/data" "$work/config"
  mkdir -p "$work/data" "$work/config"
  [ -z "$history" ] || cp -r "$history/orvella" "$work/data/"
}
measure() {  # mode: appends its lines to $work/all
  fresh
  XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config "$build/bench/bench_calculate" "$1" 10 \
    >>"$work/all" 2>>"$work/errors.log" || { echo "bench_calculate $1 failed:" >&2; cat "$work/errors.log" >&2; exit 1; }
}
measure clicks >/dev/null && : >"$work/all"  # warm-up: the files in the page cache
for i in $(seq "$runs"); do
  measure clicks
  measure verlauf
done

summary() {  # key: median and largest (of the lines' own largest) over the runs
  awk -v k="$1" '$1 == k {print $2, (NF > 2 ? $3 : $2)}' "$work/all" | sort -n |
    awk '{v[NR]=$1; if ($2 > top) top = $2} END{print ((NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2), top}'
}
echo "calculate click and Verlauf, $label: $runs runs of bench_calculate (10 repeats each)"
printf '%-52s %10s %10s\n' "" median max
row() {  # text key bound
  local med top
  read -r med top < <(summary "$2")
  printf '%-52s %7.1f ms %7.1f ms\n' "$1" "$med" "$top"
  bench_row "$1, $label" "$med" "$top" "$3"
}
row "calculate click answered, first after start" first_click_ms 16.7
row "calculate click answered, later" later_click_ms 16.7
row "Verlauf after Ctrl+H, first (plugin, Qt SQL)" verlauf_first_ms 100
row "Verlauf after Ctrl+H again, after closing it" verlauf_reopen_ms 16.7
