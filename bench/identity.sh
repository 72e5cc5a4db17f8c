#!/usr/bin/env bash
# Checks that this tree's rasterine-convert gives byte for byte the files of
# an earlier revision's on generated pictures: the screen file, its .inf,
# the preview and the boot disc for every mode, half-tone and Stagger
# setting, every method in every mode, the palettes, fits, adjustments and
# damping, and mode 7. What the earlier revision can do (read from its
# --help) is compared too: compressed discs and the .zx02 streams of
# --compress (half the conversions; the other half with --no-compress
# discs), VideoNuLA colours (screens, .nula files, previews, discs),
# slideshows on .ssd, .dsd and .mmb discs, and --real-preview. Before
# compression, the earlier discs are compared with --no-compress ones.
#
# Each binary converts in a folder of its own under the default name
# $.screen, so every .inf must match as it is. Screens named after
# themselves (-d) carry their own BBC names since the .inf naming of
# README's "The screen file and its .inf"; their .inf lines are compared
# past the name field.
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
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  cmake -S "$work/tree" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRASTERINE_BUILD_TESTS=OFF \
        "${launcher[@]}" >/dev/null
  cmake --build "$work/build" -j "$(nproc)" --target rasterine-convert >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)" --target rasterine-convert >/dev/null
old_binary=$work/build/cli/rasterine-convert
new_binary=$build_dir/cli/rasterine-convert
old_help=$("$old_binary" --help)
old_has() { grep -q -- "$1" <<<"$old_help"; }
compressing=0 nula=0 real=0 slideshows=0
old_has --no-compress && compressing=1
old_has --nula && nula=1
old_has --real-preview && real=1
old_has '\.mmb' && slideshows=1

cd "$work"
rsvg-convert --width=640 --height=512 -o a.png "$OLDPWD/docs/test-picture.svg"
ppmpat -g2 -color=rgb:ff/00/00,rgb:00/ff/80 700 500 > b.ppm
# c.png carries a resolution and a text entry, which previews keep.
echo "Title Noise" > title.txt
pgmnoise 400 300 | pnmtopng -size "11811 11811 1" -text title.txt > c.png
ppmrainbow -width=900 -height=600 red green blue white | pnmtojpeg > d.jpg
# Twelve pictures for slideshows over more than one disc.
for i in 01 02 03 04 05 06 07 08 09 10 11 12; do
  picture=$(sed -n "$(( (10#$i - 1) % 4 + 1 ))p" <<<$'a.png\nb.ppm\nc.png\nd.jpg')
  cp "$picture" "p$i.${picture#*.}"
done
shows=(p01.png p02.ppm p03.png p04.jpg p05.png p06.ppm p07.png p08.jpg p09.png p10.ppm p11.png p12.jpg)
compared=0 differ=0 reframed=0

# run BINARY FOLDER ARGUMENTS...: one run in a fresh FOLDER; what it says
# on standard output is kept there too.
run() {
  local binary=$1 folder=$2; shift 2
  rm -rf "$folder" && mkdir -p "$folder/out"
  (cd "$folder" && "$binary" "$@" > said)
}

# same_files: whether old/ and new/ hold the same files, byte for byte;
# .inf lines of screens not named $.screen from the eleventh character on.
same_files() {
  [[ "$(cd old && find . -type f | sort)" == "$(cd new && find . -type f | sort)" ]] || return 1
  local file
  while IFS= read -r file; do
    if [[ $file == *.inf && $file != */\$.screen* ]]; then
      [[ "$(cut -c11- "old/$file")" == "$(cut -c11- "new/$file")" ]] || return 1
    else
      cmp -s "old/$file" "new/$file" || return 1
    fi
  done < <(cd old && find . -type f)
}

# Whether ARGUMENTS... frame the picture with --fit fit or fill, which
# place it at the television's shape of the screen (15 : 13) since the
# revision after 1.2.0, where 1.2.0 used about 1.19 : 1: such runs may
# differ on purpose, and are counted apart.
reframes() {
  [[ " $* " == *" --fit fit "* || " $* " == *" --fit fill "* ]]
}

# both ARGUMENTS...: the same run by both binaries, compared.
both() {
  run "$old_binary" old "$@"
  run "$new_binary" new "$@"
  compared=$((compared + 1))
  if ! same_files; then
    if reframes "$@"; then
      reframed=$((reframed + 1))
    else
      differ=$((differ + 1))
      echo "differs: $*"
    fi
  fi
}

# compare PICTURE OPTIONS...: one conversion with its preview and boot disc.
# With compression, half the runs also write the .zx02 stream beside a
# compressed disc, the other half make an uncompressed disc.
compare() {
  local picture=$1; shift
  local outputs=(-p preview.png --disc disc.ssd)
  ((real)) && outputs+=(--real-preview real.png)
  if ((compressing)); then
    if ((compared % 2)); then outputs+=(--no-compress); else outputs+=(--compress); fi
    both "$@" "${outputs[@]}" "../$picture"
  else
    run "$old_binary" old "$@" "${outputs[@]}" "../$picture"
    run "$new_binary" new "$@" "${outputs[@]}" --no-compress "../$picture"
    compared=$((compared + 1))
    if ! same_files; then
      if reframes "$@"; then reframed=$((reframed + 1)); else differ=$((differ + 1)); echo "differs: $picture $*"; fi
    fi
  fi
}

methods="floyd-steinberg atkinson sierra-lite jarvis stucki bayer blue-noise dbs"
quick_methods=(floyd-steinberg atkinson sierra-lite jarvis stucki bayer blue-noise)
turn=0
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
    if ((nula)); then
      # Two methods a mode in turn, so every method meets every mode over the pictures.
      for _ in 1 2; do
        compare $picture -m $mode --nula --dither "${quick_methods[turn % ${#quick_methods[@]}]}"
        turn=$((turn + 1))
      done
    fi
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
if ((nula)); then
  compare d.jpg -m 5 --nula --dither dbs
fi

# Slideshows, and a batch into a folder with every file a screen has.
if ((slideshows)); then
  pictures=("${shows[@]/#/../}")
  both -m 2 --no-compress --disc show.ssd "${pictures[@]}"
  both -m 1 --dither floyd-steinberg --disc show.ssd --delay 5 "${pictures[@]}"
  both -m 0 -t fine --disc show.dsd "${pictures[@]}"
  both -m 5 --dither atkinson --nula --disc show.dsd --tracks 40 "${pictures[@]}"
  both -m 2 --dither bayer --nula --disc show.mmb "${pictures[@]}"
  both -m 4 --no-compress --tracks 40 --disc show.mmb "${pictures[@]}"
  both -m 7 --disc show.ssd "${pictures[@]:0:6}"
  both -m 2 --dither jarvis --nula --compress -d out --previews "${pictures[@]:0:4}"
fi
echo "$compared conversions compared with $revision, $differ differ ($reframed framed by --fit fit or fill moved on purpose)"
[[ $differ == 0 ]]
