#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# apt-get through a private state folder whose only sources are the deb-src
# twins of the machine's own apt sources. The system's apt configuration,
# lists and caches are never written.
#   apt-source.sh DIR update
#   apt-source.sh DIR version PACKAGE     the source version apt would fetch
#   apt-source.sh DIR source PACKAGE...   unpacks into the current folder
set -euo pipefail
dir=$1; shift
etc=/etc/apt

opts=(-o "Dir::Etc::SourceList=$dir/sources.list" -o "Dir::Etc::SourceParts=$dir/sources.list.d"
      -o "Dir::State=$dir/state" -o "Dir::State::Lists=$dir/state/lists"
      -o "Dir::Cache=$dir/cache" -o "Dir::Cache::archives=$dir/cache/archives"
      -o "Debug::NoLocking=1" -o "APT::Sandbox::User=root")

derive() {
  mkdir -p "$dir/sources.list.d" "$dir/state/lists/partial" "$dir/cache/archives/partial"
  # One-line format: every enabled "deb" line once more as "deb-src".
  {
    for f in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      sed -n -E 's/^[[:space:]]*deb([[:space:]])/deb-src\1/p' "$f"
    done
  } >"$dir/sources.list"
  # deb822 format: each stanza whose Types name "deb" becomes a deb-src
  # stanza; stanzas switched off with "Enabled: no" stay off.
  rm -f "$dir"/sources.list.d/*.sources
  for f in "$etc"/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'function flush() { if (s != "" && deb && !off) printf "%s\n", s; s = ""; deb = 0; off = 0 }
         /^[[:space:]]*$/ { flush(); next }
         /^[[:space:]]*#/ { next }
         tolower($1) == "types:" { for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1; s = s "Types: deb-src\n"; next }
         tolower($1) == "enabled:" && tolower($2) == "no" { off = 1 }
         { s = s $0 "\n" }
         END { flush() }' "$f" >"$dir/sources.list.d/$(basename "$f")"
  done
}

case $1 in
  update)
    derive
    apt-get "${opts[@]}" -qq update ;;
  version)
    apt-cache "${opts[@]}" showsrc "$2" | awk '/^Version:/ { print $2 }' | sort -V | tail -n 1 ;;
  source)
    shift
    apt-get "${opts[@]}" -qq source "$@" ;;
esac
