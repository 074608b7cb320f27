#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the window flow on a real X server with a real window
# manager: starts a private Xvfb and openbox, runs the orvella binary and
# drives it from outside with xdotool, as a user would with the mouse and the
# keyboard.
#
#   window_flow.sh ORVELLA_BINARY ARTEFACT_DIR
#
# Checks: the menu appears with its caption; each menu button opens its
# calculator and the menu disappears; the calculator stands where the load
# step puts it (Top = (SH - H) / 2, Left = (SW - W) / 3 with the outer size the
# window manager really gives it, within 1 px); CLOSE brings the menu back;
# Enter right after start hands the web address to the system (a stub
# xdg-open records it) and the menu stays; typing "60+60" and Return into a
# freshly opened keypad shows " 63" (the display's text read back through
# the X selection), Ctrl+C puts "63" on the clipboard and fast typing loses
# no key; Ctrl+Shift+C on a calculator puts its table on the X clipboard as
# text and as HTML; a calculator's title-bar close box and the menu's close
# box end the program with exit status 0; minimising a calculator and
# restoring it keeps its help and study with their texts (in the numbers of
# the locale the test runs in), and its CLOSE closes them.
# Screenshots of every step are kept in ARTEFACT_DIR. Only the processes this
# script starts are stopped, by pid, also when a check fails.
set -u

orvella=$1
artefacts=$2
# The locale the test runs in: C.UTF-8, or de_DE.UTF-8 in the German pass,
# whose screenshots go to ARTEFACT_DIR-de_DE.
locale=${LC_ALL:-C.UTF-8}
[ "$locale" = C.UTF-8 ] || artefacts=$artefacts-${locale%%.*}
SCREEN_W=1280 SCREEN_H=1024

for tool in Xvfb openbox xdotool xwininfo xprop xdpyinfo import xclip; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (make check installs it)"
    exit 77
  fi
done

mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
work=$(mktemp -d)
xvfb= wm= app=
cleanup() {
  for pid in $app $wm $xvfb; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  rm -rf "$work"
}
trap cleanup EXIT

failures=0 checks=0
pass() { checks=$((checks + 1)); echo "ok   - $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL - $*"; shot "failure-$checks"; }
shot() { import -window root "$artefacts/$1.png" 2>/dev/null; }

. "$(dirname "$0")/../../scripts/xserver.sh"
# The German pass looks for its display from another number than the C pass,
# which starts at the same moment.
first_display=110
[ "$locale" = C.UTF-8 ] || first_display=150
unset BROWSER
start_desktop "$work" "$first_display" "$SCREEN_W" "$SCREEN_H" "$locale" || {
  echo "FAIL - Xvfb or openbox did not start"; cat "$work/xvfb.log" "$work/openbox.log" 2>/dev/null; exit 1; }

# The system's browser launcher, replaced by one that only records its arguments.
mkdir "$work/bin"
cat >"$work/bin/xdg-open" <<STUB
#!/bin/sh
printf '%s\n' "\$*" >>"$work/xdg-open.log"
STUB
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"

# --- helpers ----------------------------------------------------------------

start_app() {
  "$orvella" >"$work/orvella.log" 2>&1 &
  app=$!
}

# The program's visible top-level windows (ids), found by their pid.
app_windows() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$app" --name '^Orvella' 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && echo "$id"
  done
}

client_size() { xwininfo -id "$1" | awk '/^  Width:/{w=$2} /^  Height:/{h=$2} END{print w "x" h}'; }

