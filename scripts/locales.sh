#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Generates the locales named (such as de_DE.UTF-8) when they are missing, the
# Debian way: enabled in /etc/locale.gen, then built by locale-gen (package
# locales). C.UTF-8 comes with the C library and stays. Runs again without
# changing anything. Through sudo when not running as root.
set -euo pipefail

# locale -a writes de_DE.UTF-8 as de_DE.utf8.
available() { locale -a 2>/dev/null | grep -qix "$(echo "$1" | sed 's/\.UTF-8$/.utf8/I')"; }

missing=()
for l in "$@"; do
  available "$l" || missing+=("$l")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
for l in "${missing[@]}"; do
  line="$l ${l#*.}"  # "de_DE.UTF-8 UTF-8"
  if grep -Eq "^[# ]*$line\$" /etc/locale.gen 2>/dev/null; then
    $sudo sed -i -E "s/^[# ]*($line)\$/\\1/" /etc/locale.gen
  else
    echo "$line" | $sudo tee -a /etc/locale.gen >/dev/null
  fi
done
echo "Generating: ${missing[*]}"
$sudo locale-gen >/dev/null
for l in "${missing[@]}"; do
  available "$l" || { echo "locale $l could not be generated"; exit 1; }
done
