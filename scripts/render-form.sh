#!/usr/bin/env bash
# Prints the sample applications as the printed form and turns every sheet into a PNG to look at:
# OUTDIR/{complete,incomplete,official}.pdf and OUTDIR/<name>-NN.png at 60 dpi.
#   scripts/render-form.sh [OUTDIR]      (default /tmp/shenbao-form; BUILD=build directory)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
out=${1:-/tmp/shenbao-form}
cmake --build "$build" --target xdxtool >/dev/null
mkdir -p "$out"
# The complete sample once more as an official document: the watermark and banner instead of the
# informal mark.
sed 's|<PASSBY>0</PASSBY>|<PASSBY>1</PASSBY>|' samples/complete.xdx >"$out/official.xdx"
for input in samples/complete.xdx samples/incomplete.xdx "$out/official.xdx"; do
  name=$(basename "$input" .xdx)
  "$build/cli/xdxtool" pdf "$input" -o "$out/$name.pdf"
  rm -f "$out/$name"-*.png
  pdftoppm -r 60 -png "$out/$name.pdf" "$out/$name"
done
ls "$out"/*.png | wc -l | xargs echo "sheets as PNG in $out:"
