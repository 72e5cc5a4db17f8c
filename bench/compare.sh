#!/usr/bin/env bash
# Times Rasterine's whole picture path beside the obvious alternatives, in one
# run on the same generated photos, and prints a Markdown table: each command,
# its median wall time and CPU time, its peak memory, and the ratios.
#
# Usage: bench/compare.sh [runs]      (default 7 runs of each command)
#
# It installs what it compares against (libjpeg-turbo's djpeg, ImageMagick,
# hyperfine, GNU time, jq), builds Rasterine in Release mode into build/, and
# writes two made-up 17.9-megapixel photos (5640 x 3172, quality 92, baseline
# and progressive) into a temporary folder; nothing is committed or kept.
#
# bench/picture_path runs the same picture path as rasterine-convert in a
# process of its own (load, sample, convert) but writes no files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
runs=${1:-7}
(( runs >= 5 )) || { echo "use at least 5 runs" >&2; exit 2; }

install_tools() {
    local packages=(libjpeg-turbo-progs imagemagick hyperfine time jq) missing=()
    for package in "${packages[@]}"; do
        status=$(dpkg-query -W -f='${db:Status-Abbrev}' "$package" 2>/dev/null || true)
        [[ "$status" == ii* ]] || missing+=("$package")
    done
    if ((${#missing[@]})); then
        echo "Installing: ${missing[*]}" >&2
        DEBIAN_FRONTEND=noninteractive apt-get update >&2
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" >&2
    fi
}

build_rasterine() {
    scripts/install-deps.sh >&2
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build -j 2 >/dev/null
}

install_tools
build_rasterine

# ImageMagick's own binary, not any wrapper that may come first on PATH.
magick=/usr/bin/convert
picture_path=$root/build/bench/picture_path
cli=$root/build/cli/rasterine-convert

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$root/build/bench/make_photos" "$work" >/dev/null
cd "$work"

declare -A wall cpu busy rss

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# measure KEY COMMAND...: median wall and mean CPU time (ms) and the cores kept
# busy from hyperfine, median peak resident memory (MiB) from GNU time.
measure() {
    local key=$1; shift
    local line
    line=$(printf '%q ' "$@")
    hyperfine -N --warmup 2 --runs "$runs" --export-json "$work/timing.json" "$line" >/dev/null 2>&1
    wall[$key]=$(jq '.results[0].median * 1000' "$work/timing.json")
    cpu[$key]=$(jq '(.results[0].user + .results[0].system) * 1000' "$work/timing.json")
    # Cores kept busy on average: CPU time over wall time, both as means.
    busy[$key]=$(jq '(.results[0].user + .results[0].system) / .results[0].mean' "$work/timing.json")
    rss[$key]=$(for _ in 1 2 3 4 5; do
                    /usr/bin/time -f %M -o "$work/rss" "$@" >/dev/null 2>&1
                    cat "$work/rss"
                done | median | awk '{ printf "%.1f", $1 / 1024 }')
}

declare -a order=()
declare -A label
row() {  # row KEY LABEL COMMAND...
    local key=$1 text=$2; shift 2
    order+=("$key")
    label[$key]=$text
    measure "$key" "$@"
}

# record KEY LABEL "WALL USER SYS MAXRSS"...: the same figures from runs timed
# by GNU time (seconds, and KiB for the peak memory).
record() {
    local key=$1 text=$2; shift 2
    order+=("$key")
    label[$key]=$text
    wall[$key]=$(printf '%s\n' "$@" | awk '{ print $1 * 1000 }' | median)
    cpu[$key]=$(printf '%s\n' "$@" | awk '{ c += $2 + $3 } END { print c * 1000 / NR }')
    busy[$key]=$(printf '%s\n' "$@" | awk '{ c += $2 + $3; w += $1 } END { print c / w }')
    rss[$key]=$(printf '%s\n' "$@" | awk '{ print $4 }' | median | awk '{ printf "%.1f", $1 / 1024 }')
}

# Other work on the machine shows in the wall-clock times; say how much there was.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Timing $runs runs of each command on $(nproc) cores ..." >&2
for photo in big big-progressive; do
    row "djpeg/$photo" "\`djpeg -scale 1/8\` $photo.jpg" djpeg -scale 1/8 -outfile /dev/null "$photo.jpg"
    row "cli/$photo" "\`rasterine-convert -m 2 -t fine\` $photo.jpg" "$cli" -m 2 -t fine "$photo.jpg"
    row "path/$photo" "\`bench/picture_path --mode 2 --tone 1\` $photo.jpg" \
        "$picture_path" --mode 2 --tone 1 "$photo.jpg"
done
row "magick" "\`convert big.jpg -resize '320x256!' out.ppm\`" "$magick" big.jpg -resize '320x256!' out.ppm
row "magick-hint" "\`convert -define jpeg:size=640x512 big.jpg -resize '320x256!' out.ppm\`" \
    "$magick" -define jpeg:size=640x512 big.jpg -resize '320x256!' out.ppm

# The two batches are timed in turns, one run of each after the other, so that
# other work on the machine weighs on both alike.
mkdir -p batch out
for i in $(seq -w 1 40); do cp big.jpg "batch/photo$i.jpg"; done
one_core=() all_cores=()
"$cli" -m 2 -t fine -d out batch/*.jpg  # warm-up
for _ in $(seq "$runs"); do
    /usr/bin/time -f '%e %U %S %M' -o "$work/run" taskset -c 0 "$cli" -m 2 -t fine -d out batch/*.jpg
    one_core+=("$(cat "$work/run")")
    /usr/bin/time -f '%e %U %S %M' -o "$work/run" "$cli" -m 2 -t fine -d out batch/*.jpg
    all_cores+=("$(cat "$work/run")")
done
record batch-1core "40 photos, one call, one core (\`taskset -c 0\`)" "${one_core[@]}"
record batch "40 photos, one call, all cores" "${all_cores[@]}"

echo "Load average (1, 5, 15 min) before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| command | median wall (ms) | CPU user+sys (ms) | cores busy | peak memory (MiB) |"
echo "|---|---:|---:|---:|---:|"
for key in "${order[@]}"; do
    printf '| %s | %.0f | %.0f | %.2f | %s |\n' "${label[$key]}" "${wall[$key]}" "${cpu[$key]}" \
        "${busy[$key]}" "${rss[$key]}"
done

# ratio NAME NUMERATOR DENOMINATOR TARGET: wall-time ratio, and CPU-time ratio
# beside it since the wall clock suffers most when the machine is shared.
ratio() {
    local name=$1 top=$2 bottom=$3 target=$4
    awk -v n="$name" -v a="${wall[$top]}" -v b="${wall[$bottom]}" -v c="${cpu[$top]}" \
        -v d="${cpu[$bottom]}" -v t="$target" \
        'BEGIN { printf "| %s | %.2f | %.2f | %s |\n", n, a / b, c / d, t }'
}

echo
echo "| ratio | wall | CPU | target |"
echo "|---|---:|---:|---|"
ratio "rasterine-convert / djpeg -scale 1/8, baseline" cli/big djpeg/big "≤ 1.5"
ratio "ImageMagick / rasterine-convert" magick cli/big "≥ 8"
ratio "ImageMagick with jpeg:size / rasterine-convert" magick-hint cli/big "> 1"
ratio "rasterine-convert / djpeg -scale 1/8, progressive" cli/big-progressive djpeg/big-progressive "≤ 1.2"
ratio "batch on one core / on all cores (throughput gain)" batch-1core batch "≥ 1.8"
ratio "bench/picture_path / djpeg -scale 1/8, baseline" path/big djpeg/big "(no files written)"
ratio "ImageMagick / bench/picture_path" magick path/big "(no files written)"
ratio "ImageMagick with jpeg:size / bench/picture_path" magick-hint path/big "(no files written)"
ratio "bench/picture_path / djpeg -scale 1/8, progressive" path/big-progressive djpeg/big-progressive "(no files written)"
