#!/usr/bin/env bash
# Checks that this tree's rasterine-convert gives byte for byte the screen
# file, .inf, preview and disc image of an earlier revision's, on four
# generated pictures (discs as --no-compress makes them): every mode, half-tone and Stagger setting, every method
# in every mode, the palettes, fits, adjustments and damping, and mode 7.
#
# usage: bench/identity.sh REVISION [BUILD_DIR]   (default build dir: build)
set -euo pipefail
cd "$(dirname "$0")/.."
revision=${1:?usage: bench/identity.sh REVISION [BUILD_DIR]}
build_dir=$(realpath "${2:-build}")
work=$(mktemp -d)
trap 'git worktree remove --force "$work/tree" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

# IDENTITY_OLD_BUILD names a build of REVISION made earlier, to save building it again.
if [[ -n "${IDENTITY_OLD_BUILD:-}" ]]; then
  mkdir -p "$work/build/cli" && ln -s "$(realpath "$IDENTITY_OLD_BUILD")/cli/rasterine-convert" "$work/build/cli/"
else
  git worktree add -q --detach "$work/tree" "$revision"
  cmake -S "$work/tree" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRASTERINE_BUILD_TESTS=OFF >/dev/null
  cmake --build "$work/build" -j "$(nproc)" --target rasterine-convert >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)" --target rasterine-convert >/dev/null

cd "$work"
rsvg-convert --width=640 --height=512 -o a.png "$OLDPWD/docs/test-picture.svg"
ppmpat -g2 -color=rgb:ff/00/00,rgb:00/ff/80 700 500 > b.ppm
# c.png carries a resolution and a text entry, which previews keep.
echo "Title Noise" > title.txt
pgmnoise 400 300 | pnmtopng -size "11811 11811 1" -text title.txt > c.png
ppmrainbow -width=900 -height=600 red green blue white | pnmtojpeg > d.jpg
compared=0 differ=0
# compare NAME OPTIONS...: one conversion with both binaries.
compare() {
  local picture=$1; shift
  build/cli/rasterine-convert "$@" -o old.scr -p old.png --disc old.ssd "$picture" >/dev/null
  "$build_dir/cli/rasterine-convert" "$@" -o new.scr -p new.png --no-compress --disc new.ssd "$picture" >/dev/null
  compared=$((compared + 1))
  if ! cmp -s old.scr new.scr || ! cmp -s old.scr.inf new.scr.inf || ! cmp -s old.ssd new.ssd ||
     ! cmp -s old.png new.png; then
    differ=$((differ + 1))
    echo "differs: $picture $*"
  fi
}
methods="floyd-steinberg atkinson sierra-lite jarvis stucki bayer blue-noise dbs"
for picture in a.png b.ppm c.png d.jpg; do
  for mode in 0 1 2 4 5; do
    for tone in none fine coarse spiral diagonal; do
      for stagger in "" -s; do
        compare $picture -m $mode -t $tone $stagger
      done
    done
    for method in $methods; do
      compare $picture -m $mode --dither $method
    done
    compare $picture -m $mode --fit fill -t fine
    compare $picture -m $mode --fit fit --bar 7 --dither floyd-steinberg
    compare $picture -m $mode --brightness 0.1 --contrast 1.3 --saturation 0.7 --gamma 1.4 --dither bayer
    compare $picture -m $mode --damping 0.5 --dither jarvis --fit fill
  done
  for mode in 0 4; do
    compare $picture -m $mode --dither atkinson --palette best
    compare $picture -m $mode --dither blue-noise --palette 4,3
  done
  for mode in 1 5; do
    compare $picture -m $mode --dither sierra-lite --palette best --fit fit
    compare $picture -m $mode --dither stucki --palette 0,4,6,7
  done
  compare $picture -m 7
  compare $picture -m 7 --fit fit --bar 4 --gamma 1.5
done
echo "$compared conversions compared with $revision, $differ differ"
[[ $differ == 0 ]]
