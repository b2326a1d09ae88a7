#!/usr/bin/env bash
# Fuzzes the RTF reader with libFuzzer under AddressSanitizer and UndefinedBehaviorSanitizer.
#   tests/richtext/run_fuzz.sh [RUNS] [extra libFuzzer options]     (default: 1000000 runs)
# Builds build/fuzz/fuzz_rtfreader with clang++ against the system's Qt; the seeds are the test
# data and tests/richtext/fuzz-corpus; the grown corpus stays in build/fuzz/corpus and a crash
# is saved as build/fuzz/crash-* (copy it into fuzz-corpus once mended, so the corpus test
# richtext_test_rtfcorpus keeps it). Needs clang (scripts/setup.sh installs it).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
runs="${1:-1000000}"
shift || true
source "$root/tests/fuzzsetup.sh"
mkdir -p "$out/corpus"
# Qt's headers need position-independent code.
clang++ -std=c++20 -g -O1 -fPIC -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I"$root" $(pkg-config --cflags Qt6Core Qt6Gui) \
    "$root/richtext/rtfreader.cpp" "$root/richtext/rtfwriter.cpp" \
    "$root/tests/richtext/fuzz_rtfreader.cpp" \
    $(pkg-config --libs Qt6Gui Qt6Core) -o "$out/fuzz_rtfreader"
export QT_QPA_PLATFORM=offscreen
# 4 KiB inputs reach well past the nesting limit and keep runs quick.
"$out/fuzz_rtfreader" -runs="$runs" -max_len=4096 -timeout=20 -rss_limit_mb=4096 \
    -dict="$root/tests/richtext/rtf.dict" -artifact_prefix="$out/" -print_final_stats=1 "$@" \
    "$out/corpus" "$root/tests/richtext/data" "$root/tests/richtext/fuzz-corpus"
