#!/usr/bin/env bash
# Builds in release mode and runs every benchmark program (or the ones named: scripts/bench.sh bench_log).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=$(./scripts/build.sh --build-dir build-release --type Release | tail -n 1)
if [ $# -gt 0 ]; then programs=("$@"); else
  mapfile -t programs < <(find "$build_dir/bench" -maxdepth 2 -type f -executable -name 'bench_*' -printf '%f\n' | sort)
fi
for p in "${programs[@]}"; do
  path=$(find "$build_dir/bench" -maxdepth 2 -type f -name "$p" | head -n 1)
  echo "== $p"
  "$path" --benchmark_counters_tabular=true
done
