#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages and the
# npm registry only. Idempotent: a second run only checks and takes seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
mkdir -p "$deps"
log="$deps/bootstrap.log"
say() { echo "bootstrap: $*"; }

packages=(wine wine32 wine64 xvfb xauth x11-utils xdotool imagemagick g++-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build nasm libgtest-dev libjpeg62-turbo-dev dpkg-dev
  zlib1g-dev libz-mingw-w64-dev xserver-xorg-core xserver-xorg-video-dummy
  libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386 libxcomposite1:i386 libxrender1:i386
  libxrandr2:i386 libxi6:i386 libxinerama1:i386 libxcursor1:i386 libxfixes3:i386
  libfreetype6:i386 libfontconfig1:i386
  libgl1-mesa-dri libglx-mesa0 libgl1 libxcomposite1 libxrender1 libxrandr2 libxi6
  libxinerama1 libxcursor1 libxfixes3 libfreetype6 libfontconfig1)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# npm is often present without its Debian package (a NodeSource node ships it).
command -v npm >/dev/null || missing+=(npm)

# Source entries for `apt-get source`, made from the machine's own binary entries so that
# no host name is written into this repository.
src_list=/etc/apt/sources.list.d/prismora-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
  : > "$src_list.tmp"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] || continue
    grep -q '^Types:.*\bdeb\b' "$f" || continue
    grep -q 'debian' "$f" || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$src_list.tmp"
    echo >> "$src_list.tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | grep debian | sed -e 's/^deb /deb-src /' > /etc/apt/sources.list.d/prismora-src.list || true
    [ -s /etc/apt/sources.list.d/prismora-src.list ] || rm -f /etc/apt/sources.list.d/prismora-src.list
  fi
  mv "$src_list.tmp" "$src_list"
  need_update=1
fi

if ! dpkg --print-foreign-architectures | grep -q i386; then
  dpkg --add-architecture i386
  need_update=1
