#!/usr/bin/env bash
# Packs the 56 screens of the compression figures (the seven photos of
# bench/quality.sh in eight kinds of screen) with both searches, one core,
# and prints each screen's sizes, times and the states the parse weighed a
# byte, then the totals (bench/zx02_screens.cpp).
# Usage: bench/zx02_screens.sh [build folder]   (default: build; run as root to install the photos)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
[[ -d "$build" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target rasterine-convert zx02_screens >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source bench/wallpaper_photos.sh
screens=()
while read -r photo; do
  name=${photo#/usr/share/wallpapers/}
  name=${name%%/*}
  for kind in "${disc_screen_kinds[@]}"; do
    tag=${kind%%:*}
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=offscreen "$build/cli/rasterine-convert" ${kind#*:} -o "$work/$tag-$name" "$photo" >/dev/null
    screens+=("$tag-$name")
  done
done < <(wallpaper_photos)
cd "$work"
taskset -c 1 "$OLDPWD/$build/bench/zx02_screens" "${screens[@]}"
