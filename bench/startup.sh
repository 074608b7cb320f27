#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Startup benchmark: time from starting a program to the first drawing of its
# first window (seen through the X Damage extension), with the time to the
# map, the CPU time until the paint and the peak resident memory, for
# Orvella and two references built by the same CMake with the same flags:
#   one-button   bench/minimal.cpp, a window with one push button
#   empty        bench/empty.cpp, an empty window (the floor of Qt itself)
# Runs on a private Xvfb without a window manager, after one unmeasured
# warm-up run of each; the three programs alternate and the one that goes
# first rotates. Prints the machine, the medians and the ratios of Orvella
# to each reference.
#   bench/startup.sh BUILD_DIR [RUNS]     (make bench; BUILD_DIR configured
#                                          with ORVELLA_BENCH=ON)
# Only the processes this script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: startup.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-15}
settle_ms=1000
for f in orvella bench/bench_minimal bench/bench_empty bench/bench_firstpaint; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the bench preset first (make bench)"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (make bench installs it)"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
. "$(dirname "$0")/table.sh"
bench_xvfb 200

programs=(orvella minimal empty)
declare -A path=([orvella]=$build/orvella [minimal]=$build/bench/bench_minimal
                 [empty]=$build/bench/bench_empty)

measure() {  # name: appends "paint map rss cpu_paint cpu_map" to $work/name
  "$build/bench/bench_firstpaint" "$settle_ms" "${path[$1]}" >>"$work/$1" 2>>"$work/errors.log" || {
    echo "run of $1 failed:" >&2; cat "$work/errors.log" >&2; exit 1; }
}

for p in "${programs[@]}"; do measure "$p"; : >"$work/$p"; done
for i in $(seq "$runs"); do
  for k in 0 1 2; do measure "${programs[$(( (i + k) % 3 ))]}"; done
done

median() {  # column file
  sort -n -k"$1" "$2" | awk -v c="$1" '{v[NR]=$c} END{if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'
}
declare -A m
for p in "${programs[@]}"; do
  for c in 1 2 3 4 5; do m[$p,$c]=$(median "$c" "$work/$p"); done
done

cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
echo "startup benchmark, $(date +%F): $(nproc) cores, $cpu; Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo 6)"
echo "medians of $runs runs each, alternating, Xvfb without window manager"
printf '%-22s %14s %12s %15s %14s\n' "" "first paint" "map" "CPU to paint" "peak RSS"
row() {  # label name
  printf '%-22s %11.1f ms %9.1f ms %12.1f ms %10.0f KiB\n' "$1" "${m[$2,1]}" "${m[$2,2]}" "${m[$2,4]}" "${m[$2,3]}"
}
row "orvella" orvella
row "one-button window" minimal
row "empty window" empty
ratio() {  # label reference
  awk -v l="$1" -v a="${m[orvella,1]}" -v b="${m[$2,1]}" -v c="${m[orvella,2]}" -v d="${m[$2,2]}" \
      -v e="${m[orvella,4]}" -v f="${m[$2,4]}" -v g="${m[orvella,3]}" -v h="${m[$2,3]}" \
      'BEGIN{printf "%-22s %13.3fx %11.3fx %14.3fx %13.3fx\n", l, a/b, c/d, e/f, g/h}'
}
ratio "ratio to one-button" minimal
ratio "ratio to empty" empty
bench_row "start-up: first paint against the one-button window${BENCH_STARTUP_LABEL:-}" \
  "$(awk -v a="${m[orvella,1]}" -v b="${m[minimal,1]}" 'BEGIN{printf "%.3f", a/b}')" - 1.05 x
