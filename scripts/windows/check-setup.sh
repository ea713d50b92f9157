#!/usr/bin/env bash
# Checks the setup program in a fresh Wine prefix: a silent install (/S), the files, shortcuts,
# association and uninstaller entry it makes, the installed programs started from the installed
# folder with a file (nothing of the SDK on the path), then a silent uninstall that leaves
# nothing behind.
#   check-setup.sh SETUP.exe WORKDIR
set -euo pipefail
setup=$(realpath "$1")
work=$(realpath -m "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
# Wine reads the command line in the Unix locale's encoding: UTF-8, for the Chinese file names.
export LC_ALL=C.UTF-8
export WINEPREFIX="$work/wine-setup" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" HOME="$work/wine-setup-home"
unset WINEPATH
rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
fail() { echo "check-setup: $*" >&2; exit 1; }
winpath() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

wine wineboot --init >/dev/null 2>&1 || true
wineserver -w
user=$(whoami)
users="$WINEPREFIX/drive_c/users/$user"
installed="$users/AppData/Local/Programs/shenbao"
menu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/教育科学规划课题申报.lnk"
desktop="$users/Desktop/教育科学规划课题申报.lnk"

wine "$setup" /S
wineserver -w
for f in shenbao.exe xdxtool.exe help.doc uninstall.exe Qt6Core.dll libxml2.dll platforms/qwindows.dll \
         translations/qtbase_zh_CN.qm; do
  [[ -f "$installed/$f" ]] || fail "not installed: $f"
done
[[ -f "$menu" ]] || fail "no Start-menu entry"
[[ -f "$desktop" ]] || fail "no desktop shortcut"
reg() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
reg 'HKCU\Software\Classes\.xdx' | grep -q 'shenbao.xdx' || fail ".xdx is not associated"
reg 'HKCU\Software\Classes\shenbao.xdx\shell\open\command' | grep -qF 'shenbao.exe" "%1"' || fail "no open command"
# reg prints Chinese as "?" here; the prefix's registry file keeps it as UTF-16 escapes.
grep -qF '@="XDX\x6570\x636e\x4ea4\x6362\x6587\x4ef6"' "$WINEPREFIX/user.reg" || fail "no type name XDX数据交换文件"
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\shenbao' | grep -q 'uninstall.exe' \
  || fail "no uninstaller entry"
# The shortcuts start the program in Documents, where its save dialog then opens.
for lnk in "$menu" "$desktop"; do
  strings -el "$lnk" | grep -q 'Documents$' || fail "$(basename "$lnk") does not start in Documents"
done
# Under Wine, Wine's Direct3D is off for the program (the setup's own comment says why).
reg 'HKCU\Software\Wine\AppDefaults\shenbao.exe\Direct3D' | grep -q 'no3d' || fail "Wine's Direct3D not turned off"
echo "check-setup: installed into $installed, Start menu, desktop (started in Documents), .xdx, uninstaller entry"

# The office's tool from the installed folder, on a path with Chinese and blanks.
sample_dir="$work/样例 文件"
mkdir -p "$sample_dir"
cp "$root/samples/complete.xdx" "$sample_dir/完整 申请.xdx"
out=$(wine "$installed/xdxtool.exe" check "$(winpath "$sample_dir/完整 申请.xdx")" 2>&1 | tr -d '\r') \
  || fail "installed xdxtool.exe check failed: $out"
echo "$out" | grep -q '完整 1' || fail "xdxtool.exe: $out"
echo "check-setup: xdxtool.exe check: $out"

# The program from the installed folder with the file, as the association starts it: its
# window must come up with the document's title bar text.
# (A fresh Wine session: one begun without a display would keep its windows off the screen.)
wineserver -k || true
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  wine "$1" "$2" >/dev/null 2>&1 &
  for _ in $(seq 90); do
    for w in $(xdotool search --name . 2>/dev/null); do
      if xdotool getwindowname "$w" 2>/dev/null | grep -q "澄岚省教育科学规划"; then wineserver -k; exit 0; fi
    done
    sleep 1
  done
  import -window root "$3" 2>/dev/null; wineserver -k; exit 1
' _ "$installed/shenbao.exe" "$(winpath "$sample_dir/完整 申请.xdx")" "$work/check-setup-failed.png" \
  || fail "shenbao.exe did not show its window (screen: $work/check-setup-failed.png)"
echo "check-setup: shenbao.exe started from the installed folder with the file"

# An application a teacher saved into the program folder is the teacher's: the uninstaller keeps it
# (and, not silent, says so).
cp "$root/samples/complete.xdx" "$installed/我的申请.xdx"
wine "$installed/uninstall.exe" /S
sleep 2
wineserver -w
[[ "$(ls -A "$installed")" == "我的申请.xdx" ]] || fail "the uninstall left: $(ls -A "$installed" | head -5)"
rm -rf "$installed"
[[ ! -e "$menu" && ! -e "$desktop" ]] || fail "shortcuts left behind"
reg 'HKCU\Software\Classes\.xdx' | grep -q shenbao && fail "association left behind"
reg 'HKCU\Software\Classes\shenbao.xdx' | grep -q . && fail "file type left behind"
reg 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\shenbao' | grep -q . && fail "uninstaller entry left behind"
reg 'HKCU\Software\Wine\AppDefaults\shenbao.exe' | grep -q . && fail "Wine setting left behind"
echo "check-setup: uninstalled, nothing left behind"
rm -rf "$WINEPREFIX" "$HOME" "$sample_dir"
