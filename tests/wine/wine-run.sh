#!/bin/bash
# wine-run.sh <exe> [args...]
# wine-run.sh <script.sh> [args...]
#
# Runs one cross-built Windows program under 64-bit Wine on its own copy of the
# template prefix and exits with the program's exit code. The copy and its
# wineserver (with every Windows process in it) are gone when this returns.
# A shell script is run instead of a program, in the same surroundings
# (WINEPREFIX set, $KV_WINE the loader), for tests that prepare the prefix or
# run several programs in it.
#
# Environment:
#   KV_WINE_TEMPLATE  the template prefix (default: wine-template in the build
#                     folder that holds <exe>; made by make-template.sh)
#   KV_WINE_VERSION   the Windows version Wine reports in the copy: winxp,
#                     win2003, vista, win7, ... (default: the prefix's own)
#   KV_WINE_XVFB=1    run under a private Xvfb display (programs with
#                     windows); otherwise there is no display at all
#   KV_WINE_TIMEOUT   seconds before the program is killed (default 540)
#   KV_WINE_KEEP=1    keep the copy of the prefix and print where it is
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

if [ $# -lt 1 ]; then
    echo "usage: $0 <exe> [args...]" >&2
    exit 2
fi
exe=$1
shift

template=$(kv_wine_template_for "$exe") || {
    echo "wine-run: no build folder above $exe; set KV_WINE_TEMPLATE" >&2
    exit 2
}
template=$(realpath -m "$template")  # Wine wants an absolute WINEPREFIX
if [ ! -f "$template/.kv-template-ready" ]; then
    echo "wine-run: no template prefix at $template (make-template.sh makes it)" >&2
    exit 2
fi

runs="$(dirname "$template")/wine-runs"
mkdir -p "$runs"
prefix=$(mktemp -d "$runs/$(basename "$exe" .exe).XXXXXX") || exit 2
xvfb_pid=

cleanup() {
    # Ends this copy's wineserver and every Windows process of the copy.
    WINEPREFIX="$prefix" "$KV_WINESERVER" -k >/dev/null 2>&1
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    if [ "${KV_WINE_KEEP:-0}" = 1 ]; then
        echo "wine-run: prefix kept at $prefix" >&2
    else
        rm -rf "$prefix"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

cp -a "$template/." "$prefix/" || {
    echo "wine-run: cannot copy $template" >&2
    exit 2
}
export WINEPREFIX="$prefix"

unset DISPLAY WAYLAND_DISPLAY
if [ "${KV_WINE_XVFB:-0}" = 1 ]; then
    # Xvfb picks a free display number itself and writes it when it is ready.
    display_file="$prefix/.kv-display"
    : >"$display_file"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$display_file" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    number=$(tr -dc '0-9' <"$display_file")
    if [ -z "$number" ]; then
        echo "wine-run: Xvfb did not start" >&2
        exit 2
    fi
    export DISPLAY=":$number"
fi

if [ -n "${KV_WINE_VERSION:-}" ]; then
    # Read by Wine at the next process start.
    timeout 60 "$KV_WINE" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ \
        /d "$KV_WINE_VERSION" /f >/dev/null 2>&1 || {
        echo "wine-run: cannot set the Windows version $KV_WINE_VERSION" >&2
        exit 2
    }
fi

export KV_WINE KV_WINESERVER
case "$exe" in
    *.sh) timeout --kill-after=10 "${KV_WINE_TIMEOUT:-540}" bash "$exe" "$@" ;;
    *) timeout --kill-after=10 "${KV_WINE_TIMEOUT:-540}" "$KV_WINE" "$exe" "$@" ;;
esac
rc=$?
if [ $rc -eq 124 ]; then
    echo "wine-run: $exe timed out after ${KV_WINE_TIMEOUT:-540} s" >&2
fi
exit $rc
