#!/usr/bin/env bash
# `make windows`: the Windows program, cross-built on Debian against the project's SDK, its tests
# run under Wine, then the setup program and the portable zip, and the setup checked in a fresh
# Wine prefix. Output in $WINBUILD (build-windows): shenbao-VERSION-setup.exe and
# shenbao-VERSION-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
build=${WINBUILD:-build-windows}
host=${BUILD:-build}
jobs=${JOBS:-$(nproc)}
archive=${WINSDK_ARCHIVE:-$root/../shared/winsdk/shenbao-winsdk-6.4.2-2.tar.xz}

scripts/install-deps.sh windows

# The host's picture renderer (Qt SVG), from the Linux build.
cmake --build "$host" --target shenbao_mkicons >/dev/null

# The SDK, unpacked once into the build folder (never into the sources).
sdk="$build/sdk"
stamp="$sdk/.unpacked-$(basename "$archive")"
if [[ ! -f "$stamp" ]]; then
  [[ -f "$archive" ]] || { echo "make windows: no SDK at $archive (see ../shared/winsdk/README.md)" >&2; exit 1; }
  rm -rf "$sdk" && mkdir -p "$sdk"
  tar xJf "$archive" -C "$sdk"
  touch "$stamp"
fi

# Only the SDK's pkg-config files: the build machine's would name Linux libraries.
export PKG_CONFIG_LIBDIR="$root/$sdk/shenbao-winsdk/lib/pkgconfig" PKG_CONFIG_PATH=
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/$sdk/shenbao-winsdk/mingw.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DSHENBAO_WERROR=ON -DSHENBAO_BENCH=OFF \
  -DSHENBAO_HOST_MKICONS="$root/$host/share/shenbao_mkicons" >/dev/null
cmake --build "$build" -j "$jobs"

echo "make windows: tests under Wine"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

# A document saved by the Windows build is the Linux build's, byte for byte, but for its fresh
# ProjectID: the same records, built by both xdxtools.
export SHENBAO_WINSDK="$root/$sdk/shenbao-winsdk" WINEPREFIX="$root/$build/wine"
same="$build/same-bytes"
rm -rf "$same" && mkdir -p "$same"
for json in samples/*.json tests/data/mixed-text.json; do
  name=$(basename "$json" .json)
  "$host/cli/xdxtool" build "$json" "$same/$name-linux.xdx" 2>/dev/null
  scripts/windows/wine-run.sh "$build/bin/xdxtool.exe" build "$json" "$same/$name-windows.xdx" 2>/dev/null
  for side in linux windows; do
    sed 's|<ProjectID>[^<]*</ProjectID>|<ProjectID/>|' "$same/$name-$side.xdx" >"$same/$name-$side.cmp"
  done
  cmp "$same/$name-linux.cmp" "$same/$name-windows.cmp" \
    || { echo "make windows: $json saves differently on Windows" >&2; exit 1; }
done
echo "make windows: $(ls samples/*.json tests/data/mixed-text.json | wc -l) records save byte-identical on both systems (ProjectID aside)"

# The round's table by both builds holds the same values, as openpyxl reads them (file names
# aside, shown with each system's separators).
"$host/cli/xdxtool" table samples/complete.xdx samples/incomplete.xdx -o "$same/round-linux.xlsx" 2>/dev/null || true
scripts/windows/wine-run.sh "$build/bin/xdxtool.exe" table samples/complete.xdx samples/incomplete.xdx \
  -o "$same/round-windows.xlsx" 2>/dev/null || true
/usr/bin/python3 - "$same/round-linux.xlsx" "$same/round-windows.xlsx" <<'PYTHON'
import sys, openpyxl
books = [openpyxl.load_workbook(p) for p in sys.argv[1:]]
unslashed = lambda v: v.replace("\\", "/") if isinstance(v, str) else v
values = [[[[unslashed(v) for v in r] for r in s.iter_rows(values_only=True)] for s in b.worksheets]
          for b in books]
if values[0] != values[1]:
    sys.exit("make windows: the Windows table's values differ from Linux's")
print(f"make windows: the round's XLSX holds the same {sum(len(s) for s in values[0])} rows on both systems")
PYTHON

# The review round by both builds: the same round (file names aside, shown with each system's
# separators), and the Windows score sheet filled on Linux as another program would and collected
# there.
printf '姓名,单位,所在市（州）,学科分类,最多评审数\n宋思远,澄州师范大学,澄州市,基础教育,10\n' >"$same/roster.csv"
# Four runs under Wine, each given two minutes: a program that hung after its work was done (as
# one did in a third of its runs) is caught here.
for side in linux windows; do
  tool="$host/cli/xdxtool" runs=1
  [[ $side == windows ]] && tool="timeout 120 scripts/windows/wine-run.sh $build/bin/xdxtool.exe" runs=4
  for ((run = 0; run < runs; run++)); do
    rm -rf "$same/round-$side"
    status=0
    $tool review assign --experts "$same/roster.csv" -k 1 -o "$same/round-$side" samples/complete.xdx \
      2>/dev/null || status=$?
    [[ $status == 0 ]] || { echo "make windows: xdxtool review assign ($side) ended with $status" >&2; exit 1; }
  done
  sed 's|\\\\|/|g' "$same/round-$side/评审轮次.json" >"$same/round-$side.cmp"
done
cmp "$same/round-linux.cmp" "$same/round-windows.cmp" \
  || { echo "make windows: the Windows review round differs from Linux's" >&2; exit 1; }
/usr/bin/python3 - "$same"/round-windows/专家/*/评分表.xlsx "$same/filled.xlsx" <<'PYTHON'
import sys, openpyxl
wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.active
for c in range(4, 8): ws.cell(6, c).value = 15
wb.save(sys.argv[2])
PYTHON
"$host/cli/xdxtool" review collect "$same/round-windows" "$same/filled.xlsx" 2>/dev/null \
  || { echo "make windows: a score sheet of the Windows build does not read back on Linux" >&2; exit 1; }
