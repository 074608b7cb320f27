#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Measurement evaluation benchmark: F3 to the measurement window shown (the
# plugin and Qt Charts are loaded then), and an edit of a table of 1000
# positions until the evaluation and the charts are redrawn, and the window
# closed and opened again; each run of
# bench_measurement is a fresh process. Then checks that the program itself
# has neither the plugin nor Qt Charts mapped after start.
#   bench/measurement_bench.sh BUILD_DIR [RUNS]   (BUILD_DIR configured with
#                                                   the bench preset; builds
#                                                   bench_measurement)
# Runs on a private Xvfb without a window manager; only the processes this
# script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: measurement_bench.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-9}
for f in orvella bench/bench_measurement plugins/orvella_measurement.so; do
  [ -e "$build/$f" ] || { echo "missing $build/$f: cmake --build $build --target orvella bench_measurement"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
bench_xvfb 300

"$build/bench/bench_measurement" 3 >/dev/null  # warm-up: the files in the page cache
for i in $(seq "$runs"); do
  "$build/bench/bench_measurement" 10 >>"$work/all" 2>>"$work/errors.log" || {
    echo "run $i failed:" >&2; cat "$work/errors.log" >&2; exit 1; }
done

echo "measurement benchmark: $runs runs of bench_measurement (20 edits each)"
printf '%-38s %10s %10s %10s\n' "" "median" "max" "limit"
# A row: the median of column 2 and the maximum of column MAX of key KEY.
awk -v runs="$runs" '
  function med(a, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] > a[j]; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  function row(text, k, limit,   n) {
    n = count[k]; if (!n) return
    printf "%-38s %7.1f ms %7.1f ms %7s ms\n", text, med2(k, n), top[k], limit
  }
  function med2(k, n,   i, a) { for (i = 1; i <= n; i++) a[i] = v[k, i]; return med(a, n) }
  $1 == "first_open_ms" || $1 == "recompute_1000_ms" || $1 == "reopen_ms" {
    count[$1]++; v[$1, count[$1]] = $2; m = NF > 2 ? $3 : $2; if (m > top[$1]) top[$1] = m
  }
  $1 == "charts_loaded_before_f3" { before[$2] = 1 }
  END {
    row("measurement window after F3 (first)", "first_open_ms", 150)
    row("edit with 1000 positions, redrawn", "recompute_1000_ms", 30)
    row("reopened after closing it", "reopen_ms", 16.7)
    printf "Qt Charts mapped before the first F3: %s\n", (1 in before) ? "yes (FAILED)" : "no"
  }' "$work/all"
summary() {  # key: median and largest (of the lines' own largest) over the runs
  awk -v k="$1" '$1 == k {print $2, (NF > 2 ? $3 : $2)}' "$work/all" | sort -n |
    awk '{v[NR]=$1; if ($2 > top) top = $2} END{print ((NR%2)?v[(NR+1)/2]:(v[NR/2]+v[NR/2+1])/2), top}'
}
read -r med top < <(summary first_open_ms)
bench_row "Messauswertung after F3, first (plugin and Qt Charts loaded)" "$med" "$top" 100
read -r med top < <(summary recompute_1000_ms)
bench_row "Messauswertung: an edit with 1000 positions, redrawn" "$med" "$top" 16.7
read -r med top < <(summary reopen_ms)
bench_row "Messauswertung reopened after closing it" "$med" "$top" 16.7
grep -q '^charts_loaded_before_f3 1' "$work/all" && exit 1

# The program itself: neither the plugin nor Qt Charts is loaded at start.
"$build/orvella" >/dev/null 2>&1 &
app=$!
sleep 2
mapped=$(grep -c -e libQt6Charts -e orvella_measurement "/proc/$app/maps" || true)
kill "$app" 2>/dev/null && wait "$app" 2>/dev/null || true
echo "orvella after start: mappings of Qt Charts and the measurement plugin: $mapped (must be 0)"
[ "$mapped" = 0 ]
