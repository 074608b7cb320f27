#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end test of the companion windows on small and scaled screens: for
# each screen a private Xvfb with openbox, the program opens frmDLprognose
# from the menu, F1 opens the help, F2 the study and F3 the measurement
# evaluation; then, started again, Ctrl+6 on the menu opens the Nachhallzeit
# calculator and F3 on it the Raumbilanz.
#
#   companion_screens.sh ORVELLA_BINARY ARTEFACT_DIR
#
# Checks on every screen: each companion's frame (_NET_FRAME_EXTENTS
# included) lies inside the screen, and each of its push buttons lies whole
# inside the window's client area. The buttons are read from the program's
# geometry report (ORVELLA_COMPANION_GEOMETRY), in device pixels; the window
# manager knows only the windows. Prints the frames measured, and keeps a
# screenshot of every screen in ARTEFACT_DIR. Only the processes this script
# starts are stopped, by pid, also when a check fails.
set -u

orvella=$1
artefacts=$2

# width height QT_SCALE_FACTOR: projectors and small laptops, the logical
# sizes of a 1920 x 1080 laptop at 150 % and 200 %, and that laptop with Qt
# scaling by 1.5 and 2.
SCREENS=("1024 768 1" "1366 768 1" "1280 720 1" "960 540 1" "1920 1080 1.5" "1920 1080 2")

for tool in Xvfb openbox xdotool xwininfo xprop xdpyinfo import; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (make check installs it)"
    exit 77
  fi
done

