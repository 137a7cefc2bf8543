#!/bin/bash
# Windows XP, a Typical installation on the maker's serial port "VXCOM2:"
# with chosen settings: the serial lists enabled and the raster driver off,
# the queue "KRT-P58(S)" with the text driver, the serial port monitor, and
# the settings in NT's "Ports" key under "COM2:".
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init

ports='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
# Wine's own settings before the installation.
e2e_expect_reg "$ports" COM2: "9600,n,8,1"

e2e_start_setup
setup=$E2E_PID
setup_walk 1019 1030 KRT-P58
e2e_step "port page: serial settings"
ui <<UI
# KRT-P58's "BaudRate" is 9600.
expect-selected "$W" 1041 9600
expect "$W" 1041 disabled
select "$W" 1049 VXCOM2:
expect "$W" 1041 enabled
expect "$W" 1042 enabled
expect "$W" 1043 enabled
expect "$W" 1044 enabled
expect "$W" 1045 enabled
expect "$W" 1052 hidden disabled unchecked
select "$W" 1041 19200
select "$W" 1043 Even
select "$W" 1042 7
select "$W" 1044 2
select "$W" 1045 Xon/Xoff
expect-selected "$W" 1041 19200
expect-selected "$W" 1045 Xon/Xoff
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20

e2e_step "spooler and registry"
ui <<UI
expect-monitor "Quillset Serial Port Monitor"
expect-printer "KRT-P58(S)" VXCOM2: "Quillset KRT-P58 Receipt"
UI
e2e_expect_reg "$ports" COM2: "19200,e,7,2,x"
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\PRINTERPORT'
