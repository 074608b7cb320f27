#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks of what Orvella ships, as a desktop, a Debian reviewer and a package
# manager see it.
#
#   packaging.sh metadata SOURCE_DIR METAINFO
#       the desktop entry and the AppStream metainfo (the one the build
#       generated) pass their validators; LICENSE is the GPL-3 text; every
#       source file starts with its SPDX licence line.
#   packaging.sh package SOURCE_DIR BUILD_DIR "PNG_SIZES"
#       builds the Debian package with CPack into a temporary folder; lintian
#       reports nothing; the libraries the program and its plugins load come
#       from packages it depends on; the package, its changelog, metainfo and
#       manual pages carry the project's version; no run path; the icons are
#       rendered. Then, as root (CI), installs it with apt-get, starts
#       /usr/bin/orvella under Xvfb and openbox, opens the help and the
#       parameter study from their plugins, ends it through the menu's close
#       box with exit status 0 and purges the package again. Not as root,
#       that step is skipped and says so.
set -u

mode=$1 src=$2
. "$src/scripts/xserver.sh"
failures=0 checks=0
pass() { checks=$((checks + 1)); echo "ok   - $*"; }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL - $*"; }
finish() { echo "$((checks - failures)) passed, $failures failed"; [ "$failures" = 0 ]; exit; }
need() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed (make check installs it)"; exit 77; }
  done
}

