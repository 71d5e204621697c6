#!/bin/sh
# Frames per second of 2,000 sprite blits a frame on a 640 x 480 game
# screen (bench/sprites.kasm), offscreen, on the Kestrel built in build/.
#   bench/sprites.sh            KESTREL: default build/tools/kestrel
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
kestrel=${KESTREL:-$root/build/tools/kestrel}
[ -x "$kestrel" ] || { echo "bench: build first ($kestrel not found)"; exit 1; }
QT_QPA_PLATFORM=offscreen "$kestrel" run "$root/bench/sprites.kasm" "$root/examples/asteroids.images"
