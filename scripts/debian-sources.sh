# Shared by the scripts that build libraries from Debian's own source packages (sourced, not run):
# a private apt state with deb-src entries made from this machine's own apt sources, so the
# system's package lists stay as they are, and the steps every library build takes.
# The caller sets: cache (folder), prefix (install prefix), PINNED (package=version ...).

# Writes the private sources and updates their lists; checks every pin is still offered.
debian_sources_init() {
  apt_dir=$cache/apt
  mkdir -p "$apt_dir/parts" "$apt_dir/lists/partial" "$apt_dir/archives/partial" "$apt_dir/cache"
  rm -f "$apt_dir/parts/"*
  : > "$apt_dir/sources.list"
  local f
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
  apt-get -q "${apt_opts[@]}" update >&2
  local pin
  for pin in "${PINNED[@]}"; do
    apt-cache "${apt_opts[@]}" showsrc --only-source "${pin%%=*}" 2>/dev/null | grep -x "Version: ${pin#*=}" >/dev/null || {
      echo "The archive no longer offers $pin; it has:" >&2
      apt-cache "${apt_opts[@]}" showsrc --only-source "${pin%%=*}" 2>/dev/null | grep '^Version' >&2
      exit 1
    }
  done
  src_dir=$cache/src
  mkdir -p "$src_dir" "$prefix"
}

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

# giflib ships only a Makefile: a small CMake project over its library sources.
add_giflib_cmake() {
  cat > "$1/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.16)
project(giflib C)
add_library(gif STATIC dgif_lib.c egif_lib.c gifalloc.c gif_err.c gif_font.c gif_hash.c
  openbsd-reallocarray.c quantize.c)
install(TARGETS gif ARCHIVE DESTINATION lib)
install(FILES gif_lib.h DESTINATION include)
CMAKE
}

# Libraries built alike for Windows and the browser; cmake_build is each script's own.
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
  local source; source=$(unpack "$(pin_of giflib)")
  add_giflib_cmake "$source"
  cmake_build giflib "$source"
  keep_licence giflib "$source"
}
