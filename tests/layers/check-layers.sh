#!/usr/bin/env bash
# Fails when a layer includes a header of a layer it must not depend on: the libraries without
# widgets never see the window or the command line, and each sees only what lies below it.
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/../.." && pwd)}
cd "$root"

# folder: the folders whose headers it may include besides its own.
declare -A allowed=(
  [files]="record"
  [record]=""
  [xdx/xml]="record"
  [xdx]="record files xdx/xml"
  [check]="record"
  [session]="record files xdx check"
  [report]="record files"
  [office]="record files xdx check session report"
  [cli]="record files xdx check session report office"
  [app]="record files xdx check session report"
)

status=0
for folder in "${!allowed[@]}"; do
  # A folder's own files, not those of a layer nested in it (xdx/xml inside xdx).
  files=$(find "$folder" -name '*.h' -o -name '*.cpp' | grep -v "^xdx/xml/" || true)
  [[ $folder == xdx/xml ]] && files=$(find xdx/xml -name '*.h' -o -name '*.cpp')
  for file in $files; do
    while IFS= read -r header; do
      case $header in
        xdx/xml/*) layer=xdx/xml ;;
        */*) layer=${header%%/*} ;;
        *) continue ;; # a header of its own folder, by relative name
      esac
      [[ $layer == "$folder" || $layer == "${folder%%/*}" && $folder != xdx/xml ]] && continue
      if [[ " ${allowed[$folder]} " != *" $layer "* ]]; then
        echo "$file includes $header: $folder may not depend on $layer" >&2
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done
done
# Only files/ calls the system's file functions: opening, writing, renaming, removing, listing,
# temporary files and folders, locks, and asking what a path is.
fs='\bQFile\b|QSaveFile|QTemporary(Dir|File)|QLockFile|QDirIterator|QStorageInfo|std::filesystem|'
fs+='\b(fopen|_wfopen|freopen|unlink|_wunlink|CreateFileW?|DeleteFileW?|MoveFileExW?)\s*\(|'
fs+='\.(mkpath|mkdir|rmdir|removeRecursively|entryList|entryInfoList|exists|isFile|isDir|isSymLink|lastModified|setPermissions)\('
for folder in "${!allowed[@]}"; do
  [[ $folder == files ]] && continue
  if hits=$(grep -rnE "$fs" --include='*.cpp' --include='*.h' "$folder"); then
    echo "$hits" | sed 's/$/: only files\/ touches the file system/' >&2
    status=1
  fi
done
[[ $status -eq 0 ]] && echo "layers: every include points down, only files/ touches the file system"
exit $status
