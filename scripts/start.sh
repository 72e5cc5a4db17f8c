#!/usr/bin/env bash
# Installs what is missing, builds Rasterine and starts the window.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build

if [[ -x build/ui/rasterine ]]; then
  if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: starting Rasterine on a virtual X server (xvfb-run)," >&2
    echo "where nobody can see it. To use the window, run this from a desktop session" >&2
    echo "(or over ssh -X); build/ui/rasterine can then also be started directly." >&2
    exec xvfb-run -a build/ui/rasterine "$@"
  fi
  exec build/ui/rasterine "$@"
fi
echo "The window is not built yet; the engine tests can be run with scripts/test.sh." >&2
