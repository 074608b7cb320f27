#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds, once, the Qt that Orvella uses for 64-bit Windows from Debian's own
# source packages (qtbase with the SQLite driver, qtsvg, qtcharts), cross-
# compiled with Debian's MinGW-w64 GCC and Debian's installed Qt as the host
# tools (moc, rcc, uic). The result lands in a cache outside the checkout,
# keyed by the source versions, the compiler and the build options:
#   ${XDG_CACHE_HOME:-~/.cache}/orvella/qt-windows/<key>/prefix
# A second run finds it and only prints its path. An interrupted run goes on
# where it stopped: each module's configure and install leave a stamp, and
# ninja resumes its own build.
# Prints the prefix as its last line of output (on stdout; progress on stderr).
# With --where it prints only the cache folder it uses.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${ORVELLA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvella}
jobs=${JOBS:-$(nproc)}
triple=x86_64-w64-mingw32
say() { echo "== $*" >&2; }

# What Orvella does not use is left out, which saves about a third of the
# build: networking, D-Bus, Concurrent, Vulkan, the Direct2D platform
# plugin, SQL drivers other than SQLite, JPEG and GIF. The tablet support
# is off because Debian's source (+dfsg) lacks the Wintab header; OpenGL
# stays on (dynamic, Windows' default): the Windows platform plugin of 6.4
# does not compile without it, and Qt Charts needs Qt OpenGL. The bundled
# third-party libraries are used, never anything found on the build host.
qtbase_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_concurrent=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_sql_sqlite=ON -DFEATURE_system_sqlite=OFF
  -DFEATURE_sql_odbc=OFF -DFEATURE_sql_psql=OFF -DFEATURE_sql_mysql=OFF
  -DFEATURE_sql_ibase=OFF -DFEATURE_sql_oci=OFF -DFEATURE_sql_db2=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_zstd=OFF -DFEATURE_pkg_config=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_freetype=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_libb2=OFF
  # Linker version scripts are an ELF matter: none for DLLs, as with MSVC.
  -DHAVE_LD_VERSION_SCRIPT=OFF
)
module_options=(-DCMAKE_BUILD_TYPE=Release -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF)
packages=(qt6-base qt6-svg qt6-charts sqlite3)

for tool in $triple-g++-posix dpkg-source tclsh ninja cmake; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (scripts/windows/setup.sh installs it)" >&2; exit 1; }
done

say "source versions (deb-src of this machine's apt sources, private apt state in $cache/apt)"
"$here/apt-source.sh" "$cache/apt" update
declare -A version
for p in "${packages[@]}"; do
  version[$p]=$("$here/apt-source.sh" "$cache/apt" version "$p")
  [ -n "${version[$p]}" ] || { echo "no source package $p in the apt sources" >&2; exit 1; }
  echo "   $p ${version[$p]}" >&2
done

key=$( { for p in "${packages[@]}"; do echo "$p ${version[$p]}"; done
         $triple-g++-posix --version | head -n 1
         dpkg-query -W -f='${Version}\n' qt6-base-dev
         echo "${qtbase_options[*]} | ${module_options[*]} | directwrite without direct2d"
         cat "$here/../../cmake/windows/mingw-w64-x86_64.cmake"; } | sha256sum | cut -c1-12)
qtver=${version[qt6-base]%%+*}
dir=$cache/qt-windows/$qtver-$key
prefix=$dir/prefix
# qt.sh --where: only the folder this build of Qt has in the cache.
[ "${1:-}" = --where ] && { echo "$dir"; exit 0; }
if [ -f "$prefix/.complete" ]; then
  say "Qt $qtver for Windows from the cache (built in $(cat "$prefix/.complete"))"
  echo "$prefix"; exit 0
fi
mkdir -p "$dir/src" "$prefix"
# Qt records the toolchain file's path: a copy in the cache keeps the
# installed Qt usable when the checkout moves.
cp "$here/../../cmake/windows/mingw-w64-x86_64.cmake" "$dir/mingw-w64-x86_64.cmake"
started=$(date +%s)
[ -f "$dir/seconds" ] || echo 0 >"$dir/seconds"
trap 'echo $(( $(cat "$dir/seconds") + $(date +%s) - started )) >"$dir/seconds"' EXIT

