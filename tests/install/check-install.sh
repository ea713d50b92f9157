#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks that every file is in its place
# and works from there.
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
expect() {
  if [[ ! -e "$prefix/$1" ]]; then echo "missing: $1"; fail=1; fi
}
expect bin/shenbao
expect bin/xdxtool
expect share/shenbao/help.doc
expect share/applications/shenbao.desktop
expect share/mime/packages/shenbao-xdx.xml
expect share/icons/hicolor/scalable/apps/shenbao.svg
for size in 16 24 32 48 64 128 256; do expect "share/icons/hicolor/${size}x${size}/apps/shenbao.png"; done
[[ $fail -eq 0 ]] || exit 1

[[ -x "$prefix/bin/shenbao" && -x "$prefix/bin/xdxtool" ]] || { echo "programs not executable"; exit 1; }
head -c 6 "$prefix/share/shenbao/help.doc" | grep -q '{\\rtf1' || { echo "help.doc is not RTF"; exit 1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$prefix/share/applications/shenbao.desktop"; fi
xmllint --noout "$prefix/share/mime/packages/shenbao-xdx.xml"
grep -q '^Exec=shenbao %f$' "$prefix/share/applications/shenbao.desktop"
grep -q '^MimeType=application/x-shenbao-xdx;$' "$prefix/share/applications/shenbao.desktop"

# The installed tool works on its own.
"$prefix/bin/xdxtool" check "$source/samples/complete.xdx" 2>/dev/null
echo "install tree complete under $prefix"
