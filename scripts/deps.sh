#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, and only
# those that are missing. apt-get runs as root, or through sudo when that is
# there; otherwise the missing packages are named and the script fails.
set -euo pipefail

packages=(
  cmake make g++ python3
  googletest                   # /usr/src/googletest, built by every configuration
  libbenchmark-dev             # the benchmarks
  g++-mingw-w64-x86-64-win32   # Setup.exe, Uninstall.exe and the tests, 64-bit (Win32 threads)
  g++-mingw-w64-i686-win32     # the same, 32-bit (built, not run)
  binutils-mingw-w64           # strip and dlltool for the cross builds, objdump for their check
  wine64                       # runs the x86_64 tests
  xvfb                         # a display for the programs' windows under Wine
  imagemagick                  # screenshots of the wizard (import, convert)
  clang                        # the fuzz build (build/fuzz)
  libclang-rt-dev              # libFuzzer and the sanitizers' runtime for that clang
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "deps: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  sudo=(sudo -n)
else
  echo "deps: these Debian packages are missing: ${missing[*]}" >&2
  echo "deps: install them as root with: apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q "${missing[@]}"
