#!/bin/bash
# Windows XP (or the version of KV_WINE_VERSION: Windows 10 is taken for
# Vista; Windows 2000 passes the administrator check first), a Typical
# installation on "LPT1:" of a receipt model whose "AdvancedSetup" is 0: the
# pages in order with their Back and Next texts and
# states, Typical forced after Advanced had been chosen for another model,
# the OS detected, the sorted port list and its preselection, the success
# message, the wizard closed, the queue "KRT-C3(P)" with the driver of the
# running version's section and its port in the spooler and the registry, and
# the Compatibility Assistant's mark (from Vista on).
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
# Every version's section of KRT-C3 names the same driver; in this copy of
# the package the running version's section names it after the section
# ("... Raster Vista"), so that the queue shows which section Setup read.
driver="Quillset KRT-C3 Receipt Raster $OS_SECTION"
e2e_ini_set DRVCONFIG/setup_receipt.ini "KRT-C3.$OS_SECTION" GDIDriverName "$driver"

e2e_step "module page"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
expect-text "$W" 1002 "$BACK"
expect "$W" 1002 disabled
expect-text "$W" 1 "$NEXT"
expect "$W" 1 enabled
expect-text "$W" 2 "$CANCEL"
expect-text "$W" 1088 "Press \"F1\" for help"
# The setup INI's default model, KRT-P58, is preselected in the receipt list;
# the other lists are disabled until their module is chosen.
expect "$W" 1019 visible checked
expect-items "$W" 1030 KRT-P58 KRT-A100 KRT-B200 KRT-C3
expect-selected "$W" 1030 KRT-P58
expect "$W" 1030 enabled
expect-items "$W" 1031 KTT-T82 KTT-T80
expect "$W" 1031 disabled
expect-items "$W" 1032 KLB-L40
# The embedded list is sorted by its control.
expect-items "$W" 1074 KEM-E10 KEM-E20
expect "$W" 1046 unchecked
click "$W" 1
UI

e2e_step "setup-type page: Advanced allowed, then forced off"
ui <<UI
# KRT-P58 allows Advanced: choose it.
expect "$W" 1066 visible checked
expect "$W" 1067 enabled unchecked
expect "$W" 1030 hidden
expect "$W" 1002 enabled
expect-text "$W" 1 "$NEXT"
click "$W" 1067
expect "$W" 1067 checked
expect-text "$W" 1068 "Support multi-USB printer"
# Back to the module page: its choice kept, Back disabled again.
click "$W" 1002
expect "$W" 1030 visible
expect-selected "$W" 1030 KRT-P58
expect "$W" 1002 disabled
# Receipt's KRT-C3 declares "AdvancedSetup" 0: Typical is forced.
select "$W" 1030 KRT-C3
expect-selected "$W" 1030 KRT-C3
click "$W" 1
expect "$W" 1066 visible checked
expect "$W" 1067 disabled unchecked
expect-text "$W" 1068 "Install default printer driver"
expect "$W" 1069 hidden
expect "$W" 1070 hidden
click "$W" 1
UI

e2e_step "OS page: $OS_SECTION detected"
setup_expect_os
ui <<UI
expect "$W" 1090 enabled unchecked
expect-text "$W" 1 "$NEXT"
expect "$W" 1002 enabled
click "$W" 1
UI

e2e_step "port page"
ui <<UI
expect "$W" 1049 visible enabled
expect-text "$W" 1 "$INSTALL"
expect "$W" 1002 enabled
# Sorted by the list itself: the parallel ports, the model's USB port
# (Typical: only the first), the maker's serial ports.
expect-items "$W" 1049 LPT1: LPT2: LPT3: USB_KRT-C3_1 VXCOM1: VXCOM2: VXCOM3: VXCOM4: VXCOM5: VXCOM6: VXCOM7: VXCOM8:
# No USB printer answers and "LPTDEFAULT" is 0: entry 0.
expect-selected "$W" 1049 LPT1:
expect "$W" 1041 disabled
expect "$W" 1042 disabled
expect "$W" 1043 disabled
expect "$W" 1044 disabled
expect "$W" 1045 disabled
expect "$W" 1052 hidden
expect "$W" 1065 hidden
expect-items "$W" 1041 110 300 1200 2400 4800 9600 19200 38400 57600 115200
# KRT-C3 has no "BaudRate": the list shows 38400.
expect-selected "$W" 1041 38400
expect-selected "$W" 1042 8
expect-selected "$W" 1043 None
expect-selected "$W" 1044 1
expect-selected "$W" 1045 Hardware
# Back to the OS page and forward again: the button texts follow, the list
# and its choice stay.
click "$W" 1002
expect "$W" $OS_RADIO visible
expect-text "$W" 1 "$NEXT"
click "$W" 1
expect "$W" 1049 visible
expect-text "$W" 1 "$INSTALL"
expect-selected "$W" 1049 LPT1:
UI

e2e_step "install on LPT1:"
ui <<UI
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20
e2e_step "Setup ended with exit code $?"

e2e_step "spooler and registry"
ui <<UI
expect-printer "KRT-C3(P)" LPT1: "$driver"
expect-no-printer "KRT-C3(P)(1)"
UI
printers='HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers'
e2e_expect_reg "$printers\\KRT-C3(P)" Port LPT1:
e2e_expect_reg "$printers\\KRT-C3(P)" "Printer Driver" "$driver"
e2e_expect_compat_mark Setup.exe
# A parallel installation writes no USB records.
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\PRINTERPORT'
