#!/usr/bin/env bash
# Rebuilds samples/*.xdx from their JSON sources with xdxtool (each build draws a fresh ProjectID).
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${XDXTOOL:-build/cli/xdxtool}
for json in samples/*.json; do
  "$tool" build "$json" "${json%.json}.xdx"
done
