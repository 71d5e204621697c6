#!/bin/sh
# Nothing a program wrote is lost however it ends: killed, asked to end by a
# signal, its standard output closed by the reader, a fault inside an
# external function, exit or abort called through an external call, the end
# statement inside a call-back. Each program writes 1000 lines to a file
# first; the file must hold every one of them afterwards.
#   ending_tests.sh KESTREL EXTLIB_DIR
kestrel=$1
export LD_LIBRARY_PATH="$2${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
tmp=$(mktemp -d)
started=""
trap 'for p in $started; do kill -9 $p 2>/dev/null; done; rm -rf "$tmp"' EXIT
cd "$tmp" || exit 1
failures=0
passes=0
check() {  # check NAME CONDITION...
  name=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    echo "FAIL: $name"
    failures=$((failures + 1))
  fi
}
contains() { grep -qF -- "$2" "$1"; }
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
# The file holds the lines 1 to 1000, each with its CR LF.
complete() { [ "$(wc -l <"$1")" -eq 1000 ] && [ "$(tail -n 1 "$1")" = "$(printf '1000\r')" ]; }
# Waits (up to 20 s) until FILE contains TEXT.
wait_for() {
  i=0
  while ! grep -qF -- "$2" "$1" 2>/dev/null; do
    i=$((i + 1))
    [ $i -gt 200 ] && return 1
    sleep 0.1
  done
}

# Writes lines.txt, then does what the rest of the program says.
prologue='    dim int:0
    dim str:0
    dim filestream:0
    set filestream:0.Open = "lines.txt", 65535
    for int:0 = 1 to 1000 step 1 else written
line:
    set filestream:0.WriteLine = str(int:0)
    next line
written:
'
program() { printf '%s%s\n' "$prologue" "$2" >"$1.kasm"; }

# ---- Killed (nothing can run) or ended by a signal (ends as the end
# statement does: the print job is printed, the process ends by the signal).
program sleeper '    lprint "printed"
    stdout "ready"
    sleep 100000
    stdout "not reached"'
for entry in KILL:9 TERM:15 INT:2 HUP:1 QUIT:3; do
  sig=${entry%:*}
  number=${entry#*:}
  mkdir "$sig" && cd "$sig" || exit 1
  # A shell starts background commands with INT and QUIT ignored; undo that.
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM --default-signal=INT,QUIT \
    "$kestrel" run ../sleeper.kasm >out.txt 2>err.txt &
  pid=$!
  started="$started $pid"
  wait_for out.txt ready
  check "$sig: the program got going" [ $? -eq 0 ]
  kill -s "$sig" $pid
  wait $pid
  status=$?
  check "$sig: ended by the signal (status $status)" [ $status -eq $((128 + number)) ]
  check "$sig: every line in the file" complete lines.txt
  check "$sig: the program ran no further" sh -c '! grep -q "not reached" out.txt'
  case $sig in TERM | INT | HUP)
    check "$sig: the print job was printed" [ -s print-1.pdf ] ;;
  esac
  cd ..
done

# ---- A modal form waiting for events gives way to the signal.
program modal '    dim form:0
    stdout "ready"
    sleep 0
    set form:0.ShowModal
    stdout "not reached"'
mkdir modal && cd modal || exit 1
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$kestrel" run ../modal.kasm >out.txt 2>err.txt &
pid=$!
started="$started $pid"
wait_for out.txt ready
sleep 0.3
kill -TERM $pid
i=0
while kill -0 $pid 2>/dev/null && [ $i -lt 100 ]; do
  i=$((i + 1))
  sleep 0.1
done
kill -9 $pid 2>/dev/null
wait $pid
check "modal form: ended by TERM (status $?)" [ $? -eq 143 ]
check "modal form: every line in the file" complete lines.txt
check "modal form: the program ran no further" sh -c '! grep -q "not reached" out.txt'
cd ..

# ---- A read that waits for input is cut short by the signal.
program reader '    stdout "ready"
    sleep 0
    let str:0 = input()
    stdout "not reached"'
mkdir read && cd read || exit 1
mkfifo input
sleep 60 >input &
holder=$!
"$kestrel" run ../reader.kasm <input >out.txt 2>&1 &
pid=$!
started="$started $holder $pid"
wait_for out.txt ready
sleep 0.2
kill -TERM $pid
wait $pid
check "waiting read: ended by TERM (status $?)" [ $? -eq 143 ]
check "waiting read: every line in the file" complete lines.txt
kill $holder
cd ..

# ---- Standard output closed by its reader: no error text, files intact.
program talker '    for int:0 = 1 to 1000000 step 1 else talked
talk:
    stdout "talking " + str(int:0)
    next talk
