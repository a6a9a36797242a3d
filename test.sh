#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer,
# runs every test, builds the benchmarks and runs each fuzz target briefly.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure-packages.sh
# Every C++ file as the repository's .clang-format has it, or nothing is built.
scripts/check-format.sh
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELORIN_SANITIZE=ON -DPELORIN_WERROR=ON >/dev/null
cmake --build build/test -j "$jobs"
ctest --test-dir build/test --output-on-failure -j "$jobs"

if [ -d fuzz ] && ls fuzz/*.cpp >/dev/null 2>&1; then
  scripts/fuzz.sh "${PELORIN_FUZZ_SECONDS:-20}"
fi
