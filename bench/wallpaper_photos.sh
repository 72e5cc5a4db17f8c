# Sourced by the benchmark scripts: the seven photographs among Debian's
# Plasma wallpapers that every figure in docs/ is measured on, installing
# the package when it is missing (as root). wallpaper_photos prints their
# paths, one a line, in a fixed order; link_wallpaper_photos DIR links each
# into DIR as NAME.jpg (so outputs are named after the wallpaper) and sets
# the array `photos` to the links.
wallpaper_names=(BytheWater ColorfulCups EveningGlow FallenLeaf Kite OneStandsOut Path)
# The eight kinds of screen the compression figures are measured on, as
# TAG:OPTIONS of rasterine-convert.
disc_screen_kinds=("m2fine:-m 2 -t fine" "m2none:-m 2" "m0coarse:-m 0 -t coarse" "m1fs:-m 1 --dither floyd-steinberg"
                   "m2blue:-m 2 --dither blue-noise" "m4atk:-m 4 --dither atkinson" "m5bayer:-m 5 --dither bayer" "m7:-m 7")

wallpaper_photos() {
  if ! dpkg-query -W -f='${db:Status-Abbrev}' plasma-workspace-wallpapers 2>/dev/null | grep -q '^ii'; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends plasma-workspace-wallpapers >&2
  fi
  local name dir photo
  for name in "${wallpaper_names[@]}"; do
    dir=/usr/share/wallpapers/$name/contents/images
    photo=$dir/1920x1080.jpg
    [[ -f "$photo" ]] || photo=$(ls "$dir"/*.jpg | tail -n 1)
    echo "$photo"
  done
}

link_wallpaper_photos() {
  local folder=$1 photo name
  photos=()
  while read -r photo; do
    name=${photo#/usr/share/wallpapers/}
    name=${name%%/*}
    ln -s "$photo" "$folder/$name.jpg"
    photos+=("$folder/$name.jpg")
  done < <(wallpaper_photos)
}
