#!/usr/bin/env bash
# The installed Windows program under Wine + Xvfb + openbox, for looking at it beside the Linux
# build (scripts/screenshots.sh, scripts/print-shots.sh):
#   OUT/page01.png ... page10.png  the ten pages with the complete sample
#   OUT/save-dialog.png, OUT/reopened.png  "保 存" through the file dialog, and "打 开" of it
#   OUT/check.png                  the error list after "检 查" on the incomplete sample
#   OUT/preview.png                "预览\打印": the preview
#   OUT/no-printer.png             its "打印" where no printer is installed (without cups-pdf)
#   OUT/preview-opened-pdf.png     the report saved as PDF and opened again in the preview
#   OUT/scaled-100|125|150-1366x768|1920x1080.png  the window at Windows' scalings
#   OUT/bold-windows-linux.png     page 3 of the two PDFs side by side (its labels bold in faces
#                                  without a bold face)
#   OUT/form.pdf, OUT/linux.pdf    xdxtool.exe pdf and the Linux xdxtool pdf of the sample,
#                                  compared page for page (words, and pixels at 50 dpi)
#   OUT/print-dialog.png, OUT/printed.pdf  Windows' print dialog and what it printed, where CUPS
#                                  has a cups-pdf queue "PDF" (not needed otherwise)
#   OUT/figures.txt                start-up to the window, check over 1,000 files, the form to PDF
# Usage: scripts/windows/screenshots.sh [OUT]  (after make windows; default /tmp/shenbao-windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${WINBUILD:-$root/build-windows}
host=${BUILD:-$root/build}
out=$(realpath -m "${1:-/tmp/shenbao-windows}")
setup=$(ls "$build"/shenbao-*-setup.exe | head -1)
export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$out/prefix" HOME="$out/home"
unset WINEPATH
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

