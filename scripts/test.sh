#!/usr/bin/env bash
# Installs what the project needs, builds it and runs every test.
#   scripts/test.sh [--sanitize] [--werror]   (options are passed to scripts/build.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build_dir=$(./scripts/build.sh "$@" | tail -n 1)
# The soak test (a minute of load) runs in the plain build only: under the sanitizers it would
# take its minute again and its memory bound does not hold.
ctest_args=()
case " $* " in
  *" --sanitize "*) ctest_args+=(--label-exclude soak) ;;
esac
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure --parallel "$(nproc)" --timeout 300 "${ctest_args[@]}"
