#!/usr/bin/env bash
# Runs a program of the Windows build under Wine (the build's test runner and the scripts use
# it): the SDK's DLLs and MinGW's runtime on the path (Qt finds its plugins beside its DLLs),
# and one Wine prefix per build, made on first use with the Debian fonts the form falls back to.
#   SHENBAO_WINSDK=<unpacked SDK> WINEPREFIX=<prefix> wine-run.sh PROGRAM.exe ARGS...
set -euo pipefail
: "${SHENBAO_WINSDK:?the unpacked Windows SDK}" "${WINEPREFIX:?the Wine prefix}"
# Wine reads the command line in the Unix locale's encoding: UTF-8, for Chinese file names.
export LC_ALL=C.UTF-8
export WINEPREFIX WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="

windows_path() { local p; p=$(realpath -m "$1"); echo "Z:${p//\//\\}"; }

mkdir -p "$(dirname "$WINEPREFIX")"
(
  flock 9
  if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
    wine wineboot --init >/dev/null 2>&1 || true
    fonts="$WINEPREFIX/drive_c/windows/Fonts"
    mkdir -p "$fonts"
    for f in /usr/share/fonts/truetype/arphic/uming.ttc /usr/share/fonts/truetype/arphic/ukai.ttc \
             /usr/share/fonts/truetype/wqy/wqy-zenhei.ttc /usr/share/fonts/truetype/liberation2/*.ttf; do
      [[ -f "$f" ]] && cp "$f" "$fonts/"
    done
    wineserver -w
  fi
  # Wine does not hand QT_* variables to Windows programs; the prefix's environment does.
  wanted=$(env | grep -E '^QT_(QPA_PLATFORM|QPA_FONTDIR|SCALE_FACTOR|LOGGING_RULES|ENABLE_REGEXP_JIT)=' | sort || true)
  if [[ "$wanted" != "$(cat "$WINEPREFIX.qtenv" 2>/dev/null)" ]]; then
    for name in QT_QPA_PLATFORM QT_QPA_FONTDIR QT_SCALE_FACTOR QT_LOGGING_RULES QT_ENABLE_REGEXP_JIT; do
      if [[ -n "${!name:-}" ]]; then
        wine reg add 'HKCU\Environment' /v "$name" /d "${!name}" /f >/dev/null 2>&1
      else
        wine reg delete 'HKCU\Environment' /v "$name" /f >/dev/null 2>&1 || true
      fi
    done
    printf '%s' "$wanted" >"$WINEPREFIX.qtenv"
  fi
) 9>"$WINEPREFIX.lock"

mingw=/usr/lib/gcc/x86_64-w64-mingw32/12-posix
export WINEPATH="$(windows_path "$SHENBAO_WINSDK/bin");$(windows_path "$mingw");$(windows_path /usr/x86_64-w64-mingw32/lib)"
exec wine "$@"
