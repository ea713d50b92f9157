#!/usr/bin/env bash
# Screenshots of the window under Xvfb, for looking at the layout:
#   OUT/empty/page-NN.png     the ten pages as the program starts
#   OUT/complete/page-NN.png  the ten pages with samples/complete.xdx opened from the command line
#   OUT/check/page-01.png     page 1 and the error list after "检 查" on samples/incomplete.xdx
#   OUT/screen.png            the whole screen with the real program started, as a user sees it
#   OUT/screen-complete.png   the same with samples/complete.xdx on the command line
#   OUT/screen-check.png      the same with samples/incomplete.xdx, after a click on "检 查"
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

# The real program, started the way a user starts it: as it opens, with the complete sample
# opened from the command line, and with the incomplete sample after a click on "检 查".
real() { # OUT.png [FILE] [--check]
  "${xvfb[@]}" bash -c '
    "$1" ${2:+"$2"} & pid=$!
    sleep 3
    if [[ "$3" == --check ]]; then
      win=$(xdotool search --name "澄岚省" | head -1)
      # "检 查" is 5,2 88x30 in the panel, which starts 624 pixels into the client area.
      xdotool mousemove --window "$win" 673 17 click 1 mousemove 0 0
      sleep 1
    fi
    import -window root "$4"
    kill "$pid"' _ "$build/app/shenbao" "${2:-}" "${3:-}" "$1"
  echo "$1"
}
real "$out/screen.png"
[[ -f "$root/samples/complete.xdx" ]] && real "$out/screen-complete.png" "$root/samples/complete.xdx"
[[ -f "$root/samples/incomplete.xdx" ]] && real "$out/screen-check.png" "$root/samples/incomplete.xdx" --check
