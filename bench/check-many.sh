#!/usr/bin/env bash
# Times `xdxtool check` over N copies of the complete sample (default 1000).
set -euo pipefail
cd "$(dirname "$0")/.."
n=${1:-1000}
tool=${XDXTOOL:-build/cli/xdxtool}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
for i in $(seq 1 "$n"); do cp samples/complete.xdx "$dir/a$i.xdx"; done
start=$(date +%s%N)
"$tool" check "$dir"/*.xdx >/dev/null 2>"$dir/summary" || true
end=$(date +%s%N)
tail -n 1 "$dir/summary"
echo "xdxtool check over $n files: $(( (end - start) / 1000000 )) ms"
start=$(date +%s%N)
"$tool" check --json "$dir"/*.xdx >/dev/null 2>&1 || true
end=$(date +%s%N)
echo "xdxtool check --json over $n files: $(( (end - start) / 1000000 )) ms"
