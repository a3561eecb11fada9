#!/usr/bin/env bash
# Builds the vCard fuzzer with clang into BUILD_DIR and runs it for SECONDS seconds from the test
# corpus. Exits 77 (skipped) when clang or libFuzzer is not on this machine.
# Usage: run.sh SOURCE_DIR BUILD_DIR SECONDS
set -uo pipefail
source_dir=$1 build_dir=$2 seconds=$3
clang=$(command -v clang++ || true)
if [ -z "$clang" ]; then
    echo "clang++ is not installed: the fuzzer is not built"
    exit 77
fi
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char *, long) { return 0; }' |
    "$clang" -x c++ -fsanitize=fuzzer -o /dev/null - 2>/dev/null; then
    echo "clang++ has no libFuzzer (libclang-rt-dev): the fuzzer is not built"
    exit 77
fi
set -e
cmake -S "$source_dir/tests/fuzz" -B "$build_dir" -DCMAKE_CXX_COMPILER="$clang" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >/dev/null
cmake --build "$build_dir" >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$source_dir"/tests/data/interchange/vcard/*.vcf "$work"/
ASAN_OPTIONS=detect_leaks=0 "$build_dir/fuzz_vcard" -max_total_time="$seconds" -max_len=8192 -print_final_stats=1 \
    "$work"
