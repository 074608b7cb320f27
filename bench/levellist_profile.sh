#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The instructions of the level list's paste of 100 000 levels, from Ctrl+V
# until the window is repainted (parse, append, evaluation, repaint), counted
# by callgrind: a figure that does not depend on the load of the machine.
# Prints the total of RUNS pastes, the count per paste and the most
# expensive calls (inclusive).
#   bench/levellist_profile.sh BUILD_DIR [RUNS] [OUT_FILE]   (BUILD_DIR configured
#                                                             with the bench preset)
set -euo pipefail
build=$(cd "${1:?usage: levellist_profile.sh BUILD_DIR [RUNS] [OUT_FILE]}" && pwd)
runs=${2:-1}
out=${3:-$build/levellist.callgrind}
[ -x "$build/bench/bench_levellist" ] || { echo "missing $build/bench/bench_levellist"; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed"; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
bench_xvfb 341

valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$out" \
  "$build/bench/bench_levellist" "$runs" >/dev/null 2>"$work/valgrind.log" || {
  echo "bench_levellist under callgrind failed:"; tail "$work/valgrind.log"; exit 1; }
total=$(awk '/^summary:/ {print $2}' "$out")
echo "instructions of $runs paste(s) of 100 000 levels until repainted: $total ($((total / runs)) per paste)"
callgrind_annotate --inclusive=yes "$out" 2>/dev/null | sed -n '/^Ir/,$p' | head -40
