#!/usr/bin/env bash
# Checks that this tree's rasterine-convert gives byte for byte the screen
# file, .inf and preview of an earlier revision's, for every mode, half-tone
# and Stagger setting on four generated pictures.
#
# usage: bench/identity.sh REVISION [BUILD_DIR]   (default build dir: build)
set -euo pipefail
cd "$(dirname "$0")/.."
revision=${1:?usage: bench/identity.sh REVISION [BUILD_DIR]}
build_dir=$(realpath "${2:-build}")
work=$(mktemp -d)
trap 'git worktree remove --force "$work/tree" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

git worktree add -q --detach "$work/tree" "$revision"
cmake -S "$work/tree" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRASTERINE_BUILD_TESTS=OFF >/dev/null
cmake --build "$work/build" -j "$(nproc)" --target rasterine-convert >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target rasterine-convert >/dev/null

cd "$work"
rsvg-convert --width=640 --height=512 -o a.png "$OLDPWD/docs/test-picture.svg"
ppmpat -g2 -color=rgb:ff/00/00,rgb:00/ff/80 700 500 > b.ppm
pgmnoise 400 300 | pnmtopng > c.png
ppmrainbow -width=900 -height=600 red green blue white | pnmtojpeg > d.jpg
compared=0 differ=0
for picture in a.png b.ppm c.png d.jpg; do
  for mode in 0 1 2 4 5; do
    for tone in none fine coarse spiral diagonal; do
      for stagger in "" -s; do
        build/cli/rasterine-convert -m $mode -t $tone $stagger -o old.scr -p old.png $picture
        "$build_dir/cli/rasterine-convert" -m $mode -t $tone $stagger -o new.scr -p new.png $picture
        compared=$((compared + 1))
        if ! cmp -s old.scr new.scr || ! cmp -s old.scr.inf new.scr.inf ||
           ! cmp -s <(pngtopnm old.png) <(pngtopnm new.png); then
          differ=$((differ + 1))
          echo "differs: $picture -m $mode -t $tone $stagger"
        fi
      done
    done
  done
done
echo "$compared conversions compared with $revision, $differ differ"
[[ $differ == 0 ]]
