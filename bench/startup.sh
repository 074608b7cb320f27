#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Startup benchmark: time from starting the program to its first window being
# mapped, and peak resident memory, for Orvella and for a minimal Qt Widgets
# window (bench/minimal.cpp) built by the same CMake. Runs on a private Xvfb
# without a window manager, alternating the two programs (which one goes
# first alternates too), after one unmeasured warm-up run of each; prints the
# medians and the ratios Orvella / minimal, with the CPU time the program
# used until its window was mapped (steadier on a busy machine).
#   bench/startup.sh BUILD_DIR [RUNS]     (make bench; BUILD_DIR configured
#                                          with ORVELLA_BENCH=ON)
# Only the processes this script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: startup.sh BUILD_DIR [RUNS]}" && pwd)
runs=${2:-15}
settle_ms=1000
for f in orvella bench/bench_minimal bench/bench_mapwait; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the bench preset first (make bench)"; exit 1; }
done
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (make bench installs it)"; exit 1; }

work=$(mktemp -d)
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

. "$(dirname "$0")/../scripts/xserver.sh"
start_xvfb "$work" 200 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
sleep 0.3

measure() {  # prints "ms kib"
  "$build/bench/bench_mapwait" "$settle_ms" "$1" 2>>"$work/errors.log" || {
    echo "run of $1 failed:" >&2; cat "$work/errors.log" >&2; exit 1; }
}

orvella=$build/orvella minimal=$build/bench/bench_minimal
measure "$orvella" >/dev/null
measure "$minimal" >/dev/null
: >"$work/orvella" ; : >"$work/minimal"
for i in $(seq "$runs"); do
  if [ $((i % 2)) = 1 ]; then
    measure "$orvella" >>"$work/orvella"; measure "$minimal" >>"$work/minimal"
  else
    measure "$minimal" >>"$work/minimal"; measure "$orvella" >>"$work/orvella"
  fi
done

median() {  # column file
  sort -n -k"$1" "$2" | awk -v c="$1" '{v[NR]=$c} END{if (NR%2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'
}
ot=$(median 1 "$work/orvella") om=$(median 2 "$work/orvella") oc=$(median 3 "$work/orvella")
mt=$(median 1 "$work/minimal") mm=$(median 2 "$work/minimal") mc=$(median 3 "$work/minimal")
echo "startup benchmark: medians of $runs runs each, alternating, Xvfb without window manager"
printf '%-20s %14s %16s %18s\n' "" "time to map" "peak RSS" "CPU time to map"
printf '%-20s %11.1f ms %12.0f KiB %15.1f ms\n' "orvella" "$ot" "$om" "$oc" \
  "minimal Qt window" "$mt" "$mm" "$mc"
awk -v ot="$ot" -v mt="$mt" -v om="$om" -v mm="$mm" -v oc="$oc" -v mc="$mc" \
  'BEGIN{printf "%-20s %13.3fx %15.3fx %17.3fx\n", "ratio", ot/mt, om/mm, oc/mc}'
