#!/usr/bin/env bash
# Builds bench/quality, installs the photos it scores (Debian's Plasma
# wallpapers: seven photographs among them) and prints the tables of every
# method and mode, medians over the photos.
# Usage: bench/quality.sh [build folder]   (default: build; run as root to install)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if ! dpkg-query -W -f='${db:Status-Abbrev}' plasma-workspace-wallpapers 2>/dev/null | grep -q '^ii'; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends plasma-workspace-wallpapers
fi
[[ -d "$build" ]] || cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build" -j2 --target quality
photos=()
for name in BytheWater ColorfulCups EveningGlow FallenLeaf Kite OneStandsOut Path; do
  dir=/usr/share/wallpapers/$name/contents/images
  photo=$dir/1920x1080.jpg
  [[ -f "$photo" ]] || photo=$(ls "$dir"/*.jpg | tail -n 1)
  photos+=("$photo")
done
QT_QPA_PLATFORM=offscreen "$build/bench/quality" "${photos[@]}"
