#!/usr/bin/env bash
# Installs everything the build and the tests need, from Debian's packages and the
# npm registry only. Idempotent: a second run only checks and takes seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
mkdir -p "$deps"
log="$deps/bootstrap.log"
steps="$deps/logs"
mkdir -p "$steps"
# Each line says how far into the run it is, so a slow step shows in any log of it.
say() { echo "bootstrap: [${SECONDS} s] $*"; }
# The last lines of a step's log, where its error is; on the error output, as steps run
# inside command substitutions too.
show_tail() {
  say "the last 40 lines of $1:" >&2
  tail -n 40 "$1" | sed 's/^/  | /' >&2
}
# Runs one step, its output in a log of its own ($steps/NAME.log, added to the whole
# log once the step is over, so the chains running side by side do not mix lines). When
# it fails it says which step and shows the end of that log, and returns its code.
step() {
  local name=$1 rc=0
  shift
  "$@" >"$steps/$name.log" 2>&1 || rc=$?
  cat "$steps/$name.log" >>"$log"
  if [ $rc -ne 0 ]; then
    say "step $name failed (exit code $rc): $*" >&2
    show_tail "$steps/$name.log"
  fi
  return $rc
}

packages=(wine wine32 wine64 xvfb xauth x11-utils xdotool imagemagick g++-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build nasm libgtest-dev libjpeg62-turbo-dev dpkg-dev
  libwebp-dev libtiff-dev webp libtiff-tools locales meson libheif-dev libheif-examples libavif-bin
  zlib1g-dev libz-mingw-w64-dev xserver-xorg-core xserver-xorg-video-dummy
  libgl1-mesa-dri:i386 libglx-mesa0:i386 libgl1:i386 libxcomposite1:i386 libxrender1:i386
  libxrandr2:i386 libxi6:i386 libxinerama1:i386 libxcursor1:i386 libxfixes3:i386
  libfreetype6:i386 libfontconfig1:i386
  libgl1-mesa-dri libglx-mesa0 libgl1 libxcomposite1 libxrender1 libxrandr2 libxi6
  libxinerama1 libxcursor1 libxfixes3 libfreetype6 libfontconfig1)

