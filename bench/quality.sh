#!/usr/bin/env bash
# Builds bench/quality, installs the photos it scores (Debian's Plasma
# wallpapers: seven photographs among them) and prints the tables of every
# method and mode, medians over the photos.
# Usage: bench/quality.sh [build folder]   (default: build; run as root to install)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/wallpaper_photos.sh
mapfile -t photos < <(wallpaper_photos)
[[ -d "$build" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target quality
QT_QPA_PLATFORM=offscreen "$build/bench/quality" "${photos[@]}"
