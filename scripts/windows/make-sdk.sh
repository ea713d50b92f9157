#!/usr/bin/env bash
# Makes the Windows SDK that `make windows` builds against, from Debian 12's own source packages:
# libxml2 2.9.14 and Qt 6.4.2 qtbase for x86_64-w64-mingw32, packed as
# OUT/shenbao-winsdk-6.4.2-1.tar.xz (top folder shenbao-winsdk/). About an hour on 2 cores; the
# prebuilt copy in ../shared/winsdk/ saves it. Run as root (apt-get).
#   scripts/windows/make-sdk.sh [OUT]   then   make windows WINSDK_ARCHIVE=OUT/shenbao-winsdk-6.4.2-1.tar.xz
set -euo pipefail
out=$(realpath -m "${1:-$PWD/build-winsdk}")
work="$out/work"
prefix="$work/shenbao-winsdk"
mkdir -p "$work" && cd "$work"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix mingw-w64-tools \
  cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev xz-utils >/dev/null
# The sources come from the archive the binaries come from: deb-src lines, added once.
if [[ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    >/etc/apt/sources.list.d/debian-src.sources
  apt-get update -qq
fi
apt-get source --download-only qt6-base libxml2 >/dev/null

cat >mingw.cmake <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 $prefix)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
TOOLCHAIN

# libxml2 without iconv or ICU (the program registers its own GBK codec) and without network code.
rm -rf libxml2-2.9.14 && tar xJf libxml2_*.orig.tar.xz
cmake -S libxml2-2.9.14 -B build-libxml2 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ICU=OFF -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_ZLIB=OFF \
  -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_PROGRAMS=OFF -DLIBXML2_WITH_TESTS=OFF \
  -DLIBXML2_WITH_HTTP=OFF -DLIBXML2_WITH_FTP=OFF >/dev/null
cmake --build build-libxml2 && cmake --install build-libxml2 >/dev/null

# qtbase with the host tools of Debian's own Qt 6.4.2 and its bundled third-party code; no
# OpenGL, D-Bus or SQL; no tablet support (Debian's source leaves out src/3rdparty/wintab).
rm -rf qtbase-everywhere-src-6.4.2 && tar xJf qt6-base_*.orig.tar.xz
# With OpenGL off, 6.4.2's Windows platform plugin still compiles its dynamic-GL code.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(dynamicgl) \&\& QT_CONFIG(opengl)/' \
  qtbase-everywhere-src-6.4.2/src/plugins/platforms/windows/qwindowswindow.cpp
cmake -S qtbase-everywhere-src-6.4.2 -B build-qtbase -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DBUILD_SHARED_LIBS=ON \
  -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_tabletevent=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF >/dev/null
cmake --build build-qtbase && cmake --install build-qtbase >/dev/null

# A toolchain file that finds the SDK from its own folder, wherever it is unpacked.
cat >"$prefix/mingw.cmake" <<'TOOLCHAIN'
get_filename_component(_shenbao_winsdk "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 "${_shenbao_winsdk}")
list(APPEND CMAKE_PREFIX_PATH "${_shenbao_winsdk}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
TOOLCHAIN
tar cJf "$out/shenbao-winsdk-6.4.2-1.tar.xz" -C "$work" shenbao-winsdk
echo "make-sdk: $out/shenbao-winsdk-6.4.2-1.tar.xz"
