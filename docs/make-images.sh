#!/usr/bin/env bash
# Makes the README's example pictures with Rasterine's own command line:
# docs/test-picture.svg is rendered to a PNG, converted for modes 1, 2 and 4,
# each without half-tone and with the "Fine" one, and every conversion's
# preview (pixel for pixel what the window shows) is kept in docs/images/.
#
# usage: docs/make-images.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${1:-build}
convert="$build_dir/cli/rasterine-convert"
[[ -x "$convert" ]] || { echo "No $convert: build Rasterine first (cmake --build $build_dir)." >&2; exit 1; }

out=docs/images
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The source picture, at twice the screen's size so that the stretch to
# 320 x 256 averages it down as it would a photo.
rsvg-convert --width=640 --height=512 --output="$work/test-picture.png" docs/test-picture.svg
rsvg-convert --width=320 --height=256 --output="$out/source.png" docs/test-picture.svg

for mode in 1 2 4; do
  for halftone in none fine; do
    "$convert" --mode "$mode" --halftone "$halftone" \
      --output "$work/screen" --preview "$out/mode$mode-$halftone.png" "$work/test-picture.png"
    echo "wrote $out/mode$mode-$halftone.png"
  done
done
