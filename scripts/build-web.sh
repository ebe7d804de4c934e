#!/usr/bin/env bash
# Builds Kreiselsturm for the browser on Debian: build-web/Kreiselsturm/ is the page (index.html,
# Kreiselsturm.js, .wasm and .data with the pictures and the font, the licences), ready for any
# static web server, and build-web/Kreiselsturm-<version>-web.zip holds that folder.
# The libraries come from scripts/build-web-deps.sh (cached after the first run).
# Further arguments go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
# emscripten, and Chromium with python3-websocket for the page's tests (tests/web/).
scripts/install-deps.sh cmake ninja-build pkg-config dpkg-dev emscripten chromium python3-websocket python3-pil
# Debian's emscripten needs Debian's node modules when /usr/bin/node is not Debian's own build.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
prefix=$(scripts/build-web-deps.sh | tail -n 1)
# A build tree made against other libraries would keep finding them: start it afresh.
if [ -f build-web/CMakeCache.txt ] && ! grep -qF "SDL2_DIR:PATH=$prefix/" build-web/CMakeCache.txt; then
  rm -rf build-web
fi
# Configured once (or when given arguments): configuring writes generated sources anew, which
# would link the program again; the build itself configures again when CMakeLists.txt changes.
[ -f build-web/build.ninja ] && [ $# -eq 0 ] ||
  emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DKREISELSTURM_TESTS=OFF "$@" >/dev/null
# Asyncify names every listed function the optimiser has inlined or dropped: not worth reading.
cmake --build build-web -j"$(nproc)" 2>&1 | { grep -v '^warning: Asyncify removelist contained a non-existing' || true; }
(cd build-web && cpack -C Release >/dev/null)
ls -l build-web/Kreiselsturm/Kreiselsturm.{js,wasm,data} build-web/Kreiselsturm-*-web.zip
