#!/bin/sh
# Builds the fuzz targets with clang and runs each for a while.
#   run_fuzzers.sh [BUILD_DIR] [SECONDS]
# SECONDS (default 60) is the time of the interpreter and the object
# statements together (split 3:2); the image loader and the readers of mesh
# files and image collection manifests get 10 seconds more each.
# Seeds: tests/fuzz/corpus/TARGET (kept in the repository; programs/ holds
# the test programs, assembled) and the test programs assembled afresh.
# A crash does not stop a target: it goes on (libFuzzer's fork mode), and at
# the end every distinct crash (by the sanitizer's summary line) is listed
# with an input that causes it. The status is 1 when there was any.
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
dir=${1:-build-fuzz}
seconds=${2:-60}
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DKESTREL_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$dir" -j2 fuzz_image_loader fuzz_interpreter fuzz_objects fuzz_text_files
seeds="$root/tests/fuzz/corpus"
work="$dir/corpus"
crashes="$dir/crashes"
rm -rf "$crashes"
mkdir -p "$work/programs" "$work/objects" "$work/text" "$crashes"
kestrel="$root/build/tools/kestrel"
if [ -x "$kestrel" ]; then
  for program in "$root"/tests/programs/*.kasm; do
    "$kestrel" asm "$program" -o "$work/programs/$(basename "$program" .kasm).img" 2>/dev/null || true
  done
fi
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# fuzz TARGET SECONDS MAX_LEN WORK_CORPUS SEED_CORPUS
fuzz() {
  echo "== $1 ($2 s)"
  "$dir/tests/fuzz/$1" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$2" -max_len="$3" -timeout=30 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/$1-" "$4" "$5" >"$crashes/$1.log" 2>&1 || true
  grep -E "^#[0-9]+: cov|^INFO: fuzzed for|^Done" "$crashes/$1.log" | tail -2
}
fuzz fuzz_image_loader 10 4096 "$work/programs" "$seeds/programs"
fuzz fuzz_interpreter $((seconds * 3 / 5)) 8192 "$work/programs" "$seeds/programs"
fuzz fuzz_objects $((seconds * 2 / 5)) 4096 "$work/objects" "$seeds/objects"
fuzz fuzz_text_files 10 16384 "$work/text" "$seeds/text"

# Every distinct crash, once: the input is run again for its summary line.
found=0
seen=""
for input in "$crashes"/*-crash-* "$crashes"/*-leak-* "$crashes"/*-timeout-* "$crashes"/*-oom-*; do
  [ -f "$input" ] || continue
  target=$(basename "$input" | sed 's/-\(crash\|leak\|timeout\|oom\)-.*//')
  summary=$("$dir/tests/fuzz/$target" -timeout=30 -rss_limit_mb=2048 "$input" 2>&1 | grep -m1 "^SUMMARY:" || true)
  [ -n "$summary" ] || summary="$(basename "$input" | sed 's/-[0-9a-f]*$//') (no summary line)"
  case "$seen" in *"|$target $summary|"*) continue ;; esac
  seen="$seen|$target $summary|"
  found=$((found + 1))
  echo "FUZZ FINDING $found: $target: $summary"
  echo "  input: $input"
done
if [ $found -gt 0 ]; then
  echo "$found distinct fuzzing findings"
  exit 1
fi
echo "fuzzing: no findings"
