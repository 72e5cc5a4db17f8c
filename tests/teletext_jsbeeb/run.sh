#!/bin/sh
# Compares Rasterine's mode 7 renderer with jsbeeb's SAA5050 model, pixel for
# pixel, on random screens. Uses jsbeeb from $JSBEEB_DIR (a folder where
# `npm install jsbeeb@1.13.1` was run) or installs that version into the
# build folder. Exits 77 (skipped) when Node.js or the package is missing.
# Usage: run.sh DUMP_PROGRAM BUILD_FOLDER
set -eu
dump=$1
build=$2
here=$(dirname "$0")
command -v node >/dev/null 2>&1 || { echo "node is not installed: skipped"; exit 77; }
folder=${JSBEEB_DIR:-$build/jsbeeb}
package=$folder/node_modules/jsbeeb
if [ ! -f "$package/src/teletext.js" ]; then
    command -v npm >/dev/null 2>&1 || { echo "npm is not installed: skipped"; exit 77; }
    mkdir -p "$folder"
    (cd "$folder" && npm install --no-audit --no-fund --ignore-scripts jsbeeb@1.13.1 >/dev/null) ||
        { echo "jsbeeb 1.13.1 could not be installed: skipped"; exit 77; }
fi
exec node "$here/compare_with_jsbeeb.mjs" "$package" "$dump" 20
