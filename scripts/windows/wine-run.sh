#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a Windows test program under Wine; the Windows build's
# CMAKE_CROSSCOMPILING_EMULATOR, so that ctest runs every test program
# through it:  wine-run.sh QT_PREFIX WINE_PREFIX PROGRAM.exe ARGS...
# The Wine prefix is made on first use (scripts/windows/wineprefix.sh;
# make check-windows removes it first, so every run starts fresh). The
# program finds Qt's and the MinGW runtime's DLLs through WINEPATH and Qt's
# plugins (the offscreen
# platform the tests use, the SQLite driver) through QT_PLUGIN_PATH. The
# locale the test sets (LC_ALL, LANG) becomes Windows' regional setting.
# QT_FORCE_STDERR_LOGGING: QtTest and Qt's messages go to the terminal, not to
# the Windows debugger channel they choose when no console is attached.
set -euo pipefail
qt=$1 prefix=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -f "$prefix/.orvella-ready" ]; then
  mkdir -p "$(dirname "$prefix")"
  flock "$prefix.lock" bash -c '[ -f "$1/.orvella-ready" ] || "$2/wineprefix.sh" "$1" --headless' _ "$prefix" "$here"
fi
export WINEPREFIX=$prefix WINEDEBUG=${ORVELLA_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
threads=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")
export WINEPATH="Z:$qt/bin;Z:$runtime;Z:$threads" QT_PLUGIN_PATH="Z:$qt/plugins"
export QT_FORCE_STDERR_LOGGING=1
exec wine "$@"
