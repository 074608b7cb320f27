#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fuzzes every target for a bounded time:
#   fuzz/run.sh BUILD_DIR [SECONDS_PER_TARGET] [TARGET...]
# New inputs go to BUILD_DIR/fuzz-corpus/<target>/ (the committed seeds in
# fuzz/corpus/<target>/ are only read); an input that breaks a check is
# saved as BUILD_DIR/fuzz-findings/<target>-crash-... and ends the run with
# a non-zero status. Copy a finding into fuzz/corpus/<target>/ once it is
# fixed, so that make check replays it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?usage: run.sh BUILD_DIR [SECONDS] [TARGET...]}" && pwd)
seconds=${2:-60}
shift $(( $# >= 2 ? 2 : 1 ))
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(readnumber formatresult schall keypad moisture dlprognose)
fi

mkdir -p "$build/fuzz-findings"
failed=()
for t in "${targets[@]}"; do
  work="$build/fuzz-corpus/$t"
  mkdir -p "$work"
  dict=()
  case $t in readnumber|schall|moisture|dlprognose) dict=(-dict="$here/numbers.dict") ;; esac
  echo "== fuzz_$t for ${seconds}s"
  if ! "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=256 -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$t-" "${dict[@]}" \
      "$work" "$here/corpus/$t" >"$build/fuzz-findings/$t.log" 2>&1; then
    failed+=("$t")
    echo "   FINDING: see $build/fuzz-findings/$t.log"
    grep -E 'property violated|ERROR: |runtime error|SUMMARY' "$build/fuzz-findings/$t.log" | head -5 | sed 's/^/   /'
  else
    grep -E '^stat::number_of_executed_units|^#[0-9]+ *DONE' "$build/fuzz-findings/$t.log" | tail -2 | sed 's/^/   /'
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}"
  exit 1
fi
echo "fuzzing: no findings in ${#targets[@]} targets (${seconds}s each)"
