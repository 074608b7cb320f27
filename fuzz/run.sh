#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes every target for a bounded time or a bounded number of inputs:
#   fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]
#   FUZZ_RUNS=N fuzz/run.sh BUILD_DIR [SECONDS] [TARGET...]
# With FUZZ_RUNS set, each target runs N inputs (libFuzzer's -runs) and no
# time limit applies. One target after the other, each a single process.
# New inputs go to BUILD_DIR/fuzz-corpus/<target>/ (the committed seeds in
# fuzz/corpus/<target>/ are only read); an input that breaks a check is
# saved as BUILD_DIR/fuzz-findings/<target>-crash-... and ends the run with
# a non-zero status. Copy a finding into fuzz/corpus/<target>/ once it is
# fixed, so that make check replays it.
#
# For each target one line tells the inputs executed, the seconds taken,
# the files in its corpus folder afterwards and libFuzzer's closing
# coverage (cov: edges, ft: features); the whole log is
# BUILD_DIR/fuzz-findings/<target>.log.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [SECONDS] [TARGET...]}" && pwd)
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(readnumber formatresult schall keypad moisture dlprognose pastedtext levellisttext)
fi
runs=${FUZZ_RUNS:-}
if [ -n "$runs" ]; then
  case $runs in *[!0-9]*) echo "FUZZ_RUNS must be a number of inputs, not '$runs'" >&2; exit 2 ;; esac
  limit=(-runs="$runs")
  what="$runs inputs"
else
  limit=(-max_total_time="$seconds")
  what="${seconds}s"
fi

mkdir -p "$build/fuzz-findings"
failed=()
for t in "${targets[@]}"; do
  work="$build/fuzz-corpus/$t"
  log="$build/fuzz-findings/$t.log"
  mkdir -p "$work"
  dict=()
  case $t in readnumber|schall|moisture|dlprognose) dict=(-dict="$here/numbers.dict") ;; esac
  echo "== fuzz_$t for $what"
  start=$(date +%s)
  if ! "$build/fuzz/fuzz_$t" "${limit[@]}" -max_len=256 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$t-" "${dict[@]}" \
      "$work" "$here/corpus/$t" >"$log" 2>&1; then
    failed+=("$t")
    echo "   FINDING: see $log"
    grep -E 'property violated|ERROR: |runtime error|SUMMARY' "$log" | head -5 | sed 's/^/   /'
  else
    took=$(( $(date +%s) - start ))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    cov=$(sed -n 's/^#[0-9]*[[:space:]]*DONE .* cov: \([0-9]*\) ft: \([0-9]*\) .*/cov \1, ft \2/p' "$log" | tail -1)
    files=$(find "$work" -maxdepth 1 -type f | wc -l)
    echo "   ${execs:-?} inputs in ${took}s, corpus $files files, ${cov:-coverage not reported}"
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings in ${#targets[@]} targets ($what each)"
