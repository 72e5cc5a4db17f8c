# Sourced by the benchmarks that run the photos' discs on the emulated BBC
# Micro, from the repository's top folder with `build` set: sets `jsbeeb`
# (installing it from the npm registry into the build tree when missing, as
# the emulator tests do), `convert`, a scratch folder `work` removed on exit,
# and `photos`, the benchmark photos linked into it.
jsbeeb=$build/emulator/node_modules/jsbeeb
[[ -d "$jsbeeb" ]] || tests/emulator/install_emulator.sh tests/emulator "$build/emulator"
convert=$build/cli/rasterine-convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source bench/wallpaper_photos.sh
link_wallpaper_photos "$work"
export QT_QPA_PLATFORM=offscreen
