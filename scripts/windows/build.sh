#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make windows:  build.sh BUILD_DIR
# Qt for Windows (once, from the cache afterwards: qt.sh), then Orvella and
# its tests cross-compiled into BUILD_DIR, then the installer and the zip:
#   BUILD_DIR/Orvella-<version>-Setup.exe, BUILD_DIR/Orvella-<version>-windows-x64.zip
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
mkdir -p "$build"
build=$(cd "$build" && pwd)
started=$(date +%s)
qt=$("$root/scripts/windows/qt.sh" | tail -n 1)
[ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ] || { echo "no Qt for Windows in $qt" >&2; exit 1; }
echo "== Orvella for Windows in $build"
# -O2 as the Linux build; the tests run under Wine (wine-run.sh) in a
# prefix of the build folder that make check-windows makes anew each run.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/windows/wine-run.sh;$qt;$build/wine" >/dev/null
cmake --build "$build"
echo "== installer and zip"
(cd "$build" && cpack >/dev/null)
for f in "$build"/Orvella-*-Setup.exe "$build"/Orvella-*-windows-x64.zip; do
  printf '   %s  %s\n' "$(du -h "$f" | cut -f1)" "$f"
done
s=$(( $(date +%s) - started ))
printf '== make windows took %d min %02d s\n' $((s / 60)) $((s % 60))