apt_options=()
apt_install() {
  DEBIAN_FRONTEND=noninteractive apt-get "${apt_options[@]}" install -y -q "$@" >"$steps/apt-install.log" 2>&1
  local rc=$?
  cat "$steps/apt-install.log" >>"$log"
  return $rc
}
# A deb822 sources file without the suites named in $1 (stanzas left with no suite go).
drop_suites() {
  awk -v failed=" $1 " '
    function flush() { if (stanza != "" && suites != "") printf "%s\n", stanza; stanza = ""; suites = "x" }
    BEGIN { suites = "x" }
    /^[[:space:]]*$/ { flush(); next }
    /^Suites:/ {
      line = "Suites:"; suites = ""
      for (i = 2; i <= NF; i++) if (!index(failed, " " $i " ")) { line = line " " $i; suites = suites $i }
      stanza = stanza line "\n"; next
    }
    { stanza = stanza $0 "\n" }
    END { flush() }'
}
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
  # with whatever indexes arrived.
  update_ok=0
  previous=""
  for attempt in 1 2 3; do
    : > "$deps/apt-update.log"
    apt-get update -q >>"$deps/apt-update.log" 2>&1 && { update_ok=1; break; }
    say "apt-get update failed (attempt $attempt of 3); its last lines:"
    tail -n 10 "$deps/apt-update.log" | sed 's/^/  | /'
    # The same indexes failing twice is a mirror serving them broken, not the network:
    # waiting longer would not mend it (the install below goes on without them).
    now=$(grep -o 'Failed to fetch [^ ]*' "$deps/apt-update.log" | sort -u)
    [ -n "$now" ] && [ "$now" = "$previous" ] && break
    previous=$now
    [ $attempt = 3 ] || sleep $((attempt * 10))
  done
  cat "$deps/apt-update.log" >>"$log"
  if [ ${#missing[@]} -gt 0 ] && ! apt_install "${missing[@]}"; then
    # With one suite's index of one architecture missing (a security suite's i386 list,
    # say), the 32-bit copies of libraries updated there no longer match their 64-bit
    # versions and nothing 32-bit installs. Without the suites that failed, both
    # architectures come from the same indexes.
    failed=$(grep -o 'Failed to fetch [^ ]*/dists/[^/ ]*/' "$deps/apt-update.log" |
             sed -e 's|.*/dists/||' -e 's|/$||' | sort -u | tr '\n' ' ')
    [ $update_ok = 0 ] && [ -n "$failed" ] ||
      { say "package install failed" >&2; show_tail "$steps/apt-install.log"; exit 1; }
    say "installing without the suites whose indexes failed: $failed"
    parts="$deps/apt-sources"
    rm -rf "$parts"; mkdir -p "$parts"
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      drop_suites "$failed" < "$f" > "$parts/$(basename "$f")"
    done
    for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
      [ -f "$f" ] || continue
      awk -v failed=" $failed " '{ keep = 1; for (i = 3; i <= NF; i++) if (index(failed, " " $i " ")) keep = 0 } keep' \
        "$f" > "$parts/$(basename "$f").list"
    done
    apt_options=(-o "Dir::Etc::sourceparts=$parts" -o Dir::Etc::sourcelist=/dev/null)
    apt-get "${apt_options[@]}" update -q >>"$log" 2>&1 || true
    apt_install "${missing[@]}" ||
      { say "package install failed" >&2; show_tail "$steps/apt-install.log"; exit 1; }
  fi
fi

# 32-bit programs under emulation where the kernel refuses them (before the Wine prefix is
# made, so that the prefix gets its 32-bit side).
source "$root/scripts/i386-emulation.sh"
prismora_i386_emulation "$deps" "$log" || say "WARNING: 32-bit Windows programs cannot run here"

# One CMake project for $arch, installed into $prefix (both the caller's): configured with
# the cross toolchain and the options given (step NAME-ARCH-configure), then built and
# installed (NAME-ARCH-build, NAME-ARCH-install).
cmake_configure() {  # NAME SOURCE BUILD-DIR [option...]
  local name=$1 src=$2 build=$3
  shift 3
  step "$name-$arch-configure" cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
}
cmake_build_install() {  # NAME BUILD-DIR
  step "$1-$arch-build" cmake --build "$2" -j"$(nproc)"
  step "$1-$arch-install" cmake --install "$2"
}
# libjpeg-turbo, static, for Windows: for both test trees (i686 and x86_64) and the
# shipped i686 release tree.
cross_build_libjpeg() {
  local arch=$1 prefix="$deps/$1"
  mkdir -p "$prefix"
  if [ ! -f "$prefix/lib/libjpeg.a" ]; then
    say "cross-building libjpeg-turbo ($arch)"
    find_jpeg_source
    cmake_configure jpeg "$jpeg_src" "$deps/src/jpeg/build-$arch" \
      -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
      -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
    cmake_build_install jpeg "$deps/src/jpeg/build-$arch"
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
    (cd "$deps/src/jpeg" && step jpeg-source apt-get source -q libjpeg-turbo)
    jpeg_src=$(find "$deps/src/jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo*' | head -n1)
  fi
  [ -f "$jpeg_src/jpegint.h" ] || { echo "bootstrap: libjpeg-turbo's source could not be fetched" >&2; exit 1; }
}
# GoogleTest for Windows, from the source Debian's libgtest-dev installs (no test uses
# GoogleMock).
cross_build_gtest() {
  local arch=$1 prefix="$deps/$1"
  [ ! -f "$prefix/lib/libgtest.a" ] || return 0
  say "cross-building GoogleTest ($arch)"
  rm -rf "$deps/src/gtest-build-$arch"
  cmake_configure gtest /usr/src/googletest "$deps/src/gtest-build-$arch" \
    -Dgtest_disable_pthreads=OFF -DBUILD_GMOCK=OFF
  cmake_build_install gtest "$deps/src/gtest-build-$arch"
}
# The source tree of Debian's source package $1 (the folder whose name starts with $2)
# under $deps/src/$1, fetched once; printed. A tree counts as unpacked when it holds its
# build file $3 (CMakeLists.txt unless named).
source_tree() {
  local package=$1 stem=$2 marker=${3:-CMakeLists.txt} dir
  dir=$(find "$deps/src/$package" -maxdepth 1 -mindepth 1 -type d -name "$stem-*" 2>/dev/null | head -n1 || true)
  if [ -z "$dir" ] || [ ! -f "$dir/$marker" ]; then
    rm -rf "$deps/src/$package"; mkdir -p "$deps/src/$package"
    (cd "$deps/src/$package" && step "$package-source" apt-get source -q "$package")
    dir=$(find "$deps/src/$package" -maxdepth 1 -mindepth 1 -type d -name "$stem-*" | head -n1)
  fi
  [ -f "$dir/$marker" ] || { echo "bootstrap: $package's source could not be fetched" >&2; exit 1; }
  echo "$dir"
}
# libwebp, static: the decoder and the demuxer (first frame of an animation, EXIF) for the
# builder. Its build always makes the encoder library too (the Windows tests make their
# WebP files with it); every program is switched off.
cross_build_libwebp() {
  local arch=$1 prefix="$deps/$1" src
  [ ! -f "$prefix/lib/libwebpdemux.a" ] || return 0
  say "cross-building libwebp ($arch)"
  src=$(source_tree libwebp libwebp)
  rm -rf "$deps/src/libwebp/build-$arch"
  cmake_configure libwebp "$src" "$deps/src/libwebp/build-$arch" \
    -DBUILD_SHARED_LIBS=OFF -DWEBP_BUILD_ANIM_UTILS=OFF \
    -DWEBP_BUILD_CWEBP=OFF -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF \
    -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF -DWEBP_BUILD_WEBPINFO=OFF \
    -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF -DWEBP_BUILD_WEBP_JS=OFF \
    -DWEBP_USE_THREAD=OFF
  cmake_build_install libwebp "$deps/src/libwebp/build-$arch"
}
# libtiff, static, with the codecs its own source holds (LZW, PackBits, CCITT fax, ...),
# JPEG through the libjpeg-turbo above and Deflate through MinGW's static zlib; none of
# the optional outside codecs, tools, tests or documents.
cross_build_libtiff() {
  local arch=$1 prefix="$deps/$1" src
  [ ! -f "$prefix/lib/libtiff.a" ] || return 0
  say "cross-building libtiff ($arch)"
  src=$(source_tree tiff tiff)
  rm -rf "$deps/src/tiff/build-$arch"
  cmake_configure tiff "$src" "$deps/src/tiff/build-$arch" \
    -DBUILD_SHARED_LIBS=OFF -Dtiff-tools=OFF \
    -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dcxx=OFF -Djpeg=ON -Dold-jpeg=ON \
    -Dzlib=ON -DZLIB_USE_STATIC_LIBS=ON -Dpixarlog=OFF -Dlibdeflate=OFF -Djbig=OFF -Dlerc=OFF \
    -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Dtiff-opengl=OFF -Dsphinx=OFF
  cmake_build_install tiff "$deps/src/tiff/build-$arch"
}
# The HEIF reader (HEIC and AVIF photos): libheif with libde265 for HEVC and dav1d for AV1.
# libheif and libde265 are under the LGPL, so they are built as DLLs that ship beside the
# builder (a user may put in their own build); each is linked with the compiler's
# runtime inside, so it needs no DLL beyond Windows' own. dav1d (BSD) goes static into
# libheif's DLL. Only the decoding libraries: no tools, tests, examples or encoders.
# A Meson cross file for dav1d, written from the same MinGW toolchain the CMake files name.
meson_cross_file() {
  local arch=$1 file="$deps/src/dav1d/cross-$1.meson" family=$1
  [ "$arch" = i686 ] && family=x86
  local triple=$arch-w64-mingw32
  mkdir -p "$deps/src/dav1d"
  cat > "$file" <<CROSS
[binaries]
c = '$triple-gcc-posix'
cpp = '$triple-g++-posix'
ar = '$triple-ar'
strip = '$triple-strip'
windres = '$triple-windres'
nasm = 'nasm'

[built-in options]
c_args = [$( [ "$arch" = i686 ] && echo "'-msse2', '-mfpmath=sse'" )]

[properties]
needs_exe_wrapper = true

[host_machine]
system = 'windows'
cpu_family = '$family'
cpu = '$arch'
endian = 'little'
CROSS
  echo "$file"
}
# dav1d, static: 8-bit and 10/12-bit pictures (AVIF photos come in both). The shipped
# 32-bit build has its assembly; the 64-bit one serves only the tests, and its AVX2 and
# AVX-512 assembly alone took the assembler over three minutes, so it is plain C.
cross_build_dav1d() {
  local arch=$1 prefix="$deps/$1" src cross asm=true
  [ ! -f "$prefix/lib/libdav1d.a" ] || return 0
  say "cross-building dav1d ($arch)"
  [ "$arch" = x86_64 ] && asm=false
  src=$(source_tree dav1d dav1d meson.build)
  cross=$(meson_cross_file "$arch")
  rm -rf "$deps/src/dav1d/build-$arch"
  step "dav1d-$arch-configure" meson setup "$deps/src/dav1d/build-$arch" "$src" --cross-file "$cross" --prefix "$prefix" \
    --libdir lib --buildtype release --default-library static -Denable_asm=$asm -Denable_tools=false \
    -Denable_tests=false -Denable_examples=false -Denable_docs=false -Dbitdepths=8,16 \
    -Dlogging=false -Dxxhash_muxer=disabled
  step "dav1d-$arch-build-install" ninja -C "$deps/src/dav1d/build-$arch" -j"$(nproc)" install
}
# libde265 as a DLL: the decoder library only (no dec265, encoder program or viewer).
cross_build_libde265() {
  local arch=$1 prefix="$deps/$1" src
  [ ! -f "$prefix/bin/libde265.dll" ] || return 0
  say "cross-building libde265 ($arch)"
  src=$(source_tree libde265 libde265)
  rm -rf "$deps/src/libde265/build-$arch"
  cmake_configure libde265 "$src" "$deps/src/libde265/build-$arch" \
    -DBUILD_SHARED_LIBS=ON -DENABLE_SDL=OFF \
    -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF \
    -DCMAKE_SHARED_LINKER_FLAGS="-static -static-libgcc -static-libstdc++ -s -Wl,--exclude-libs,ALL"
  cmake_build_install libde265 "$deps/src/libde265/build-$arch"
}
# libheif as a DLL with libde265 and dav1d built in as decoders; no encoders, plugin
# loading (a DLL that loads whatever lies in a folder), examples or viewer modules. The
# decoders are named by their files; pkg-config sees only this prefix, so nothing of the
# build machine's (its gdk-pixbuf, say) is picked up.
cross_build_libheif() {
  local arch=$1 prefix="$deps/$1" src
  [ ! -f "$prefix/bin/libheif.dll" ] || return 0
  say "cross-building libheif ($arch)"
  src=$(source_tree libheif libheif)
  rm -rf "$deps/src/libheif/build-$arch"
  step "libheif-$arch-configure" env PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
    cmake -S "$src" -B "$deps/src/libheif/build-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=ON -DWITH_EXAMPLES=OFF \
    -DENABLE_PLUGIN_LOADING=OFF -DWITH_LIBDE265=ON -DWITH_LIBDE265_PLUGIN=OFF \
    -DWITH_DAV1D=ON -DWITH_DAV1D_PLUGIN=OFF -DWITH_X265=OFF -DWITH_AOM_ENCODER=OFF \
    -DWITH_AOM_DECODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF \
    -DWITH_DEFLATE_HEADER_COMPRESSION=OFF -DLIBDE265_INCLUDE_DIR="$prefix/include" \
    -DLIBDE265_LIBRARY="$prefix/lib/libde265.dll.a" -DDAV1D_INCLUDE_DIR="$prefix/include" \
    -DDAV1D_LIBRARY="$prefix/lib/libdav1d.a" \
    -DCMAKE_SHARED_LINKER_FLAGS="-static -static-libgcc -static-libstdc++ -s -Wl,--exclude-libs,ALL"
  local cache="$deps/src/libheif/build-$arch/CMakeCache.txt"
  grep -q "^LIBDE265_LIBRARY:FILEPATH=$prefix/" "$cache" && grep -q "^DAV1D_LIBRARY:FILEPATH=$prefix/" "$cache" ||
    { say "libheif ($arch) did not find this prefix's libde265 and dav1d" >&2
      show_tail "$steps/libheif-$arch-configure.log"; exit 1; }
  cmake_build_install libheif "$deps/src/libheif/build-$arch"
}
# The two architectures' chains run side by side: each library's configure step is a
# long run of one-file compiler checks, and the other chain's compiling fills the second
# core meanwhile. Their sources are fetched first, once, so the chains never fetch one
# together.
cross_build_chain() {
  local arch=$1
  cross_build_libjpeg "$arch"
  cross_build_gtest "$arch"
  cross_build_libwebp "$arch"
  cross_build_libtiff "$arch"
  cross_build_dav1d "$arch"
  cross_build_libde265 "$arch"
  cross_build_libheif "$arch"
}
if [ ! -f "$deps/i686/bin/libheif.dll" ] || [ ! -f "$deps/x86_64/bin/libheif.dll" ] ||
   [ ! -f "$deps/i686/lib/libtiff.a" ] || [ ! -f "$deps/x86_64/lib/libtiff.a" ]; then
  find_jpeg_source
  for package in libwebp:libwebp tiff:tiff libde265:libde265 libheif:libheif; do
    source_tree "${package%%:*}" "${package#*:}" >/dev/null
  done
  source_tree dav1d dav1d meson.build >/dev/null
fi
chain_pids=()
for arch in i686 x86_64; do
  cross_build_chain "$arch" &
  chain_pids+=($!)
done
for pid in "${chain_pids[@]}"; do
  wait "$pid" || { say "a cross-build failed (its step, above)"; exit 1; }
done

# .x scenes from several exporters (text, binary, compressed, skinned, animated), which
# Debian's assimp source package carries for its own reader's tests; the scene importer's
# tests read them (tests/scenes). Only the test models are unpacked, into .deps.
assimp_models="$deps/src/assimp/models"
if [ ! -d "$assimp_models/X" ]; then
  say "fetching the .x test scenes (assimp's source package)"
  rm -rf "$deps/src/assimp"; mkdir -p "$deps/src/assimp"
  (cd "$deps/src/assimp" && apt-get source --download-only -q assimp >>"$log" 2>&1) || true
  assimp_orig=$(find "$deps/src/assimp" -maxdepth 1 -name 'assimp_*.orig.tar.*' | head -n1)
  if [ -n "$assimp_orig" ]; then
    mkdir -p "$assimp_models"
    tar -xf "$assimp_orig" -C "$assimp_models" --strip-components=3 --wildcards \
      '*/test/models/X/*' '*/test/models/invalid/*.x' >>"$log" 2>&1 || true
    rm -f "$deps/src/assimp"/assimp_*
  fi
  [ -d "$assimp_models/X" ] || say "WARNING: the .x test scenes could not be fetched; the scene tests will fail"
fi

# The pictures other projects publish for testing their own readers (PNG, TIFF and GIF
# suites; libjpeg-turbo's are in its source above): the reader corpus tests run every
# photo reader over them. Only fetched and unpacked, never built; nothing of them goes
# into the repository.
fetch_picture_suite() {
  local name=$1 dir="$deps/src/$1"
  [ -f "$dir/.unpacked" ] && return 0
  # A source tree fetched above for a cross-build serves as well.
  if find "$dir" -mindepth 2 -maxdepth 2 -type d -name debian 2>/dev/null | grep -q .; then
    touch "$dir/.unpacked"; return 0
  fi
  say "fetching $name's source (its test pictures)"
  rm -rf "$dir"; mkdir -p "$dir"
  (cd "$dir" && step "$name-source" apt-get source -q "$name") ||
    { echo "bootstrap: $name's source could not be fetched (above)" >&2; exit 1; }
  touch "$dir/.unpacked"
}
for suite in libpng1.6 tiff giflib; do fetch_picture_suite "$suite"; done
find_jpeg_source

# The Inno Setup command-line compiler (5.6.1).
if [ ! -f "$deps/innosetup/node_modules/innosetup/bin/ISCC.exe" ]; then
  say "installing the Inno Setup compiler"
  mkdir -p "$deps/innosetup"
  (cd "$deps/innosetup" && step innosetup-install npm install --no-audit --no-fund --silent innosetup@5.6.1)
fi
# Inno Setup 6, which the installer tests build with as well.
if [ ! -f "$deps/innosetup6/node_modules/innosetup/bin/ISCC.exe" ]; then
  say "installing the Inno Setup 6 compiler"
  mkdir -p "$deps/innosetup6"
  (cd "$deps/innosetup6" && step innosetup6-install npm install --no-audit --no-fund --silent innosetup@6.4.1)
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
  "$WINE" wineboot -i >"$steps/wineboot.log" 2>&1 || true
  cat "$steps/wineboot.log" >>"$log"
  "$WINESERVER" -w || true
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  say "the Wine prefix could not be created" >&2
  [ ! -f "$steps/wineboot.log" ] || show_tail "$steps/wineboot.log"
  exit 1
fi
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
