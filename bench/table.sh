#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The one table that make bench ends with: every measured interaction, its
# median and its worst case over the runs, its bound, and whether the worst
# case keeps within it.
#   . bench/table.sh; bench_row TEXT MEDIAN WORST BOUND [UNIT]
#       appends a row to $BENCH_TABLE (nothing when it is not set)
#   bench/table.sh FILE   prints the table of FILE
# A bound of "-" is shown without a verdict (a figure the issue sets no
# bound for).

bench_row() {
  [ -n "${BENCH_TABLE:-}" ] || return 0
  printf '%s\t%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4" "${5:-ms}" >>"$BENCH_TABLE"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  file=${1:?usage: table.sh FILE}
  [ -s "$file" ] || { echo "no figures in $file"; exit 1; }
  cpu=$(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')
  echo
  echo "== every interaction, $(date +%F), $(nproc) cores, $cpu"
  awk -F'\t' '
    BEGIN { printf "%-66s %11s %11s %11s  %s\n", "interaction", "median", "worst", "bound", "within" }
    {
      unit = $5; fmt = (unit == "x") ? "%10.3f%s" : "%8.1f %s"
      worst = ($3 == "-") ? $2 : $3
      verdict = ($4 == "-") ? "" : ((worst + 0 <= $4 + 0) ? "yes" : "NO")
      bound = ($4 == "-") ? "-" : sprintf(fmt, $4, unit)
      printf "%-66s " fmt " " fmt " %11s  %s\n", $1, $2, unit, worst, unit, bound, verdict
      if (verdict == "NO") late++
    }
    END { printf "%d of %d interactions outside their bound\n", late + 0, NR }' "$file"
fi
