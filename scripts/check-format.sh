#!/usr/bin/env bash
# Fails when a C++ file of the tree differs from what clang-format makes of it
# with the repository's .clang-format, naming each such file. Run
# `scripts/check-format.sh --fix` to format them in place.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -d '' files < <(find src tools tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -not -path '*/corpus/*' -print0 | sort -z)

if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi

if ! report=$(clang-format --dry-run -Werror "${files[@]}" 2>&1); then
  # One line a file that differs, not one a difference.
  printf '%s\n' "$report" | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/not formatted: \1/p' | sort -u >&2
  echo "Format them with: scripts/check-format.sh --fix" >&2
  exit 1
fi
