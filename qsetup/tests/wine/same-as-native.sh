#!/bin/bash
# same-as-native.sh <laid-out package> <native qsetup>
#
# qsetup.exe under Wine against the native qsetup: `check` on the laid-out
# sample package (clean: exit 0, no finding) and on a broken copy of it, and
# `plan` of a USB installation, must print the same text and JSON and end
# with the same exit codes. Run by tests/wine/wine-run.sh (WINEPREFIX and
# $KV_WINE set). Without a native build only the Windows side is checked.
set -uo pipefail
package=$(realpath "${1:?laid-out package}")
native=${2:-}
exe=$package/qsetup.exe
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# A Unix path as Wine's Z: drive sees it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

cp -a "$package" "$work/clean"
cp -a "$package" "$work/broken"
rm -f "$work/broken/winnt/QSTKT.GPD"
sed -i 's/^PROCNAME1=.*/PROCNAME1=Print/' "$work/broken/DRVCONFIG/Uninstall.ini"
sed -i 's/^\[KTT-T80\.2003\]/[KTT-T80.2003x]/' "$work/broken/DRVCONFIG/setup_ticket.ini"

# run <name> <expected exit> <qsetup arguments, the package as @PKG@...>
run() {
    local name=$1 want=$2 dir=$3
    shift 3
    local wargs=() nargs=()
    for a in "$@"; do
        wargs+=("${a//@PKG@/$(winpath "$work/$dir")}")
        nargs+=("${a//@PKG@/$work/$dir}")
    done
    "$KV_WINE" "$exe" "${wargs[@]}" >"$work/$name.wine" 2>"$work/$name.wine-err"
    local rc=$?
    tr -d '\r' <"$work/$name.wine" | sed 's/"package":"[^"]*"/"package":""/' >"$work/$name.w"
    [ "$rc" -eq "$want" ] || fail "$name: qsetup.exe exit $rc, expected $want ($(head -c 300 "$work/$name.wine-err"))"
    if [ -n "$native" ] && [ -x "$native" ]; then
        "$native" "${nargs[@]}" 2>/dev/null | sed 's/"package":"[^"]*"/"package":""/' >"$work/$name.n"
        local nrc=${PIPESTATUS[0]}
        [ "$nrc" -eq "$rc" ] || fail "$name: native exit $nrc, qsetup.exe $rc"
        if ! diff -u "$work/$name.n" "$work/$name.w" >"$work/$name.diff"; then
            fail "$name: qsetup.exe printed other findings than the native qsetup:"
            head -40 "$work/$name.diff" >&2
        fi
    fi
    echo "$name: exit $rc, $(wc -l <"$work/$name.w") lines"
}

run check-clean 0 clean check @PKG@
grep -qx 'qsetup check: 0 errors, 0 warnings in 9 models, 271 offered installations rehearsed' \
    "$work/check-clean.w" ||
    fail "check-clean: $(tail -1 "$work/check-clean.w")"
run check-broken 1 broken check @PKG@
grep -q 'setup_ticket.ini:[0-9]*: error: \[KTT-T80.XP\] STDDataFile "QSTKT.GPD" not found in winnt\\; it breaks ' \
    "$work/check-broken.w" || fail "check-broken: the missing data file is not reported"
run check-broken-json 1 broken check @PKG@ --json
run plan-usb 0 clean plan @PKG@ --model KRT-P58 --os XP --port USB_KRT-P58_1
run plan-98-json 0 clean plan @PKG@ --model KRT-A100 --os 98 --port LPT1: --json

if [ -z "$native" ] || [ ! -x "$native" ]; then
    echo "note: no native qsetup at '${native}': only qsetup.exe's own results were checked"
fi
echo "same-as-native: $failures failures"
[ "$failures" -eq 0 ]
