#!/usr/bin/env bash
# Measures on the emulated BBC Micro (jsbeeb, from the emulator tests'
# set-up) how long after Shift+Break, or after a key in a slideshow, each
# picture is complete, from compressed and from uncompressed discs, and how
# many pictures a disc holds. Uses the same photos as bench/quality.sh.
# Usage: bench/disc_timing.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/emulator_photos.sh
for look in "classic-fine:-m 2 -t fine" "floyd-steinberg:-m 1 --dither floyd-steinberg" \
            "blue-noise:-m 2 --dither blue-noise" "bayer-mode5:-m 5 --dither bayer" "teletext:-m 7"; do
  name=${look%%:*}
  read -r -a options <<< "${look#*:}"
  mkdir -p "$work/$name"
  for kind in packed raw; do
    flag=()
    [[ $kind == raw ]] && flag=(--no-compress)
    "$convert" "${options[@]}" -d "$work/$name" "${flag[@]}" --disc "$work/$name/$kind.ssd" "${photos[@]:0:3}" > /dev/null
    "$convert" "${options[@]}" "${flag[@]}" -o "$work/$name/one.screen" --disc "$work/$name/$kind-one.ssd" "${photos[4]}" > /dev/null
    boot=$(node tests/emulator/time_pictures.mjs "$jsbeeb" "$work/$name/$kind-one.ssd" "$work/$name/one.screen" | grep "\.screen " | awk '{print $2}')
    show=$(node tests/emulator/time_pictures.mjs "$jsbeeb" "$work/$name/$kind.ssd" \
             "$work/$name/BytheWater.screen" "$work/$name/ColorfulCups.screen" "$work/$name/EveningGlow.screen" | grep "\.screen " | awk '{print $2}' | paste -sd' ')
    echo "$name $kind: boot disc ${boot}s; slideshow pictures 1-3: ${show}s"
  done
done
