#!/usr/bin/env bash
# Makes the README's pictures: the window on the complete sample (page 1 and page 2), two
# sheets of its printed form, and the preview. Needs a build (BUILD, default build/) and Xvfb.
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
# The preview as "预览\打印" opens it in the real program (scripts/print-shots.sh).
BUILD=$build "$root/scripts/print-shots.sh" "$tmp/print" >/dev/null 2>&1
convert "$tmp/print/preview.png" -crop 1280x640+0+0 +repage -resize 70% "$out/preview.png"
ls "$out"
