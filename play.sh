#!/usr/bin/env bash
# Sets everything up, builds Kreiselsturm and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKREISELSTURM_TESTS=OFF
cmake --build build -j"$(nproc)" --target Kreiselsturm
exec build/Kreiselsturm/Kreiselsturm
