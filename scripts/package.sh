#!/usr/bin/env bash
# Installs what the project needs, builds it in the normal build folder (build/) and makes the
# Debian package quillmere_<version>_amd64.deb from that build with CPack.
#   scripts/package.sh [--werror]   (options are passed to scripts/build.sh)
# Progress goes to standard error; the package's path is printed on the last line.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh >&2
build_dir=$(./scripts/build.sh "$@" | tail -n 1)
echo "package.sh: packaging" >&2
cpack --config "$build_dir/CPackConfig.cmake" >&2
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build_dir/CPackConfig.cmake")
package="$PWD/$build_dir/packages/quillmere_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || { echo "package.sh: $package was not made" >&2; exit 1; }
echo "$package"
