#!/usr/bin/env bash
# Installs the Debian packages Rasterine needs to build, test and package,
# asking apt only when one of them is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins zlib1g-dev libqt6svg6 fonts-dejavu-core
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
  desktop-file-utils appstream help2man dpkg-dev file
  librsvg2-bin man-db
  valgrind netpbm
)
# Node.js and npm run the BBC Micro emulator the disc tests boot on; one
# installed some other way (with npm of its own) will do as well.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
  [[ "$status" == ii* ]] || missing+=("$package")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