talked:
    stdout "not reached"'
mkdir pipe && cd pipe || exit 1
{ "$kestrel" run ../talker.kasm 2>err.txt; echo $? >status.txt; } | head -n 1 >out.txt
check "closed output: ended by SIGPIPE (status $(cat status.txt))" [ "$(cat status.txt)" -eq 141 ]
check "closed output: no error text" sh -c '! grep -q "kestrel:" err.txt'
check "closed output: the reader got the first line" contains out.txt "talking 1"
check "closed output: every line in the file" complete lines.txt
cd ..

# ---- A fault inside an external function: the error names the function,
# status 1, nothing runs on.
program fault '    stdout "before"
    stdout @extern int "libc.so.6" "strlen"(long 4660)
    stdout "not reached"'
mkdir fault && cd fault || exit 1
"$kestrel" run ../fault.kasm >out.txt 2>err.txt
check "fault: status 1 (got $?)" [ $? -eq 1 ]
check "fault: the error names the address and the function" \
  contains err.txt "kestrel: run-time error: Access violation at address 00001234 in external function strlen"
check "fault: output before the call is kept" contains out.txt "before"
check "fault: the program ran no further" sh -c '! grep -q "not reached" out.txt'
check "fault: every line in the file" complete lines.txt
cd ..

# ---- exit and abort called through an external call.
program exiter '    extern int "libc.so.6" "exit"(int 7)'
program aborter '    extern int "libc.so.6" "abort"()'
mkdir exit abort
# exit() leaves the program's stack as it is: not a leak.
(cd exit && ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" "$kestrel" run ../exiter.kasm >/dev/null 2>&1
  echo $? >status.txt)
check "libc exit: its status" [ "$(cat exit/status.txt)" -eq 7 ]
check "libc exit: every line in the file" complete exit/lines.txt
(cd abort && ulimit -c 0 && "$kestrel" run ../aborter.kasm >/dev/null 2>&1; echo $? >status.txt)
check "libc abort: ended by SIGABRT" [ "$(cat abort/status.txt)" -eq 134 ]
check "libc abort: every line in the file" complete abort/lines.txt

# ---- The end statement inside a call-back ends the program as at the top
# level: output flushed, files closed, the print job printed.
program callback '    lprint "printed"
    stdout "visiting"
    stdout @extern int "kxtest" "kx_enumerate"(int 3, long callback(visit, 3))
    stdout "not reached"
.proc visit
    stdout "visit " + str(arg.int:0)
    endprogram
    endproc'
mkdir callback && cd callback || exit 1
headless "$kestrel" run ../callback.kasm >out.txt 2>err.txt
check "call-back end: status 0 (got $?)" [ $? -eq 0 ]
check "call-back end: output flushed" contains out.txt "visit 0"
check "call-back end: the program ran no further" sh -c '! grep -q "not reached\|visit 1" out.txt'
check "call-back end: every line in the file" complete lines.txt
check "call-back end: the print job was printed" [ -s print-1.pdf ]
cd ..

# ---- Little memory: a small program runs in 100 MB of address space; what
# does not fit later is "Out of memory" with status 1.
# (A sanitizer build reserves terabytes of shadow memory and cannot run
# under such a limit.)
if ldd "$kestrel" 2>/dev/null | grep -q "libasan\|libubsan"; then
  echo "SKIP: little memory (sanitizer build)"
else
  mkdir memory && cd memory || exit 1
  printf '    stdout "Hello"\n    stdout 6 * 7\n' >hello.kasm
  (ulimit -v 100000 && "$kestrel" run hello.kasm >out.txt 2>err.txt; echo $? >status.txt)
  check "100 MB: hello runs (status $(cat status.txt))" [ "$(cat status.txt)" -eq 0 ]
  check "100 MB: hello's output" contains out.txt "42"
  printf '    dim str:0\n    let str:0 = string(1000000, "x")\nagain:\n    let str:0 = str:0 + str:0\n    goto again\n' >grow.kasm
  printf '    dim str[0](60000000)\n' >list.kasm
  for name in grow list; do
    (ulimit -v 150000 && "$kestrel" run $name.kasm >out.txt 2>err.txt; echo $? >status.txt)
    check "150 MB, $name: status 1 (got $(cat status.txt))" [ "$(cat status.txt)" -eq 1 ]
    check "150 MB, $name: Out of memory" contains err.txt "kestrel: run-time error: Out of memory"
  done
  cd ..
fi

echo "$passes passed, $failures failed"
[ $failures -eq 0 ]
