#!/usr/bin/env bash
# Screenshots of the window under Xvfb, for looking at the layout:
#   OUT/empty/page-NN.png     the ten pages as the program starts
#   OUT/complete/page-NN.png  the ten pages with samples/complete.xdx opened from the command line
#   OUT/check/page-01.png     page 1 and the error list after "检 查" on samples/incomplete.xdx
#   OUT/screen.png            the whole screen with the real program started, as a user sees it
# Usage: scripts/screenshots.sh [OUT]   (default /tmp/shenbao-shots; BUILD=build directory)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out=${1:-/tmp/shenbao-shots}
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

cmake --build "$build" --target shenbao shenbao_screenshots -j2 >/dev/null
mkdir -p "$out"
shots="$build/tests/app/shenbao_screenshots"

"${xvfb[@]}" "$shots" "$out/empty"
[[ -f "$root/samples/complete.xdx" ]] && "${xvfb[@]}" "$shots" "$out/complete" "$root/samples/complete.xdx"
[[ -f "$root/samples/incomplete.xdx" ]] && "${xvfb[@]}" "$shots" "$out/check" --check "$root/samples/incomplete.xdx"

# The real program, started the way a user starts it.
"${xvfb[@]}" bash -c '"$1" & pid=$!; sleep 3; import -window root "$2"; kill "$pid"' _ \
  "$build/app/shenbao" "$out/screen.png"
echo "$out/screen.png"
