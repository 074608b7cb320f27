#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# History benchmark: the cost of recording a calculation (the first of a
# session through the plugin, and each later one), opening the Verlauf's
# table, searching and scrolling with 100 000 entries; then a calculate
# click and the Verlauf opened with that history (bench/calculate_bench.sh)
# and the start-up
# with that history in the user's data folder against the one-button window
# (bench/startup.sh), and a check that the program neither links Qt SQL nor
# has it mapped after start.
#   bench/history_bench.sh BUILD_DIR [STARTUP_RUNS]   (BUILD_DIR configured
#                                    with the bench preset; builds orvella,
#                                    bench_history, bench_history_load,
#                                    bench_calculate and the start-up
#                                    programs)
# Only the processes this script starts are stopped, by pid.
set -euo pipefail
build=$(cd "${1:?usage: history_bench.sh BUILD_DIR [STARTUP_RUNS]}" && pwd)
runs=${2:-9}
for f in orvella bench/bench_history bench/bench_history_load plugins/orvella_history.so; do
  [ -e "$build/$f" ] || { echo "missing $build/$f: cmake --build $build --target orvella bench_history bench_history_load"; exit 1; }
done

data=$(mktemp -d)
app= xvfb=
stop() { [ -n "$1" ] && kill "$1" 2>/dev/null && wait "$1" 2>/dev/null || true; }
trap 'stop "$app"; stop "$xvfb"; rm -rf "$data"' EXIT

XDG_DATA_HOME=$data/first XDG_CONFIG_HOME=$data/config "$build/bench/bench_history_load" >"$data/load"
"$build/bench/bench_history" "$data/share" 100000 >"$data/store"
val() { awk -v k="$1" -v c="$2" '$1==k {print $c}' "$data/$3"; }
. "$(dirname "$0")/table.sh"

echo "history benchmark, $(date +%F): $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //')"
echo "file with $(val entries 2 store) entries: $(val file_mib 2 store) MiB"
printf '%-48s %10s %10s %10s\n' "" "median" "max" "limit"
printf '%-48s %10s %7.2f ms\n' "first entry of a session: loading the plugin" "" "$(val load_plugin 2 load)"
printf '%-48s %10s %7.2f ms\n' "  then the entry (SQLite driver, file, schema)" "" "$(val first_record 2 load)"
printf '%-48s %7.3f ms %7.3f ms %7s ms\n' "each later entry (small history)" "$(val record 2 store)" "$(val record 4 store)" 2
printf '%-48s %7.3f ms %7.3f ms\n' "  of it the thread's own work (CPU time)" "$(val record 5 store)" "$(val record 7 store)"
printf '%-48s %7.3f ms %7.3f ms %7s ms\n' "each later entry (100 000 entries)" "$(val record_full 2 store)" "$(val record_full 4 store)" 2
printf '%-48s %7.3f ms %7.3f ms\n' "  of it the thread's own work (CPU time)" "$(val record_full 5 store)" "$(val record_full 7 store)"
printf '%-48s %7.2f ms %7.2f ms\n' "search index: a step of 32 entries (writer idle)" "$(val index_step 2 store)" "$(val index_step 4 store)"
printf '%-48s %7.2f ms %7.2f ms %7s ms\n' "Verlauf opened: file and first 256 rows" "$(val open 2 store)" "$(val open 3 store)" 150
while IFS= read -r line; do
  text=$(echo "$line" | sed 's/^search "\(.*\)" .*/\1/')
  set -- $(echo "$line" | sed 's/^search ".*" //')
  printf '%-48s %7.2f ms %7.2f ms %7s ms\n' "search \"$text\" ($3 rows shown)" "$1" "$2" 16.7
done < <(grep '^search ' "$data/store")
printf '%-48s %7.2f ms %7.2f ms\n' "scrolling: each further page of 256 rows" "$(val fetch 2 store)" "$(val fetch 3 store)"
bench_row "Verlauf: each later entry, on the GUI thread" "$(val record_full 2 store)" "$(val record_full 4 store)" 2
bench_row "Verlauf opened with 100 000 entries: file, first 256 rows" "$(val open 2 store)" "$(val open 3 store)" 100
while IFS= read -r line; do
  text=$(echo "$line" | sed 's/^search "\(.*\)" .*/\1/')
  set -- $(echo "$line" | sed 's/^search ".*" //')
  bench_row "Verlauf search \"$text\", 100 000 entries" "$1" "$2" 16.7
done < <(grep '^search ' "$data/store")
bench_row "Verlauf: a further page of 256 rows" "$(val fetch 2 store)" "$(val fetch 3 store)" 16.7
[ "$(val sql_mapped_before 2 load)" = 0 ] || { echo "Qt SQL mapped before the plugin was loaded: FAILED"; exit 1; }

# The program itself: Qt SQL is neither a dependency nor loaded at start,
# with a full history in its data folder.
if readelf -d "$build/orvella" | grep NEEDED | grep -qi sql; then
  echo "orvella links Qt SQL: FAILED"; exit 1
fi
. "$(dirname "$0")/../scripts/xserver.sh"
start_xvfb "$data" 320 || { echo "Xvfb did not start"; cat "$data/xvfb.log"; exit 1; }
XDG_DATA_HOME=$data/share "$build/orvella" >/dev/null 2>&1 &
app=$!
sleep 2
sql=$(grep -c -e libQt6Sql -e orvella_history "/proc/$app/maps" || true)
stop "$app"; app=
stop "$xvfb"; xvfb=
echo "orvella after start, 100 000 entries in its data folder: Qt SQL and history mappings: $sql (must be 0)"
[ "$sql" = 0 ]

echo "a calculate click and the Verlauf with the 100 000-entry history in the data folder:"
"$(dirname "$0")/calculate_bench.sh" "$build" 7 "$data/share" "Verlauf of 100 000 entries"

echo "start-up with the 100 000-entry history in the data folder:"
XDG_DATA_HOME=$data/share BENCH_STARTUP_LABEL=", 100 000 entries in the Verlauf" \
  "$(dirname "$0")/startup.sh" "$build" "$runs"
