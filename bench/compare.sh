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
# Rows for rasterine-convert need build/cli/rasterine-convert; while it is
# missing those rows are skipped with a note. bench/picture_path runs the same
# picture path in a process of its own (load, sample, convert; no files).
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
declare -A label note
row() {  # row KEY LABEL COMMAND...
    local key=$1 text=$2; shift 2
    order+=("$key")
    label[$key]=$text
    measure "$key" "$@"
}
skipped() {  # skipped KEY LABEL NOTE
    order+=("$1")
    label[$1]=$2
    note[$1]=$3
}

# Other work on the machine shows in the wall-clock times; say how much there was.
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
echo "Timing $runs runs of each command on $(nproc) cores ..." >&2
for photo in big big-progressive; do
    row "djpeg/$photo" "\`djpeg -scale 1/8\` $photo.jpg" djpeg -scale 1/8 -outfile /dev/null "$photo.jpg"
    if [[ -x "$cli" ]]; then
        row "cli/$photo" "\`rasterine-convert -m 2 -t fine\` $photo.jpg" "$cli" -m 2 -t fine "$photo.jpg"
    else
        skipped "cli/$photo" "\`rasterine-convert -m 2 -t fine\` $photo.jpg" "awaits the command line"
    fi
    row "path/$photo" "\`bench/picture_path --mode 2 --tone 1\` $photo.jpg" \
        "$picture_path" --mode 2 --tone 1 "$photo.jpg"
done
row "magick" "\`convert big.jpg -resize '320x256!' out.ppm\`" "$magick" big.jpg -resize '320x256!' out.ppm
row "magick-hint" "\`convert -define jpeg:size=640x512 big.jpg -resize '320x256!' out.ppm\`" \
    "$magick" -define jpeg:size=640x512 big.jpg -resize '320x256!' out.ppm

if [[ -x "$cli" ]]; then
    mkdir -p batch out
    for i in $(seq -w 1 40); do cp big.jpg "batch/photo$i.jpg"; done
    row "batch-1core" "40 photos, one call, one core (\`taskset -c 0\`)" \
        taskset -c 0 "$cli" -m 2 -t fine -d out batch/*.jpg
    row "batch" "40 photos, one call, all cores" "$cli" -m 2 -t fine -d out batch/*.jpg
else
    skipped "batch-1core" "40 photos, one call, one core" "awaits the command line"
    skipped "batch" "40 photos, one call, all cores" "awaits the command line"
fi

echo "Load average (1, 5, 15 min) before: $load_before; after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
echo "| command | median wall (ms) | CPU user+sys (ms) | cores busy | peak memory (MiB) |"
echo "|---|---:|---:|---:|---:|"
for key in "${order[@]}"; do
    if [[ -n "${note[$key]:-}" ]]; then
        echo "| ${label[$key]} | ${note[$key]} | | | |"
    else
        printf '| %s | %.0f | %.0f | %.2f | %s |\n' "${label[$key]}" "${wall[$key]}" "${cpu[$key]}" \
            "${busy[$key]}" "${rss[$key]}"
    fi
done

# ratio NAME NUMERATOR DENOMINATOR TARGET: wall-time ratio, and CPU-time ratio
# beside it since the wall clock suffers most when the machine is shared.
ratio() {
    local name=$1 top=$2 bottom=$3 target=$4
    if [[ -z "${wall[$top]:-}" || -z "${wall[$bottom]:-}" ]]; then
        echo "| $name | awaits the command line | | $target |"
        return
    fi
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
