#!/usr/bin/env bash
# Makes the Windows SDK that `make windows` builds against, from Debian 12's own source packages
# (Debian's patches applied where the package has them), for x86_64-w64-mingw32: libxml2 2.9.14
# and Qt 6.4.2 qtbase, then zlib 1.2.13 with minizip, libxlsxwriter 1.1.4, FreeType 2.12.1,
# poppler 22.12.0 with its Qt 6 frontend, libjpeg-turbo 2.1.5 and qpdf 11.3.0, packed as
# OUT/shenbao-winsdk-6.4.2-2.tar.xz (top folder shenbao-winsdk/). About an hour and a quarter on
# 2 cores; the prebuilt copy in ../shared/winsdk/ saves it. Run as root (apt-get).
#   scripts/windows/make-sdk.sh [OUT]   then   make windows WINSDK_ARCHIVE=OUT/shenbao-winsdk-6.4.2-2.tar.xz
set -euo pipefail
out=$(realpath -m "${1:-$PWD/build-winsdk}")
work="$out/work"
prefix="$work/shenbao-winsdk"
mkdir -p "$work" && cd "$work"

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq --no-install-recommends g++-mingw-w64-x86-64-posix mingw-w64-tools \
  cmake ninja-build qt6-base-dev qt6-base-dev-tools dpkg-dev pkgconf xz-utils nasm >/dev/null
# The sources come from the archive the binaries come from: deb-src lines, added once.
if [[ -z "$(apt-cache showsrc qt6-base 2>/dev/null)" ]]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    >/etc/apt/sources.list.d/debian-src.sources
  apt-get update -qq
fi
apt-get source --download-only qt6-base libxml2 libxlsxwriter freetype poppler libjpeg-turbo qpdf >/dev/null
# zlib's update 1:1.2.13.dfsg-1+deb12u1 may be missing from the security mirror (it was here);
# then 1:1.2.13.dfsg-1: the same upstream tarball (same SHA-256), without the update's changes.
apt-get source --download-only zlib >/dev/null 2>&1 || apt-get source --download-only zlib=1:1.2.13.dfsg-1 >/dev/null
jobs=${JOBS:-2}

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
# ---- The libraries the office's tables, the preview's PDFs and the joined printouts need ----
# Debian's source packages as Debian builds them: upstream tarball plus debian/patches.
for name in zlib libxlsxwriter freetype poppler libjpeg-turbo qpdf; do
  rm -rf "src-$name" && dpkg-source -x "$(ls ${name}_*.dsc | tail -1)" "src-$name" >/dev/null