cd "$dir/src"
fetch() { # each source package is fetched just before it is needed
  local p=$1
  [ -f "$dir/src/.$p.unpacked" ] && return
  say "apt-get source $p=${version[$p]}"
  (cd "$dir/src" && "$here/apt-source.sh" "$cache/apt" source "$p=${version[$p]}" >&2) || {
    echo "apt-get source $p failed: the archive did not serve its files" >&2; exit 1; }
  touch "$dir/src/.$p.unpacked"
}
fetch qt6-base; fetch sqlite3
src() { find "$dir/src" -maxdepth 1 -type d -name "$1-*" | head -n 1; }

# Debian's +dfsg qtbase has no bundled SQLite: the driver is built with the
# amalgamation made from Debian's sqlite3 source, in the place Qt's build
# expects it.
sqlite=$(src sqlite3); base=$(src qt6-base)
if [ ! -f "$base/src/3rdparty/sqlite/sqlite3.c" ]; then
  say "SQLite amalgamation from $sqlite"
  mkdir -p "$sqlite/amalgamation"
  (cd "$sqlite/amalgamation" && ../configure --disable-tcl >/dev/null && make sqlite3.c >/dev/null)
  mkdir -p "$base/src/3rdparty/sqlite"
  cp "$sqlite/amalgamation/sqlite3.c" "$sqlite/amalgamation/sqlite3.h" "$base/src/3rdparty/sqlite/"
fi

# Qt 6.4 builds Qt Gui's DirectWrite font engine and font database only
# with the Direct2D feature on, yet the Windows platform plugin and Qt
# PrintSupport use them whenever DirectWrite is on: without Direct2D they
# do not link. Direct2D only adds a platform plugin Orvella does not use, so
# Qt Gui's DirectWrite code is made to depend on DirectWrite alone (the
# headers it needs, dwrite_2.h among them, are MinGW-w64's).
sed -i 's/^qt_internal_extend_target(Gui CONDITION QT_FEATURE_direct2d AND QT_FEATURE_directwrite /qt_internal_extend_target(Gui CONDITION QT_FEATURE_directwrite /' \
  "$base/src/gui/CMakeLists.txt"
sed -i -e 's/QT_CONFIG(directwrite) && QT_CONFIG(direct2d)/QT_CONFIG(directwrite)/' \
  -e 's/^#if QT_CONFIG(direct2d)$/#if QT_CONFIG(directwrite)/' \
  "$base"/src/gui/text/windows/qwindowsfontdatabase.cpp "$base"/src/gui/text/windows/qwindowsfontdatabasebase.cpp

build() { # name source-dir toolchain options...
  local name=$1 s=$2 tc=$3; shift 3
  local b=$dir/build-$name
  [ -f "$b/.installed" ] && return
  mkdir -p "$b"
  if [ ! -f "$b/.configured" ]; then
    say "configure $name"
    cmake -S "$s" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$tc" \
      -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
      -DCMAKE_INSTALL_PREFIX="$prefix" "$@" >"$b/configure.log" 2>&1 || {
      tail -n 40 "$b/configure.log" >&2; echo "configure $name failed: $b/configure.log" >&2; exit 1; }
    touch "$b/.configured"
  fi
  say "build $name ($(ninja -C "$b" -n 2>/dev/null | grep -c '^\[' || true) steps left, $jobs jobs)"
  ninja -C "$b" -j "$jobs" >&2
  ninja -C "$b" install >"$b/install.log"
  touch "$b/.installed"
}
build qtbase "$base" "$dir/mingw-w64-x86_64.cmake" "${qtbase_options[@]}"
# Qt's German texts where the Windows Qt looks for them (the tests; the
# installed program ships its own copy): Debian's qt6-translations-l10n,
# the same catalogue on every system.
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_de.qm "$prefix/translations/"
fetch qt6-svg
build qtsvg "$(src qt6-svg)" "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" "${module_options[@]}"
fetch qt6-charts
build qtcharts "$(src qt6-charts)" "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" "${module_options[@]}"

trap - EXIT
total=$(( $(cat "$dir/seconds") + $(date +%s) - started ))
printf '%d min %02d s\n' $((total / 60)) $((total % 60)) >"$prefix/.complete"
say "Qt $qtver for Windows built in $(cat "$prefix/.complete"): $prefix"
echo "$prefix"
