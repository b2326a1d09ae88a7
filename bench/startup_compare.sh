#!/usr/bin/env bash
# Cold start to the first painted main window: Quorvel (--no-splash) against the floor, a
# minimal Qt window with the same Chinese menus in the same font (bench/startupfloor.cpp), on
# one Xvfb display, pair by pair in one run. Prints the median time and peak memory of each
# and their ratios.
#   bench/startup_compare.sh [PAIRS] [QUORVEL] [FLOOR]
# PAIRS defaults to 30; QUORVEL to build/app/quorvel, FLOOR to build/bench/quorvel-startup-floor.
# Each pair runs the two programs back to back, in alternating order, so that both see the same
# state of a shared machine; the median of the pairs' ratios is the figure to quote. On a busy
# machine the first quartile (the least disturbed quarter of the runs) says more than the
# median. Installs Xvfb (Debian's xvfb) when it is missing and the script
# runs as root.
set -euo pipefail
cd "$(dirname "$0")/.."
pairs=${1:-30}
quorvel=${2:-build/app/quorvel}
floor=${3:-build/bench/quorvel-startup-floor}
for program in "$quorvel" "$floor"; do
    [ -x "$program" ] || { echo "startup_compare.sh: $program not built" >&2; exit 2; }
done
if ! command -v Xvfb > /dev/null; then
    if [ "$(id -u)" -eq 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends xvfb > /dev/null
    else
        echo "startup_compare.sh: Xvfb missing (apt-get install xvfb)" >&2
        exit 2
    fi
fi

work=$(mktemp -d)
display=$((90 + RANDOM % 100))
Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2> /dev/null; wait "$xvfb" 2> /dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do
    [ -S "/tmp/.X11-unix/X$display" ] && break
    sleep 0.05
done

# Settings and reference data of their own, so that the user's do not change the window.
DISPLAY=":$display" QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" QUORVEL_DATA_DIR="$work/data" QUORVEL_STARTUP_PROBE=1 \
    python3 - "$pairs" "$quorvel" "$floor" << 'PYTHON'
import os
import statistics
import subprocess
import sys
import time

pairs, quorvel, floor = int(sys.argv[1]), sys.argv[2], sys.argv[3]


def run(argv):
    """Milliseconds from the start of the process to its first paint, peak resident KiB."""
    start = time.monotonic_ns()
    child = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = child.stdout.read().decode()
    _, status, usage = os.wait4(child.pid, 0)
    child.returncode = status
    line = next((l for l in out.splitlines() if l.startswith("first-paint ")), None)
    if line is None or status != 0:
        sys.exit(f"startup_compare.sh: {argv[0]} painted nothing (status {status})")
    _, painted, size = line.split()
    return (int(painted) - start) / 1e6, usage.ru_maxrss, size


# One of each first, unmeasured: the libraries and fonts into the page cache, and the size
# of Quorvel's window for the floor's.
_, _, size = run([quorvel, "--no-splash"])
run([floor, size])
programs = {"quorvel": [quorvel, "--no-splash"], "floor": [floor, size]}
times = {name: [] for name in programs}
peaks = {name: [] for name in programs}
for i in range(pairs):
    order = ["quorvel", "floor"] if i % 2 == 0 else ["floor", "quorvel"]
    for name in order:
        ms, kib, _ = run(programs[name])
        times[name].append(ms)
        peaks[name].append(kib)

def quartile(values):
    return statistics.quantiles(values, n=4)[0]


print(f"{pairs} pairs on Xvfb, window {size}")
print(f"{'':10} {'median ms':>10} {'1st quartile ms':>16} {'median peak MiB':>16}")
for name in programs:
    print(f"{name:10} {statistics.median(times[name]):10.1f} {quartile(times[name]):16.1f} "
          f"{statistics.median(peaks[name]) / 1024:16.1f}")
ratios = sorted(q / f for q, f in zip(times["quorvel"], times["floor"]))
print(f"time ratio quorvel/floor: median of pair ratios {statistics.median(ratios):.2f}; "
      f"of medians {statistics.median(times['quorvel']) / statistics.median(times['floor']):.2f}; "
      f"of first quartiles {quartile(times['quorvel']) / quartile(times['floor']):.2f}")
print(f"peak memory ratio: {statistics.median(peaks['quorvel']) / statistics.median(peaks['floor']):.2f}")
PYTHON
