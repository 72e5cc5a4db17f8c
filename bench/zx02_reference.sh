#!/usr/bin/env bash
# Compares our ZX02 streams with the format's reference compressor on the
# screens discs hold: the photos of bench/quality.sh in eight kinds of
# screen. ZX02_REFERENCE names an already-built reference compressor (run
# as `$ZX02_REFERENCE -f IN OUT`, its default, full options); without it the
# comparison is skipped. Prints each screen's sizes, from the quick search
# and the thorough one (--thorough, timed with its whole conversion), and,
# per kind, the smallest and largest difference of each.
# Usage: ZX02_REFERENCE=/path/to/zx02 bench/zx02_reference.sh [build folder]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
if [[ -z "${ZX02_REFERENCE:-}" || ! -x "$ZX02_REFERENCE" ]]; then
  echo "ZX02_REFERENCE is not an executable reference compressor: skipped"
  exit 0
fi
convert=$build/cli/rasterine-convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source bench/wallpaper_photos.sh
while read -r photo; do
  name=${photo#/usr/share/wallpapers/}
  name=${name%%/*}
  for kind in "${disc_screen_kinds[@]}"; do
    tag=${kind%%:*}
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=offscreen "$convert" ${kind#*:} --compress -o "$work/$tag-$name" "$photo" >/dev/null
    started=$(date +%s%N)
    # shellcheck disable=SC2086
    QT_QPA_PLATFORM=offscreen "$convert" ${kind#*:} --compress --thorough -o "$work/$tag-$name-t" "$photo" >/dev/null
    thorough_ms=$(( ($(date +%s%N) - started) / 1000000 ))
    "$ZX02_REFERENCE" -f "$work/$tag-$name" "$work/$tag-$name.ref" >/dev/null 2>&1
    echo "$tag-$name $(stat -c %s "$work/$tag-$name.ref") $(stat -c %s "$work/$tag-$name.zx02")" \
         "$(stat -c %s "$work/$tag-$name-t.zx02") $thorough_ms"
  done
done < <(wallpaper_photos) | awk '{ d = ($3 - $2) * 100.0 / $2; t = ($4 - $2) * 100.0 / $2; k = $1; sub("-.*", "", k)
              printf "%-24s reference %6d quick %6d %+6.2f %% thorough %6d %+6.2f %% in %5d ms\n", $1, $2, $3, d, $4, t, $5
              ms += $5; if ($5 > slowest) slowest = $5
              if (!(k in lo) || d < lo[k]) lo[k] = d; if (!(k in hi) || d > hi[k]) hi[k] = d
              if (!(k in tlo) || t < tlo[k]) tlo[k] = t; if (!(k in thi) || t > thi[k]) thi[k] = t
              ref += $2; quick += $3; thorough += $4 }
        END { for (k in lo) printf "%-9s vs reference: quick %+.2f %% to %+.2f %%, thorough %+.2f %% to %+.2f %%\n",
                                   k, lo[k], hi[k], tlo[k], thi[k]
              printf "all screens vs reference: quick %+.3f %%, thorough %+.3f %% in %d ms a screen, %d at most\n",
                     (quick - ref) * 100.0 / ref, (thorough - ref) * 100.0 / ref, ms / NR, slowest }'
