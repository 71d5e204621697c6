#!/bin/sh
# The stubs and the kestrel command as a user meets them.
#   stub_tests.sh KESTREL KESTREL_RT KESTREL_RTW TESTS_DIR
kestrel=$1
stub=$2
stubw=$3
tests=$4
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
check() {  # check NAME EXPECTED ACTUAL
  if [ "$2" != "$3" ]; then
    echo "FAIL: $1: expected [$2], got [$3]"
    failures=$((failures + 1))
  fi
}

# The bare stub carries a zero trailer: it starts and ends at once, silently.
out=$("$stub"); check "bare stub status" 0 $?
check "bare stub output" "" "$out"
check "bare stub trailer" "00000000" "$(tail -c 4 "$stub" | od -An -tx1 | tr -d ' \n')"

# A bound program whose image is only a data block and a few statement bytes.
cat >"$tmp/tiny.kasm" <<'KASM'
.data
    .bytes 01 02 03
.code
    stdout "tiny"
KASM
"$kestrel" build "$tmp/tiny.kasm" -o "$tmp/tiny"; check "build status" 0 $?
out=$("$tmp/tiny"); check "bound program status" 0 $?
check "bound program output" "tiny" "$out"

# Statement code of four bytes or fewer is not run at all.
printf '\000\010\000\000\000\001\002\003\000\005\000\000' >"$tmp/short.img"
"$kestrel" build "$tmp/short.img" -o "$tmp/short"; check "short build" 0 $?
out=$("$tmp/short"); check "short image status" 0 $?
check "short image output" "" "$out"

# A trailer that claims more bytes than the file holds.
cp "$stub" "$tmp/broken"
size=$(wc -c <"$stub")
printf "$(printf '\\%03o\\%03o\\%03o\\%03o' $(((size + 100) & 255)) $((((size + 100) >> 8) & 255)) $((((size + 100) >> 16) & 255)) $((((size + 100) >> 24) & 255)))" >>"$tmp/broken"
out=$("$tmp/broken" 2>&1); check "broken trailer status" 1 $?
case "$out" in
  *"Malformed program image"*) ;;
  *) echo "FAIL: broken trailer message: $out"; failures=$((failures + 1)) ;;
esac

# The program's command line belongs to the program; options are not read.
"$kestrel" build "$tests/programs/hello.kasm" -o "$tmp/hello"
out=$("$tmp/hello" --help --version); check "stub ignores options" 0 $?
check "stub output" "$(cat "$tests/programs/hello.out")" "$out"

# The windowed stub has no console: console prints vanish, standard output stays.
printf '    print "console"\n    stdout "standard"\n' >"$tmp/both.kasm"
"$kestrel" build "$tmp/both.kasm" -o "$tmp/both-w" --windowed
out=$("$tmp/both-w"); check "windowed output" "standard" "$out"
"$kestrel" build "$tmp/both.kasm" -o "$tmp/both"
out=$("$tmp/both"); check "console output" "console
standard" "$out"

# Console programs need no Qt: the stubs do not link it (nor libffi), and a bound console
# program runs with the toolkit plug-in out of its reach, loading no Qt
# library. A program that uses the window system loads the plug-in from the
# folder given, and without one goes on without a window system.
# (A sanitizer build links the toolkit in: see tools/CMakeLists.txt.)
if nm -D --defined-only "$stub" | grep -q kestrelMakeToolkit; then
  echo "the stubs carry the toolkit themselves: plug-in checks skipped"
else
case "$(ldd "$stub")" in
  *libQt* | *libffi*) echo "FAIL: the console stub links more than the C and C++ libraries"; failures=$((failures + 1)) ;;
esac
out=$(KESTREL_PLUGIN_DIR="$tmp/nowhere" LD_DEBUG=files "$tmp/hello" 2>"$tmp/hello.loaded"); check "console program without the plug-in" 0 $?
check "console program output without the plug-in" "$(cat "$tests/programs/hello.out")" "$out"
if grep -q "libQt\|kestrel-toolkit-qt" "$tmp/hello.loaded"; then
  echo "FAIL: a console program loaded Qt"; failures=$((failures + 1))
fi
printf '    dim form:0\n    stdout form:0.Width\n' >"$tmp/form.kasm"
"$kestrel" build "$tmp/form.kasm" -o "$tmp/form"
KESTREL_PLUGIN_DIR="$tmp/nowhere" "$tmp/form" >/dev/null 2>"$tmp/form.err"; check "form without the plug-in" 0 $?
grep -q "kestrel: no window system (kestrel-toolkit-qt.so not found)" "$tmp/form.err" ||
  { echo "FAIL: no word of the missing plug-in: $(cat "$tmp/form.err")"; failures=$((failures + 1)); }
out=$(QT_QPA_PLATFORM=offscreen KESTREL_PLUGIN_DIR="$(dirname "$stub")" LD_DEBUG=files "$tmp/form" 2>"$tmp/form.loaded")
check "form with the plug-in" 0 $?
grep -q "kestrel-toolkit-qt.so" "$tmp/form.loaded" || { echo "FAIL: the plug-in was not loaded"; failures=$((failures + 1)); }
fi

# kestrel's own usage.
"$kestrel" --help >/dev/null; check "help status" 0 $?
"$kestrel" run --help >/dev/null; check "run --help status" 0 $?
"$kestrel" --version >/dev/null; check "version status" 0 $?
"$kestrel" frobnicate 2>/dev/null; check "bad command status" 2 $?
"$kestrel" asm 2>/dev/null; check "asm without file status" 2 $?
printf '    goto nowhere\n' >"$tmp/bad.kasm"
err=$("$kestrel" run "$tmp/bad.kasm" 2>&1); check "assembly error status" 1 $?
case "$err" in
  *"bad.kasm:1:"*"undefined label 'nowhere'"*) ;;
  *) echo "FAIL: assembly error message: $err"; failures=$((failures + 1)) ;;
esac

[ $failures -eq 0 ] || exit 1
echo "all stub and tool checks passed"
