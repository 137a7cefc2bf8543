#!/bin/bash
# Windows XP (or the version of KV_WINE_VERSION: Windows 10 is taken for
# Vista): Setup installs a receipt printer on USB (its model brings the
# QSPrint processor) and another on LPT1:; Uninstall, started in the package
# (whose Uninstall.ini lies only in DRVCONFIG), lists the two queues, the USB
# monitor and the processor, Select All ticks them, and Uninstall removes them
# in list order with its status lines, and the monitor's DLL files named by
# the running version's section. The PORTNAME records go with the USB
# monitor, PRINTERPORT stays; the restart is declined; only Exit is left
# enabled. The search for Uninstall.ini changes no file's attributes. From
# Vista on both programs mark themselves for the Compatibility Assistant.
#
# Wine differs from Windows in one answer: DeletePrinterDriverExA with a
# delete flag fails with 87, so each driver step reports
# "Delete printer driver error.    er=87" where Windows deletes the driver.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
U=Uninstall

e2e_step "Setup: KRT-A100 on its first USB port"
e2e_usb_printers "0 0"
setup_install_receipt KRT-A100 USB_KRT-A100_1 "Successfully installed printer driver\nPlease repower the printer"

e2e_step "Setup: KRT-C3 on LPT1:"
setup_install_receipt KRT-C3 LPT1:
ui <<UI
expect-printer "KRT-A100(U) 1" USB_KRT-A100_1
expect-printer "KRT-C3(P)" LPT1:
expect-monitor "Quillset USB Port Monitor"
UI
e2e_reg_value 'HKLM\SOFTWARE\TARVELO\PORTNAME' USB_KRT-A100_1 >/dev/null ||
    e2e_fail "Setup wrote no PORTNAME record"
e2e_expect_compat_mark Setup.exe
e2e_expect_no_reg "$E2E_PERSISTED" "$E2E_PKG_WIN\\Uninstall.exe"

# Files of the package that carry the read-only mark (Wine shows a file
# without write permission as read-only); the search must leave them so.
chmod a-w "$E2E_PKG/README.txt" "$E2E_PKG/DRVCONFIG/setup.ini"
attributes() { stat -c '%n %a' "$E2E_PKG"/* "$E2E_PKG"/DRVCONFIG/*; }
before=$(attributes)

e2e_step "Uninstall: the list"
e2e_start_setup Uninstall.exe
uninstall=$E2E_PID
ui <<UI
wait-window $U
expect-items $U 1010 "KRT-A100(U) 1" "KRT-C3(P)" "Quillset USB Port Monitor" QSPrint
expect-ticked $U 1010
expect-items $U 1008 "Please select the printers you want to uninstall."
expect $U 1002 enabled
expect $U 1012 enabled
expect $U 2 enabled
click $U 1012
expect-ticked $U 1010 "KRT-A100(U) 1" "KRT-C3(P)" "Quillset USB Port Monitor" QSPrint
UI
[ "$(attributes)" = "$before" ] || e2e_fail "the search for Uninstall.ini changed file attributes"
e2e_expect_compat_mark Uninstall.exe

e2e_step "Uninstall: the removal, the restart declined"
ui <<UI
click $U 1002
timeout 120000
wait-window "Restart Computer"
timeout 10000
click "Restart Computer" 2
wait-gone "Restart Computer"
expect $U 2 enabled
expect $U 1002 disabled
expect $U 1010 disabled
expect $U 1012 disabled
expect-items $U 1010
expect-items $U 1008 "Please select the printers you want to uninstall." "Deleting printer KRT-A100(U) 1,please wait..." "KRT-A100(U) 1 has been deleted." "Deleting KRT-A100(U) 1's driver,please wait..." "Delete printer driver error.    er=87" "Deleting printer KRT-C3(P),please wait..." "KRT-C3(P) has been deleted." "Deleting KRT-C3(P)'s driver,please wait..." "Delete printer driver error.    er=87" "Deleting Quillset USB Port Monitor,please wait..." "Quillset USB Port Monitor has been deleted." "Deleting QSPrint,please wait..." "QSPrint has been deleted."
expect-no-printer "KRT-A100(U) 1"
expect-no-printer "KRT-C3(P)"
UI
if ui spooler | grep -q "Quillset USB Port Monitor"; then
    e2e_fail "the USB monitor is still installed"
fi
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\INSTALLPRINTER'
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\PORTNAME'
e2e_expect_reg 'HKLM\SOFTWARE\TARVELO\PRINTERPORT' USB_KRT-A100_1 0x0
sys=$WINEPREFIX/drive_c/windows/system32
for dll in QSUSBMON.DLL QSUSBUI.DLL; do
    [ -e "$sys/$dll" ] && e2e_fail "$dll is still in the system folder"
done

e2e_step "Exit"
ui <<UI
click $U 2
wait-gone $U
UI
e2e_wait_exit "$uninstall" 20
