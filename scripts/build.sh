#!/usr/bin/env bash
# Configures and builds the project with CMake and Ninja.
#   scripts/build.sh [--sanitize | --tsan] [--werror] [--no-studio] [--build-dir DIR] [--type Debug|Release|RelWithDebInfo]
# Default build folder: build/ (build-asan/ with --sanitize, build-tsan/ with --tsan; --tsan builds
# only the service's tests, under ThreadSanitizer; neither sanitizer build makes the benchmarks,
# whose figures would mean nothing there). The build's progress goes to standard error;
# standard output gets only the build folder, on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=""
build_type="RelWithDebInfo"
args=()
sanitize=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) sanitize=1; args+=(-DQM_SANITIZE=ON -DQM_BUILD_BENCH=OFF) ;;
    --tsan) sanitize=2; args+=(-DQM_TSAN=ON -DQM_BUILD_STUDIO=OFF -DQM_BUILD_BENCH=OFF)
            targets=(--target test_service_log test_service_core) ;;
    --werror) args+=(-DQM_WARNINGS_AS_ERRORS=ON) ;;
    --no-studio) args+=(-DQM_BUILD_STUDIO=OFF) ;;
    --fuzz) args+=(-DQM_BUILD_FUZZ=ON) ;;
    --build-dir) build_dir="$2"; shift ;;
    --type) build_type="$2"; shift ;;
    *) echo "build.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
if [ -z "$build_dir" ]; then
  case $sanitize in
    1) build_dir=build-asan; build_type=Debug ;;
    2) build_dir=build-tsan ;;
    *) build_dir=build ;;
  esac
fi

# ccache, when installed, makes rebuilds and other checkouts of the tree cheap.
if command -v ccache >/dev/null 2>&1; then
  args+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
fi

echo "build.sh: configuring $build_dir" >&2
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" "${args[@]}" >/dev/null
echo "build.sh: building in $build_dir (a first build takes several minutes)" >&2
cmake --build "$build_dir" --parallel "$(nproc)" "${targets[@]}" >&2
echo "$build_dir"
