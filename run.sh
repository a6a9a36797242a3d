#!/usr/bin/env bash
# Builds Pelorin and starts the editor; without a display it runs the command
# line program on an example instead.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_BUILD_TESTS=OFF -DPELORIN_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  # A simulated phone is the far end of the editor's sends, so that Send works
  # on a machine without a phone.
  echo "== pelorin --simulated-phone examples/smile.plr"
  exec build/release/tools/pelorin --simulated-phone examples/smile.plr
fi
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the command line example instead."
echo "== pelorin-cli encode group-graphic --to +123 examples/smile.plr"
exec build/release/tools/pelorin-cli encode group-graphic --to +123 examples/smile.plr