fi
if [ ${#missing[@]} -gt 0 ] || [ $need_update = 1 ]; then
  say "installing packages: ${missing[*]:-(sources only)}"
  # A mirror in the middle of a sync serves an index that fails its check; apt then
  # stops with code 100 although the packages are there. Ask again a few times, then go on
  # with whatever indexes arrived: the install below says plainly what it cannot find.
  for attempt in 1 2 3; do
    apt-get update -q >>"$log" 2>&1 && break
    say "apt-get update failed (attempt $attempt of 3; see $log)"
    sleep $((attempt * 10))
  done
  [ ${#missing[@]} -eq 0 ] || DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" >>"$log" 2>&1
fi

# 32-bit programs under emulation where the kernel refuses them (before the Wine prefix is
# made, so that the prefix gets its 32-bit side).
source "$root/scripts/i386-emulation.sh"
prismora_i386_emulation "$deps" "$log" || say "WARNING: 32-bit Windows programs cannot run here"

# libjpeg-turbo, static, for Windows: for both test trees (i686 and x86_64) and the
# shipped i686 release tree.
cross_build_libjpeg() {
  local arch=$1 prefix="$deps/$1"
  mkdir -p "$prefix"
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    say "cross-building libjpeg-turbo ($arch)"
    find_jpeg_source
    cmake -S "$jpeg_src" -B "$deps/src/jpeg/build-$arch" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_INSTALL_PREFIX="$prefix" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
      -DCMAKE_POSITION_INDEPENDENT_CODE=OFF >>"$log" 2>&1
    cmake --build "$deps/src/jpeg/build-$arch" >>"$log" 2>&1
    cmake --install "$deps/src/jpeg/build-$arch" >>"$log" 2>&1
  fi
  # The photo decoder plugs its own Huffman decoding into libjpeg's module interface, which
  # is declared in the internal header that libjpeg-turbo's install leaves out (Debian's
  # native package ships it).
  if [ ! -f "$prefix/include/jpegint.h" ]; then
    find_jpeg_source
    install -m 644 "$jpeg_src/jpegint.h" "$prefix/include/jpegint.h"
  fi
}
jpeg_src=""
find_jpeg_source() {
  [ -z "$jpeg_src" ] || return 0
  jpeg_src=$(find "$deps/src/jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo*' 2>/dev/null | head -n1 || true)
  if [ -z "$jpeg_src" ] || [ ! -f "$jpeg_src/jpegint.h" ]; then
    rm -rf "$deps/src/jpeg"; mkdir -p "$deps/src/jpeg"
    (cd "$deps/src/jpeg" && apt-get source -q libjpeg-turbo >>"$log" 2>&1)
    jpeg_src=$(find "$deps/src/jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo*' | head -n1)
  fi
  [ -f "$jpeg_src/jpegint.h" ] || { echo "bootstrap: libjpeg-turbo's source could not be fetched" >&2; exit 1; }
}
# GoogleTest for Windows, from the source Debian's libgtest-dev installs.
cross_build_gtest() {
  local arch=$1 prefix="$deps/$1"
  [ ! -f "$prefix/lib/libgtest.a" ] || return 0
  say "cross-building GoogleTest ($arch)"
  rm -rf "$deps/src/gtest-build-$arch"
  cmake -S /usr/src/googletest -B "$deps/src/gtest-build-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -Dgtest_disable_pthreads=OFF >>"$log" 2>&1
  cmake --build "$deps/src/gtest-build-$arch" >>"$log" 2>&1
  cmake --install "$deps/src/gtest-build-$arch" >>"$log" 2>&1
}
for arch in i686 x86_64; do
  cross_build_libjpeg "$arch"
  cross_build_gtest "$arch"
done

# The pictures other projects publish for testing their own readers (PNG, TIFF and GIF
# suites; libjpeg-turbo's are in its source above): the reader corpus tests run every
# photo reader over them. Only fetched and unpacked, never built; nothing of them goes
# into the repository.
fetch_picture_suite() {
  local name=$1 dir="$deps/src/$1"
  [ -f "$dir/.unpacked" ] && return 0
  say "fetching $name's source (its test pictures)"
  rm -rf "$dir"; mkdir -p "$dir"
  (cd "$dir" && apt-get source -q "$name" >>"$log" 2>&1) ||
    { echo "bootstrap: $name's source could not be fetched (see $log)" >&2; exit 1; }
  touch "$dir/.unpacked"
}
for suite in libpng1.6 tiff giflib; do fetch_picture_suite "$suite"; done
find_jpeg_source

# The Inno Setup command-line compiler (5.6.1).
if [ ! -f "$deps/innosetup/node_modules/innosetup/bin/ISCC.exe" ]; then
  say "installing the Inno Setup compiler"
  mkdir -p "$deps/innosetup"
  (cd "$deps/innosetup" && npm install --no-audit --no-fund --silent innosetup@5.6.1 >>"$log" 2>&1)
fi
# Inno Setup 6, which the installer tests build with as well.
if [ ! -f "$deps/innosetup6/node_modules/innosetup/bin/ISCC.exe" ]; then
  say "installing the Inno Setup 6 compiler"
  mkdir -p "$deps/innosetup6"
  (cd "$deps/innosetup6" && npm install --no-audit --no-fund --silent innosetup@6.4.1 >>"$log" 2>&1)
fi

# A private Wine prefix; no Mono or Gecko prompts. A prefix made while 32-bit programs could
# not run has no 32-bit side (its syswow64 stays empty, and updating it does not fill it):
# once they can run, it is made anew.
source "$root/scripts/wine-env.sh"
if [ -f "$WINEPREFIX/system.reg" ] && [ "$("$root/scripts/i386-support")" != none ] &&
   [ ! -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ]; then
  say "making the Wine prefix anew with its 32-bit side"
  "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "creating the Wine prefix"
  "$WINE" wineboot -i >>"$log" 2>&1 || true
  "$WINESERVER" -w || true
fi
[ -f "$WINEPREFIX/system.reg" ] || { say "the Wine prefix could not be created (see $log)"; exit 1; }
# A program that crashes ends at once, its "Unhandled page fault" line printed: Wine's
# default starts its debugger, which then waits, and a test with it, until the timeout.
if [ "$(grep -c '^"Debugger"=""' "$WINEPREFIX/system.reg")" -lt 2 ]; then
  for view in 64 32; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d "" \
      /f "/reg:$view" >>"$log" 2>&1 || true
  done
  "$WINESERVER" -w || true
fi
say "ready"
