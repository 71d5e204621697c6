#!/bin/sh
# Builds the fuzz targets with clang and runs them briefly.
#   run_fuzzers.sh [BUILD_DIR] [SECONDS]
# The corpus starts from the test programs, assembled.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=${1:-build-fuzz}
seconds=${2:-60}
CC=clang CXX=clang++ "$root/scripts/build.sh" "$dir" -DKESTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
corpus="$dir/corpus"
mkdir -p "$corpus"
kestrel="$root/build/tools/kestrel"
if [ -x "$kestrel" ]; then
  for program in "$root"/tests/programs/*.kasm; do
    "$kestrel" asm "$program" -o "$corpus/$(basename "$program" .kasm).img" 2>/dev/null || true
  done
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$dir/tests/fuzz/fuzz_image_loader" -max_total_time=10 -max_len=4096 -print_final_stats=1 "$corpus" 2>&1 | tail -3
"$dir/tests/fuzz/fuzz_interpreter" -max_total_time="$seconds" -max_len=8192 -timeout=30 -rss_limit_mb=2048 \
  -print_final_stats=1 "$corpus" 2>&1 | tail -5
