#!/usr/bin/env bash
# Installs jsbeeb, the BBC Micro emulator the disc tests boot on, at the
# version pinned in package-lock.json, into DEST/node_modules (in the build
# tree; its ROMs are used there at test time and nowhere else). Install
# scripts are not run and optional packages are left out: the tests need
# only the emulator's own modules and ROMs.
#
# usage: install_emulator.sh SOURCE_DIR DEST_DIR
# Exits 77 (skipped) when npm or the npm registry cannot be reached.
set -euo pipefail
source_dir=$1
dest=$2

command -v npm >/dev/null || { echo "npm is not installed: emulator tests skipped"; exit 77; }
mkdir -p "$dest"
stamp="$dest/node_modules/.rasterine-lock"
if [[ -d "$dest/node_modules/jsbeeb" ]] && cmp -s "$source_dir/package-lock.json" "$stamp"; then
  echo "jsbeeb already installed in $dest"
  exit 0
fi

if ! npm ping --prefix "$dest" >/dev/null 2>&1; then
  echo "the npm registry cannot be reached: emulator tests skipped"
  exit 77
fi
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$dest/"
npm ci --prefix "$dest" --omit=optional --ignore-scripts --no-audit --no-fund --loglevel=error
cp "$source_dir/package-lock.json" "$stamp"
echo "installed jsbeeb $(node -p "require('$dest/node_modules/jsbeeb/package.json').version") in $dest"