done
cross=(-G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw.cmake" -DCMAKE_INSTALL_PREFIX="$prefix"
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DCMAKE_C_FLAGS="-ffile-prefix-map=$work/=" -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$work/=")
# Only the SDK's pkg-config files, never the build machine's.
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH=
build() {
  local start=$SECONDS
  nice -n 15 cmake --build "$1" -j "$jobs" && cmake --install "$1" >/dev/null
  echo "make-sdk: $1 took $((SECONDS - start)) s"
}

# zlib as a DLL (libzlib1.dll). Debian's source leaves out win32/, whose version resource the
# CMake build links into the DLL on MinGW: without it the DLL carries no version resource.
sed -i '/^    set(ZLIB_DLL_SRCS ${CMAKE_CURRENT_BINARY_DIR}\/zlib1rc.obj)$/d' src-zlib/CMakeLists.txt
cmake -S src-zlib -B build-zlib "${cross[@]}" -DINSTALL_PKGCONFIG_DIR="$prefix/lib/pkgconfig" >/dev/null
build build-zlib
# The DLL only; its pkg-config file names the import library by its Windows name.
rm "$prefix/lib/libzlibstatic.a"
sed -i 's/^Libs: -L${libdir} -L${sharedlibdir} -lz$/Libs: -L${libdir} -lzlib/' "$prefix/lib/pkgconfig/zlib.pc"

# libxlsxwriter with its bundled minizip (the zip half only) against the SDK's zlib. On MinGW it
# undefines _WIN32 and opens files with the narrow C library, so a UTF-8 name such as 测试.xlsx
# came out garbled; with the Win32 file code its MSVC build uses, names are UTF-8 as documented.
sed -i 's|^    if(MSVC)$|    if(WIN32)|' src-libxlsxwriter/CMakeLists.txt   # builds minizip/iowin32.c
sed -i '/^#ifdef __MINGW32__$/{N;N;/#undef _WIN32/d}' src-libxlsxwriter/src/packager.c \
  src-libxlsxwriter/src/utility.c
cmake -S src-libxlsxwriter -B build-libxlsxwriter "${cross[@]}" -DUSE_SYSTEM_MINIZIP=OFF >/dev/null
build build-libxlsxwriter
# Its pkg-config file said "Version: 4" (the regex catches the SOVERSION) and -lz, a name this
# SDK's zlib does not have; the DLL links zlib itself.
sed -i -e 's/^Version: .*/Version: 1.1.4/' \
  -e 's/^Libs: -L${libdir} -lxlsxwriter -lz$/Requires.private: zlib\nLibs: -L${libdir} -lxlsxwriter/' \
  "$prefix/lib/pkgconfig/xlsxwriter.pc"

# FreeType, small: the SDK's zlib for compressed fonts; no HarfBuzz, PNG, bzip2 or Brotli.
cmake -S src-freetype -B build-freetype "${cross[@]}" -DFT_REQUIRE_ZLIB=ON \
  -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_BROTLI=ON >/dev/null
build build-freetype

# poppler: the core (Splash renderer) and the Qt 6 frontend, Qt found through the SDK with the
# host's tools; poppler's own DCT and JPX decoders, so neither libjpeg nor OpenJPEG; no colour
# management, Cairo, glib, cpp, Qt 5, utils, curl, NSS, TIFF, PNG, Boost or tests.
cmake -S src-poppler -B build-poppler "${cross[@]}" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DENABLE_QT6=ON -DENABLE_QT5=OFF -DENABLE_GLIB=OFF -DENABLE_GOBJECT_INTROSPECTION=OFF \
  -DENABLE_CPP=OFF -DENABLE_UTILS=OFF -DENABLE_LIBCURL=OFF -DENABLE_BOOST=OFF -DENABLE_CMS=none \
  -DENABLE_DCTDECODER=unmaintained -DENABLE_LIBOPENJPEG=unmaintained -DWITH_Cairo=OFF \
  -DWITH_NSS3=OFF -DWITH_TIFF=OFF -DWITH_PNG=OFF -DWITH_JPEG=OFF -DRUN_GPERF_IF_PRESENT=OFF \
  -DBUILD_GTK_TESTS=OFF -DBUILD_QT5_TESTS=OFF -DBUILD_QT6_TESTS=OFF -DBUILD_CPP_TESTS=OFF \
  -DBUILD_MANUAL_TESTS=OFF >/dev/null
build build-poppler

# minizip (zlib's contrib/minizip, both halves: zip and unzip) as libminizip.dll, for reading ZIP
# files (an XLSX is one) with the same library Debian's libminizip-dev gives on Linux.
mz=src-zlib/contrib/minizip
x86_64-w64-mingw32-gcc-posix -O2 -shared -o "$prefix/bin/libminizip.dll" \
  -Wl,--out-implib,"$prefix/lib/libminizip.dll.a" -I"$prefix/include" -I"$mz" \
  "$mz/ioapi.c" "$mz/unzip.c" "$mz/zip.c" "$mz/iowin32.c" "$mz/mztools.c" -L"$prefix/lib" -lzlib
mkdir -p "$prefix/include/minizip"
cp "$mz"/{ioapi,unzip,zip,iowin32,mztools,crypt}.h "$prefix/include/minizip/"
cat >"$prefix/lib/pkgconfig/minizip.pc" <<'PC'
prefix=${pcfiledir}/../..
exec_prefix=${prefix}
libdir=${prefix}/lib
includedir=${prefix}/include

Name: minizip
Description: zlib's contrib/minizip (zip and unzip)
Version: 1.2.13
Requires: zlib
Libs: -L${libdir} -lminizip
Cflags: -I${includedir}/minizip -I${includedir}
PC

# --- libjpeg-turbo and qpdf: steps from here to the .pc loop ---
# libjpeg-turbo as libjpeg-62.dll: the libjpeg 6b API/ABI, as Debian's libjpeg62-turbo, with its
# SIMD code (Debian's nasm assembles it for win64; REQUIRE_SIMD makes its absence an error). No
# TurboJPEG API (qpdf uses libjpeg's own) and no static library. The build string is the date of
# Debian's changelog, as Debian's own build has it.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l src-libjpeg-turbo/debian/changelog -STimestamp) \
  cmake -S src-libjpeg-turbo -B build-libjpeg-turbo "${cross[@]}" -DENABLE_STATIC=OFF \
  -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON >/dev/null
build build-libjpeg-turbo
# The library only: it has no option to leave out its five programs, so they and their man pages go.
rm "$prefix"/bin/{cjpeg,djpeg,jpegtran,rdjpgcom,wrjpgcom}.exe \
  "$prefix"/share/man/man1/{cjpeg,djpeg,jpegtran,rdjpgcom,wrjpgcom}.1

# qpdf: libqpdf as qpdf29.dll (import library libqpdf.a, qpdf's own naming) with its native
# crypto, no GnuTLS or OpenSSL, against the SDK's zlib and libjpeg. qpdf 11.3 has no option to
# leave out its programs, tests, examples, manual or fuzzers, and on MinGW its qpdf/ folder copies
# the MinGW runtime DLLs into bin/; so those folders are not added: only the library, its
# headers, libqpdf.pc and the CMake package are built and installed.
sed -i -E '/^add_subdirectory\((qpdf|libtests|examples|zlib-flate|manual|fuzz)\)$/d' src-qpdf/CMakeLists.txt
# It links every configure check with "Advapi32"; MinGW's is libadvapi32.a, so on a case-sensitive
# file system every check failed: no fseeko64 (files over 2 GB), no <stdint.h>, -latomic.
sed -i 's/^  list(APPEND CMAKE_REQUIRED_LIBRARIES Advapi32)$/  list(APPEND CMAKE_REQUIRED_LIBRARIES advapi32)/' \
  src-qpdf/CMakeLists.txt
cmake -S src-qpdf -B build-qpdf "${cross[@]}" -DBUILD_STATIC_LIBS=OFF -DUSE_IMPLICIT_CRYPTO=OFF \
  -DREQUIRE_CRYPTO_NATIVE=ON >/dev/null
grep -q '^#define HAVE_FSEEKO64 1$' build-qpdf/libqpdf/qpdf/qpdf-config.h \
  || { echo "make-sdk: qpdf's configure checks failed" >&2; exit 1; }
build build-qpdf
# --- end of the libjpeg-turbo and qpdf steps ---

# pkg-config files that find the SDK wherever it is unpacked, as libxml2's does.
for pc in zlib xlsxwriter freetype2 poppler poppler-qt6 libjpeg libqpdf; do
  sed -i -e "s|^prefix=$prefix\$|prefix=\${pcfiledir}/../..|" -e "s|$prefix|\${prefix}|g" \
    "$prefix/lib/pkgconfig/$pc.pc"
done
if grep -rl "$work" "$prefix/lib/pkgconfig" "$prefix/lib/cmake/freetype" \
  "$prefix/lib/cmake/libjpeg-turbo" "$prefix/lib/cmake/qpdf"; then
  echo "make-sdk: the files above point into $work" >&2; exit 1
fi
tar cJf "$out/shenbao-winsdk-6.4.2-2.tar.xz" -C "$work" shenbao-winsdk
echo "make-sdk: $out/shenbao-winsdk-6.4.2-2.tar.xz"
