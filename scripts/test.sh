#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in an
# optimised build and once with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# In CI, also install the Debian package just built, run both programs from
# PATH and remove it again (set RASTERINE_TEST_INSTALL=1 to do so elsewhere).
if [[ "${CI:-}" == true || "${RASTERINE_TEST_INSTALL:-}" == 1 ]]; then
  packaging/tests/check_installed_package.sh build
fi

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DRASTERINE_SANITIZE=ON
cmake --build build-sanitize -j "$jobs"
ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
