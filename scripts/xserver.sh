# SPDX-License-Identifier: GPL-3.0-or-later
# A private X server for the scripts that run Orvella on a real display (the
# end-to-end and packaging tests, the benchmarks). Sourced, not run:
#
#   . scripts/xserver.sh
#   start_xvfb WORK FIRST [WIDTH HEIGHT [LOCALE]]
#                                          free display from FIRST on (also
#                                          when other scripts look for one
#                                          at the same time); sets
#                                          DISPLAY, xvfb (its pid), a private
#                                          XDG_RUNTIME_DIR under WORK and the
#                                          locale (LC_ALL and LANG, C.UTF-8
#                                          unless LOCALE is given, such as
#                                          de_DE.UTF-8); returns 1 when the
#                                          server does not come up
#   start_openbox WORK                     the window manager; sets wm (its
#                                          pid); returns 1 when it does not
#                                          come up
#   start_desktop WORK FIRST [WIDTH HEIGHT [LOCALE]]
#                                          start_xvfb, then start_openbox; when
#                                          the window manager cannot open the
#                                          server, both again on a later display
#                                          (three tries)
#   bench_xvfb FIRST                       for the benchmarks: a new folder
#                                          in $work, Xvfb without a window
#                                          manager, both removed when the
#                                          script exits; ends the script when
#                                          the server does not come up
#
# The caller stops both by pid ($xvfb, $wm) when it ends.

start_xvfb() {
  local work=$1 first=$2 width=${3:-1280} height=${4:-1024} locale=${5:-C.UTF-8} n
  export XDG_RUNTIME_DIR=$work/runtime LC_ALL=$locale LANG=$locale
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR
  # Scripts that run at the same time may pick the same free display: only
  # one server gets it, and the other tries the next one. A server writes its
  # display number to the file of -displayfd once it accepts clients, so a
  # script never mistakes another script's server for its own.
  n=$first
  while [ "$n" -le $((first + 99)) ]; do
    if [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; then
      n=$((n + 1))
      continue
    fi
    export DISPLAY=:$n
    : >"$work/xvfb.display"
    Xvfb "$DISPLAY" -screen 0 "${width}x${height}x24" -dpi 96 -nolisten tcp \
      -displayfd 3 3>"$work/xvfb.display" >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
      # Ours once it wrote its number and a client can open it (a server
      # elsewhere on the machine may hold the same display where this
      # script does not see its socket file).
      if [ -s "$work/xvfb.display" ]; then
        xdpyinfo >/dev/null 2>&1 && return 0
        break
      fi
      kill -0 "$xvfb" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$xvfb" 2>/dev/null; then
      [ -s "$work/xvfb.display" ] || return 1
      kill "$xvfb" 2>/dev/null
    fi
    wait "$xvfb" 2>/dev/null
    n=$((n + 1))
  done
  return 1
}

start_openbox() {
  local work=$1 attempt
  # A second attempt when the first openbox ended without taking the
  # display; its messages stay in WORK/openbox.log.
  for attempt in 1 2; do
    openbox --sm-disable >>"$work/openbox.log" 2>&1 &
    wm=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
      kill -0 "$wm" 2>/dev/null || break
      sleep 0.1
    done
    kill -0 "$wm" 2>/dev/null && return 1
    echo "openbox ended (attempt $attempt):" >>"$work/openbox.log"
  done
  return 1
}

start_desktop() {
  local work=$1 first=$2 try
  shift 2
  for try in 1 2 3; do
    start_xvfb "$work" "$first" "$@" || return 1
    start_openbox "$work" && return 0
    echo "openbox could not use $DISPLAY (try $try); another display" >>"$work/openbox.log"
    kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    xvfb=
    first=$((${DISPLAY#:} + 1))
  done
  return 1
}

bench_xvfb() {
  work=$(mktemp -d)
  xvfb=
  trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null; rm -rf "$work"' EXIT
  start_xvfb "$work" "$1" || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
  sleep 0.3
}
