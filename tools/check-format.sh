#!/usr/bin/env bash
# The C++ sources follow the repository's .clang-format: names the files that
# do not (with what would change) and fails. `clang-format -i FILE` mends one.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(find src tests bench fuzz -name '*.cpp' -o -name '*.h' | sort)
if ! out=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
  printf '%s\n' "$out" | grep -E '^[^ ].*(warning|error):' | cut -d: -f1 | sort -u |
    sed 's/^/not formatted: /' >&2
  printf '%s\n' "$out" | head -n 40 >&2
  exit 1
fi
