#!/usr/bin/env bash
# Takes docs/images/window.png and docs/images/view.png, the README's pictures
# of the window and of its View window: the real windows after converting a
# generated scene, on a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target window_screenshot view_screenshot
mkdir -p docs/images
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tests/ui/window_screenshot docs/images/window.png
QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" \
  build/tests/ui/view_screenshot docs/images/view.png
echo "Wrote docs/images/window.png and docs/images/view.png"
