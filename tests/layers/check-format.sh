#!/usr/bin/env bash
# Fails when a source file is not as clang-format (with the committed .clang-format) writes it.
# `clang-format -i FILE` puts one right.
set -uo pipefail
cd "${1:-$(cd "$(dirname "$0")/../.." && pwd)}"
report=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run --Werror 2>&1)
if [[ $? -ne 0 ]]; then
  grep 'error:' <<<"$report" | head -20 >&2
  echo "format: run clang-format -i on the files above" >&2
  exit 1
fi
echo "format: every file as .clang-format writes it"
