#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The end-to-end tests run in parallel, each on an X server of its own that
# start_xvfb (scripts/xserver.sh) finds: three scripts that look for a display
# from the same number at the same moment must end up on three different
# displays, each on the server it started itself: that server is running,
# serves the display, and wrote its number to the script's own -displayfd
# file.
set -u
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed (make check installs it)"; exit 77; }

work=$(mktemp -d)
trap 'for f in "$work"/*/pid; do [ -s "$f" ] && kill "$(cat "$f")" 2>/dev/null; done; sleep 0.2; rm -rf "$work"' EXIT
first=${1:-160}

for i in 1 2 3; do
  (
    mkdir "$work/$i"
    . "$(dirname "$0")/../../scripts/xserver.sh"
    if start_xvfb "$work/$i" "$first" 320 240; then
      echo "$xvfb" >"$work/$i/pid"
      echo "${DISPLAY#:}" >"$work/$i/display"
    else
      [ -n "${xvfb:-}" ] && echo "$xvfb" >"$work/$i/pid"
    fi
  ) &
done
wait

failures=0
displays=()
for i in 1 2 3; do
  if [ ! -s "$work/$i/display" ]; then
    echo "FAIL - script $i found no display"; failures=$((failures + 1)); continue
  fi
  n=$(cat "$work/$i/display") pid=$(cat "$work/$i/pid")
  if kill -0 "$pid" 2>/dev/null && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q "^Xvfb :$n " \
     && [ "$(cat "$work/$i/xvfb.display")" = "$n" ] && DISPLAY=:$n xdpyinfo >/dev/null 2>&1; then
    echo "ok   - script $i on :$n, served by the server it started (pid $pid)"
  else
    echo "FAIL - script $i on :$n: its server (pid $pid) is not the one serving it"
    failures=$((failures + 1))
  fi
  displays+=("$n")
done
distinct=$(printf '%s\n' "${displays[@]}" | sort -u | wc -l)
if [ "$distinct" -eq 3 ]; then
  echo "ok   - three different displays"
else
  echo "FAIL - ${#displays[@]} displays found, $distinct of them different"
  failures=$((failures + 1))
fi
exit $((failures > 0))
