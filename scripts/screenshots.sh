#!/usr/bin/env bash
# screenshots.sh [BUILD_DIR]: walks a Typical installation of the sample
# package's default model in Setup.exe under Wine on a private Xvfb display
# and saves a PNG of every wizard page, of the progress window and of the
# final message into BUILD_DIR/screenshots (default build/x86_64). Builds the
# x86_64 programs first; the Wine template prefix is made when missing.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/x86_64}
jobs=${JOBS:-2}
for tool in import convert Xvfb; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (make deps)" >&2; exit 1; }
done

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-x86_64-w64-mingw32.cmake" \
      -DKV_RUN_WINE_TESTS=ON >/dev/null
cmake --build "$build" -j "$jobs" >/dev/null
[ -f "$build/package/Setup.exe" ] || { echo "screenshots: no Setup.exe in $build/package" >&2; exit 1; }

KV_WINE_TEMPLATE_REUSE=1 tests/wine/make-template.sh "$PWD/$build/wine-template" >/dev/null

out=$PWD/$build/screenshots
rm -rf "$out"
KV_WINE_TEMPLATE=$PWD/$build/wine-template KV_WINE_XVFB=1 KV_WINE_VERSION=winxp \
KV_WINE_TIMEOUT=300 KV_E2E_BIN=$PWD/$build/tests/e2e KV_E2E_PACKAGE=$PWD/$build/package \
    tests/wine/wine-run.sh tests/e2e/walk-typical.sh "$out"
