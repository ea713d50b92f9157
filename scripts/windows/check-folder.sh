#!/usr/bin/env bash
# Checks the Windows program folder: every DLL that a program, a DLL or a plugin in it imports
# is in the folder or is part of Windows, and every DLL beside the programs is imported by
# something (plugins are loaded by Qt, not imported).
#   check-folder.sh FOLDER
set -euo pipefail
folder=$1
objdump=x86_64-w64-mingw32-objdump
# Where a DLL that is not part of Windows would come from.
origins=(/usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)
[[ -n "${SHENBAO_WINSDK:-}" ]] && origins+=("$SHENBAO_WINSDK/bin")

shopt -s nullglob nocaseglob
binaries=("$folder"/*.exe "$folder"/*.dll "$folder"/*/*.dll)
declare -A imported=()
status=0
for b in "${binaries[@]}"; do
  while read -r dll; do
    key=${dll,,}
    imported[$key]=1
    [[ -n $(find "$folder" -maxdepth 1 -iname "$dll" -print -quit) ]] && continue
    for o in "${origins[@]}"; do
      if [[ -n $(find "$o" -maxdepth 1 -iname "$dll" -print -quit 2>/dev/null) ]]; then
        echo "check-folder: ${b#$folder/} needs $dll, which is not in the folder" >&2
        status=1
      fi
    done
  done < <($objdump -p "$b" | sed -n 's/^\s*DLL Name: //p')
done
for d in "$folder"/*.dll; do
  name=$(basename "$d")
  [[ -n "${imported[${name,,}]:-}" ]] || { echo "check-folder: nothing needs $name" >&2; status=1; }
done
[[ $status -eq 0 ]] && echo "check-folder: ${#binaries[@]} programs and DLLs, every import found"
exit $status
