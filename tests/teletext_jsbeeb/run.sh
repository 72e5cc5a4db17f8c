#!/bin/sh
# Compares Rasterine's mode 7 renderer with jsbeeb's SAA5050 model, pixel for
# pixel, on random screens. Uses jsbeeb from $JSBEEB_DIR (where the emulator
# tests' set-up installs the pinned version). Exits 77 (skipped) when Node.js
# or the package is missing.
# Usage: run.sh DUMP_PROGRAM BUILD_FOLDER
set -eu
dump=$1
build=$2
here=$(dirname "$0")
command -v node >/dev/null 2>&1 || { echo "node is not installed: skipped"; exit 77; }
folder=${JSBEEB_DIR:-$build/jsbeeb}
package=$folder/node_modules/jsbeeb
[ -f "$package/src/teletext.js" ] || { echo "jsbeeb is not installed in $folder: skipped"; exit 77; }
exec node "$here/compare_with_jsbeeb.mjs" "$package" "$dump" 20
