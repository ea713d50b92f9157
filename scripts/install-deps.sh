#!/usr/bin/env bash
# Installs every Debian package that building, testing and running shenbao need
# (the compiler aside). Quick and silent when everything is already there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build make pkg-config g++ dpkg-dev
  qt6-base-dev qt6-svg-dev libxml2-dev libpoppler-qt6-dev libxlsxwriter-dev libminizip-dev liblemon-dev
  # run: platform plugins, Qt's own translations, fonts the form asks for
  qt6-qpa-plugins libqt6svg6 qt6-translations-l10n
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-liberation2 fonts-dejavu-core
  # tests, benchmarks, screenshots, fuzzing
  poppler-utils libxml2-utils python3-openpyxl desktop-file-utils libbenchmark-dev xvfb xauth imagemagick xdotool clang clang-format
  libclang-rt-14-dev
)

# `install-deps.sh windows`: what `make windows` needs besides (cross compiler, Wine, NSIS).
if [[ "${1:-}" == windows ]]; then
  packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64 wine wine64 nsis zip
            xvfb xauth xdotool imagemagick openbox qt6-base-dev-tools qt6-translations-l10n)
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
