#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Where the start-up goes: counts the instructions of Orvella, the one-button
# window (bench/minimal.cpp) and the empty window (bench/empty.cpp) from the
# start of the process to the first image it puts on its window, with
# callgrind, on a private Xvfb without a window manager. Instruction counts
# do not depend on the load of the machine. Prints the totals, the ratios and
# Orvella's most expensive calls (inclusive); the callgrind files stay in
# OUT_DIR for callgrind_annotate or KCachegrind.
#   bench/profile.sh BUILD_DIR [OUT_DIR]     (make profile; BUILD_DIR
#                                             configured with ORVELLA_BENCH=ON)
# Under callgrind a program runs some fifty times slower: the menu then takes
# seconds to appear, within the five seconds after which Orvella draws its
# icon even when no window has been shown.
set -euo pipefail
build=$(cd "${1:?usage: profile.sh BUILD_DIR [OUT_DIR]}" && pwd)
out=${2:-$build/profile}
for f in orvella bench/bench_minimal bench/bench_empty bench/bench_firstpaint; do
  [ -x "$build/$f" ] || { echo "missing $build/$f: build the bench preset first (make profile)"; exit 1; }
done
command -v valgrind >/dev/null || { echo "valgrind is not installed (make profile installs it)"; exit 1; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed (make profile installs it)"; exit 1; }

. "$(dirname "$0")/../scripts/xserver.sh"
bench_xvfb 250
rm -rf "$out"
mkdir -p "$out"

# The first image put ends the measured part (shared memory or not); the
# program is ended once the X server has seen the drawing.
profile() {  # name program
  cat >"$work/run-$1" <<EOS
#!/bin/sh
exec valgrind --tool=callgrind --dump-before=xcb_shm_put_image --dump-before=xcb_put_image \
  --callgrind-out-file="$out/$1.%p" "$2"
EOS
  chmod +x "$work/run-$1"
  "$build/bench/bench_firstpaint" 0 "$work/run-$1" >/dev/null 2>"$work/$1.log" || {
    echo "profile of $1 failed:"; cat "$work/$1.log"; exit 1; }
  # Part 1 of the main process: everything before the first image put.
  local first
  first=$(grep -l '^desc: Trigger: --dump-before' "$out/$1".*.1 2>/dev/null | head -1)
  [ -n "$first" ] || { echo "no dump before the first image put for $1"; exit 1; }
  mv "$first" "$out/$1.callgrind"
  sed -n 's/^summary: //p' "$out/$1.callgrind"
}

declare -A total
for p in orvella:"$build/orvella" minimal:"$build/bench/bench_minimal" empty:"$build/bench/bench_empty"; do
  total[${p%%:*}]=$(profile "${p%%:*}" "${p#*:}")
done

echo "instructions from the start to the first image put (callgrind)"
printf '%-20s %14s %10s\n' "" instructions ratio
for p in orvella minimal empty; do
  label=$p; [ $p = minimal ] && label="one-button window"; [ $p = empty ] && label="empty window"
  awk -v l="$label" -v n="${total[$p]}" -v m="${total[minimal]}" \
    'BEGIN{printf "%-20s %14.1f M %9.3fx\n", l, n/1e6, n/m}'
done
echo
echo "Orvella's most expensive calls before the first image put (inclusive):"
callgrind_annotate --auto=no --inclusive=yes --threshold=100 "$out/orvella.callgrind" 2>/dev/null |
  grep -E '^ *[0-9,]+ \(' | grep -v 'PROGRAM TOTALS' |
  grep -E 'orvella::|QApplication::QApplication|QFontDatabase|QWidgetRepaintManager::paintAndFlush|QIcon|QSvg|_dl_start |FcInit' |
  sed -E 's/ \[[^]]*\]$//; s/\([^()]*\)( const)?$//; s/^( *[0-9,]+) \(([ 0-9.]+%)\) +[^:]*:/\1  \2  /' |
  awk '!seen[$3]++' | head -20
echo "callgrind files: $out"
