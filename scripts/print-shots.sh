#!/usr/bin/env bash
# "预览\打印" in the real program under Xvfb, for looking at it:
#   OUT/status.png      the screen caught while the sheets are generated (the status window)
#   OUT/preview.png     the preview as it opens (maximized, 100 %)
#   OUT/print-dialog.png the print dialog, opened from the preview with Ctrl+P
#   OUT/报表打印.pdf    what the dialog's file printer wrote, compared page for page (words,
#                       and pixels at 50 dpi) with OUT/xdxtool.pdf, xdxtool pdf of the same file
# Usage: scripts/print-shots.sh [OUT] [FILE.xdx]  (defaults /tmp/shenbao-print, the complete sample)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
out=$(realpath -m "${1:-/tmp/shenbao-print}")
file=$(realpath "${2:-$root/samples/complete.xdx}")

cmake --build "$build" --target shenbao xdxtool -j2 >/dev/null
mkdir -p "$out"
rm -f "$out"/status.png "$out/报表打印.pdf"

lines=$(for i in $(seq 20000); do printf '第%d行\\r\\n' "$i"; done)
printf '{"ProjectName": "很长的申请书", "Presider": "某人", "ProjectReasoning": "%s", "ProjectAnalyze": "%s"}\n' \
  "$lines" "$lines" >"$out/long.json"
"$build/cli/xdxtool" build "$out/long.json" "$out/long.xdx" 2>/dev/null

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  out=$1
  # A window manager, when there is one, so that "maximized" means something.
  command -v openbox >/dev/null && { openbox & sleep 1; }
  # The print dialog proposes HOME/<job name>.pdf: OUT/报表打印.pdf.
  HOME=$out "$2" "$3" & pid=$!
  sleep 3
  win=$(xdotool search --onlyvisible --name "澄岚省" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # "预览\打印" is 96,464 66x66 in the panel, which starts 624 pixels into the client area.
  xdotool mousemove $((X + 753)) $((Y + 497)) click 1
  sleep 2
  import -window root "$out/preview.png"
  prev=$(xdotool search --onlyvisible --name "报表预览" | head -1)
  xdotool windowactivate --sync "$prev" key ctrl+p
  sleep 2
  import -window root "$out/print-dialog.png"
  # The file printer is the only printer here.
  dlg=$(xdotool search --onlyvisible --name "打印|Print" | tail -1)
  xdotool windowactivate --sync "$dlg" key Return
  sleep 3
  kill "$pid"

  # The status window: the fifteen sheets take a few milliseconds, too few to catch. A long
  # application (20,000 lines in each long text, some 1,800 sheets) keeps it up for a while; the
  # program is held (SIGSTOP) while the screen is taken.
  HOME=$out "$2" "$out/long.xdx" & pid=$!
  sleep 3
  win=$(xdotool search --onlyvisible --name "澄岚省" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$win")"
  xdotool mousemove $((X + 753)) $((Y + 497)) click 1
  for _ in $(seq 1 400); do
    if xdotool search --onlyvisible --name "报表状态" >/dev/null 2>&1; then
      kill -STOP "$pid"; import -window root "$out/status.png"; kill -CONT "$pid"; break
    fi
  done
  sleep 2
  kill "$pid"' _ "$out" "$build/app/shenbao" "$file"

"$build/cli/xdxtool" pdf "$file" -o "$out/xdxtool.pdf"
printed="$out/报表打印.pdf"
[[ -f "$printed" ]] || { echo "print-shots: nothing was printed" >&2; exit 1; }
pages=$(pdfinfo "$printed" | awk '/^Pages:/ {print $2}')
echo "printed $pages pages; xdxtool $(pdfinfo "$out/xdxtool.pdf" | awk '/^Pages:/ {print $2}')"
tmp=$(mktemp -d)
for ((i = 1; i <= pages; i++)); do
  words() { pdftotext -f "$i" -l "$i" "$1" - | tr -s ' \n' '\n\n' | sort; }
  same=$([[ "$(words "$printed")" == "$(words "$out/xdxtool.pdf")" ]] && echo "same words" || echo "DIFFERENT WORDS")
  pdftoppm -r 50 -f "$i" -l "$i" -singlefile -png "$printed" "$tmp/p"
  pdftoppm -r 50 -f "$i" -l "$i" -singlefile -png "$out/xdxtool.pdf" "$tmp/x"
  px=$(compare -metric AE -fuzz 30% "$tmp/p.png" "$tmp/x.png" /dev/null 2>&1 || true)
  echo "page $i: $same, $px of $(identify -format '%[fx:w*h]' "$tmp/p.png") pixels differ"
done
rm -rf "$tmp"