# Waits until the program shows exactly one window, with this client size;
# prints its id.
wait_only_window() {
  local size=$1 ids
  for _ in $(seq 100); do
    ids=$(app_windows)
    if [ "$(echo "$ids" | grep -c .)" = 1 ] && [ "$(client_size "$ids")" = "$size" ]; then
      sleep 0.3  # let the window manager settle the frame
      echo "$ids"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

title_of() { xprop -id "$1" _NET_WM_NAME | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p'; }

# Outer geometry (frame included) as "left top width height".
outer_geometry() {
  local x y w h l r t b
  read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /^  Width:/{w=$2} /^  Height:/{h=$2} END{print x, y, w, h}')
  read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# Clicks the close box at the right-hand end of the window manager's title bar.
click_close_box() {
  local left top width height t
  read -r left top width height < <(outer_geometry "$1")
  t=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g' | awk '{print $3}')
  xdotool mousemove $((left + width - 11)) $((top + t / 2)) click 1
}

# Waits up to 10 s for the program to end by itself and leaves its exit status
# in exit_status ("still running" if it did not end). Runs in this shell, not
# in a command substitution: only the shell that started the program can
# collect its exit status.
wait_exit() {
  exit_status="still running"
  for _ in $(seq 100); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$app" 2>/dev/null && return
  wait "$app"
  exit_status=$?
  app=
}

# Client sizes of the designs (twips / 15 at 96 dpi) and the centres of
# their buttons, in client coordinates.
MENU_SIZE=314x285
declare -A CALC_SIZE=(
  [Command1]=186x263   # frmCalculator 2790 x 3945
  [Command2]=656x210   # frmSchall 9840 x 3150
  [Command3]=371x315   # frmFeuchte 5565 x 4725
  [Command4]=371x257   # frmTemperatur 5565 x 3855
  [Command5]=426x466   # frmDLprognose 6390 x 6990
)
declare -A MENU_BUTTON=(   # frame offset + button centre
  [Command1]="156 36" [Command2]="156 68" [Command5]="156 124"
  [Command3]="156 180" [Command4]="156 212" [Command9]="156 260"
)
declare -A CLOSE_BUTTON=(  # cmdUload centre
  [Command1]="92 244" [Command2]="328 188" [Command3]="184 292"
  [Command4]="184 236" [Command5]="212 444"
)
declare -A SHOT_NAME=(
  [Command1]=orvella-calculator [Command2]=orvella-schall [Command3]=orvella-feuchte
  [Command4]=orvella-temperatur [Command5]=orvella-dlprognose
)
declare -A CAPTION=(       # "Orvella", its run of blanks, the author credit
  [Command1]='^Orvella$' [Command2]='^Orvella {142}[^ ]' [Command3]='^Orvella {47}[^ ]'
  [Command4]='^Orvella {47}[^ ]' [Command5]='^Orvella {64}[^ ]'
)

# --- the menu, and Enter right after start ----------------------------------

start_app
if menu=$(wait_only_window $MENU_SIZE); then
  pass "the menu appears ($MENU_SIZE)"
else
  fail "no menu window of $MENU_SIZE appeared"; cat "$work/orvella.log"; exit 1
fi
if title_of "$menu" | grep -Eq '^Orvella {28}[^ ]'; then
  pass "the menu's caption is Orvella, 28 blanks and the author credit"
else
  fail "menu caption: '$(title_of "$menu")'"
fi
shot orvella-menu

xdotool windowactivate --sync "$menu" 2>/dev/null || xdotool windowfocus --sync "$menu"
xdotool key Return
for _ in $(seq 50); do [ -s "$work/xdg-open.log" ] && break; sleep 0.1; done
if grep -qx 'https://www.orvella.de/' "$work/xdg-open.log" 2>/dev/null; then
  pass "Enter after start hands https://www.orvella.de/ to xdg-open"
else
  fail "Enter after start: xdg-open got '$(cat "$work/xdg-open.log" 2>/dev/null)'"
fi
if [ "$(app_windows)" = "$menu" ]; then
  pass "the menu stays open after the web-site button"
else
  fail "windows after the web-site button: $(app_windows | tr '\n' ' ')"
fi

# --- each calculator: open, placement, CLOSE --------------------------------

for button in Command1 Command2 Command3 Command4 Command5; do
  size=${CALC_SIZE[$button]}
  # shellcheck disable=SC2086
  click_at "$menu" ${MENU_BUTTON[$button]}
  if ! calc=$(wait_only_window "$size"); then
    fail "$button: no single calculator window of $size (windows: $(app_windows | tr '\n' ' '))"
    continue
  fi
  pass "$button opens its calculator ($size) and the menu disappears"
  shot "${SHOT_NAME[$button]}"
  if title_of "$calc" | grep -Eq "${CAPTION[$button]}"; then
    pass "$button: caption"
  else
    fail "$button: caption '$(title_of "$calc")'"
  fi

  read -r left top width height < <(outer_geometry "$calc")
  verdict=$(awk -v l="$left" -v t="$top" -v w="$width" -v h="$height" \
                -v sw=$SCREEN_W -v sh=$SCREEN_H 'BEGIN {
      el = (sw - w) / 3; et = (sh - h) / 2
      dl = l - el; if (dl < 0) dl = -dl
      dt = t - et; if (dt < 0) dt = -dt
      printf "%s outer %dx%d at (%d,%d), expected (%.2f,%.2f)\n", \
             (dl <= 1 && dt <= 1) ? "ok" : "off", w, h, l, t, el, et }')
  case $verdict in
    ok*) pass "$button: placed at (SW-W)/3, (SH-H)/2: ${verdict#ok }" ;;
    *) fail "$button: placement ${verdict#off }" ;;
  esac

  # shellcheck disable=SC2086
  click_at "$calc" ${CLOSE_BUTTON[$button]}
  if menu=$(wait_only_window $MENU_SIZE); then
    pass "$button: CLOSE brings back the menu and the calculator disappears"
  else
    fail "$button: after CLOSE the windows are $(app_windows | tr '\n' ' ')"
    cleanup; exit 1
  fi
done

# --- the keypad from the keyboard, and the clipboard -----------------------

# What another program gets from the X selection (primary or clipboard).
selection() { timeout 5 xclip -o -selection "$1" ${2:+-t "$2"} 2>/dev/null; }

click_at "$menu" ${MENU_BUTTON[Command1]}
if calc=$(wait_only_window "${CALC_SIZE[Command1]}"); then
  xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
  xdotool type --delay 40 "60+60"
  xdotool key Return
  sleep 0.3
  shot orvella-calculator-typed
  # A triple click selects the whole display; its text goes to the primary selection.
  xdotool mousemove --window "$calc" 92 44 click --repeat 3 --delay 60 1
  sleep 0.3
  shown=$(selection primary; echo x); shown=${shown%x}
  if [ "$shown" = " 63" ]; then
    pass "60+60 and Return typed into the keypad show ' 63'"
  else
    fail "60+60 and Return typed into the keypad show '$shown'"
  fi
  xdotool key ctrl+c
  sleep 0.2
  if [ "$(selection clipboard)" = "63" ]; then
    pass "Ctrl+C on the keypad copies 63"
  else
    fail "Ctrl+C on the keypad copies '$(selection clipboard)'"
  fi
  # As fast as xdotool types: every key counts once.
  xdotool key Escape
  xdotool type --delay 1 "6660"
  xdotool key ctrl+c
  sleep 0.2
  if [ "$(selection clipboard)" = "6660" ]; then
    pass "keys typed fast are all counted (6660)"
  else
    fail "6660 typed fast shows '$(selection clipboard)'"
  fi
  # shellcheck disable=SC2086
  click_at "$calc" ${CLOSE_BUTTON[Command1]}
  menu=$(wait_only_window $MENU_SIZE) || { fail "CLOSE on the keypad did not bring back the menu"; cleanup; exit 1; }
else
  fail "the keypad did not open for the keyboard check"
fi

click_at "$menu" ${MENU_BUTTON[Command3]}
if calc=$(wait_only_window "${CALC_SIZE[Command3]}"); then
  xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
  xdotool key ctrl+shift+c
  sleep 0.3
  copied=$(selection clipboard text/plain)
  if [ "$(printf '%s\n' "$copied" | sed -n 2p)" = "$(printf 'Raumtemperatur [C\302\260]\t20')" ] &&
     [ "$(printf '%s\n' "$copied" | head -n 1)" = "Kritische Feuchte Calculator" ]; then
    pass "Ctrl+Shift+C puts the table on the clipboard as text"
  else
    fail "Ctrl+Shift+C text: '$copied'"
  fi
  if selection clipboard text/html | grep -q '<tr><td>Raumtemperatur \[C&#176;\]</td><td>20</td></tr>'; then
    pass "Ctrl+Shift+C puts the table on the clipboard as HTML"
  else
    fail "Ctrl+Shift+C HTML: '$(selection clipboard text/html)'"
  fi
  # shellcheck disable=SC2086
  click_at "$calc" ${CLOSE_BUTTON[Command3]}
  menu=$(wait_only_window $MENU_SIZE) || { fail "CLOSE did not bring back the menu"; cleanup; exit 1; }
else
  fail "Kritische Feuchte did not open for the copy check"
fi

# --- minimising a calculator keeps its help and study -----------------------

# The program's window whose title starts with $1 (visible or not); its id.
companion_window() { xdotool search --all --pid "$app" --name "^$1" 2>/dev/null | head -n 1; }
# (xwininfo without an id would wait for a click.)
viewable() { [ -n "$1" ] && xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
# Waits up to 30 s (the sanitizer build loads the plugins slowly) until the
# companion with this title is shown and has settled; prints its id.
wait_companion() {
  local id
  for _ in $(seq 300); do
    id=$(companion_window "$1")
    viewable "$id" && { sleep 0.3; echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
# The whole text of the window's focus control (Ctrl+A, Ctrl+C), via the clipboard.
copied_text() {
  xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
  sleep 0.2
  xdotool key ctrl+a ctrl+c
  sleep 0.3
  selection clipboard
}
wait_viewable() {
  for _ in $(seq 50); do viewable "$1" && return 0; sleep 0.1; done
  return 1
}

click_at "$menu" ${MENU_BUTTON[Command3]}
if calc=$(wait_only_window "${CALC_SIZE[Command3]}"); then
  xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
  xdotool key F1
  # The help takes the keyboard once it is shown: F2 goes to the calculator
  # only after that.
  help=$(wait_companion 'Hilfe und Rechenweg')
  xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
  xdotool key F2
  study=$(wait_companion 'Parameterstudie')
  if [ -n "$help" ] && [ -n "$study" ]; then
    pass "F1 and F2 open the help and the study of Kritische Feuchte"
    # The study's table and the help page as the user would copy them.
    table_before=$(copied_text "$study")
    page_before=$(copied_text "$help")
    xdotool windowminimize --sync "$calc"
    sleep 0.5
    shot orvella-feuchte-minimised
    if viewable "$calc"; then
      fail "the calculator is still shown after windowminimize"
    fi
    xdotool windowmap "$calc"
    xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
    if wait_viewable "$calc" && wait_viewable "$help" && wait_viewable "$study"; then
      pass "after minimising and restoring the calculator its help and study are shown"
    else
      fail "after minimising and restoring: help '$help' $(viewable "$help" && echo shown || echo gone), study '$study' $(viewable "$study" && echo shown || echo gone)"
    fi
    shot orvella-feuchte-restored
    table_after=$(copied_text "$study")
    page_after=$(copied_text "$help")
    # The numbers as a user of this locale reads them: a decimal comma under
    # German settings.
    case $locale in de_*) mark=',' other='.' ;; *) mark='.' other=',' ;; esac
    if [ -n "$table_before" ] && [ "$table_after" = "$table_before" ] &&
       printf '%s\n' "$table_after" | sed -n 2p | grep -q "[0-9][$mark][0-9]" &&
       ! printf '%s\n' "$table_after" | grep -q "[0-9][$other][0-9]"; then
      pass "the study keeps its table, its numbers with '$mark' ($(printf '%s\n' "$table_after" | sed -n 2p | tr '\t' ' '))"
    else
      fail "the study's table before: '$(printf '%s\n' "$table_before" | head -n 3)', after: '$(printf '%s\n' "$table_after" | head -n 3)'"
    fi
    if [ -n "$page_before" ] && [ "$page_after" = "$page_before" ] &&
       printf '%s\n' "$page_after" | grep -q "Rechenweg mit den Zahlen des Fensters"; then
      pass "the help keeps its page"
    else
      fail "the help's page changed or is empty: '$(printf '%s\n' "$page_after" | head -n 3)'"
    fi
  else
    fail "F1 and F2 on Kritische Feuchte: help '$help', study '$study'"
  fi
  # In front of its companions again, which may cover CLOSE.
  xdotool windowactivate --sync "$calc" 2>/dev/null || xdotool windowfocus --sync "$calc"
  xdotool windowraise "$calc"
  sleep 0.2
  # shellcheck disable=SC2086
  click_at "$calc" ${CLOSE_BUTTON[Command3]}
  menu=$(wait_only_window $MENU_SIZE) || { fail "CLOSE did not bring back the menu"; cleanup; exit 1; }
  if [ -z "$(companion_window 'Hilfe und Rechenweg')" ] && ! viewable "$study"; then
    pass "CLOSE closes the help and the study"
  else
    fail "after CLOSE the help or the study is still there"
  fi
else
  fail "Kritische Feuchte did not open for the minimise check"
fi

# --- a calculator's close box ends the program ------------------------------

click_at "$menu" ${MENU_BUTTON[Command3]}
if calc=$(wait_only_window "${CALC_SIZE[Command3]}"); then
  click_close_box "$calc"
  wait_exit; status=$exit_status
  if [ "$status" = 0 ]; then
    pass "the calculator's title-bar close box ends the program with status 0"
  else
    fail "after the calculator's close box: $status"
  fi
else
  fail "Kritische Feuchte did not open for the close-box check"
fi
[ -n "$app" ] && { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; app=; }

# --- the menu's close box ends the program ----------------------------------

start_app
if menu=$(wait_only_window $MENU_SIZE); then
  click_close_box "$menu"
  wait_exit; status=$exit_status
  if [ "$status" = 0 ]; then
    pass "the menu's title-bar close box ends the program with status 0"
  else
    fail "after the menu's close box: $status"
  fi
else
  fail "the menu did not appear on the second start"
fi

echo "program output:"; sed 's/^/  /' "$work/orvella.log"
echo "screenshots in $artefacts"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
