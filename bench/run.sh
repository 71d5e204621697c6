#!/bin/sh
# Runs the benchmarks beside Lua 5.4 and LuaJIT's interpreter (JIT off) in
# one invocation and prints each time as a ratio to Lua 5.4.
#   bench/run.sh [BENCH...]          (default: all six)
# Environment: RUNS (default 5), KESTREL (default build/tools/kestrel),
# PEERS_DIR (the Lua programs; default ../shared/bench beside the project).
# Needs hyperfine, lua5.4 and luajit (apt-get install hyperfine lua5.4 luajit);
# bench/per_unit.sh (instructions per call and per iteration) needs valgrind.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
kestrel=${KESTREL:-$root/build/tools/kestrel}
peers=${PEERS_DIR:-$root/../shared/bench}
runs=${RUNS:-5}
benches=${*:-"loop_arith fib strings arrays arrays_qsort nested2d"}
out=$root/bench/results
mkdir -p "$out"

for tool in hyperfine lua5.4 luajit; do
  command -v $tool >/dev/null || { echo "bench: $tool is missing (apt-get install hyperfine lua5.4 luajit)"; exit 1; }
done
[ -x "$kestrel" ] || { echo "bench: build first ($kestrel not found)"; exit 1; }

ratios=$out/ratios.txt
rm -f "$ratios"
printf '%-14s %10s %10s %10s %8s %8s  %s\n' benchmark kestrel lua5.4 luajit-joff ours/lua joff/lua checksum
for b in $benches; do
  "$kestrel" asm "$root/bench/$b.kasm" -o "$out/$b.img"
  expected=$(grep "^$b " "$root/bench/expected.txt")
  got=$("$kestrel" run "$out/$b.img")
  check=ok
  [ "$got" = "$expected" ] || check="MISMATCH: $got"
  hyperfine -N --style none --warmup 1 --runs "$runs" --export-json "$out/$b.json" \
    -n kestrel "$kestrel run $out/$b.img" \
    -n lua5.4 "lua5.4 $peers/lua/$b.lua" \
    -n luajit-joff "luajit -joff $peers/luajit/$b.lua" >/dev/null 2>&1
  python3 - "$out/$b.json" "$b" "$check" "$ratios" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
ours, lua, joff = results["kestrel"], results["lua5.4"], results["luajit-joff"]
print("%-14s %9.3fs %9.3fs %9.3fs %7.2fx %7.2fx  %s" % (sys.argv[2], ours, lua, joff, ours / lua, joff / lua, sys.argv[3]))
with open(sys.argv[4], "a") as ratios:
    ratios.write("%r %r\n" % (ours / lua, joff / lua))
PY
done
python3 - "$ratios" <<'PY'
import math, sys
rows = [tuple(map(float, line.split())) for line in open(sys.argv[1])]
mean = lambda xs: math.exp(sum(map(math.log, xs)) / len(xs))
print("%-14s %10s %10s %10s %7.2fx %7.2fx" % ("geomean", "", "", "", mean([r[0] for r in rows]), mean([r[1] for r in rows])))
PY
rm -f "$ratios"
