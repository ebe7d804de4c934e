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
key=$( { printf '%s\n' "${PINNED[@]}" "$compiler_id"; cat "$0" "$toolchain"; } | sha256sum | cut -c1-16)
prefix=$cache/win64-$key
jobs=${JOBS:-$(nproc)}

echo "Windows libraries (Debian source packages):" >&2
printf '  %s\n' "${PINNED[@]}" >&2
echo "  toolchain: $compiler_id" >&2
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

# A private apt state with deb-src entries made from this machine's own apt sources.
apt_dir=$cache/apt
mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial"
rm -f "$apt_dir/parts/"*
: > "$apt_dir/sources.list"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$apt_dir/parts/$(basename "$f")"
done
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -e "$f" ] || continue
  sed -nE 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/sources.list"
done
apt_opts=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts="$apt_dir/parts"
          -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
          -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)")
mkdir -p "$apt_dir/cache"
apt-get -q "${apt_opts[@]}" update >&2
for pin in "${PINNED[@]}"; do
  apt-cache "${apt_opts[@]}" showsrc --only-source "${pin%%=*}" 2>/dev/null | grep -x "Version: ${pin#*=}" >/dev/null || {
    echo "The archive no longer offers $pin; it has:" >&2
    apt-cache "${apt_opts[@]}" showsrc --only-source "${pin%%=*}" 2>/dev/null | grep '^Version' >&2
    exit 1
  }
done

src_dir=$cache/src
build_root=$prefix.build
mkdir -p "$src_dir" "$prefix"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH=

# Downloads and unpacks package=version (Debian's patches applied); prints the source folder.
unpack() {
  local pin=$1 name=${1%%=*} version=${1#*=}
  local upstream=${version#*:}; upstream=${upstream%-*}
  local dir=$src_dir/$name-$version
  if [ ! -d "$dir" ]; then
    (cd "$src_dir" && apt-get -q "${apt_opts[@]}" source --download-only "$pin" >&2) || {
      echo "Cannot fetch $pin; the archive offers:" >&2
      apt-cache "${apt_opts[@]}" showsrc --only-source "$name" 2>/dev/null | grep '^Version' >&2
      exit 1
    }
    dpkg-source --no-check -x "$src_dir/${name}_${upstream}-${version##*-}.dsc" "$dir.tmp" >&2
    mv "$dir.tmp" "$dir"
  fi
  echo "$dir"
}

# Configures, builds and installs one CMake project into the prefix.
cmake_build() {
  local name=$1 source=$2; shift 2
  cmake -S "$source" -B "$build_root/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF "$@" >&2
  cmake --build "$build_root/$name" -j"$jobs" >&2
  cmake --install "$build_root/$name" >&2
}

# Keeps the licence of a library that goes into the program: Debian's copyright file.
keep_licence() {
  install -D -m 644 "$2/debian/copyright" "$prefix/share/kreiselsturm-licenses/$1.txt"
}

# Builds one library unless an earlier, interrupted run already did.
step() {
  local name=$1; shift
  [ -f "$prefix/.done-$name" ] && return 0
  echo "== building $name" >&2
  local start=$SECONDS
  "$@"
  touch "$prefix/.done-$name"
  echo "== $name: $((SECONDS - start)) s" >&2
}

pin_of() { local p; for p in "${PINNED[@]}"; do [ "${p%%=*}" = "$1" ] && echo "$p"; done; }

build_sdl2() {
  local source; source=$(unpack "$(pin_of libsdl2)")
  cmake_build sdl2 "$source" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
  keep_licence SDL2 "$source"
}
build_freetype() {
  local source; source=$(unpack "$(pin_of freetype)")
  keep_licence FreeType "$source"
  cmake_build freetype "$source" -DFT_DISABLE_ZLIB=TRUE -DFT_DISABLE_BZIP2=TRUE \
    -DFT_DISABLE_PNG=TRUE -DFT_DISABLE_HARFBUZZ=TRUE -DFT_DISABLE_BROTLI=TRUE
}
build_sdl2_ttf() {
  local source; source=$(unpack "$(pin_of libsdl2-ttf)")
  keep_licence SDL2_ttf "$source"
  cmake_build sdl2_ttf "$source" -DSDL2TTF_VENDORED=OFF -DSDL2TTF_HARFBUZZ=OFF \
    -DSDL2TTF_SAMPLES=OFF
}
build_giflib() {
  # giflib ships only a Makefile: a small CMake project over its library sources.
  local source; source=$(unpack "$(pin_of giflib)")
  cat > "$source/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(giflib C)
add_library(gif STATIC dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c
  openbsd-reallocarray.c quantize.c)
install(TARGETS gif ARCHIVE DESTINATION lib)
install(FILES gif_lib.h DESTINATION include)
CMAKE
  cmake_build giflib "$source"
  keep_licence giflib "$source"
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
