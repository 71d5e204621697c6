#!/bin/sh
# Runs one of the bundled examples with the Kestrel built in build/.
#   scripts/run-example.sh [NAME [ARGS...]]
# Without a NAME: the calculator when there is a display to show it on
# (DISPLAY or WAYLAND_DISPLAY is set), else the console example, primes.
# NAME is a file of examples/ (calculator, drawing, primes, ...).
# KESTREL names another kestrel program to use.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
kestrel=${KESTREL:-$root/build/tools/kestrel}
if [ ! -x "$kestrel" ]; then
  echo "run-example.sh: $kestrel is missing; build first: ./scripts/build.sh" >&2
  exit 2
fi
if [ $# -gt 0 ]; then
  name=${1%.kasm}
  shift
elif [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  name=calculator
else
  name=primes
fi
file="$root/examples/$name.kasm"
if [ ! -f "$file" ]; then
  echo "run-example.sh: there is no example $name in examples/" >&2
  exit 2
fi
exec "$kestrel" run "$file" "$@"
