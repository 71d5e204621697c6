#!/bin/sh
# Runs one byte-code test program and checks what it did.
#   run_program.sh KESTREL DIR NAME
# DIR/NAME.kasm is the program. Beside it:
#   NAME.out     expected standard output (required)
#   NAME.status  expected exit status (default 0)
#   NAME.err     text that standard error must contain (optional)
#   NAME.args    the program's command-line arguments (optional)
#   NAME.in      standard input (optional)
#   NAME.first   the name of another program of DIR that runs first, in the
#                same folder and with the same registry (optional)
#   NAME.env     environment settings for the runs, VAR=value one a line
#                (optional; e.g. QT_QPA_PLATFORM=offscreen for windows).
#                Whatever display the caller has (DISPLAY, WAYLAND_DISPLAY,
#                QT_QPA_PLATFORM) is cleared first: a program sees only
#                what its .env gives it.
#   NAME.trace   what kestrel run --trace writes for the program (optional)
# Every run gets a fresh folder and a fresh XDG_CONFIG_HOME, so programs
# never touch the user's own files or registry.
# The program runs twice, with and without the decoded-expression cache, and
# its image must survive a disassembly (with positions) and assembly round
# trip unchanged.
kestrel=$1
dir=$2
name=$3
# Under the sanitizers, the font library's caches that live as long as the
# process are not leaks.
LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
base="$dir/$name"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $name: $*"; exit 1; }

args=""
[ -f "$base.args" ] && args=$(cat "$base.args")
stdin=/dev/null
[ -f "$base.in" ] && stdin="$base.in"
expected_status=0
[ -f "$base.status" ] && expected_status=$(cat "$base.status")
first=""
[ -f "$base.first" ] && first=$(cat "$base.first")
settings=""
[ -f "$base.env" ] && settings=$(grep -v '^#' "$base.env")
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

for mode in cached reference; do
  flag=""
  [ "$mode" = reference ] && flag="--reference"
  mkdir -p "$tmp/$mode" "$tmp/$mode.config"
  XDG_CONFIG_HOME="$tmp/$mode.config"
  export XDG_CONFIG_HOME
  if [ -n "$first" ]; then
    # shellcheck disable=SC2086
    (cd "$tmp/$mode" && env $settings "$kestrel" run $flag "$dir/$first.kasm" >/dev/null 2>"$tmp/$mode.first.err") ||
      { cat "$tmp/$mode.first.err"; fail "$mode run: the first program $first failed"; }
  fi
  # shellcheck disable=SC2086
  (cd "$tmp/$mode" && env $settings "$kestrel" run $flag "$base.kasm" $args <"$stdin" >"$tmp/$mode.out" 2>"$tmp/$mode.err")
  status=$?
  if [ "$status" != "$expected_status" ]; then
    cat "$tmp/$mode.err"
    fail "$mode run: exit status $status, expected $expected_status"
  fi
  if ! cmp -s "$tmp/$mode.out" "$base.out"; then
    diff "$base.out" "$tmp/$mode.out" | head -40
    fail "$mode run: standard output differs from $name.out"
  fi
  if [ -f "$base.err" ] && ! grep -qF -f "$base.err" "$tmp/$mode.err"; then
    cat "$tmp/$mode.err"
    fail "$mode run: standard error lacks the text of $name.err"
  fi
done

if [ -f "$base.trace" ]; then
  mkdir -p "$tmp/trace"
  # shellcheck disable=SC2086
  (cd "$tmp/trace" && env $settings "$kestrel" run --no-warnings --trace="$tmp/trace.txt" "$base.kasm" $args \
    <"$stdin" >/dev/null 2>&1)
  if ! cmp -s "$tmp/trace.txt" "$base.trace"; then
    diff "$base.trace" "$tmp/trace.txt" | head -40
    fail "the trace differs from $name.trace"
  fi
fi

"$kestrel" asm --no-warnings "$base.kasm" -o "$tmp/a.img" || fail "does not assemble"
"$kestrel" dis --positions "$tmp/a.img" >"$tmp/d.kasm" || fail "does not disassemble"
"$kestrel" asm --no-warnings "$tmp/d.kasm" -o "$tmp/b.img" || fail "disassembly does not assemble"
cmp -s "$tmp/a.img" "$tmp/b.img" || fail "disassembly assembles to different bytes"
exit 0
