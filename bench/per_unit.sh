#!/bin/sh
# Instructions per unit of work, counted with callgrind (repeatable whatever
# the load): each benchmark runs at two sizes and the difference is divided
# by the units between them, so start-up and set-up drop out.
#   bench/per_unit.sh            KESTREL: default build/tools/kestrel
# Needs valgrind.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
kestrel=${KESTREL:-$root/build/tools/kestrel}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

count() {  # instructions of one run of the assembly file $1
  "$kestrel" asm "$1" -o "$tmp/p.img"
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$kestrel" run "$tmp/p.img" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}

per_unit() {  # name, file at size a, file at size b, units between them
  a=$(count "$2")
  b=$(count "$3")
  echo "$1 $(( (b - a) / $4 ))"
}

# fib: calls of fib(n) = 2 fib(n+1) - 1.
sed 's/fib(35)/fib(18)/' "$root/bench/fib.kasm" >"$tmp/fa.kasm"
sed 's/fib(35)/fib(22)/' "$root/bench/fib.kasm" >"$tmp/fb.kasm"
per_unit "fib_call" "$tmp/fa.kasm" "$tmp/fb.kasm" $((57313 - 8361))

# One sort of 100000 numbers: one repetition with and without it.
sed 's/to 12 step/to 1 step/; s/^    call qsort(ref int\[1\].*//' "$root/bench/arrays_qsort.kasm" >"$tmp/qa.kasm"
sed 's/to 12 step/to 1 step/' "$root/bench/arrays_qsort.kasm" >"$tmp/qb.kasm"
per_unit "arrays_qsort_sort" "$tmp/qa.kasm" "$tmp/qb.kasm" 1

sed 's/to 40000000 step/to 100000 step/' "$root/bench/loop_arith.kasm" >"$tmp/la.kasm"
sed 's/to 40000000 step/to 300000 step/' "$root/bench/loop_arith.kasm" >"$tmp/lb.kasm"
per_unit "loop_arith_iter" "$tmp/la.kasm" "$tmp/lb.kasm" 200000

for n in 100000 300000; do
  printf '    dim int:0\n    for int:0 = 1 to %s step 1 else done\nbody:\n    next body\ndone:\n' $n >"$tmp/e$n.kasm"
  # A loop made of a counter, a test and a taken backward goto.
  printf '    dim int:0\ntop:\n    let int:0 = int:0 + 1\n    ifnot int:0 < %s goto done\n    goto top\ndone:\n' $n >"$tmp/g$n.kasm"
done
per_unit "empty_for_next" "$tmp/e100000.kasm" "$tmp/e300000.kasm" 200000
per_unit "goto_loop_iter" "$tmp/g100000.kasm" "$tmp/g300000.kasm" 200000
