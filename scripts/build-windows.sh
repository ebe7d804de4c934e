#!/usr/bin/env bash
# Builds the Windows program on Debian: build-win/Kreiselsturm/ (Kreiselsturm.exe, pictures, font,
# licences) and the zip for players, build-win/Kreiselsturm-<version>-windows-x64.zip.
# The libraries come from scripts/build-windows-deps.sh (cached after the first run).
# Further arguments go to CMake, e.g. -DKREISELSTURM_TESTS=ON (test.sh does that).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
prefix=$(scripts/build-windows-deps.sh | tail -n 1)
cmake -S . -B build-win -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_PREFIX_PATH="$prefix" -DKREISELSTURM_TESTS=OFF "$@"
# The tests run under Wine, their discovery already during the build: make its prefix first.
if grep -q '^KREISELSTURM_TESTS:BOOL=ON' build-win/CMakeCache.txt; then build-win/wine-run.sh cmd /c exit; fi
cmake --build build-win -j"$(nproc)"
(cd build-win && cpack -C Release >/dev/null)
ls -l build-win/Kreiselsturm-*-windows-x64.zip