echo "make windows: the review round is the same on both systems, and its score sheet reads back on Linux"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
stage="$build/stage"
rm -rf "$stage"
cmake --install "$build" --prefix "$stage" --strip >/dev/null
folder="$stage/bin"
# The DLLs without their debug sections and local symbols (libstdc++-6.dll 24 → 1.9 MB, Qt6Gui
# 12 → 8.4 MB); the install strips the programs itself.
find "$folder" -iname '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$build/app/shenbao.ico" "$folder/"
scripts/windows/check-folder.sh "$folder"

# The setup program: every file named, so that the uninstaller removes exactly these.
files="$build/files.nsh" unfiles="$build/unfiles.nsh"
: >"$files"; : >"$unfiles"
(cd "$folder" && find . -type d ! -name . | sort) | while read -r d; do
  d=${d#./}; echo "CreateDirectory \"\$INSTDIR\\${d//\//\\}\"" >>"$files"
done
(cd "$folder" && find . -type f ! -name shenbao.ico | sort) | while read -r f; do
  f=${f#./}; w=${f//\//\\}
  echo "File \"/oname=$w\" \"$root/$folder/$f\"" >>"$files"
  echo "Delete \"\$INSTDIR\\$w\"" >>"$unfiles"
done
(cd "$folder" && find . -mindepth 1 -type d | sort -r) | while read -r d; do
  d=${d#./}; echo "RMDir \"\$INSTDIR\\${d//\//\\}\"" >>"$unfiles"
done
setup="$build/shenbao-$version-setup.exe"
size_kb=$(du -sk "$folder" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DSTAGE="$root/$folder" -DFILES="$root/$files" -DUNFILES="$root/$unfiles" \
  -DOUTFILE="$root/$setup" -DSIZE_KB="$size_kb" "$build/shenbao.nsi"

# The same folder as a zip, for machines where nothing may be installed.
zip="$build/shenbao-$version-windows.zip"
rm -f "$zip"
(cd "$stage" && rm -rf "shenbao-$version" && cp -r bin "shenbao-$version" && zip -qr "$root/$zip" "shenbao-$version" \
  && rm -rf "shenbao-$version")

scripts/windows/check-setup.sh "$setup" "$build"
echo "make windows: $setup ($(du -h "$setup" | cut -f1)), $zip ($(du -h "$zip" | cut -f1))"
