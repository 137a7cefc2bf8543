#!/usr/bin/env bash
# qsetup-status.sh [BUILD_DIR] [RUNS] [PACKAGE]: how long qsetup.exe of
# PACKAGE (default BUILD_DIR/package; BUILD_DIR default build/x86_64, whose
# Wine template is used; 10 runs) takes under Wine for what a detection rule
# and a configuration run repeat on every machine: `status` of an
# installation in place, and `install --ensure` with nothing to do. For
# comparison, Wine's process start alone (`qsetup.exe --help`). One Wine
# prefix for all runs, the USB printer installed once before. Prints the
# median of each. Not a test: figures to read.
set -uo pipefail

if [ "${1:-}" != --in-prefix ]; then
    cd "$(dirname "$0")/.."
    build=$(realpath -m "${1:-build/x86_64}")
    runs=${2:-10}
    package=$(realpath -m "${3:-$build/package}")
    [ -f "$package/qsetup.exe" ] || { echo "qsetup-status: no $package/qsetup.exe" >&2; exit 1; }
    KV_WINE_TEMPLATE_REUSE=1 tests/wine/make-template.sh "$build/wine-template" >/dev/null || exit 1
    KV_WINE_TEMPLATE=$build/wine-template KV_WINE_VERSION=${KV_WINE_VERSION:-winxp} \
    KV_WINE_TIMEOUT=$((120 + runs * 20)) KV_E2E_BIN=$build/tests/e2e KV_E2E_PACKAGE=$package \
        exec tests/wine/wine-run.sh "$PWD/bench/qsetup-status.sh" --in-prefix "$runs"
fi

# In the prefix (run by wine-run.sh).
runs=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e" && pwd)
. "$here/harness.sh"
e2e_init >/dev/null
trap - EXIT
e2e_usb_printers "0 0"

choices=(--model KRT-P58 --port USB_KRT-P58_1 --default)
q() { (cd "$E2E_PKG" && exec "$KV_WINE" "$E2E_PKG_WIN\\qsetup.exe" "$@") >/dev/null 2>&1; }
q install "$E2E_PKG_WIN" "${choices[@]}" || { echo "qsetup-status: the installation failed" >&2; exit 1; }

# The figures hold only for the runs they name.
q status "$E2E_PKG_WIN" "${choices[@]}" || { echo "qsetup-status: status is not 0" >&2; exit 1; }
(cd "$E2E_PKG" && "$KV_WINE" "$E2E_PKG_WIN\\qsetup.exe" install "$E2E_PKG_WIN" "${choices[@]}" --ensure 2>&1) |
    grep -q 'nothing changed' || { echo "qsetup-status: install --ensure changed something" >&2; exit 1; }

now() { date +%s%N; }
# median NAME COMMAND...: runs COMMAND $runs times, prints the median in ms.
median() {
    local name=$1 times=() t0 i
    shift
    for ((i = 1; i <= runs; i++)); do
        t0=$(now)
        "$@"
        times+=($((($(now) - t0) / 1000000)))
    done
    printf '%-44s median %5d ms over %d runs (min %d, max %d)\n' "$name" \
        "$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')" \
        "$runs" "$(printf '%s\n' "${times[@]}" | sort -n | head -1)" \
        "$(printf '%s\n' "${times[@]}" | sort -n | tail -1)"
}

median "Wine process start (qsetup.exe --help)" q --help
median "qsetup.exe status (in place, exit 0)" q status "$E2E_PKG_WIN" "${choices[@]}"
median "qsetup.exe install --ensure (nothing to do)" q install "$E2E_PKG_WIN" "${choices[@]}" --ensure
