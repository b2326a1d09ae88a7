#!/usr/bin/env bash
# Times quorvel-calc friction --csv on generated rows and reports wall time and peak memory.
#   bench/csv_throughput.sh [ROWS] [QUORVEL_CALC]
# ROWS defaults to 1000000, QUORVEL_CALC to build/cli/quorvel-calc. Needs GNU time
# (/usr/bin/time, Debian package "time") for the peak resident set size.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
calc=${2:-build/cli/quorvel-calc}
[ -x "$calc" ] || { echo "csv_throughput.sh: $calc not built" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "csv_throughput.sh: /usr/bin/time missing (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/sections.csv

awk -v rows="$rows" -f bench/sections.awk > "$input"
echo "input: $rows rows, $(du -h "$input" | cut -f1)"

# Warm the page cache so the timing measures the program, not the disk.
cat "$input" > /dev/null
/usr/bin/time -v "$calc" friction --csv "$input" > "$work/out.csv" 2> "$work/time.txt" || true
grep -E 'Elapsed \(wall clock\)|Maximum resident set size|User time|System time|Exit status' \
    "$work/time.txt"
echo "output: $(($(wc -l < "$work/out.csv") - 1)) rows, $(tail -n +2 "$work/out.csv" | grep -c ',[a-z][a-z:-]*$' || true) failed"
