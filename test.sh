#!/usr/bin/env bash
# Sets everything up, builds Kreiselsturm and runs every test: unit and game tests, the
# real-window tests under Xvfb, then the unit and game tests again, and ten minutes of play, with
# AddressSanitizer and UndefinedBehaviorSanitizer, every fuzz target once over its seed corpus and
# known crash files; then the Windows program, cross-built, with its tests under Wine; then the
# browser build in headless Chromium.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-test -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build-test -j"$jobs"
(cd build-test && ctest --output-on-failure -j"$jobs" -L unit)
(cd build-test && ctest --output-on-failure -L e2e)

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKREISELSTURM_SANITIZE=ON
cmake --build build-asan -j"$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs" -L 'unit|memory')

tests/fuzz/run.sh

scripts/build-windows.sh -DKREISELSTURM_TESTS=ON
# A Wine start now and then ends at once with no output: such a test gets one more start.
(cd build-win && ctest --output-on-failure -j"$jobs" -L unit --repeat until-pass:2)
(cd build-win && ctest --output-on-failure -L e2e)

# --- The browser build, and the page played in headless Chromium (tests/web/) ---
scripts/build-web.sh
/usr/bin/python3 tests/web/web_test.py build-web/Kreiselsturm

# The fault-planting tool still works: a small fixed sample, in a build tree of its own.
python3 tools/mutate.py src/messages --sample 4 --seed 1 --jobs "$jobs" --threshold 75
