#!/usr/bin/env bash
# Makes the README's pictures: the window on the complete sample (page 1 and page 2) and two
# sheets of its printed form. Needs a build (BUILD, default build/) and Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out=$root/docs/images
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cmake --build "$build" --target shenbao_screenshots xdxtool >/dev/null
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/tests/app/shenbao_screenshots" "$tmp/window" \
  "$root/samples/complete.xdx" >/dev/null
cp "$tmp/window/page-01.png" "$out/window-page1.png"
cp "$tmp/window/page-02.png" "$out/window-page2.png"

"$build/cli/xdxtool" pdf "$root/samples/complete.xdx" -o "$tmp/form.pdf" 2>/dev/null
pdftoppm -r 60 -png -f 1 -l 1 "$tmp/form.pdf" "$tmp/sheet"
pdftoppm -r 60 -png -f 4 -l 4 "$tmp/form.pdf" "$tmp/sheet"
montage "$tmp"/sheet-*.png -tile 2x1 -geometry +8+0 -background '#d0d0d0' "$out/printed-sheets.png"
ls "$out"
