#!/bin/bash
# make-template.sh <prefix-dir>
#
# Makes the template Wine prefix that every Wine test copies: a fresh prefix
# after `wineboot -i`, with its services settled and Wine's crash dialog off
# (a crash under Xvfb would otherwise wait for a click forever). The prefix is
# built beside <prefix-dir> and moved into place only when complete, so a
# half-made template is never used.
#
# KV_WINE_TEMPLATE_REUSE=1 keeps an existing complete template.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

if [ $# -ne 1 ]; then
    echo "usage: $0 <prefix-dir>" >&2
    exit 2
fi
# Wine wants an absolute WINEPREFIX.
target=$(realpath -m "$1")

if [ "${KV_WINE_TEMPLATE_REUSE:-0}" = 1 ] && [ -f "$target/.kv-template-ready" ]; then
    echo "reusing $target"
    exit 0
fi

mkdir -p "$(dirname "$target")"
# Copies left by runs that were killed outright (their own clean-up never
# ran) go now; a copy of a run in progress is minutes old at most.
if [ -d "$(dirname "$target")/wine-runs" ]; then
    find "$(dirname "$target")/wine-runs" -mindepth 1 -maxdepth 1 -cmin +120 \
        -exec rm -rf {} + 2>/dev/null || true
fi
work="$target.new.$$"
rm -rf "$work"
cleanup() {
    WINEPREFIX="$work" "$KV_WINESERVER" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# No display is needed to set up a prefix.
unset DISPLAY WAYLAND_DISPLAY
export WINEPREFIX="$work"

start=$(date +%s.%N)
timeout 300 "$KV_WINE" wineboot -i >/dev/null 2>&1 || {
    echo "wineboot -i failed in $work" >&2
    exit 1
}
# Until every service that wineboot started has settled, the service
# control manager answers 1055 (database locked).
timeout 120 "$KV_WINESERVER" -w
timeout 60 "$KV_WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD \
    /d 0 /f >/dev/null 2>&1
timeout 120 "$KV_WINESERVER" -w
end=$(date +%s.%N)

touch "$work/.kv-template-ready"
rm -rf "$target"
mv "$work" "$target"
trap - EXIT
awk -v t="$target" -v s="$start" -v e="$end" 'BEGIN { printf "template prefix %s made in %.1f s\n", t, e - s }'
