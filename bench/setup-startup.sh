#!/usr/bin/env bash
# setup-startup.sh [BUILD_DIR] [RUNS] [PACKAGE]: how long Setup.exe of
# PACKAGE (default BUILD_DIR/package; BUILD_DIR default build/x86_64, whose
# Wine template and UI driver are used; 10 runs) takes under Wine from its
# start to its wizard window, on a private Xvfb display and one Wine prefix
# for all runs.
# Each run starts Setup.exe, waits with the UI driver for the window
# "Install Driver for Printers", then cancels the wizard. Prints every run,
# the median and the UI driver's own start-up (included in each figure;
# subtract it to compare with other machines). Not a test: a figure to read.
set -uo pipefail

if [ "${1:-}" != --in-prefix ]; then
    cd "$(dirname "$0")/.."
    build=$(realpath -m "${1:-build/x86_64}")
    runs=${2:-10}
    package=$(realpath -m "${3:-$build/package}")
    [ -f "$package/Setup.exe" ] || { echo "setup-startup: no $package/Setup.exe" >&2; exit 1; }
    KV_WINE_TEMPLATE_REUSE=1 tests/wine/make-template.sh "$build/wine-template" >/dev/null || exit 1
    KV_WINE_TEMPLATE=$build/wine-template KV_WINE_XVFB=1 KV_WINE_VERSION=${KV_WINE_VERSION:-winxp} \
    KV_WINE_TIMEOUT=$((60 + runs * 30)) KV_E2E_BIN=$build/tests/e2e KV_E2E_PACKAGE=$package \
        exec tests/wine/wine-run.sh "$PWD/bench/setup-startup.sh" --in-prefix "$runs"
fi

# In the prefix (run by wine-run.sh).
runs=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e" && pwd)
. "$here/harness.sh"
. "$here/setup-wizard.sh"
e2e_init >/dev/null
trap - EXIT

now() { date +%s%N; }
ms() { echo $((($2 - $1) / 1000000)); }

# The UI driver's own start: one command that finds at once what it wants.
t0=$(now)
ui echo ready >/dev/null
driver=$(ms "$t0" "$(now)")

times=()
for ((i = 1; i <= runs; i++)); do
    t0=$(now)
    (cd "$E2E_PKG" && exec "$KV_WINE" "$E2E_PKG_WIN\\Setup.exe") &
    pid=$!
    ui wait-window "$W"
    t=$(ms "$t0" "$(now)")
    times+=("$t")
    echo "run $i: ${t} ms"
    ui <<UI
click "$W" 2
wait-gone "$W"
UI
    e2e_wait_exit "$pid" 20 >/dev/null
done

median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "Setup.exe start to wizard window: median ${median} ms over $runs runs" \
     "(UI driver start-up ${driver} ms included)"
