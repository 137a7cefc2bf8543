#!/bin/bash
# Windows XP (or the version of KV_WINE_VERSION: Windows 10 is taken for
# Vista), an Advanced installation on USB: the stand-in USB library holds
# one printer whose ID 2 maps to the model's third USB port, which the port
# page preselects; the user takes the first port instead, agrees to the
# renumbering question, and the printer's ID becomes 0 (read back from the
# stand-in's state). The queue "KRT-P58(U) 1" on "USB_KRT-P58_1" with the
# driver of the running version's section, the USB port monitor, the
# SOFTWARE\TARVELO records, the USB success message and the Compatibility
# Assistant's mark (from Vista on).
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
e2e_usb_printers "0 2"
# The running version's section names the driver after itself in this copy
# of the package (as in xp-parallel.sh).
driver="Quillset KRT-P58 Receipt Raster $OS_SECTION"
e2e_ini_set DRVCONFIG/setup_receipt.ini "KRT-P58.$OS_SECTION" GDIDriverName "$driver"

e2e_step "module and setup-type pages: Advanced"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
expect-selected "$W" 1030 KRT-P58
click "$W" 1
# KRT-P58 allows Advanced.
expect "$W" 1067 visible enabled unchecked
expect "$W" 1066 checked
click "$W" 1067
expect "$W" 1067 checked
expect "$W" 1066 unchecked
expect-text "$W" 1068 "Support multi-USB printer"
expect-text "$W" 1069 "Support driver mode selection"
expect "$W" 1069 visible
expect "$W" 1070 hidden
# Typical and back again restores the remarks.
click "$W" 1066
expect-text "$W" 1068 "Install default printer driver"
expect "$W" 1069 hidden
click "$W" 1067
expect "$W" 1069 visible
click "$W" 1
UI
setup_expect_os
ui <<UI
click "$W" 1
UI

e2e_step "port page: the printer's port preselected"
ui <<UI
expect "$W" 1049 visible
expect-items "$W" 1049 LPT1: LPT2: LPT3: USB_KRT-P58_1 USB_KRT-P58_2 USB_KRT-P58_3 USB_KRT-P58_4 VXCOM1: VXCOM2: VXCOM3: VXCOM4: VXCOM5: VXCOM6: VXCOM7: VXCOM8:
# ID 2: port number 3.
expect-selected "$W" 1049 USB_KRT-P58_3
expect "$W" 1041 disabled
expect "$W" 1045 disabled
# Advanced shows the driver variant, raster for a USB port.
expect "$W" 1052 visible enabled checked
# The sample package's USB device driver is never newer than an installed one.
expect "$W" 1065 hidden
# A serial port switches the settings on and the raster driver off.
select "$W" 1049 VXCOM3:
expect "$W" 1041 enabled
expect "$W" 1052 disabled unchecked
select "$W" 1049 USB_KRT-P58_1
expect "$W" 1041 disabled
expect "$W" 1052 enabled checked
expect-selected "$W" 1049 USB_KRT-P58_1
UI
[ "$(e2e_usb_id 0)" = 2 ] || e2e_fail "the printer's ID changed before Install: $(e2e_usb_id 0)"

e2e_step "install: the ID question answered Yes"
ui <<UI
click "$W" 1
expect-msgbox $APP "This application will change printer name\nthe name will be matching with interface name\nIf continue, click on \"Yes\"\nOtherwise click on \"No\"" yes
timeout 60000
expect-msgbox $APP "Successfully installed printer driver\nPlease repower the printer" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20
id=$(e2e_usb_id 0)
[ "$id" = 0 ] || e2e_fail "the printer's ID is '$id', expected 0 (port number 1)"

e2e_step "spooler and registry"
ui <<UI
expect-monitor "Quillset USB Port Monitor"
expect-printer "KRT-P58(U) 1" USB_KRT-P58_1 "$driver"
expect-no-printer "KRT-P58(U) 3"
UI
e2e_expect_reg 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\KRT-P58(U) 1' Port USB_KRT-P58_1
e2e_expect_compat_mark Setup.exe
# Every "D" value reset, the chosen port 0, every other supported USB port
# 255, and the chosen port's position in the package's list of USB devices.
e2e_expect_regs 'HKLM\SOFTWARE\TARVELO\PRINTERPORT' D1=0x0 D2=0x0 D3=0x0 D4=0x0 D5=0x0 D6=0x0 \
    D7=0x0 D8=0x0 USB_KRT-P58_1=0x0 USB_KRT-P58_3=0xff USB_KEM-E20_4=0xff
e2e_expect_reg 'HKLM\SOFTWARE\TARVELO\PORTNAME' USB_KRT-P58_1 0x0
e2e_expect_no_reg 'HKLM\SOFTWARE\TARVELO\PORTNAME' USB_KRT-P58_3
