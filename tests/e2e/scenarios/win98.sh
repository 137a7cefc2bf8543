#!/bin/bash
# Windows 98 (Wine reporting it): the OS page checks "Windows 98/Me" alone.
# Typical installations of KRT-C3 on "LPT1:" and of KRT-P58 on "COM2:" read
# the models' ".98" sections, copy the files of the package's win98 folder,
# register the drivers for "Windows 4.0" and end with the restart question,
# answered No; the serial settings go to win.ini "Ports" and to the "DCB"
# value of the second serial port's class key. `qsetup install` ends with
# 3010 (a restart is wanted). Uninstall lists and removes the three queues
# (on Windows 98/Me it keeps their drivers) and offers the restart.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
[ "$OS_SECTION" = 98 ] || e2e_fail "run with KV_WINE_VERSION=win98"

# In this copy of the package the ".98" sections name their drivers after
# the section, and win98's data file carries a mark, so that the spooler and
# the driver folder show what Setup read and copied.
c3="Quillset KRT-C3 Receipt Raster 98"
p58="Quillset KRT-P58 Receipt 98"
e2e_ini_set DRVCONFIG/setup_receipt.ini KRT-C3.98 GDIDriverName "$c3"
e2e_ini_set DRVCONFIG/setup_receipt.ini KRT-P58.98 STDDriverName "$p58"
printf '*%% from win98\r\n' >>"$E2E_PKG/win98/QSRCPT.GPD"
# The class keys of Windows 98's ports, which Wine lacks: a parallel port,
# then two serial ones; COM2: is the second serial one.
class='HKLM\System\CurrentControlSet\Services\Class\Ports'
for key in 0000=00 0001=01 0002=01; do
    "$KV_WINE" reg add "$class\\${key%=*}" /v PortSubClass /t REG_BINARY /d "${key#*=}" /f \
        >/dev/null 2>&1 || e2e_fail "cannot add $class\\${key%=*}"
done

e2e_step "Setup: KRT-C3 on LPT1:"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
click "$W" 1019
select "$W" 1030 KRT-C3
click "$W" 1
expect "$W" 1066 visible
click "$W" 1
UI
setup_expect_os
ui <<UI
click "$W" 1
# Windows 98 offers its own two serial ports, LPT1: and the model's USB port;
# entry 0 of the sorted list is preselected.
expect-items "$W" 1049 COM1: COM2: LPT1: USB_KRT-C3_1
expect-selected "$W" 1049 COM1:
select "$W" 1049 LPT1:
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver" ok
expect-msgbox $APP "$RESTART" no
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20

e2e_step "Setup: KRT-P58 on COM2:"
e2e_start_setup
setup=$E2E_PID
setup_walk 1019 1030 KRT-P58
ui <<UI
select "$W" 1049 COM2:
select "$W" 1041 19200
select "$W" 1043 Even
select "$W" 1042 7
select "$W" 1044 2
select "$W" 1045 Xon/Xoff
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver" ok
expect-msgbox $APP "$RESTART" no
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20

e2e_step "spooler, driver folder, win.ini and registry"
ui <<UI
expect-printer "KRT-C3(P)" LPT1: "$c3"
expect-printer "KRT-P58(S)" COM2: "$p58"
expect-driver "$c3" "Windows 4.0" 0
expect-driver "$p58" "Windows 4.0" 0
UI
win40=$WINEPREFIX/drive_c/windows/system32/spool/drivers/win40
grep -q 'from win98' "$win40/QSRCPT.GPD" 2>/dev/null ||
    e2e_fail "no QSRCPT.GPD of the win98 folder in $win40"
win_ini=$(tr -d '\r' <"$WINEPREFIX/drive_c/windows/win.ini")
awk '/^\[/ { inside = ($0 == "[Ports]") } inside && $0 == "COM2:=19200,e,7,2,x" { found = 1 }
     END { exit !found }' <<<"$win_ini" || e2e_fail "no COM2: in win.ini [Ports]: $win_ini"
# The DCB: 28 bytes, 19200 baud, binary, even parity checked, Xon/Xoff both
# ways, 7 data bits, parity 2, two stop bits (2), Xon 0x11, Xoff 0x13.
e2e_expect_reg "$class\\0002" DCB 1C000000004B00000307000000000000000007020211130000000000
e2e_expect_no_reg "$class\\0001" DCB
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\PRINTERPORT'

e2e_step "qsetup: KRT-A100 on LPT1:, a restart wanted"
. "$(dirname "$0")/../qsetup.sh"
qsetup_expect 3010 install "$E2E_PKG_WIN" --model KRT-A100 --port LPT1:
ui expect-printer "KRT-A100(P)" LPT1:

e2e_step "Uninstall: the three queues"
e2e_start_setup Uninstall.exe
uninstall=$E2E_PID
ui <<UI
wait-window Uninstall
expect-items Uninstall 1010 "KRT-A100(P)" "KRT-C3(P)" "KRT-P58(S)"
click Uninstall 1012
click Uninstall 1002
timeout 120000
wait-window "Restart Computer"
timeout 10000
click "Restart Computer" 2
wait-gone "Restart Computer"
expect Uninstall 2 enabled
expect-items Uninstall 1008 "Please select the printers you want to uninstall." "Deleting printer KRT-A100(P),please wait..." "KRT-A100(P) has been deleted." "Deleting printer KRT-C3(P),please wait..." "KRT-C3(P) has been deleted." "Deleting printer KRT-P58(S),please wait..." "KRT-P58(S) has been deleted."
expect-no-printer "KRT-A100(P)"
expect-no-printer "KRT-C3(P)"
expect-no-printer "KRT-P58(S)"
# On Windows 98/Me the drivers stay.
expect-driver "$c3" "Windows 4.0" 0
click Uninstall 2
wait-gone Uninstall
UI
e2e_wait_exit "$uninstall" 20
