#!/usr/bin/env bash
# The window's start on Linux and, installed by its setup, under Wine, measured in one run on the
# same screen: seconds from the command to the visible window, cold (caches dropped, where root
# may) and warm (five runs, the median), the program's own timer log (SHENBAO_STARTUP_TIMES, from
# main to its first paint) and its memory (RSS and PSS 2 s after the window). Under Wine also the
# warm start without the setup's Wine setting, to show what it saves.
# Usage: scripts/windows/startup.sh [OUT]  (after make and make windows; default /tmp/shenbao-startup)
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${WINBUILD:-$root/build-windows}
host=${BUILD:-$root/build}
out=$(realpath -m "${1:-/tmp/shenbao-startup}")
setup=$(ls "$build"/shenbao-*-setup.exe | head -1)
export LC_ALL=C.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX="$out/prefix" HOME="$out/home"
unset WINEPATH

rm -rf "$out" && mkdir -p "$out" "$HOME"
wine wineboot --init >/dev/null 2>&1 || true
cp /usr/share/fonts/truetype/arphic/uming.ttc /usr/share/fonts/truetype/arphic/ukai.ttc \
   /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
wine "$setup" /S
wineserver -w
exe="$WINEPREFIX/drive_c/users/$(whoami)/AppData/Local/Programs/shenbao/shenbao.exe"

xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
  set -u
  out=$1 linux=$2 exe=$3
  openbox & sleep 1
  title="澄岚省教育科学规划"
  drop() { sync; echo 3 >/proc/sys/vm/drop_caches 2>/dev/null || true; }
  # run NAME LOG LOG-AS-THE-PROGRAM-NAMES-IT CMD...:
  #   "<ms to the window> <RSS MB> <PSS MB> <ms from main to the first paint>"
  run() {
    local name=$1 log=$2 logarg=$3; shift 3
    rm -f "$log"
    local start; start=$(date +%s%N)
    SHENBAO_STARTUP_TIMES=$logarg "$@" >/dev/null 2>&1 &
    local w=""
    for _ in $(seq 1500); do
      w=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1)
      [ -n "$w" ] && break
      sleep 0.02
    done
    local end; end=$(date +%s%N)
    sleep 2
    local pid; pid=$(pgrep -n -x "$name")
    local rss pss
    rss=$(awk "/VmRSS/ {print int(\$2 / 1024)}" /proc/$pid/status)
    pss=$(awk "/^Pss:/ {s += \$2} END {print int(s / 1024)}" /proc/$pid/smaps)
    xdotool windowclose "$w" 2>/dev/null || true
    sleep 1; kill "$pid" 2>/dev/null || true; sleep 0.5
    echo "$(( (end - start) / 1000000 )) $rss $pss $(awk "/^painted/ {print \$2}" "$log" 2>/dev/null)"
  }
  sec() { awk -v ms="$1" "BEGIN {printf \"%.2f\", ms / 1000}"; }
  report() { # LABEL, then lines of run on stdin
    local lines; lines=$(cat)
    local n; n=$(echo "$lines" | wc -l)
    local mid=$(( (n + 1) / 2 ))
    local times; times=$(echo "$lines" | cut -d" " -f1 | sort -n)
    local t; t=$(echo "$times" | sed -n "${mid}p")
    local paint; paint=$(echo "$lines" | cut -d" " -f4 | sort -n | sed -n "${mid}p")
    local last; last=$(echo "$lines" | tail -1)
    printf "%-30s %5s s (median of %d: %s–%s)  main→paint %4s ms  RSS %3s MB  PSS %3s MB\n" \
      "$1" "$(sec "$t")" "$n" "$(sec "$(echo "$times" | head -1)")" "$(sec "$(echo "$times" | tail -1)")" "${paint:-?}" \
      "$(echo "$last" | cut -d" " -f2)" "$(echo "$last" | cut -d" " -f3)"
  }
  winlog="Z:${out//\//\\}\\times.txt"
  {
    drop; run shenbao "$out/times.txt" "$out/times.txt" "$linux" | report "Linux, cold"
    for _ in 1 2 3 4 5; do run shenbao "$out/times.txt" "$out/times.txt" "$linux"; done | report "Linux, warm"
    wineserver -k 2>/dev/null; drop
    run shenbao.exe "$out/times.txt" "$winlog" wine "$exe" | report "Wine, cold (wineserver too)"
    for _ in 1 2 3 4 5; do run shenbao.exe "$out/times.txt" "$winlog" wine "$exe"; done | report "Wine, warm"
    wine reg delete "HKCU\\Software\\Wine\\AppDefaults\\shenbao.exe" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null; sleep 1
    run shenbao.exe "$out/times.txt" "$winlog" wine "$exe" >/dev/null
    for _ in 1 2 3; do run shenbao.exe "$out/times.txt" "$winlog" wine "$exe"; done \
      | report "Wine, warm, Direct3D left on"
  } | tee "$out/figures.txt"
  wineserver -k 2>/dev/null || true
' _ "$out" "$host/app/shenbao" "$exe"
