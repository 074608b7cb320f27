#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A fresh Wine prefix for the Windows tests:  wineprefix.sh DIR [--headless]
# Whatever DIR held is removed first. --headless: Wine's null display driver,
# for test programs that draw offscreen and need no X server (Qt still makes
# its message windows). Wine's Mono and Gecko installers are
# switched off (they would ask for a download). The designs' font and the
# common Windows faces are given metric-compatible stand-ins from Debian's
# fonts-liberation2: a Windows desktop has its own, a Wine prefix has none
# and would draw them with a serif fallback.
set -euo pipefail
prefix=$1
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver -k 2>/dev/null || true
rm -rf "$prefix"
mkdir -p "$prefix"
wineboot -i >/dev/null 2>&1
reg() { wine reg add "$1" /v "$2" /d "$3" /f >/dev/null 2>&1; }
for face in "MS Sans Serif" "Microsoft Sans Serif" "Arial" "Segoe UI" "Tahoma"; do
  reg 'HKCU\Software\Wine\Fonts\Replacements' "$face" "Liberation Sans"
done
reg 'HKCU\Software\Wine\Fonts\Replacements' "Times New Roman" "Liberation Serif"
reg 'HKCU\Software\Wine\Fonts\Replacements' "Courier New" "Liberation Mono"
[ "${2:-}" = --headless ] && wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wineserver -w
touch "$prefix/.orvella-ready"
