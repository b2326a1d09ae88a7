#!/usr/bin/env bash
# Fuzzes the project file reader, and the engine on what it reads, with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#   tests/hydraulics/run_fuzz.sh [RUNS] [extra libFuzzer options]     (default: 1000000 runs)
# Builds build/fuzz/fuzz_projectfile with clang++; the seeds are tests/hydraulics/fuzz-corpus;
# the grown corpus stays in build/fuzz/project-corpus and a crash is saved as
# build/fuzz/project-crash-* (copy it into fuzz-corpus once mended, so the corpus test
# hydraulics_projectcorpus keeps it). Needs clang (scripts/setup.sh installs it).
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
runs="${1:-1000000}"
shift || true
source "$root/tests/fuzzsetup.sh"
mkdir -p "$out/project-corpus"
# The pipe tables compiled into the library, generated as the build does.
tables=(管道系列.csv 钢管规格.csv 铜管及塑料管规格.csv 推荐比摩阻.csv)
inputs="$(printf "$root/data/%s;" "${tables[@]}")"
cmake "-DOUTPUT=$out/shippedtables.cpp" "-DINPUTS=${inputs%;}" \
    -P "$root/hydraulics/embedtables.cmake"
clang++ -std=c++20 -g -O1 -ffp-contract=off -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined,float-cast-overflow -fno-sanitize-recover=all -I"$root" \
    "$root"/hydraulics/{pipecatalog,projectfile,sectioninput,systemtexts,watersystem}.cpp \
    "$out/shippedtables.cpp" \
    "$root"/core/{calcoutcome,waterproperties,frictionloss,numbertext}.cpp \
    "$root/tests/hydraulics/fuzz_projectfile.cpp" -o "$out/fuzz_projectfile"
"$out/fuzz_projectfile" -runs="$runs" -max_len=8192 -timeout=20 -rss_limit_mb=4096 \
    -dict="$root/tests/hydraulics/qvs.dict" -artifact_prefix="$out/project-" \
    -print_final_stats=1 "$@" "$out/project-corpus" "$root/tests/hydraulics/fuzz-corpus"
