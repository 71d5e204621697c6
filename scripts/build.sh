#!/bin/sh
# Configures and builds Kestrel in build/ (or the folder given as $1).
# Extra arguments go to CMake, e.g. scripts/build.sh build-asan -DKESTREL_SANITIZE=ON
set -e
dir=${1:-build}
[ $# -gt 0 ] && shift
cmake -S "$(dirname "$0")/.." -B "$dir" -G Ninja "$@" >/dev/null
ninja -C "$dir"
