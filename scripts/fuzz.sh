#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
#   scripts/fuzz.sh [seconds per target, default 30]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ not found; skipping"
  exit 0
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQM_BUILD_FUZZ=ON -DQM_BUILD_STUDIO=OFF -DQM_BUILD_BENCH=OFF >/dev/null
mapfile -t targets < <(cmake --build build-fuzz --target help | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\):.*/\1/p' | sort -u)
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz targets"
  exit 0
fi
cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]}"
for t in "${targets[@]}"; do
  exe=$(find build-fuzz/tests/fuzz -type f -name "$t" | head -n 1)
  corpus="build-fuzz/corpus/$t"
  mkdir -p "$corpus"
  echo "== $t for ${seconds}s"
  "$exe" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="build-fuzz/$t-" \
    "$corpus" 2>&1 | tail -n 5
done
