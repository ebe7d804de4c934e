#!/usr/bin/env bash
# The libFuzzer targets of tests/fuzz, built with clang in build-fuzz (see docs/fuzzing.md).
#   tests/fuzz/run.sh                  every target once over its seed corpus and known crash files
#   tests/fuzz/run.sh TARGET MINUTES   fuzz one target for MINUTES minutes; it keeps what it learns in
#                                      build-fuzz/fuzz-corpus/TARGET, its findings in build-fuzz/findings/TARGET
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
[ $# -eq 0 ] || [ $# -eq 2 ] || { echo "usage: $0 [TARGET MINUTES]" >&2; exit 2; }

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++-14}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKREISELSTURM_FUZZ=ON -DKREISELSTURM_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzz -j"${FUZZ_JOBS:-$(nproc)}"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
# A hang, or a file that takes the memory of the machine, is a finding too.
limits=(-timeout=10 -rss_limit_mb=1024)

# The folders of inputs a target must always survive.
inputs() {
  echo "$here/corpus/$1"
  [ ! -d "$here/crashes/$1" ] || echo "$here/crashes/$1"
  [ "$1" != pictures ] || [ ! -d "$root/tests/data/bad-pictures" ] || echo "$root/tests/data/bad-pictures"
}

if [ $# -eq 2 ]; then
  target=$1
  mapfile -t dirs < <(inputs "$target")
  [ ! -f "$here/$target.dict" ] || limits+=(-dict="$here/$target.dict")
  mkdir -p "$build/fuzz-corpus/$target" "$build/findings/$target"
  exec "$build/tests/fuzz/fuzz_$target" "${limits[@]}" -max_total_time=$(($2 * 60)) -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target/" "$build/fuzz-corpus/$target" "${dirs[@]}"
fi
for source in "$here"/fuzz_*.cpp; do
  target=$(basename "$source" .cpp); target=${target#fuzz_}
  mapfile -t dirs < <(inputs "$target")
  if ! "$build/tests/fuzz/fuzz_$target" "${limits[@]}" -runs=0 "${dirs[@]}" >"$build/fuzz-$target.log" 2>&1; then
    cat "$build/fuzz-$target.log" >&2
    echo "fuzz target $target fails on a known input (${dirs[*]#$root/})" >&2
    exit 1
  fi
  echo "fuzz $target: $(find "${dirs[@]}" -type f | grep -c .) known inputs pass"
done
