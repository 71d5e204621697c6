#!/bin/sh
# Finding one's way in a program, from the command line: source lines in
# errors, warnings, listings, names files, the trace, the profile and the
# post-mortem for sources, images and bound programs, and programs built
# for the original platform (a PE-shaped file made here: an MZ header and
# filler, then an image and its trailer).
#   diagnostics_tests.sh KESTREL
kestrel=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
contains() {  # contains NAME TEXT FILE
  grep -qF -- "$2" "$3" || { fail "$1: [$2] not in:"; cat "$3"; }
}
lacks() {  # lacks NAME TEXT FILE
  if grep -qF -- "$2" "$3"; then fail "$1: [$2] should not be in:"; cat "$3"; fi
}
quiet() {  # quiet FILE: nothing on standard error but the sanitizers' own notes
  ! grep -qv '^==[0-9]*==WARNING: ASan' "$1"
}

cat >down.kasm <<'KASM'
// Counts down and divides by what it counts.
.var n = int:0
    dim n
    let n = 3
    goto main
.proc down
.param k = arg.int:0
    stdout 12 \ k
    ifnot k > 0 goto bottom
    call down(k - 1)
bottom:
    endproc
main:
    call down(n)
    stdout "not reached"
KASM

# A run-time error names the source line, or the position alone for an image.
"$kestrel" run down.kasm >out.txt 2>err.txt
[ $? -eq 1 ] || fail "failing program status"
contains "error line" "division by zero at down.kasm:8 (byte-code position 30)" err.txt
"$kestrel" asm down.kasm -o down.img --listing --names down.names >listing.txt
"$kestrel" run down.img >out.txt 2>err.txt
contains "error position" "division by zero (at byte-code position 30)" err.txt

# The post-mortem: on request for kestrel run, by KESTREL_POST_MORTEM=1 for a bound program.
"$kestrel" run --post-mortem down.kasm >out.txt 2>err.txt
contains "post-mortem frames" "    #4 down, at down.kasm:8" err.txt
contains "post-mortem parameter" "      k (arg.int:0) = 0" err.txt
contains "post-mortem caller" "    main code, at down.kasm:14" err.txt
contains "post-mortem variable" "    n (int:0) = 3" err.txt
"$kestrel" build down.kasm -o down
./down >out.txt 2>err.txt
lacks "no post-mortem unasked" "post-mortem" err.txt
KESTREL_POST_MORTEM=1 ./down >out.txt 2>err.txt
contains "bound post-mortem" "    #4 procedure at " err.txt
contains "bound post-mortem slot" "      slot 0: 1" err.txt

# Warnings go to standard error, never change the bytes, and --no-warnings silences them.
cat >warn.kasm <<'KASM'
    dim int:0
    stdout "total: " + int:0
KASM
"$kestrel" asm warn.kasm -o warn.img 2>err.txt
contains "warning" "warn.kasm:2:22: warning: a string and a number meet at '+'" err.txt
"$kestrel" asm --no-warnings warn.kasm -o quiet.img 2>err.txt
quiet err.txt || fail "--no-warnings still warns"
cmp -s warn.img quiet.img || fail "warnings changed the bytes"
out=$("$kestrel" run --no-warnings warn.kasm 2>err.txt)
[ "$out" = "0" ] || fail "warned program output [$out]"
quiet err.txt || fail "run --no-warnings still warns"

# A listing, and names carried by a names file to the disassembly of the image.
contains "listing" "    20  00 05 2e 00 00 00         goto main" listing.txt
contains "names file" ".param k = arg.int:0" down.names
"$kestrel" dis down.img --names down.names --positions >named.kasm
contains "named disassembly" "    stdout 12 \\ k" named.kasm
contains "named label" "bottom:" named.kasm
"$kestrel" asm named.kasm -o again.img && cmp -s down.img again.img || fail "named disassembly assembles differently"

# The trace and the profile work for sources, images and bound programs.
cat >loop.kasm <<'KASM'
    dim int:0
    dim int:1
    for int:0 = 1 to 200 step 1 else done
again:
    let int:1 = int:1 + int:0
    next again
done:
    stdout str(int:1)
KASM
"$kestrel" build loop.kasm -o loop
for program in loop.kasm loop; do
  out=$("$kestrel" run --trace=trace.txt "$program")
  [ "$out" = "20100" ] || fail "traced $program output [$out]"
  contains "trace of $program" "let int:1 = int:1 + int:0  => 20100" trace.txt
  out=$("$kestrel" run --profile "$program" 2>profile.txt)
  [ "$out" = "20100" ] || fail "profiled $program output [$out]"
  contains "profile of $program" "profile: 404 statements run" profile.txt
  contains "profile count of $program" "200 " profile.txt
done

# A program built for the original platform: kestrel finds the image behind
# the executable's own bytes, runs it, extracts it and binds it again.
"$kestrel" asm loop.kasm -o loop.img
{
  printf 'MZ\220\000\003\000\000\000'
  head -c 400 /dev/zero | tr '\000' '\314'
  cat loop.img
  size=$(wc -c <loop.img)
  printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $((size & 255)) $(((size >> 8) & 255)) $(((size >> 16) & 255)) $(((size >> 24) & 255)))"
} >old.exe
out=$("$kestrel" run old.exe); [ "$out" = "20100" ] || fail "run of a PE-shaped file [$out]"
"$kestrel" extract old.exe -o extracted.img || fail "extract status"
cmp -s loop.img extracted.img || fail "extracted image differs"
"$kestrel" build old.exe -o rebound || fail "build from a PE-shaped file"
out=$(./rebound); [ "$out" = "20100" ] || fail "rebound program [$out]"
"$kestrel" dis old.exe >old.kasm && contains "disassembly of a PE-shaped file" "let int:1 = int:1 + int:0" old.kasm
head -c 300 old.exe >noimage.exe
"$kestrel" run noimage.exe 2>err.txt; [ $? -eq 1 ] || fail "executable without an image status"
contains "executable without an image" "An executable without a well-formed program image appended" err.txt
"$kestrel" extract loop.kasm -o x.img 2>/dev/null; [ $? -eq 1 ] || fail "extract of a source status"

[ $failures -eq 0 ] || exit 1
echo "all diagnostics checks passed"
