#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test.
#   scripts/test.sh [--sanitize] [--werror]   (options are passed to scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=$(./scripts/build.sh "$@" | tail -n 1)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300
