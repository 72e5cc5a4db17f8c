#!/usr/bin/env bash
# Counts on the emulated BBC Micro (jsbeeb, from the emulator tests' set-up)
# the cycles our 6502 routine takes to unpack each packed screen of the
# photos of bench/quality.sh, by screen kind: per picture, and the mean and
# range of cycles per screen byte. Screens a compressed disc keeps whole are
# left out. Also prints the interrupts' share of the time on the machine.
# Usage: bench/unpack_cycles.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/emulator_photos.sh
for look in "mode 2 classic fine:-m 2 -t fine" "mode 2 classic none:-m 2 -t none" "mode 0 classic coarse:-m 0 -t coarse" \
            "mode 1 Floyd-Steinberg:-m 1 --dither floyd-steinberg" "mode 2 blue noise:-m 2 --dither blue-noise" \
            "mode 4 Atkinson:-m 4 --dither atkinson" "mode 5 Bayer:-m 5 --dither bayer"; do
  name=${look%%:*}
  read -r -a options <<< "${look#*:}"
  dir="$work/${name// /-}"
  mkdir -p "$dir"
  "$convert" "${options[@]}" --disc "$dir/show.ssd" "${photos[@]}" > /dev/null
  node tests/emulator/unpack_cycles.mjs "$jsbeeb" "$dir/show.ssd" "$dir" | grep " cycles " |
    awk -v look="$name" '{ per = $3 / $7; sum += per; wall += $5; cycles += $3; n++
                           if (n == 1 || per < low) low = per; if (per > high) high = per
                           printf "%s %s: %d cycles, %d bytes, %.1f a byte\n", look, $1, $3, $7, per }
                         END { if (n) printf "%s: %d packed, %.1f cycles a byte (%.1f-%.1f), interrupts +%.1f %%\n",
                                 look, n, sum / n, low, high, 100 * (wall - cycles) / cycles }'
done
