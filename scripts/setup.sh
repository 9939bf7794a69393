#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need, then builds the
# mingw copies of libpng, libjpeg-turbo and GoogleTest into build/deps.
# Idempotent: a second run finds everything in place and takes seconds.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/prefix

packages=(
  build-essential cmake ninja-build nasm pkg-config dpkg-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libz-mingw-w64-dev
  libboost-dev googletest libgtest-dev libpng-dev libjpeg-dev zlib1g-dev
  wine wine64 xvfb xdotool x11-utils x11-apps x11-xserver-utils xclip
  cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
  fonts-ipafont-gothic imagemagick libjpeg-turbo-progs python3-pil python3-numpy
  zip unzip clang
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Boost for mingw: only the boost folder joins the prefix's headers, never all
# of /usr/include.
mkdir -p "$prefix/include"
[ -e "$prefix/include/boost" ] || ln -s /usr/include/boost "$prefix/include/boost"

if [ -f "$prefix/.done" ]; then
  exit 0
fi

# Source packages for the mingw builds of libpng and libjpeg-turbo.
if ! grep -rqs '^Types: deb deb-src\|^Types: deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  cat > /etc/apt/sources.list.d/tamrik-src.sources <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  apt-get update -qq
fi

mkdir -p "$deps/src" "$prefix"
cd "$deps/src"
ls libpng1.6_*.dsc >/dev/null 2>&1 || apt-get source --download-only libpng1.6
ls libjpeg-turbo_*.dsc >/dev/null 2>&1 || apt-get source --download-only libjpeg-turbo

toolchain=$top/cmake/mingw-w64.cmake
jobs=$(nproc)

# libjpeg-turbo, static, with its SIMD code.
if [ ! -f "$prefix/lib/libjpeg.a" ]; then
  rm -rf jpeg && mkdir jpeg
  tar -xf libjpeg-turbo_*.orig.tar.gz -C jpeg --strip-components=1
  cmake -S jpeg -B jpeg/build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON \
    -DCMAKE_ASM_NASM_COMPILER=nasm >/dev/null
  cmake --build jpeg/build -j "$jobs" >/dev/null
  cmake --install jpeg/build >/dev/null
fi

# libpng, static, against mingw's zlib.
if [ ! -f "$prefix/lib/libpng.a" ]; then
  rm -rf png && mkdir png
  tar -xf libpng1.6_*.orig.tar.* -C png --strip-components=1
  cmake -S png -B png/build -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
    -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include >/dev/null
  cmake --build png/build -j "$jobs" >/dev/null
  cmake --install png/build >/dev/null
  # The static library is installed as libpng16.a; give it its plain name too.
  [ -f "$prefix/lib/libpng.a" ] || cp "$prefix/lib/libpng16.a" "$prefix/lib/libpng.a"
fi

# GoogleTest for mingw.
if [ ! -f "$prefix/lib/libgtest.a" ]; then
  rm -rf gtest
  cmake -S /usr/src/googletest -B gtest -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF >/dev/null
  cmake --build gtest -j "$jobs" >/dev/null
  cmake --install gtest >/dev/null
fi

touch "$prefix/.done"
echo "setup: dependencies ready in $prefix"
