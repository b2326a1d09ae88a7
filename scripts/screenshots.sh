#!/usr/bin/env bash
# Renders every window offscreen into build/screenshots/*.png, for people to look at without a
# display. Builds what it needs in build/ first (scripts/setup.sh configures it).
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] || scripts/setup.sh
out="$PWD/build/screenshots"
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen QUORVEL_SCREENSHOTS="$out"
# The programs that only take pictures, and the test programs whose screenshot functions the
# tests skip unless QUORVEL_SCREENSHOTS is set; each with its own settings and data folders.
programs=(shell_screenshots startup_screenshots)
tests=(screens_test_frictionlossform:screenshots screens_test_locallossform:screenshots
       screens_test_locallosscoefficientform:screenshot tables_test_resulttableform:screenshots
       reference_test_lookupdatabaseform:screenshots reference_test_equipmentlossform:screenshot
       system_test_sheetinmain:screenshot)
cmake --build build -j"$(nproc)" --target "${programs[@]}" "${tests[@]%%:*}"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
       QUORVEL_DATA_DIR="$scratch/data/quorvel"
for program in "${programs[@]}"; do
    "$(find build/tests -type f -name "$program" | head -n 1)"
done
for entry in "${tests[@]}"; do
    "$(find build/tests -type f -name "${entry%%:*}" | head -n 1)" "${entry#*:}"
done
echo "screenshots in $out"
