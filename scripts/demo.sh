#!/usr/bin/env bash
# demo.sh: builds the 64-bit programs and the sample installation package in
# build/x86_64 and shows where the package lies and what it holds.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/x86_64
pkg=$build/package
jobs=${JOBS:-2}

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-x86_64-w64-mingw32.cmake" \
      -DKV_RUN_WINE_TESTS=ON >/dev/null
cmake --build "$build" -j "$jobs"

echo
echo "Sample installation package: $PWD/$pkg"
echo
(cd "$pkg" && find . -type f -printf '%P\t%s\n' | sort | awk -F'\t' '{ printf "  %-40s %8d bytes\n", $1, $2 }')
echo

for prog in Setup.exe Uninstall.exe; do
  if [ -f "$pkg/$prog" ]; then
    echo "$prog: present"
  else
    echo "$prog: not built yet"
  fi
done

# Names the INIs use that are not in the laid-out package (binaries not yet
# built, or a fault of the package).
if command -v python3 >/dev/null 2>&1; then
  python3 package/check_package.py --built "$pkg" || true
fi
