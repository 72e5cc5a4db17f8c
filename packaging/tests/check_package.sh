#!/usr/bin/env bash
# Builds the Debian package from a configured and built Rasterine build folder
# and checks what it holds: its control fields, its file list, and that the
# installed desktop entry, metainfo, icons and man pages are valid.
#
# usage: check_package.sh BUILD_DIR VERSION [PROGRAM...]
#   PROGRAM: each program that must be in the package (rasterine,
#            rasterine-convert); the man page of each is required too.
set -euo pipefail

build_dir=$1
version=$2
shift 2
programs=("$@")
app_id=io.github.rasterine.Rasterine
icon_sizes=(16 32 48 64 128 256)

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

work=$(mktemp -d "${TMPDIR:-/tmp}/rasterine-package-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The package goes where `cpack -G DEB` in the build folder puts it.
arch=$(dpkg --print-architecture)
deb="$build_dir/rasterine_${version}_${arch}.deb"
rm -f "$deb"
cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$build_dir" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; echo "FAIL: cpack -G DEB" >&2; exit 1; }
[[ -f "$deb" ]] || { cat "$work/cpack.log" >&2; echo "FAIL: no $deb" >&2; exit 1; }
echo "built $deb"

# Control fields.
field() { dpkg-deb --field "$deb" "$1"; }
[[ "$(field Package)" == rasterine ]] || fail "Package is '$(field Package)'"
[[ "$(field Version)" == "$version" ]] || fail "Version is '$(field Version)', not $version"
[[ "$(field Section)" == graphics ]] || fail "Section is '$(field Section)'"
[[ "$(field Architecture)" == "$arch" ]] || fail "Architecture is '$(field Architecture)'"
[[ "$(field Maintainer)" == "The Rasterine project <"*">" ]] || fail "Maintainer is '$(field Maintainer)'"
[[ -n "$(field Description)" ]] || fail "no Description"
depends=$(field Depends)
[[ "$depends" == *qt6-image-formats-plugins* ]] || fail "Depends lacks qt6-image-formats-plugins: $depends"
if ((${#programs[@]})); then
  # dpkg-shlibdeps read these from the programs themselves.
  for library in libc6 libstdc++6 libqt6core6 libqt6gui6; do
    [[ "$depends" == *"$library "* || "$depends" == *"$library," || "$depends" == *"$library" ]] ||
      fail "Depends lacks $library: $depends"
  done
fi
[[ "$(field Recommends)" == *libqt6svg6* ]] || fail "Recommends lacks libqt6svg6"

# Files.
dpkg-deb --contents "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/files"
expect_file() {
  grep -qxF "$1" "$work/files" || fail "the package lacks $1"
}
for program in "${programs[@]}"; do
  expect_file "/usr/bin/$program"
  expect_file "/usr/share/man/man1/$program.1.gz"
done
expect_file "/usr/share/applications/$app_id.desktop"
expect_file "/usr/share/metainfo/$app_id.metainfo.xml"
expect_file /usr/share/icons/hicolor/scalable/apps/rasterine.svg
expect_file /usr/share/doc/rasterine/copyright
for size in "${icon_sizes[@]}"; do
  expect_file "/usr/share/icons/hicolor/${size}x${size}/apps/rasterine.png"
done
if grep -E '\.(a|h|cmake)$' "$work/files"; then fail "the package holds build files (above)"; fi

# The installed files themselves.
root="$work/root"
dpkg-deb --extract "$deb" "$root"
share="$root/usr/share"

for program in "${programs[@]}"; do
  file -L "$root/usr/bin/$program" | grep -q 'ELF.*executable' || fail "/usr/bin/$program is no executable"
done

desktop-file-validate "$share/applications/$app_id.desktop" || fail "desktop-file-validate"
grep -qx 'Exec=rasterine %f' "$share/applications/$app_id.desktop" ||
  fail "the desktop entry does not start rasterine with the file opened"
for type in image/png image/jpeg; do
  grep -qE "^MimeType=(.*;)?$type;" "$share/applications/$app_id.desktop" ||
    fail "the desktop entry does not offer to open $type"
done

appstreamcli validate --no-net "$share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"
grep -qF "<release version=\"$version\"" "$share/metainfo/$app_id.metainfo.xml" ||
  fail "the metainfo does not name release $version"

for size in "${icon_sizes[@]}"; do
  png="$share/icons/hicolor/${size}x${size}/apps/rasterine.png"
  [[ -f "$png" ]] || continue
  file "$png" | grep -q "PNG image data, $size x $size," || fail "$png: $(file -b "$png")"
done

for program in "${programs[@]}"; do
  page="$share/man/man1/$program.1.gz"
  [[ -f "$page" ]] || continue
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [[ -z "$warnings" ]] || fail "$program.1: groff warnings: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$page" 2>/dev/null | col -b)
  grep -q "^NAME" <<<"$text" || fail "$program.1 has no NAME section"
  grep -qF "$version" <<<"$text" || fail "$program.1 does not name version $version"
  if [[ "$program" == rasterine-convert ]]; then
    for option in --mode --halftone --stagger --output --preview --output-dir; do
      grep -qe "$option" <<<"$text" || fail "rasterine-convert.1 does not describe $option"
    done
  fi
done

if ((failures)); then
  echo "$failures package check(s) failed" >&2
  exit 1
fi
echo "package checks passed: $(wc -l <"$work/files") entries, Depends: $depends"
