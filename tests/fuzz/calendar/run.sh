#!/usr/bin/env bash
# Builds the calendar reader's fuzz target with clang and runs it for a short while, seeded with
# the test calendars. Exits 77 (skipped) where clang or libFuzzer is missing.
# Usage: run.sh BUILD_FOLDER [SECONDS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$1
seconds=${2:-20}
clangxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$clangxx" ]; then
  echo "clang++ is not installed: the fuzz run is skipped"
  exit 77
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, long) { return 0; }' |
  "$clangxx" -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
  echo "clang++ has no libFuzzer (libclang-rt-14-dev): the fuzz run is skipped"
  exit 77
fi
cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER="$clangxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null
corpus="$build/corpus"
mkdir -p "$corpus"
cp "$here"/../../data/interchange/*.ics "$here"/../../data/interchange/hostile/*.ics "$corpus"/
cd "$build"
ASAN_OPTIONS=detect_leaks=0 ./fuzz_calendar -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=8192 "$corpus"
