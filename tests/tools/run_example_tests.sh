#!/bin/sh
# scripts/run-example.sh as the README uses it: the console example without
# a display, the calculator with one, a named example with its arguments.
#   run_example_tests.sh KESTREL SOURCE_DIR
kestrel=$1
script="$2/scripts/run-example.sh"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM KESTREL="$kestrel" "$script") || fail "primes failed"
echo "$out" | head -1 | grep -q "^Primes below 200" || fail "no display: expected the primes, got: $out"

# A stand-in for kestrel that says how it was called.
printf '#!/bin/sh\necho "$@"\n' > "$tmp/kestrel"
chmod +x "$tmp/kestrel"
out=$(env -u WAYLAND_DISPLAY DISPLAY=:42 KESTREL="$tmp/kestrel" "$script")
[ "$out" = "run $2/examples/calculator.kasm" ] || fail "X display: $out"
out=$(env -u DISPLAY WAYLAND_DISPLAY=wayland-0 KESTREL="$tmp/kestrel" "$script")
[ "$out" = "run $2/examples/calculator.kasm" ] || fail "Wayland display: $out"
out=$(KESTREL="$tmp/kestrel" "$script" drawing.kasm one "two words")
[ "$out" = "run $2/examples/drawing.kasm one two words" ] || fail "named example: $out"
KESTREL="$tmp/kestrel" "$script" no_such_example 2>/dev/null && fail "an unknown example ran"
KESTREL="$tmp/missing" "$script" 2>/dev/null && fail "a missing kestrel ran"
echo "run-example: all passed"
