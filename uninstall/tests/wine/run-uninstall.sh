#!/bin/bash
# Uninstall.exe under Wine on a prefix of its own (run by tests/wine/wine-run.sh
# with KV_WINE_XVFB=1), started in the laid-out sample package:
#
#   run-uninstall.sh <build folder> nothing   nothing of the package installed:
#                                             "No printer to uninstall!", then the end
#   run-uninstall.sh <build folder> remove    what an installation leaves, all
#                                             ticked and removed
#   run-uninstall.sh <build folder> single    a second copy shows no second window;
#                                             with Setup's window open it refuses
#
# Prints what it saw; exits non-zero on the first difference.
set -uo pipefail
build=$1
case_name=$2
tools=$build/uninstall
package=$build/package
cd "$package" || exit 2
fail() { echo "FAIL: $*"; exit 1; }
expect_line() { grep -qxF -- "$2" <<<"$1" || fail "missing line: $2"; }
reg_has() { "$KV_WINE" reg query "HKLM\\SOFTWARE\\TARVELO\\$1" >/dev/null 2>&1; }

case $case_name in
nothing)
    # A copy of the package whose files carry marks that the search must
    # leave alone (Wine shows a file without write permission as read-only).
    copy=$WINEPREFIX/drive_c/pkg
    cp -r "$package" "$copy" || fail "copying the package"
    chmod a-w "$copy/README.txt" "$copy/POS.CHM"
    before=$(stat -c '%n %a' "$copy"/* "$copy"/DRVCONFIG/*)
    cd "$copy" || exit 2
    "$KV_WINE" Uninstall.exe >/dev/null 2>&1 &
    out=$("$KV_WINE" "$tools/UninstallDrive.exe" message Error 2>/dev/null | tr -d '\r')
    echo "$out"
    expect_line "$out" "message: No printer to uninstall!"
    expect_line "$out" "ended"
    [ "$(stat -c '%n %a' "$copy"/* "$copy"/DRVCONFIG/*)" = "$before" ] ||
        fail "the search changed file attributes"
    ;;
single)
    dos_package=$("$KV_WINE" winepath -w "$package" 2>/dev/null | tr -d '\r')
    "$KV_WINE" "$tools/UninstallSeed.exe" "$dos_package" || fail "seeding the prefix"
    "$KV_WINE" Uninstall.exe >/dev/null 2>&1 &
    for _ in $(seq 100); do
        [ "$("$KV_WINE" "$tools/UninstallDrive.exe" count Uninstall 2>/dev/null | tr -d '\r')" = "windows: 1" ] && break
        sleep 0.3
    done
    timeout 60 "$KV_WINE" Uninstall.exe >/dev/null 2>&1 || fail "the second copy did not end"
    out=$("$KV_WINE" "$tools/UninstallDrive.exe" count Uninstall 2>/dev/null | tr -d '\r')
    echo "second copy: $out"
    [ "$out" = "windows: 1" ] || fail "a second window"
    # End the first copy (and with it its mutex).
    "${KV_WINESERVER:-$(dirname "$KV_WINE")/wineserver}" -k >/dev/null 2>&1
    sleep 1
    # Setup's window open: a refusal and no window of our own.
    "$KV_WINE" "$tools/UninstallDrive.exe" window "Install Driver for Printers" 30 >/dev/null 2>&1 &
    for _ in $(seq 100); do
        [ "$("$KV_WINE" "$tools/UninstallDrive.exe" count "Install Driver for Printers" 2>/dev/null | tr -d '\r')" = "windows: 1" ] && break
        sleep 0.3
    done
    "$KV_WINE" Uninstall.exe >/dev/null 2>&1 &
    out=$("$KV_WINE" "$tools/UninstallDrive.exe" message Uninstall 2>/dev/null | tr -d '\r')
    echo "$out"
    expect_line "$out" "message: Please close Quillset program first!"
    ;;
remove)
    dos_package=$("$KV_WINE" winepath -w "$package" 2>/dev/null | tr -d '\r')
    "$KV_WINE" "$tools/UninstallSeed.exe" "$dos_package" || fail "seeding the prefix"
    "$KV_WINE" Uninstall.exe >/dev/null 2>&1 &
    out=$("$KV_WINE" "$tools/UninstallDrive.exe" no 2>/dev/null | tr -d '\r')
    echo "$out"
    expect_line "$out" "restart dialog shown"
    # Wine's spooler enumerates monitors by name, so the serial one comes first.
    expected=$(cat <<'LINES'
status: Please select the printers you want to uninstall.
status: Deleting printer Quillset KRT-P58(U) 1,please wait...
status: Quillset KRT-P58(U) 1 has been deleted.
status: Deleting Quillset KRT-P58(U) 1's driver,please wait...
status: Delete printer driver error.    er=87
status: Deleting printer Quillset KTT-20,please wait...
status: Quillset KTT-20 has been deleted.
status: Deleting Quillset KTT-20's driver,please wait...
status: Delete printer driver error.    er=87
status: Deleting Quillset Serial Port Monitor,please wait...
status: Quillset Serial Port Monitor has been deleted.
status: Deleting Quillset USB Port Monitor,please wait...
status: Quillset USB Port Monitor has been deleted.
status: Deleting QSPrint,please wait...
status: QSPrint has been deleted.
enabled: 2
LINES
)
    # Wine answers DeletePrinterDriverExA with a delete flag by 87 where
    # Windows deletes the driver.
    [ "$(grep -E '^(status|enabled):' <<<"$out")" = "$expected" ] || fail "status lines differ"
    reg_has INSTALLPRINTER && fail "INSTALLPRINTER is still there"
    reg_has PORTNAME && fail "PORTNAME is still there"
    reg_has PRINTERPORT || fail "PRINTERPORT is gone"
    sys=$("$KV_WINE" winepath -u 'C:\windows\system32' 2>/dev/null | tr -d '\r')
    for dll in QSUSBMON.DLL QSUSBUI.DLL QSCOMMON.DLL QSCOMUI.DLL; do
        [ -e "$sys/$dll" ] && fail "$dll is still there"
    done
    ;;
*)
    echo "unknown case $case_name"; exit 2 ;;
esac
echo PASS
