#!/usr/bin/env bash
# demo.sh: builds the 64-bit programs and the sample installation package in
# build/x86_64, then runs Setup.exe on that package under Wine:
#
# - with a display ($DISPLAY set): Setup opens there for you to use; when it
#   has closed, the printer queues of the demo's Wine prefix are listed;
# - without one: under a private Xvfb display the UI driver walks a Typical
#   installation of the default model, and the queue it created and the
#   screenshots of the pages (build/x86_64/screenshots) are listed.
#
# Each run starts from a fresh copy of the template Wine prefix. DEMO_BUILD_DIR
# names another x86_64 build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${DEMO_BUILD_DIR:-build/x86_64}
pkg=$build/package
jobs=${JOBS:-2}

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-x86_64-w64-mingw32.cmake" \
      -DKV_RUN_WINE_TESTS=ON >/dev/null
cmake --build "$build" -j "$jobs"

echo
echo "Sample installation package: $PWD/$pkg"
echo "  $(find "$pkg" -type f | wc -l) files, $(du -sh "$pkg" | cut -f1)"
if [ ! -f "$pkg/Setup.exe" ]; then
  echo "demo: Setup.exe has not been built" >&2
  exit 1
fi

echo
echo "Making the Wine template prefix (once)..."
KV_WINE_TEMPLATE_REUSE=1 tests/wine/make-template.sh "$PWD/$build/wine-template"

# The package's own qsetup.exe checks it.
echo
KV_WINE_TEMPLATE=$PWD/$build/wine-template tests/wine/wine-run.sh "$pkg/qsetup.exe" check \
  "Z:$(realpath "$pkg" | tr / '\\')" || true

if [ -z "${DISPLAY:-}" ]; then
  echo
  echo "No display: a Typical installation under Xvfb, walked by the UI driver."
  out=$PWD/$build/screenshots
  rm -rf "$out"
  KV_WINE_TEMPLATE=$PWD/$build/wine-template KV_WINE_XVFB=1 KV_WINE_VERSION=winxp \
  KV_WINE_TIMEOUT=300 KV_E2E_BIN=$PWD/$build/tests/e2e KV_E2E_PACKAGE=$PWD/$pkg \
    tests/wine/wine-run.sh tests/e2e/walk-typical.sh "$out"
  exit 0
fi

# On the user's display: a prefix of the demo's own, kept afterwards.
. tests/wine/wine-env.sh
prefix=$PWD/$build/demo-prefix
WINEPREFIX="$prefix" "$KV_WINESERVER" -k 2>/dev/null || true
rm -rf "$prefix"
cp -a "$build/wine-template" "$prefix"
export WINEPREFIX="$prefix"
mkdir -p "$prefix/drive_c/pkg"
cp -a "$pkg/." "$prefix/drive_c/pkg/"
"$KV_WINE" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f >/dev/null 2>&1

echo
echo "Setup.exe runs on $DISPLAY (Wine prefix $prefix, package in C:\\pkg)."
echo "Close the wizard or finish an installation to end the demo."
(cd "$prefix/drive_c/pkg" && "$KV_WINE" 'C:\pkg\Setup.exe') || true
echo
echo "Printer queues:"
"$KV_WINE" "$build/tests/e2e/uidriver.exe" spooler |
  awk -F'\t' '$1 == "printer" { printf "  %s on %s, driver %s\n", $2, $3, $4; n++ }
              END { if (!n) print "  none" }'
"$KV_WINESERVER" -k 2>/dev/null || true
