#!/usr/bin/env bash
# Redraws report/pictures/watermark.png and banner.png with shenbao_make_pictures.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
cmake --build "$build" --target shenbao_make_pictures >/dev/null
"$build/report/shenbao_make_pictures" report/pictures
