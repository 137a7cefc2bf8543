#!/usr/bin/env bash
# check-binaries.sh <build folder> <target triple>
#
# Checks the programs and DLLs of a cross build: each is a PE file for the
# build's machine, and none needs a MinGW runtime DLL (libstdc++, libgcc,
# winpthread), since a target machine has none of them. The i686 build is
# checked this way only; its programs are not run here.
set -euo pipefail

dir=${1:?build folder}
triple=${2:?target triple, e.g. x86_64-w64-mingw32}
objdump=${triple}-objdump
case $triple in
  x86_64-*) want='pei-x86-64' ;;
  i686-*)   want='pei-i386' ;;
  *) echo "check-binaries: unknown target $triple" >&2; exit 2 ;;
esac

[ -d "$dir" ] || { echo "check-binaries: no folder $dir" >&2; exit 1; }
count=0
bad=0
while IFS= read -r -d '' f; do
  count=$((count + 1))
  if ! format=$("$objdump" -f "$f" 2>/dev/null | sed -n 's/.*file format //p'); then
    format=''
  fi
  if [ "$format" != "$want" ]; then
    echo "check-binaries: $f: format '${format:-unreadable}', expected $want" >&2
    bad=$((bad + 1))
    continue
  fi
  runtime=$("$objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' |
            grep -iE '^(libstdc\+\+|libgcc|libwinpthread)' || true)
  if [ -n "$runtime" ]; then
    echo "check-binaries: $f needs $(echo $runtime)" >&2
    bad=$((bad + 1))
  fi
done < <(find "$dir" -type d \( -name CMakeFiles -o -name drive_c \) -prune \
              -o -type f \( -iname '*.exe' -o -iname '*.dll' \) -print0)

echo "check-binaries: $dir: $count files checked, $bad with faults"
# A build that made no programs has not been checked.
[ "$count" -gt 0 ] && [ "$bad" -eq 0 ]
