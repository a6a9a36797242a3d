#!/usr/bin/env bash
# Builds Pelorin and runs its main program on an example.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
echo "== pelorin-cli encode group-graphic --to +123 examples/smile.plr"
exec build/release/tools/pelorin-cli encode group-graphic --to +123 examples/smile.plr
