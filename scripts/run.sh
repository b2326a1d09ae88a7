#!/usr/bin/env bash
# Sets up, builds and starts the program. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
if [ -x build/app/quorvel ]; then
    exec build/app/quorvel "$@"
else
    exec build/cli/quorvel-calc friction 50 1000 45 1 0.2
fi
