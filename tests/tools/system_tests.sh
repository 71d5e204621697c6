#!/bin/sh
# System services that need more than one program run to check: the
# printer's text channel (PDF when no printer is configured), message
# boxes on the terminal and under the offscreen platform, screen size,
# starting a bound program by its .exe name, and sound without a device.
#   system_tests.sh KESTREL
kestrel=$1
# Under the sanitizers: the font library's caches live until the process ends.
LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")" && pwd)/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export LSAN_OPTIONS
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
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
# No display: the run-time must manage without one.
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }

# ---- The printer: two lines, the end of the document, a second job.
cat >print.kasm <<'KASM'
    lprint "First printed line"
    lprint "Second ";
    lprint 2.5
    enddoc
    lprint "Another job"
KASM
if command -v lpstat >/dev/null 2>&1 && lpstat -d 2>/dev/null | grep -q "system default destination:"; then
  echo "SKIP: printer (a default printer is configured)"
else
  headless "$kestrel" run print.kasm >print.out 2>print.err
  check "printer: run succeeds" [ $? -eq 0 ]
  check "printer: job named on standard error" contains print.err "print-1.pdf"
  check "printer: second job in its own file" [ -s print-2.pdf ]
  pdftotext print-1.pdf print-1.txt
  check "printer: first line in the PDF" contains print-1.txt "First printed line"
  check "printer: numbers by the console rule" contains print-1.txt "Second 2.500000000"
  pdftotext print-2.pdf print-2.txt
  check "printer: a job left open is ended at the end" contains print-2.txt "Another job"
  headless "$kestrel" run print.kasm >/dev/null 2>&1
  check "printer: earlier files are never replaced" [ -s print-4.pdf ]
fi

# ---- Message boxes without a display: text on standard error, the default
# button answers when standard input is not a terminal.
cat >dialogs.kasm <<'KASM'
    message "Just so you know"
    stdout msgbox("Save changes?", "Editor", 3 + 256)
    stdout msgbox("Proceed?", "Editor", 1)
    stdout msgdlg("Really?", 3, 3, 0)
    stdout msgdlg("Done", 2, 0, 0)
    msgdlg "Stop", 1, 8 + 2, 0
KASM
printf '7\n1\n6\n1\n' >dialogs.expected
headless "$kestrel" run dialogs.kasm </dev/null >dialogs.out 2>dialogs.err
check "dialogs: defaults answer" cmp -s dialogs.out dialogs.expected
check "dialogs: plain box on standard error" contains dialogs.err "dialogs: Just so you know"
check "dialogs: buttons listed" contains dialogs.err "[Y]es  [N]o  [C]ancel  (default: No)"
check "dialogs: dialog caption" contains dialogs.err "Confirm: Really?"

# Typing a button's letter on a terminal chooses it.
if command -v script >/dev/null 2>&1; then
  (sleep 1; printf 'ok\n'; sleep 0.3; printf 'c\n'; sleep 0.3; printf 'o\n'; sleep 0.3; printf 'n\n'; sleep 0.3;
   printf '\n'; sleep 0.3; printf 'n\n'; sleep 1) |
    headless script -qec "$kestrel run dialogs.kasm" /dev/null >dialogs.tty 2>&1
  tr -d '\r' <dialogs.tty >dialogs.tty.txt
  check "dialogs: letters typed on a terminal" sh -c "grep -x '[0-9]' dialogs.tty.txt | tr '\n' ' ' | grep -qx '2 1 7 1 '"
fi

# Under the offscreen platform a timer answers with the default button, and
# what the boxes said, which no one could see, is on standard error too.
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$kestrel" run dialogs.kasm </dev/null >offscreen.out 2>offscreen.err
check "dialogs: offscreen defaults answer" cmp -s offscreen.out dialogs.expected
check "dialogs: offscreen boxes also on standard error" contains offscreen.err "Editor: Save changes?"

# ---- Screen size: the display's, or 1024 x 768 without one.
printf '    stdout screenwidth()\n    stdout screenheight()\n' >screen.kasm
headless "$kestrel" run screen.kasm >screen.out 2>/dev/null
check "screen: no display" [ "$(tr '\n' ' ' <screen.out)" = "1024 768 " ]
QT_QPA_PLATFORM=offscreen "$kestrel" run screen.kasm >screen.out 2>/dev/null
check "screen: offscreen" [ "$(tr '\n' ' ' <screen.out)" = "800 800 " ]

# ---- A bound program started by its Windows name, with and without .exe.
printf '    stdout "child got " + param(1)\n' >child.kasm
"$kestrel" build child.kasm -o child.exe && "$kestrel" build child.kasm -o helper
cat >parent.kasm <<'KASM'
    stdout "parent"
    runwait "child.exe \"one arg\""
    runwait ".\\HELPER.EXE two"
    stdout "done"
KASM
"$kestrel" run parent.kasm >parent.out 2>parent.err
printf 'parent\nchild got one arg\nchild got two\ndone\n' >parent.expected
check "run: bound programs run as themselves" cmp -s parent.out parent.expected

# ---- Sound without an audio device: nothing plays, nothing fails.
# An 8-bit mono WAV of eight samples.
printf 'RIFF\054\000\000\000WAVEfmt \020\000\000\000\001\000\001\000\100\037\000\000\100\037\000\000\001\000\010\000data\010\000\000\000\200\377\200\000\200\377\200\000' >beep.wav
cat >sound.kasm <<'KASM'
.resource file "beep.wav"
.code
    playsound "BEEP.WAV", 0
    playsound "beep.wav", 1 + 8
    playsound "", 0
    playsound "missing.wav", 0
    playres 0, 0
    playres 0, 131072 + 1
    sound 880, 1.8
    stdout "quiet"
KASM
headless "$kestrel" run sound.kasm >sound.out 2>sound.err
check "sound: no failure without a device" [ "$(cat sound.out)" = "quiet" ]

# ---- Ports: used where the process may, else "Privileged instruction".
printf '    stdout inp(97) >= 0\n' >port.kasm
if ! "$kestrel" run port.kasm >port.out 2>port.err; then
  check "ports: refused with the processor's error" contains port.err "Privileged instruction"
fi

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
