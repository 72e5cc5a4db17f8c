#!/usr/bin/env bash
# Takes docs/images/emulator.png, the README's picture of a Rasterine disc on
# an emulated BBC Micro: docs/test-picture.svg is converted for mode 2 with
# the "Fine" half-tone into a boot disc, booted with Shift+Break on jsbeeb
# (installed from the npm registry into the build tree, as the tests do),
# and the emulated screen's active area is saved as it was shown.
#
# usage: scripts/emulator-screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
output=${2:-docs/images/emulator.png}
scripts/install-deps.sh
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build "$build_dir" --target rasterine-convert
tests/emulator/install_emulator.sh tests/emulator "$build_dir/emulator"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rsvg-convert --width=640 --height=512 --output="$work/picture.png" docs/test-picture.svg
"$build_dir/cli/rasterine-convert" -m 2 -t fine --disc "$work/picture.ssd" "$work/picture.png"
node tests/emulator/boot_disc.mjs "$build_dir/emulator/node_modules/jsbeeb" "$work/picture.ssd" "$work/shown" 8 \
  >/dev/null
mkdir -p "$(dirname "$output")"
pnmtopng "$work/shown.ppm" >"$output"
echo "Wrote $output"
