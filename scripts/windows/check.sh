#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make check-windows:  check.sh BUILD_DIR [CTEST_JOBS]
# Every test of the Windows build: the test programs under Wine in the C and
# the German locale (a fresh Wine prefix for this run), the import check, and
# the installer's install-run-uninstall test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "$1" && pwd)
jobs=${2:-3}
started=$(date +%s)
echo "== a fresh Wine prefix in $build/wine"
"$root/scripts/windows/wineprefix.sh" "$build/wine" --headless
cd "$build"
status=0
ctest --output-on-failure -j "$jobs" || status=$?
s=$(( $(date +%s) - started ))
printf '== make check-windows: the tests took %d min %02d s\n' $((s / 60)) $((s % 60))
exit $status
