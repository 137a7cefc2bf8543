# Shared settings of the Wine harness; sourced by wine-run.sh and
# make-template.sh.

# The 64-bit loader itself: the /usr/bin/wine wrapper tries the 32-bit
# loader first and fails on this machine.
KV_WINE=${KV_WINE:-/usr/lib/wine/wine64}
KV_WINESERVER=${KV_WINESERVER:-$(dirname "$KV_WINE")/wineserver}
[ -x "$KV_WINESERVER" ] || KV_WINESERVER=wineserver

export WINEDEBUG=${WINEDEBUG:--all}
# No .NET or Gecko installers, no prompts for them.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

# kv_wine_template_for <exe>: the template prefix of the build folder that
# holds <exe>, or else of the build folder around the current directory
# ($KV_WINE_TEMPLATE when set).
kv_wine_template_for() {
    if [ -n "${KV_WINE_TEMPLATE:-}" ]; then
        printf '%s\n' "$KV_WINE_TEMPLATE"
        return 0
    fi
    local dir start
    for start in "$(dirname "$1")" "$PWD"; do
        dir=$(cd "$start" 2>/dev/null && pwd) || continue
        while [ "$dir" != / ]; do
            if [ -f "$dir/CMakeCache.txt" ]; then
                printf '%s\n' "$dir/wine-template"
                return 0
            fi
            dir=$(dirname "$dir")
        done
    done
    return 1
}
