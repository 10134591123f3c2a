#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, benchmark and run its demo.
# Idempotent and non-interactive: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang clang-format clang-tidy libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libsqlite3-dev sqlite3 libpugixml-dev libhidapi-dev libudev-dev
  libsystemd-dev libsdbus-c++-dev libsdbus-c++-bin dbus-daemon dbus dbus-bin
  qt6-base-dev qt6-svg-dev qt6-multimedia-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools
  libfftw3-dev xvfb xauth imagemagick pulseaudio pulseaudio-utils libpulse-dev
  systemd scdoc dpkg-dev lintian man-db libnss-wrapper
  umockdev libumockdev-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
