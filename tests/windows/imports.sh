#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every DLL that the installed program, its plugins and the DLLs shipped
# beside it import is either shipped in the program's folder or part of
# Windows; every DLL shipped there is imported by something (the list of
# deployed DLLs is kept by hand in packaging/windows/windows.cmake); every
# file is 64-bit.
#   imports.sh OBJDUMP BUILD_DIR SYSTEM_DLL_LIST
set -u
objdump=$1 build=$2 system_list=$(realpath "$3")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/Orvella" >/dev/null || { echo "FAIL - cmake --install"; exit 1; }
cd "$work/Orvella"

lower() { tr '[:upper:]' '[:lower:]'; }
grep -v '^#' "$system_list" | lower | sed '/^$/d' | sort -u >"$work/system"
find . -maxdepth 1 -iname '*.dll' -printf '%f\n' | lower | sort -u >"$work/shipped"
: >"$work/imported"
failures=0 files=0
while IFS= read -r -d '' file; do
  files=$((files + 1))
  dump=$("$objdump" -p "$file" 2>&1)
  if ! grep -q 'file format pei-x86-64' <<<"$dump"; then
    echo "FAIL - $file is not a 64-bit Windows file"; failures=$((failures + 1)); continue
  fi
  while read -r dll; do
    echo "$dll" >>"$work/imported"
    if ! grep -qxF "$dll" "$work/shipped" "$work/system" && [[ $dll != api-ms-win-* ]]; then
      echo "FAIL - $file imports $dll: neither shipped nor part of Windows"; failures=$((failures + 1))
    fi
  done < <(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | lower)
done < <(find . -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)
while read -r dll; do
  grep -qxF "$dll" "$work/imported" || { echo "FAIL - $dll is shipped but nothing imports it"; failures=$((failures + 1)); }
done <"$work/shipped"
echo "$files files, $(sort -u "$work/imported" | wc -l) DLLs imported, $(wc -l <"$work/shipped") shipped"
[ "$files" -gt 0 ] || { echo "FAIL - nothing installed"; exit 1; }
[ "$failures" -eq 0 ]
