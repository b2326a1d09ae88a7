#!/usr/bin/env bash
# quorvel-calc against bench/friction_numpy.py (the same formulas in vectorised numpy) on the
# same generated rows, in one run: CPU time, wall time and peak memory of each, how many times
# faster quorvel-calc is, and whether the two wrote the same bytes.
#   bench/numpy_compare.sh [ROWS] [QUORVEL_CALC]
# ROWS defaults to 1000000, QUORVEL_CALC to build/cli/quorvel-calc. Each program runs REPEAT
# times (default 3), alternately, and the run with the least CPU time counts: on a shared
# machine the least is the one least disturbed. Needs GNU time (/usr/bin/time) and Debian's
# python3-numpy; PYTHON names another interpreter.
set -euo pipefail
cd "$(dirname "$0")/.."
rows=${1:-1000000}
calc=${2:-build/cli/quorvel-calc}
python=${PYTHON:-/usr/bin/python3}
repeat=${REPEAT:-3}
[ -x "$calc" ] || { echo "numpy_compare.sh: $calc not built" >&2; exit 2; }
[ -x /usr/bin/time ] || { echo "numpy_compare.sh: /usr/bin/time missing (apt-get install time)" >&2; exit 2; }
"$python" -c 'import numpy' 2>/dev/null ||
    { echo "numpy_compare.sh: $python has no numpy (apt-get install python3-numpy)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/sections.csv
awk -v rows="$rows" -f bench/sections.awk > "$input"
cat "$input" > /dev/null  # into the page cache, so that neither run pays for the disk

# One line per run: CPU seconds (user + system), wall seconds, peak resident KiB.
run() {
    local name=$1
    shift
    /usr/bin/time -f '%U %S %e %M' -o "$work/$name.time" "$@" "$input" > "$work/$name.csv" ||
        [ $? -eq 1 ]  # exit status 1: some rows failed, which is still a complete output
    awk '{ printf "%.2f %.2f %d\n", $1 + $2, $3, $4 }' "$work/$name.time" >> "$work/$name.runs"
}
for _ in $(seq "$repeat"); do
    run calc "$calc" friction --csv
    run numpy "$python" bench/friction_numpy.py
done

best() { sort -n "$work/$1.runs" | head -n 1; }
read -r calc_cpu calc_wall calc_kib <<< "$(best calc)"
read -r numpy_cpu numpy_wall numpy_kib <<< "$(best numpy)"

echo "input: $rows rows, $(du -h "$input" | cut -f1); best of $repeat runs each"
awk -v c="$calc_cpu" -v cw="$calc_wall" -v ck="$calc_kib" \
    -v n="$numpy_cpu" -v nw="$numpy_wall" -v nk="$numpy_kib" 'BEGIN {
    printf "%-14s %8s %8s %9s\n", "", "CPU s", "wall s", "peak MB"
    printf "%-14s %8.2f %8.2f %9.1f\n", "quorvel-calc", c, cw, ck / 1024
    printf "%-14s %8.2f %8.2f %9.1f\n", "numpy", n, nw, nk / 1024
    printf "quorvel-calc is %.1f times faster in CPU time (%.1f in wall time)\n", n / c, nw / cw
}'
if cmp -s "$work/calc.csv" "$work/numpy.csv"; then
    echo "outputs: the same $(wc -c < "$work/calc.csv") bytes"
else
    echo "outputs differ:"
    diff "$work/calc.csv" "$work/numpy.csv" | head -n 6
    exit 1
fi
