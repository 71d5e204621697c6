#!/bin/sh
# Frames per second of the 3D renderer: a 5,000-triangle Gouraud-shaded,
# textured, lit sphere at 640 x 480 (target: 30 or more).
#   bench/scene3d.sh [FRAMES]     (build first: scripts/build.sh)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
bench=${SCENE3D_BENCH:-$root/build/bench/kestrel-scene3d-bench}
[ -x "$bench" ] || { echo "bench: build first ($bench not found)"; exit 1; }
exec "$bench" "$@"
