# Sourced by the run_fuzz.sh scripts after they set `root`: checks for clang++, sets `out`
# (build/fuzz) and the sanitizers' options, which a caller's own settings override.
if ! command -v clang++ > /dev/null; then
    echo "clang++ not found: install clang (scripts/setup.sh) to fuzz" >&2
    exit 1
fi
out="$root/build/fuzz"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# A smaller quarantine and shorter allocation stacks keep AddressSanitizer from dominating the
# time of a run.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=2}"
