#!/usr/bin/env bash
# Builds the Windows libraries Kreiselsturm links (all static) from Debian's own source packages
# with the MinGW-w64 posix toolchain, into a cache outside the clone, and prints that prefix as
# its last line. The cache is keyed by the pinned source versions, the toolchain and this script,
# so a second run only checks and prints.
#   KREISELSTURM_CACHE  cache folder (default ~/.cache/kreiselsturm)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$here/cmake/mingw-w64-x86_64.cmake

# Exactly what we build: Debian bookworm source package = version.
PINNED=(
  libsdl2=2.26.5+dfsg-1
  freetype=2.12.1+dfsg-5+deb12u4
  libsdl2-ttf=2.20.1+dfsg-2
  giflib=5.2.1-2.5+deb12u1
  libjpeg-turbo=1:2.1.5-2
  curl=7.88.1-10+deb12u15
  googletest=1.12.1-0.2
  cpp-httplib=0.11.4+ds-1+deb12u1
  libsodium=1.0.18-1+deb12u1
)

cache=${KREISELSTURM_CACHE:-$HOME/.cache/kreiselsturm}
compiler_id=$(x86_64-w64-mingw32-g++-posix --version | head -1)
key=$( { printf '%s\n' "${PINNED[@]}" "$compiler_id"; cat "$0" "$here/scripts/debian-sources.sh" "$toolchain"; } | sha256sum | cut -c1-16)
prefix=$cache/win64-$key
jobs=${JOBS:-$(nproc)}

echo "Windows libraries (Debian source packages):" >&2
printf '  %s\n' "${PINNED[@]}" >&2
echo "  toolchain: $compiler_id" >&2
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

. "$here/scripts/debian-sources.sh"
debian_sources_init
build_root=$prefix.build
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=

# Configures, builds and installs one CMake project into the prefix.
cmake_build() {
  local name=$1 source=$2; shift 2
  cmake -S "$source" -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >&2
  cmake --build "$build_root/$name" -j"$jobs" >&2
  cmake --install "$build_root/$name" >&2
}

build_sdl2() {
  local source; source=$(unpack "$(pin_of libsdl2)")
  cmake_build sdl2 "$source" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
  keep_licence SDL2 "$source"
}
build_libjpeg_turbo() {
  local source; source=$(unpack "$(pin_of libjpeg-turbo)")
  keep_licence libjpeg-turbo "$source"
  cmake_build libjpeg-turbo "$source" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF
}
build_curl() {
  local source; source=$(unpack "$(pin_of curl)")
  keep_licence curl "$source"
  cmake_build curl "$source" -DHTTP_ONLY=ON -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF \
    -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF -DCURL_USE_LIBSSH2=OFF \
    -DCURL_DISABLE_LDAP=ON -DENABLE_MANUAL=OFF -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF
}
build_googletest() {
  cmake_build googletest "$(unpack "$(pin_of googletest)")" -DBUILD_GMOCK=OFF
}
build_cpp_httplib() {
  # Header only (the tests' loopback server); Debian's Linux package ships it split and compiled.
  local source; source=$(unpack "$(pin_of cpp-httplib)")
  install -D -m 644 "$source/httplib.h" "$prefix/include/httplib.h"
}
build_libsodium() {
  # The update signatures. Debian's tarball has no configure script: autoreconf makes one, in a
  # copy so the unpacked source stays as it came. Minimal keeps Ed25519, BLAKE2b, SHA-256, base64.
  local source; source=$(unpack "$(pin_of libsodium)")
  keep_licence libsodium "$source"
  local build=$build_root/libsodium
  rm -rf "$build"
  mkdir -p "$build_root"
  cp -a "$source" "$build"
  (cd "$build" && autoreconf -fi &&
    ./configure --host=x86_64-w64-mingw32 CC=x86_64-w64-mingw32-gcc-posix --prefix="$prefix" \
      --disable-shared --enable-static --enable-minimal &&
    make -j"$jobs" && make install) >&2
}

step sdl2 build_sdl2
step freetype build_freetype
step sdl2_ttf build_sdl2_ttf
step giflib build_giflib
step libjpeg-turbo build_libjpeg_turbo
step curl build_curl
step googletest build_googletest
step cpp-httplib build_cpp_httplib
step libsodium build_libsodium

# The MinGW-w64 runtime (winpthreads, the C++ runtime) is linked in too.
install -m 644 /usr/share/doc/mingw-w64-common/copyright "$prefix/share/kreiselsturm-licenses/mingw-w64.txt"
install -m 644 /usr/share/doc/gcc-mingw-w64-base/copyright "$prefix/share/kreiselsturm-licenses/gcc-runtime.txt"
printf '%s\n' "${PINNED[@]}" "$compiler_id" > "$prefix/versions.txt"
rm -rf "$build_root"
touch "$prefix/.complete"
echo "$prefix"
