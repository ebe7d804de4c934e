#!/usr/bin/env bash
# Builds the libraries the browser build of Kreiselsturm links (static, WebAssembly) from Debian's
# own source packages with Debian's emscripten, into a cache outside the clone, and prints that
# prefix as its last line. The cache is keyed by the pinned source versions, the compiler and the
# build recipe, so a second run only checks and prints.
#   KREISELSTURM_CACHE  cache folder (default ~/.cache/kreiselsturm)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# SDL2's configure runs some 300 checks that each link with emcc (a second apiece): their answers
# for this emscripten are kept in the repository and handed in, so it configures in seconds.
sdl_checks=$here/cmake/web-sdl2-checks.cmake
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}

PINNED=(
  libsdl2=2.26.5+dfsg-1
  freetype=2.12.1+dfsg-5+deb12u4
  libsdl2-ttf=2.20.1+dfsg-2
  giflib=5.2.1-2.5+deb12u1
  libjpeg-turbo=1:2.1.5-2
)

cache=${KREISELSTURM_CACHE:-$HOME/.cache/kreiselsturm}
compiler_id=$(emcc --version | sed -n 1p)  # sed reads it all: emcc fails on a closed pipe
key=$( { printf '%s\n' "${PINNED[@]}" "$compiler_id"; cat "$0" "$here/scripts/debian-sources.sh" "$sdl_checks"; } | sha256sum | cut -c1-16)
prefix=$cache/web-$key
jobs=${JOBS:-$(nproc)}

echo "WebAssembly libraries (Debian source packages):" >&2
printf '  %s\n' "${PINNED[@]}" >&2
echo "  compiler: $compiler_id" >&2
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

. "$here/scripts/debian-sources.sh"
debian_sources_init
build_root=$prefix.build
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=

# Configures and builds one CMake project with emscripten's toolchain; installs it unless told not to.
cmake_build() {
  local name=$1 source=$2; shift 2
  emcmake cmake -S "$source" -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >&2
  cmake --build "$build_root/$name" -j"$jobs" ${targets:+--target $targets} >&2
  [ -n "${targets:-}" ] || cmake --install "$build_root/$name" >&2
}

build_sdl2() {
  local source; source=$(unpack "$(pin_of libsdl2)")
  cmake_build sdl2 "$source" -C "$sdl_checks" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
  keep_licence SDL2 "$source"
}
build_libjpeg_turbo() {
  # Its type-size checks come out wrong under emcc, and its install step wants programs we do
  # not build: only the static library, copied with its headers.
  local source; source=$(unpack "$(pin_of libjpeg-turbo)")
  keep_licence libjpeg-turbo "$source"
  targets=jpeg-static cmake_build libjpeg-turbo "$source" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE \
    -DUNSIGNED_LONG=4
  install -D -m 644 "$build_root/libjpeg-turbo/libjpeg.a" "$prefix/lib/libjpeg.a"
  install -m 644 "$source"/{jpeglib.h,jmorecfg.h,jerror.h} "$build_root/libjpeg-turbo/jconfig.h" \
    "$prefix/include/"
}

step sdl2 build_sdl2
step freetype build_freetype
step sdl2_ttf build_sdl2_ttf
step giflib build_giflib
step libjpeg-turbo build_libjpeg_turbo

# Asyncify (cmake/Web.cmake) instruments every function that may be on the stack while the program
# waits; through calls by pointer that could be any function, a third more .wasm. In these
# libraries only SDL's waiting and presenting of a frame (which yields to the browser) wait: the
# rest is listed to be left as it is.
llvm-nm --defined-only "$prefix"/lib/*.a 2>/dev/null | awk '$2 ~ /^[Tt]$/ {print $3}' | sort -u |
  grep -vxE 'SDL_(WaitEvent|WaitEventTimeout|WaitEventTimeout_Device|Delay|RenderPresent|GL_SwapWindow|UpdateWindowSurface|UpdateWindowSurfaceRects)|(GLES2|SW)_RenderPresent|Emscripten_(GLES_SwapWindow|UpdateWindowFramebuffer)' \
  > "$prefix/share/kreiselsturm-asyncify-remove.txt"
printf '%s\n' "${PINNED[@]}" "$compiler_id" > "$prefix/versions.txt"
rm -rf "$build_root"
touch "$prefix/.complete"
echo "$prefix"