rm -rf "$out" && mkdir -p "$out" "$HOME"
wine wineboot --init >/dev/null 2>&1 || true
# The Debian fonts the form falls back to where the Windows faces are missing, as in the tests.
cp /usr/share/fonts/truetype/arphic/uming.ttc /usr/share/fonts/truetype/arphic/ukai.ttc \
   /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc /usr/share/fonts/truetype/liberation2/*.ttf \
   "$WINEPREFIX/drive_c/windows/Fonts/"
wine "$setup" /S
wineserver -w
exe="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Programs/shenbao/shenbao.exe"
tool="$(dirname "$exe")/xdxtool.exe"

# A CUPS queue "PDF" of cups-pdf, if there is one, to print to a file through Windows' dialog.
printer=""
if lpstat -p PDF >/dev/null 2>&1; then
  printer=PDF
  pdfdir="$(getent passwd "$(whoami)" | cut -d: -f6)/PDF" # cups-pdf's default Out ${HOME}/PDF
  before=$(ls "$pdfdir"/*.pdf 2>/dev/null | wc -l)
fi

xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  set -e
  out=$1 exe=$2 complete=$3 incomplete=$4
  openbox & sleep 1
  # The client area'"'"'s corner on the screen (xdotool'"'"'s geometry is the frame'"'"'s under openbox).
  corner() { eval "$(xwininfo -id "$1" | awk '"'"'/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4}'"'"')"; }
  window() { for _ in $(seq 120); do
      for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
        xdotool getwindowname "$w" 2>/dev/null | grep -q "$1" && { echo "$w"; return; }
      done; sleep 0.5; done; return 1; }
  start=$(date +%s.%N)
  wine "$exe" "$complete" >/dev/null 2>&1 &
  win=$(window "澄岚省教育科学规划")
  echo "start-up to the window: $(awk -v a="$start" -v b="$(date +%s.%N)" "BEGIN {printf \"%.1f\", b - a}") s" >"$out/figures.txt"
  sleep 2
  corner "$win"
  # The page tabs, left to right along the top (the keyboard does not reach Wine'"'"'s windows here).
  page=1
  for x in 28 92 163 226 284 342 406 470 516 561; do
    xdotool mousemove $((X + x)) $((Y + 6)) click 1
    sleep 1
    import -window root "$out/page$(printf %02d "$page").png"
    page=$((page + 1))
  done
  # "保 存" (96,384 in the panel) through the file dialog, then "打 开" (16,384) of what was saved.
  xdotool mousemove $((X + 753)) $((Y + 417)) click 1
  sleep 3
  import -window root "$out/save-dialog.png"
  xdotool type --delay 30 "$5"; xdotool key Return
  sleep 3
  xdotool mousemove $((X + 673)) $((Y + 417)) click 1
  sleep 3
  xdotool type --delay 30 "$5"; xdotool key Return
  sleep 3
  import -window root "$out/reopened.png"
  # "预览\打印" is 96,464 66x66 in the panel, which starts 624 pixels into the client area.
  xdotool mousemove $((X + 753)) $((Y + 497)) click 1
  window "报表预览" >/dev/null
  sleep 2
  import -window root "$out/preview.png"
  # With no printer installed, "打印" says so in a box (Enter closes it).
  if [[ -z "$6" ]]; then
    xdotool key ctrl+p; sleep 2
    import -window root "$out/no-printer.png"
    xdotool key Return; sleep 1
  fi
  # "保存" the report as PDF, then "打开" it: poppler shows the saved file in the preview.
  xdotool key ctrl+s; sleep 3
  xdotool type --delay 30 "$7"; xdotool key Return
  sleep 8
  xdotool key ctrl+o; sleep 3
  xdotool type --delay 30 "$7"; xdotool key Return
  sleep 4
  xdotool key Next; sleep 1; xdotool key Next; sleep 2
  import -window root "$out/preview-opened-pdf.png"
  # Printing through the Windows print dialog and the spooler of Wine, where CUPS has a PDF printer
  # (cups-pdf): Ctrl+P, then OK; the status window shows while the sheets go out.
  if [[ -n "$6" ]]; then
    xdotool key ctrl+p; sleep 4
    import -window root "$out/print-dialog.png"
    xdotool key Return
    for _ in $(seq 300); do sleep 1; xdotool search --onlyvisible --name "报表状态" >/dev/null 2>&1 || break; done
    sleep 10
  fi
  wineserver -k; sleep 1
  wine "$exe" "$incomplete" >/dev/null 2>&1 &
  win=$(window "澄岚省教育科学规划")
  sleep 2
  corner "$win"
  # "检 查" is 5,2 88x30 in the panel.
  xdotool mousemove $((X + 673)) $((Y + 17)) click 1
  sleep 2
  import -window root "$out/check.png"
  wineserver -k
' _ "$out" "$exe" "$(winpath "$root/samples/complete.xdx")" "$(winpath "$root/samples/incomplete.xdx")" \
  "$(winpath "$out/saved.xdx")" "$printer" "$(winpath "$out/report.pdf")"

# The window at 100 %, 125 % and 150 % (Wine's LogPixels) on the two common screens: where the
# screen cannot hold it, the pages scroll and every control stays reachable.
for size in 1366x768 1920x1080; do
  for dpi in 96 120 144; do
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    wineserver -w
    xvfb-run -a -s "-screen 0 ${size}x24" bash -c '
      openbox & sleep 1
      wine "$1" "$2" >/dev/null 2>&1 &
      for _ in $(seq 60); do
        xdotool search --onlyvisible --name "澄岚省教育科学规划" >/dev/null 2>&1 && break; sleep 0.5
      done
      sleep 3
      import -window root "$3"
      wineserver -k
    ' _ "$exe" "$(winpath "$root/samples/complete.xdx")" "$out/scaled-$((dpi * 100 / 96))-$size.png"
  done
done
wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true

# What the Windows program saved is the sample, byte for byte, but for its fresh ProjectID.
strip() { sed 's|<ProjectID>[^<]*</ProjectID>||' "$1"; }
if [[ -f "$out/saved.xdx" ]] && cmp -s <(strip "$out/saved.xdx") <(strip "$root/samples/complete.xdx"); then
  echo "saved through the dialog: the sample's bytes but for ProjectID" >>"$out/figures.txt"
else
  echo "saved through the dialog: DIFFERENT from the sample (or not saved)" >>"$out/figures.txt"
fi

# The office's tool: 1,000 files checked, and the whole form to PDF, against Linux.
mkdir -p "$out/round"
for i in $(seq -w 1 1000); do cp "$root/samples/complete.xdx" "$out/round/$i.xdx"; done
{
  seconds() { local t0 t1; t0=$(date +%s.%N); "$@" >/dev/null 2>&1 || true; t1=$(date +%s.%N)
              awk -v a="$t0" -v b="$t1" 'BEGIN {printf "%.2f", b - a}'; }
  args=(); for f in "$out"/round/*.xdx; do args+=("$(winpath "$f")"); done
  echo "xdxtool.exe check over 1,000 files: $(seconds wine "$tool" check "${args[@]}") s"
  echo "xdxtool.exe pdf, the whole form: $(seconds wine "$tool" pdf "$(winpath "$root/samples/complete.xdx")" -o "$(winpath "$out/form.pdf")") s"
} >>"$out/figures.txt"
rm -rf "$out/round"
"$host/cli/xdxtool" pdf "$root/samples/complete.xdx" -o "$out/linux.pdf" 2>/dev/null
if [[ -n "$printer" ]]; then
  printed=$(ls -t "$pdfdir"/*.pdf 2>/dev/null | head -1)
  if [[ -n "$printed" && $(ls "$pdfdir"/*.pdf | wc -l) -gt $before ]]; then
    cp "$printed" "$out/printed.pdf"
    same=0
    for ((i = 1; i <= 15; i++)); do
      a=$(pdftotext -f $i -l $i "$out/printed.pdf" - | tr -s ' \n' '\n\n' | sort)
      b=$(pdftotext -f $i -l $i "$out/linux.pdf" - | tr -s ' \n' '\n\n' | sort)
      [[ "$a" == "$b" ]] && same=$((same + 1))
    done
    echo "printed through the Windows dialog to cups-pdf: $(pdfinfo "$out/printed.pdf" | awk '/^Pages:/ {print $2}') pages, $same of 15 with the Linux form's words" >>"$out/figures.txt"
  else
    echo "printed through the Windows dialog: nothing arrived" >>"$out/figures.txt"
  fi
fi
pages=$(pdfinfo "$out/form.pdf" | awk '/^Pages:/ {print $2}')
tmp=$(mktemp -d)
for ((i = 1; i <= pages; i++)); do
  words() { pdftotext -f "$i" -l "$i" "$1" - | tr -s ' \n' '\n\n' | sort; }
  same=$([[ "$(words "$out/form.pdf")" == "$(words "$out/linux.pdf")" ]] && echo "same words" || echo "DIFFERENT WORDS")
  pdftoppm -r 60 -f "$i" -l "$i" -singlefile -png "$out/form.pdf" "$tmp/w"
  pdftoppm -r 60 -f "$i" -l "$i" -singlefile -png "$out/linux.pdf" "$tmp/l"
  px=$(compare -metric AE "$tmp/w.png" "$tmp/l.png" /dev/null 2>&1 || true)
  fuzzy=$(compare -metric AE -fuzz 30% "$tmp/w.png" "$tmp/l.png" /dev/null 2>&1 || true)
  echo "page $i: $same, at 60 dpi $px of $(identify -format '%[fx:w*h]' "$tmp/w.png") pixels differ ($fuzzy by more than 30 %)"
done | tee -a "$out/figures.txt"
# Page 3's bold labels, Windows' PDF left and Linux's right.
pdftoppm -r 100 -f 3 -l 3 -singlefile -png "$out/form.pdf" "$tmp/w"
pdftoppm -r 100 -f 3 -l 3 -singlefile -png "$out/linux.pdf" "$tmp/l"
convert "$tmp/w.png" "$tmp/l.png" +append "$out/bold-windows-linux.png"
rm -rf "$tmp"
cat "$out/figures.txt"
