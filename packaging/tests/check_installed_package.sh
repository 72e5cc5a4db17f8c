#!/usr/bin/env bash
# Installs the Debian package from a build folder with apt-get, as a user
# would, checks that both programs run from PATH, and removes the package
# again. It changes the machine's installed packages while it runs, so the
# test command runs it only in CI (or when RASTERINE_TEST_INSTALL=1).
#
# usage: check_installed_package.sh BUILD_DIR
set -euo pipefail

build_dir=$(cd "$1" && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
deb="$build_dir/rasterine_${version}_$(dpkg --print-architecture).deb"
[[ -f "$deb" ]] || cpack -G DEB --config "$build_dir/CPackConfig.cmake" -B "$build_dir" >/dev/null
[[ -f "$deb" ]] || { echo "FAIL: no $deb" >&2; exit 1; }

export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d "${TMPDIR:-/tmp}/rasterine-install-check.XXXXXX")
remove_package() {
  apt-get purge -y rasterine >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap remove_package EXIT

apt-get install -y "$deb"
cd "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

shipped() { dpkg -L rasterine | grep -qx "/usr/bin/$1"; }

if shipped rasterine-convert; then
  [[ "$(command -v rasterine-convert)" == /usr/bin/rasterine-convert ]] || fail "rasterine-convert is not on PATH"
  rasterine-convert --version | grep -qF "$version" || fail "rasterine-convert --version does not say $version"
  man -w rasterine-convert >/dev/null || fail "man rasterine-convert finds no page"

  # The command line needs no display and no Qt platform setting: convert
  # the installed icon itself.
  env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY \
    rasterine-convert -m 1 -o icon.screen /usr/share/icons/hicolor/256x256/apps/rasterine.png </dev/null ||
    fail "rasterine-convert could not convert the installed icon"
  [[ "$(stat -c %s icon.screen)" == 20480 ]] || fail "icon.screen is $(stat -c %s icon.screen) bytes"
  # A screen file not named $.screen carries a BBC name of its own.
  grep -q '^\$\.ICON     003000 000000 005000' icon.screen.inf || fail "icon.screen.inf reads: $(cat icon.screen.inf)"
else
  echo "note: the package holds no rasterine-convert (not built)"
fi

if shipped rasterine; then
  [[ "$(command -v rasterine)" == /usr/bin/rasterine ]] || fail "rasterine is not on PATH"
  # The window starts and keeps running until timeout stops it (status 124).
  status=0
  QT_QPA_PLATFORM=offscreen timeout 5 rasterine </dev/null >window.log 2>&1 || status=$?
  [[ $status == 124 ]] || { cat window.log >&2; fail "rasterine ended with status $status within 5 s"; }
else
  echo "note: the package holds no rasterine (not built)"
fi

echo "installed package checks passed: $(dpkg-query -W rasterine)"
