#!/usr/bin/env bash
# The engine's folders include only folders below them: the core includes no
# folder, perceptual/ only itself, the stages (classic/, methods/, teletext/)
# only perceptual/ and themselves, nula/ also methods/, raster/ also nula/,
# and entry/ anything.
# Prints each include that breaks this and fails if there is one.
set -euo pipefail
cd "$1/conversion"
declare -A allowed=(
  [core]="" [perceptual]="perceptual" [classic]="classic"
  [methods]="methods perceptual" [teletext]="teletext perceptual"
  [nula]="nula methods perceptual"
  [raster]="raster nula methods perceptual"
)
broken=0
for file in *.h *.cpp */*.h */*.cpp; do
  folder=$([[ $file == */* ]] && echo "${file%%/*}" || echo core)
  [[ $folder == entry ]] && continue
  while read -r included; do
    [[ $included == */* ]] || continue
    [[ " ${allowed[$folder]} " == *" ${included%%/*} "* ]] && continue
    echo "conversion/$file includes conversion/$included"
    broken=1
  done < <(sed -n 's/^#include "conversion\/\(.*\)"/\1/p' "$file")
done
exit $broken
