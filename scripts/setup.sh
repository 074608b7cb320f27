#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Orvella needs to build, run and test, when
# they are missing. Uses apt-get, through sudo when not running as root.
set -euo pipefail

packages=(
  # build: clang compiles (GCC's C++ library and binutils come with g++),
  # lld links the test programs
  g++ clang lld cmake ninja-build make qt6-base-dev
  # the parameter study's charts and their SVG export; Qt6Charts' CMake files
  # need Qt6OpenGL's, which Debian 12 packages apart
  qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
  # run: the SVG icon plugin and a sans metric-compatible with the designs' font
  libqt6svg6 fonts-liberation2
  # the history's database: Qt SQL's SQLite driver, loaded at run time (Qt
  # SQL's CMake files come with qt6-base-dev)
  libqt6sql6-sqlite
  # Qt's own texts (message box buttons) in the user's language
  qt6-translations-l10n
)
# Extra packages named by the caller (for example the end-to-end tests' X server).
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
