#!/bin/sh
# Runs the scaling benchmarks of bench/scaling/ (paths that must stay linear:
# file writes, string appends, object-array re-declarations, a 10 MB input
# line, a list view of 100,000 items, a string grid of 1,000 x 100 cells and
# a tree view of 100,000 nodes read back by index) and prints each one's
# median time. Programs named gui_* open windows: they run offscreen unless
# QT_QPA_PLATFORM says otherwise.
#   bench/scaling.sh [NAME...]
# Environment: RUNS (default 3), KESTREL (default build/tools/kestrel).
# Needs hyperfine.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
kestrel=${KESTREL:-$root/build/tools/kestrel}
runs=${RUNS:-3}
names=${*:-"file_lines string_append object_redeclare long_line gui_list_view_items gui_grid_cells gui_tree_nodes"}
command -v hyperfine >/dev/null || { echo "bench: hyperfine is missing (apt-get install hyperfine)"; exit 1; }
[ -x "$kestrel" ] || { echo "bench: build first ($kestrel not found)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# One line of 10 MB for long_line.
head -c 10000000 /dev/zero | tr '\0' 'x' >"$work/line.txt"
echo >>"$work/line.txt"

printf '%-18s %10s  %s\n' benchmark median result
for name in $names; do
  "$kestrel" asm "$root/bench/scaling/$name.kasm" -o "$work/$name.img"
  input=/dev/null
  [ "$name" = long_line ] && input="$work/line.txt"
  case $name in gui_*) export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" ;; esac
  result=$(cd "$work" && "$kestrel" run "$work/$name.img" <"$input")
  hyperfine --style none --runs "$runs" --export-json "$work/$name.json" \
    "$kestrel run $work/$name.img $work/out.txt <$input" >/dev/null 2>&1
  python3 - "$work/$name.json" "$name" "$result" <<'PY'
import json, sys
median = json.load(open(sys.argv[1]))["results"][0]["median"]
print("%-18s %9.3fs  %s" % (sys.argv[2], median, sys.argv[3]))
PY
done
