#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the Windows installer under Wine, on a private Xvfb with
# openbox, in a fresh Wine prefix:
#   install_run_uninstall.sh SETUP.EXE ARTEFACT_DIR
# Installs Setup.exe silently for the current user; checks the program's
# folder, the Start-menu entry and the uninstaller's registration; starts
# Orvella from the Start-menu entry; computes in each of the five calculators
# through their windows (the keypad from the keyboard, the others with their
# designed inputs and a click on the calculate button); opens the help (F1),
# the study (F2), the level list (F2 on the keypad), the measurement
# evaluation (F3) and the Verlauf (Ctrl+H); closes the menu; reads every
# calculation back from the Verlauf file in the user's data folder; then
# uninstalls silently with the registered command: the program's folder and
# Start-menu entry are gone, the Verlauf stays. Runs in the locale of the
# test (C.UTF-8 or de_DE.UTF-8: the Windows regional setting under Wine).
# Screenshots go to ARTEFACT_DIR. Only the processes this script started are
# stopped: by pid, and the Wine prefix's own wineserver.
set -u
setup=$1
artefacts=$2
locale=${LC_ALL:-C.UTF-8}
[ "$locale" = C.UTF-8 ] || artefacts=$artefacts-${locale%%.*}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

for tool in wine wineserver Xvfb openbox xdotool xwininfo wmctrl import sqlite3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (make check-windows installs it)"; exit 77; }
done
[ -f "$setup" ] || { echo "SKIP: $setup not built (make windows builds it)"; exit 77; }

mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
work=$(mktemp -d)
xvfb= wm=
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null
  for pid in $wm $xvfb; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

failures=0 checks=0
pass() { checks=$((checks + 1)); echo "ok   - $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL - $*"; shot "failure-$checks"; }
shot() { import -window root "$artefacts/$1.png" 2>/dev/null; }
finish() { echo "$((checks - failures)) passed, $failures failed"; [ "$failures" -eq 0 ]; exit; }

. "$root/scripts/xserver.sh"
start_xvfb "$work" 170 1280 1024 "$locale" || { echo "FAIL - Xvfb did not start"; exit 1; }
start_openbox "$work" || { echo "FAIL - openbox did not start"; exit 1; }
"$root/scripts/windows/wineprefix.sh" "$WINEPREFIX" || { echo "FAIL - wineboot"; exit 1; }

# --- install ---------------------------------------------------------------
timeout 300 wine "$setup" /S /CurrentUser
timeout 60 wineserver -w
regvalue() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
winpath=$(regvalue 'HKCU\Software\Orvella' InstallLocation)
installed=$(wine winepath -u "$winpath" 2>/dev/null | tr -d '\r')
users=$WINEPREFIX/drive_c/users/$(id -un)
data=$users/AppData/Local/orvella
link=$users/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Orvella.lnk
if [ -n "$winpath" ] && [ -f "$installed/orvella.exe" ] && [ -f "$installed/plugins/orvella_help.dll" ]; then
  pass "installed for the user into $winpath"
else
  fail "no orvella.exe in the registered folder '$winpath'"; finish
fi
[ -f "$link" ] && pass "Start-menu entry" || fail "no Start-menu entry at $link"
uninstall=$(regvalue 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvella' QuietUninstallString)
[[ $uninstall == *Uninstall.exe* ]] && pass "uninstaller registered: $uninstall" || fail "no uninstaller registered"

# --- run from the Start menu -----------------------------------------------
wine start /unix "$link" >"$work/orvella.log" 2>&1

window() { # waits up to 30 s for a visible window whose title matches; prints its id
  local id
  for _ in $(seq 300); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { sleep 0.5; echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
gone() { for _ in $(seq 100); do xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 || return 0; sleep 0.1; done; return 1; }
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }
click() { activate "$1"; xdotool mousemove --window "$1" "$2" "$3" click 1; }

menu=$(window '^Orvella {28}[^ ]') || { fail "no menu window"; cat "$work/orvella.log"; finish; }
pass "the menu appears"
shot orvella-menu-wine
# Menu buttons, calculate and CLOSE buttons: centres in client pixels of the
# designs (twips / 15 at 96 dpi), captions of the calculators.
declare -A OPEN=([keypad]="156 36" [schall]="156 68" [dl]="156 124" [feuchte]="156 180" [temperatur]="156 212")
declare -A TITLE=([keypad]='^Orvella$' [schall]='^Orvella {142}' [dl]='^Orvella {64}' [feuchte]='^Orvella {47}' [temperatur]='^Orvella {47}')
declare -A RUN=([schall]="120 132;444 132" [dl]="208 300" [feuchte]="180 132" [temperatur]="180 84")
declare -A CLOSE=([keypad]="92 244" [schall]="328 188" [dl]="212 444" [feuchte]="184 292" [temperatur]="184 236")
open_calc() { # name: opens it from the menu, prints its window id
  local id
  # shellcheck disable=SC2086
  click "$menu" ${OPEN[$1]}
  id=$(window "${TITLE[$1]}") && [ "$id" != "$menu" ] && echo "$id"
}
close_calc() { # name id: CLOSE brings back the menu
  # shellcheck disable=SC2086
  click "$2" ${CLOSE[$1]}
  menu=$(window '^Orvella {28}[^ ]') || fail "$1: CLOSE did not bring back the menu"
}
companion() { # id key title-pattern what; moved to the right, clear of the calculator's buttons
  local id
  activate "$1"; xdotool key "$2"
  if id=$(window "$3"); then
    pass "$2 opens the $4"; shot "$4"; xdotool windowmove "$id" 640 40
  else
    fail "$2 opened no $4"
  fi
}

for name in schall dl feuchte temperatur; do
  calc=$(open_calc $name) || { fail "$name: no window"; continue; }
  IFS=';' read -ra buttons <<<"${RUN[$name]}"
  for xy in "${buttons[@]}"; do
    # shellcheck disable=SC2086
    click "$calc" $xy; sleep 0.5
  done
  shot "calculator-$name"
  case $name in
    feuchte) companion "$calc" F1 '^Hilfe' help; companion "$calc" F2 '^Parameterstudie' study ;;
    dl) companion "$calc" F3 '^Messauswertung' measurement ;;
  esac
  close_calc $name "$calc"