mkdir -p "$artefacts"
rm -f "$artefacts"/*.png
work=$(mktemp -d)
xvfb= wm= app=
stop_all() {
  for pid in $app $wm $xvfb; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  app= wm= xvfb=
}
trap 'stop_all; rm -rf "$work"' EXIT

failures=0 checks=0
pass() { checks=$((checks + 1)); echo "ok   - $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL - $*"; }

. "$(dirname "$0")/../../scripts/xserver.sh"

# The program's visible top-level window whose title matches the extended
# regular expression $1; prints its id.
window_titled() {
  local id title
  for id in $(xdotool search --all --onlyvisible --pid "$app" --name . 2>/dev/null); do
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    title=$(xprop -id "$id" _NET_WM_NAME 2>/dev/null | sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    printf '%s\n' "$title" | grep -Eq "$1" && { echo "$id"; return 0; }
  done
  return 1
}

wait_window() {  # title-pattern [tenths of a second, 100 when not given]
  for _ in $(seq "${2:-100}"); do
    window_titled "$1" && return 0
    sleep 0.1
  done
  return 1
}

# Client geometry as "left top width height".
client_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /^  Width:/{w=$2} /^  Height:/{h=$2} END{print x, y, w, h}'
}

# Outer geometry (frame included) as "left top width height"; fails while
# the window manager has not set the frame yet.
outer_geometry() {
  local x y w h l r t b extents
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep '=') || return 1
  read -r x y w h < <(client_geometry "$1")
  read -r l r t b < <(echo "${extents#*= }" | sed 's/,//g')
  echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}

activate() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; }

# Presses `key` in the calculator until a window titled `pattern` shows: on
# a loaded machine the key may reach the companion that opened just before,
# while the window manager still activates the calculator. Opening a
# companion twice raises the one that is open, so a repeated key is harmless.
open_by_key() {  # key pattern
  local attempt
  for attempt in 1 2 3; do
    activate "$calc"; xdotool key "$1"
    wait_window "$2" 40 && return 0
  done
  return 1
}

# The last geometry report of the window with this object name.
report_of() { grep "^$1 " "$work/geometry.log" 2>/dev/null | tail -n 1; }

# Checks one companion: frame on the screen, buttons whole in the client area.
check_companion() {
  local screen=$1 name=$2 id=$3 sw=$4 sh=$5 left top width height cx cy cw ch line buttons entry rect state
  local bx by bw bh count=0
  read -r left top width height < <(outer_geometry "$id")
  read -r cx cy cw ch < <(client_geometry "$id")
  table="$table  $screen $name: frame ${width}x${height} at $left,$top\n"
  if [ "$left" -ge 0 ] && [ "$top" -ge 0 ] && [ $((left + width)) -le "$sw" ] && [ $((top + height)) -le "$sh" ]; then
    pass "$screen: the $name's frame ${width}x${height} at $left,$top lies inside the screen"
  else
    fail "$screen: the $name's frame ${width}x${height} at $left,$top leaves the ${sw}x${sh} screen"
  fi
  # The report follows the window's last size; wait until it agrees with X.
  for _ in $(seq 50); do
    line=$(report_of "$name")
    [ "${line#* }" != "$line" ] && [ "$(echo "$line" | awk '{print $2}')" = "${cw}x${ch}" ] && break
    sleep 0.1
  done
  if [ "$(echo "$line" | awk '{print $2}')" != "${cw}x${ch}" ]; then
    fail "$screen: the $name reports '$(echo "$line" | awk '{print $2}')', X shows ${cw}x${ch}"
    return
  fi
  buttons=$(echo "$line" | cut -d' ' -f3-)
  for entry in $buttons; do
    IFS=: read -r bname rect state <<<"$entry"
    IFS=, read -r bx by bw bh <<<"$rect"
    count=$((count + 1))
    # One device pixel of rounding at fractional scales.
    if [ "$state" = whole ] && [ "$bx" -ge 0 ] && [ "$by" -ge 0 ] &&
       [ $((bx + bw)) -le $((cw + 1)) ] && [ $((by + bh)) -le $((ch + 1)) ]; then
      pass "$screen: $name button $bname ${bw}x${bh} at $bx,$by is whole in the ${cw}x${ch} window"
    else
      fail "$screen: $name button $bname ${bw}x${bh} at $bx,$by ($state) in the ${cw}x${ch} window"
    fi
  done
  [ "$count" -ge "$6" ] || fail "$screen: the $name reports $count buttons, expected $6"
}

# Starts the program on the screen's server, its pid in $app.
start_orvella() {
  rm -f "$work/geometry.log"
  if [ "$scale" = 1 ]; then
    ORVELLA_COMPANION_GEOMETRY=$work/geometry.log "$orvella" >"$work/orvella.log" 2>&1 &
  else
    QT_SCALE_FACTOR=$scale ORVELLA_COMPANION_GEOMETRY=$work/geometry.log "$orvella" >"$work/orvella.log" 2>&1 &
  fi
  app=$!
}

# Waits until the window manager has framed every window id given.
wait_framed() {
  local id framed
  for _ in $(seq 50); do
    framed=1
    for id in "$@"; do outer_geometry "${id:-0}" >/dev/null 2>&1 || framed=; done
    [ -n "$framed" ] && break
    sleep 0.1
  done
  sleep 0.3
}

table=""
for screen in "${SCREENS[@]}"; do
  read -r sw sh scale <<<"$screen"
  tag="${sw}x${sh}"
  [ "$scale" != 1 ] && tag="$tag at QT_SCALE_FACTOR=$scale"
start_xvfb "$work" 120 "$sw" "$sh" || { fail "$tag: Xvfb did not start"; cat "$work/xvfb.log"; stop_all; continue; }
  start_openbox "$work" || { fail "$tag: openbox did not start"; cat "$work/openbox.log"; stop_all; continue; }
  start_orvella
  if ! menu=$(wait_window '^Orvella {28}[^ ]'); then
    fail "$tag: no menu"; cat "$work/orvella.log"; stop_all; continue
  fi
  sleep 0.3  # the window manager's frame
  # Command5, "Großraumbüro DL2 Prognose", in the menu's client coordinates.
  xdotool mousemove --window "$menu" "$(awk -v s="$scale" 'BEGIN{print int(156 * s)}')" \
    "$(awk -v s="$scale" 'BEGIN{print int(124 * s)}')" click 1
  if ! calc=$(wait_window '^Orvella {64}[^ ]'); then
    fail "$tag: frmDLprognose did not open"; stop_all; continue
  fi
  sleep 0.3
  help=$(open_by_key F1 '^Hilfe und Rechenweg') || fail "$tag: F1 opened no help"
  study=$(open_by_key F2 '^Parameterstudie') || fail "$tag: F2 opened no study"
  measurement=$(open_by_key F3 '^Messauswertung') || fail "$tag: F3 opened no measurement evaluation"
  wait_framed "${help:-}" "${study:-}" "${measurement:-}"
  [ -n "${help:-}" ] && check_companion "$tag" helpWindow "$help" "$sw" "$sh" 4
  [ -n "${study:-}" ] && check_companion "$tag" studyWindow "$study" "$sw" "$sh" 3
  [ -n "${measurement:-}" ] && check_companion "$tag" measurementWindow "$measurement" "$sw" "$sh" 8
  import -window root "$artefacts/companions-${sw}x${sh}-x${scale}.png" 2>/dev/null

  # The Nachhallzeit calculator has no button on the menu: Ctrl+6 opens it.
  # Closing the DL2 calculator would end the program, so it starts again.
  kill "$app" 2>/dev/null && wait "$app" 2>/dev/null
  app= raumbilanz=
  start_orvella
  if ! menu=$(wait_window '^Orvella {28}[^ ]'); then
    fail "$tag: no menu on the second start"; stop_all; continue
  fi
  sleep 0.3
  activate "$menu"; xdotool key ctrl+6
  # The calculator built from its description has the caption of 16 blanks.
  if calc=$(wait_window '^Orvella {16}[^ ]'); then
    sleep 0.3
    raumbilanz=$(open_by_key F3 '^Raumbilanz in Oktavbändern') || fail "$tag: F3 opened no Raumbilanz"
    wait_framed "${raumbilanz:-}"
    [ -n "${raumbilanz:-}" ] && check_companion "$tag" raumbilanzWindow "$raumbilanz" "$sw" "$sh" 7
    import -window root "$artefacts/raumbilanz-${sw}x${sh}-x${scale}.png" 2>/dev/null
  else
    fail "$tag: Ctrl+6 on the menu opened no Nachhallzeit calculator"
  fi
  stop_all
  help= study= measurement= raumbilanz=
done

echo "frames measured:"; printf '%b' "$table"
echo "screenshots in $artefacts"
echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