work=$(mktemp -d)
xvfb= wm= app= installed=
cleanup() {
  for pid in $app $wm $xvfb; do
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  done
  # A check that failed half-way leaves no package behind.
  [ -n "$installed" ] && apt-get purge -y -qq orvella >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

project_version=$(sed -n 's/^project(Orvella VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")

# desktop-file-validate prints nothing for a clean file; hints and warnings
# count as failures too.
check_desktop() {
  local file=$1 out
  out=$(desktop-file-validate "$file" 2>&1)
  if [ $? = 0 ] && [ -z "$out" ]; then
    pass "desktop-file-validate $(basename "$file")"
  else
    fail "desktop-file-validate $(basename "$file"): $out"
  fi
}

# The strict check, offline: warnings fail too. The screenshots are named by
# their web address, as AppStream wants it in a metainfo file.
check_metainfo() {
  local file=$1 out first
  out=$(appstreamcli validate --no-net --strict "$file" 2>&1) \
    && pass "appstreamcli validate --strict $(basename "$file")" \
    || fail "appstreamcli $(basename "$file"): $out"
  grep -q '<project_license>GPL-3.0-or-later</project_license>' "$file" \
    && pass "metainfo: project_license GPL-3.0-or-later" || fail "metainfo: project_license"
  first=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$file" | head -1)
  [ "$first" = "$project_version" ] && pass "metainfo: newest release $first, the project's version" \
    || fail "metainfo: newest release '$first', project $project_version"
}

# One "SPDX-License-Identifier: GPL-3.0-or-later" line in a comment opens each
# source file (after its #! line, if it has one), and no second one follows.
check_licence_lines() {
  local files f first missing=() n=0
  if git -C "$src" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    files=$(git -C "$src" ls-files)
  else
    files=$(cd "$src" && find . -path './build*' -prune -o -path ./.git -prune -o -type f -print | sed 's#^\./##')
  fi
  while IFS= read -r f; do
    [[ $f =~ (\.cpp|\.h|\.sh|\.cmake|(^|/)CMakeLists\.txt)$ ]] || continue
    n=$((n + 1))
    first=$(head -1 "$src/$f")
    [[ $first == '#!'* ]] && first=$(sed -n 2p "$src/$f")
    if ! [[ $first =~ ^(//|#)\ SPDX-License-Identifier:\ GPL-3\.0-or-later$ ]] \
       || [ "$(grep -cE '^[[:space:]]*(//|#) SPDX-License-Identifier:' "$src/$f")" != 1 ]; then
      missing+=("$f")
    fi
  done <<<"$files"
  if [ "$n" -gt 0 ] && [ ${#missing[@]} = 0 ]; then
    pass "all $n source files open with their SPDX licence line"
  else
    fail "${#missing[@]} of $n source files lack the SPDX licence line at the top, such as: ${missing[*]:0:8}"
  fi
}

check_licence_file() {
  if head -2 "$src/LICENSE" | tr -s ' ' | grep -q 'GNU GENERAL PUBLIC LICENSE' \
     && sed -n 2p "$src/LICENSE" | grep -q 'Version 3, 29 June 2007' \
     && grep -q 'END OF TERMS AND CONDITIONS' "$src/LICENSE"; then
    pass "LICENSE holds the full GNU GPL version 3"
  else
    fail "LICENSE is not the full GNU GPL version 3"
  fi
}

png_size() {  # width x height from the PNG header
  od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}'
}

elf_files() { find "$1" -type f -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print; }

# The package that holds the library the dynamic linker finds for SONAME.
package_of_library() {
  local path candidate pkg
  path=$(ldconfig -p | awk -v lib="$1" '$1 == lib { print $NF; exit }')
  [ -n "$path" ] || return 1
  # dpkg knows each file under one name: /lib or /usr/lib (merged /usr).
  for candidate in "$path" "/usr$path" "${path#/usr}"; do
    pkg=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1)
    [ -n "$pkg" ] && { echo "$pkg"; return 0; }
  done
  return 1
}

# --- installed and run -------------------------------------------------------

app_window() {  # the pid's viewable window whose title matches, other than $2
  # (--all: the pid and the title both; xdotool matches either by default)
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$app" --name "$1" 2>/dev/null); do
    [ "$id" = "${2:-}" ] && continue
    xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable' && { echo "$id"; return 0; }
  done
  return 1
}
wait_window() {  # waits up to 15 s for app_window
  for _ in $(seq 150); do
    app_window "$@" && { sleep 0.3; return 0; }
    sleep 0.1
  done
  return 1
}
wait_gone() {  # waits up to 5 s until the window is no longer viewable
  for _ in $(seq 50); do
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || return 0
    sleep 0.1
  done
  return 1
}
window_titles() {
  local id
  for id in $(xdotool search --all --onlyvisible --pid "$app" --name . 2>/dev/null); do
    printf "'%s' " "$(xdotool getwindowname "$id")"
  done
}
press() { xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"; xdotool key "$2"; }
click_at() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

install_and_run() {
  local deb=$1 version=$2 menu calc study log=$work/apt.log status
  if [ "$(id -u)" != 0 ]; then
    echo "SKIP - install and run: not root (CI runs as root); apt-get install was not tried"
    return
  fi
  if dpkg-query -W -f='${Status}' orvella 2>/dev/null | grep -q 'install ok installed'; then
    echo "SKIP - install and run: orvella is installed on this system already, and stays as it is"
    return
  fi
  # apt-get reads the file as its own unprivileged user.
  chmod a+rx "$work" "$(dirname "$deb")" && chmod a+r "$deb"

  installed=yes
  if DEBIAN_FRONTEND=noninteractive apt-get install -y -o DPkg::Lock::Timeout=300 "$deb" >"$log" 2>&1; then
    pass "apt-get install $(basename "$deb"): its Depends are met from the archive"
  else
    fail "apt-get install:"; sed 's/^/    /' "$log"; return
  fi
  grep -E '^(Unpacking|Setting up) orvella' "$log" | sed 's/^/    /'
  [ "$(dpkg-query -W -f='${Version}' orvella)" = "$version" ] && pass "dpkg knows orvella $version" \
    || fail "installed version $(dpkg-query -W -f='${Version}' orvella)"

  start_xvfb "$work" 130 || { fail "Xvfb did not start"; return; }
  start_openbox "$work" || { fail "openbox did not start"; sed 's/^/    /' "$work/openbox.log"; return; }

  /usr/bin/orvella >"$work/orvella.log" 2>&1 &
  app=$!
  if menu=$(wait_window '^Orvella'); then
    pass "/usr/bin/orvella shows its menu"
  else
    fail "no menu window; the program said:"; sed 's/^/    /' "$work/orvella.log"; return
  fi
  # The study plugin (Qt Charts) from the installed plugin folder: the
  # "Schallleistung - Schalldruck" button, F2 there, then CLOSE.
  click_at "$menu" 156 68
  if calc=$(wait_window '^Orvella' "$menu"); then
    press "$calc" F2
    if study=$(wait_window '^Parameterstudie'); then
      pass "F2 opens the parameter study from the installed plugin"
      wmctrl -i -c "$study"
      # The window manager closes it in its own time; CLOSE is clicked on the
      # calculator, not on a study still in front of it.
      wait_gone "$study"
    else
      fail "no parameter study window: $(window_titles)"
    fi
    xdotool windowactivate --sync "$calc" 2>/dev/null
    click_at "$calc" 328 188
    menu=$(wait_window '^Orvella' "$calc") || fail "CLOSE did not bring the menu back: $(window_titles)"
  else
    fail "the menu's second button did not open its calculator: $(window_titles)"
  fi
  # The help plugin (Qt PrintSupport), from the menu.
  press "$menu" F1
  wait_window '^Hilfe' >/dev/null && pass "F1 opens the help from the installed plugin" \
    || fail "no help window: $(window_titles)"

  # The menu's close box, as the window manager closes a window.
  wmctrl -i -c "$menu"
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app" 2>/dev/null; then
    fail "the program still runs after the menu's close box: $(window_titles)"
  else
    wait "$app"; status=$?; app=
    [ "$status" = 0 ] && pass "the menu's close box ends it with exit status 0" \
      || { fail "exit status $status after the menu's close box:"; sed 's/^/    /' "$work/orvella.log"; }
  fi

  if DEBIAN_FRONTEND=noninteractive apt-get purge -y -o DPkg::Lock::Timeout=300 orvella >"$log" 2>&1; then
    installed=
    grep -E '^(Removing|Purging configuration files for) orvella' "$log" | sed 's/^/    /'
    if dpkg-query -W -f='${Status}' orvella 2>/dev/null | grep -q 'installed' || [ -e /usr/bin/orvella ]; then
      fail "after apt-get purge orvella is still there"
    else
      pass "apt-get purge orvella removes it again"
    fi
  else
    fail "apt-get purge:"; sed 's/^/    /' "$log"
  fi
}

case $mode in
metadata)
  need desktop-file-validate appstreamcli
  metainfo=$3
  check_desktop "$src/packaging/orvella.desktop"
  check_metainfo "$metainfo"
  check_licence_file
  check_licence_lines
  finish
  ;;
package)
  build=$3 sizes=$4
  need cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian desktop-file-validate appstreamcli \
       readelf convert zcat
  [ "$(id -u)" = 0 ] && need apt-get Xvfb openbox xdotool xwininfo xdpyinfo xprop wmctrl
  if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"; fail "cpack"; finish
  fi
  deb=$(ls "$work"/out/*.deb 2>/dev/null | head -1)
  [ -n "$deb" ] && pass "cpack built $(basename "$deb")" || { fail "no .deb"; finish; }

  # Errors and warnings fail; an override would need its reason next to it
  # in packaging/lintian-overrides. The output is shown in full either way.
  echo "lintian $(basename "$deb"):"
  # (As root, lintian begins with a line about that; it concerns how the test
  # runs, not the package.)
  out=$(lintian --fail-on error,warning "$deb" 2>&1); status=$?
  out=$(echo "$out" | grep -vx 'running with root privileges is not recommended!')
  [ -n "$out" ] && echo "$out" | sed 's/^/    /'
  [ "$status" = 0 ] && [ -z "$out" ] && pass "lintian reports nothing" || fail "lintian (status $status)"

  field() { dpkg-deb -f "$deb" "$1"; }
  version=$(field Version)
  [ "$version" = "$project_version" ] && pass "Version: $version, the project's version" \
    || fail "Version: $version, project $project_version"

  root=$work/root
  dpkg-deb -x "$deb" "$root" || { fail "dpkg-deb -x"; finish; }

  # Every library that the program and its plugins load comes from a package
  # named in Depends (which dpkg-shlibdeps filled in).
  depends=$(field Depends | tr ',|' '\n\n' | sed 's/^ *//; s/[ (].*//')
  elves=$(elf_files "$root")
  libs=$(for elf in $elves; do readelf -d "$elf" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; done | sort -u)
  uncovered=""
  for lib in $libs; do
    pkg=$(package_of_library "$lib") || { uncovered+=" $lib(no package)"; continue; }
    echo "$depends" | grep -qx "$pkg" || uncovered+=" $lib($pkg)"
  done
  [ -n "$libs" ] && [ -z "$uncovered" ] \
    && pass "Depends covers the $(echo $libs | wc -w) libraries of the $(echo "$elves" | wc -l) ELF files (program and plugins)" \
    || fail "libraries from packages not in Depends:$uncovered"
  for elf in $elves; do
    rel=${elf#"$root"/}
    readelf -d "$elf" | grep -Eq 'R(UN)?PATH' && fail "$rel keeps a run path: $(readelf -d "$elf" | grep -E 'R(UN)?PATH')" \
      || pass "$rel has no run path into the build tree"
  done

  # One version everywhere the package names it.
  got=$(zcat "$root/usr/share/doc/orvella/changelog.gz" | dpkg-parsechangelog -l - -S Version 2>&1)
  [ "$got" = "$version" ] && pass "changelog.gz: newest entry $got" || fail "changelog.gz: newest entry '$got'"
  for page in usr/share/man/man1/orvella.1.gz usr/share/man/de/man1/orvella.1.gz; do
    zcat "$root/$page" | grep -q "^\.TH ORVELLA 1 \"[0-9-]*\" \"Orvella $version\"" \
      && pass "$page: Orvella $version" || fail "$page: $(zcat "$root/$page" | grep '^\.TH')"
  done
  check_desktop "$root/usr/share/applications/orvella.desktop"
  check_metainfo "$root/usr/share/metainfo/de.orvella.Orvella.metainfo.xml"

  # The icons: the program's drawing, and bitmaps of the size their folder
  # names that show it (not a blank square).
  cmp -s "$src/frame/orvella.svg" "$root/usr/share/icons/hicolor/scalable/apps/orvella.svg" \
    && pass "scalable icon is the program's icon" || fail "scalable icon differs from frame/orvella.svg"
  pngs=$(find "$root/usr/share/icons/hicolor" -name '*.png' | sort)
  [ "$(echo "$pngs" | grep -c .)" = "$(echo $sizes | wc -w)" ] \
    && pass "$(echo $sizes | wc -w) bitmap icons, as many as the build rendered" \
    || fail "bitmap icons in the package: $(echo "$pngs" | grep -c .), rendered: $sizes"
  for png in $pngs; do
    dir=$(basename "$(dirname "$(dirname "$png")")")
    got=$(png_size "$png")
    cover=$(convert "$png" -alpha extract -format '%[fx:mean]' info: 2>/dev/null)
    if [ "$got" = "$dir" ] && awk -v c="${cover:-0}" 'BEGIN { exit !(c > 0.2) }'; then
      pass "icon $dir: a $got PNG, ${cover:0:4} of it covered"
    else
      fail "icon $dir: $got, coverage '${cover}'"
    fi
  done

  install_and_run "$deb" "$version"
  finish
  ;;
*)
  echo "usage: $0 metadata SOURCE_DIR METAINFO | package SOURCE_DIR BUILD_DIR SIZES"; exit 2 ;;
esac