done
calc=$(open_calc keypad) || fail "keypad: no window"
if [ -n "$calc" ]; then
  activate "$calc"; xdotool type --delay 60 "60+60"; xdotool key Return; sleep 0.5
  shot calculator-keypad
  companion "$calc" F2 '^Pegelliste' "level list"
  companion "$calc" ctrl+h '^Verlauf' Verlauf
  # The Verlauf window is the program's own, not the keypad's companion: it
  # stays, and covers the keypad's CLOSE until it is closed.
  verlauf=$(window '^Verlauf') && wmctrl -i -c "$verlauf"
  gone '^Verlauf' || fail "the Verlauf window does not close"
  close_calc keypad "$calc"
fi
gone '^Pegelliste' || fail "the level list stays after its calculator's CLOSE"
wmctrl -i -c "$menu"
timeout 30 wineserver -w && pass "closing the menu ends the program" || fail "the program did not end"

# --- the calculations, read back from the Verlauf --------------------------
mark=.
[ "$locale" = C.UTF-8 ] || mark=,
db=$data/verlauf.sqlite
results=$(sqlite3 "$db" "SELECT e.window || ': ' || group_concat(q.text, ' ') FROM entry e
  JOIN quantity q ON q.entry_id = e.id AND q.kind = 'result' GROUP BY e.id ORDER BY e.id" 2>&1)
echo "$results" | sed 's/^/     /'
expect() { grep -qxF "$1" <<<"$results" && pass "Verlauf: $1" || fail "Verlauf lacks '$1'"; }
# The designed inputs' results, in the decimal mark of the locale; the
# converter writes a point in every locale, as designed, and the keypad's
# display keeps its leading blank.
expect "frmSchall: 60.99"
expect "frmSchall: 55.01"
for line in "frmDLprognose: 4.6 52.9 48.3" "frmFeuchte: 52.57 42.06 31.54" \
            "frmTemperatur: 61.8 12.5 15.9" "frmCalculator:  63"; do
  expect "${line//./$mark}"
done
[ "$(grep -c . <<<"$results")" -eq 6 ] && pass "Verlauf: the six calculations, once each" \
  || fail "Verlauf: $(grep -c . <<<"$results") entries for six calculations"

# --- uninstall ---------------------------------------------------------------
eval "set -- $uninstall"
exe=$(wine winepath -u "$1" 2>/dev/null | tr -d '\r'); shift
timeout 120 wine "$exe" "$@"
timeout 60 wineserver -w
for _ in $(seq 100); do [ -e "$installed/orvella.exe" ] || break; sleep 0.2; done
[ ! -e "$installed" ] && pass "uninstalled: $winpath is gone" || fail "left after uninstalling: $(ls "$installed" 2>&1 | head -5 | tr '\n' ' ')"
[ ! -e "$link" ] && pass "the Start-menu entry is gone" || fail "the Start-menu entry stays"
[ -z "$(regvalue 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvella' DisplayName)" ] \
  && pass "the uninstaller's registration is gone" || fail "still registered"
[ -s "$db" ] && pass "the user's Verlauf stays" || fail "the Verlauf was removed"
finish
