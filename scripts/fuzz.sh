#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, ASan and UBSan and runs each one for
# a bounded time (seconds, default 20) from its seed corpus. Any finding fails.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DPELORIN_BUILD_FUZZ=ON -DPELORIN_BUILD_TESTS=OFF \
  -DPELORIN_BUILD_BENCH=OFF -DPELORIN_WERROR=ON >/dev/null
cmake --build build/fuzz

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for target in build/fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  mkdir -p "$work/$name"
  if [ -d "fuzz/corpus/$name" ]; then
    cp -r "fuzz/corpus/$name/." "$work/$name/"
  fi
  echo "== $name (${seconds}s)"
  if ! "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/$name-" \
      "$work/$name" >"$work/$name.log" 2>&1; then
    echo "FAILED: $name found a problem:"
    tail -n 60 "$work/$name.log"
    mkdir -p build/fuzz-findings
    cp "$work/$name-"* build/fuzz-findings/ 2>/dev/null || true
    status=1
  else
    tail -n 1 "$work/$name.log"
  fi
done
exit $status
