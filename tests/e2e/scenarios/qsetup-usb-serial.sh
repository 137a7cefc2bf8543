#!/bin/bash
# Windows XP, unattended, on the stand-in USB library: a printer whose ID 2
# answers to the third port, installed on the first port without --set-id
# (the question answered No: exit 1602, nothing installed, the ID kept), then
# with --set-id (the ID becomes 0, the queue "KRT-P58(U) 1", the USB monitor
# and records); and a serial installation on "VXCOM2:" with settings, stored
# under "COM2:" in NT's "Ports" key.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../qsetup.sh"
e2e_init
e2e_usb_printers "0 2"

qsetup_expect 1602 install "$E2E_PKG_WIN" --model KRT-P58 --port USB_KRT-P58_1
qsetup_expect_err "Setup: This application will change printer name / the name will be matching with interface name"
qsetup_expect_err "(answered No)"
ui expect-no-printer "KRT-P58(U) 1"
[ "$(e2e_usb_id 0)" = 2 ] || e2e_fail "the printer's ID changed: $(e2e_usb_id 0)"

qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-P58 --port USB_KRT-P58_1 --set-id
qsetup_expect_err "(answered Yes: --set-id)"
qsetup_expect_err "Setup: Successfully installed printer driver / Please repower the printer"
[ "$(e2e_usb_id 0)" = 0 ] || e2e_fail "the printer's ID is '$(e2e_usb_id 0)', expected 0"
ui <<UI
expect-monitor "Quillset USB Port Monitor"
expect-printer "KRT-P58(U) 1" USB_KRT-P58_1 "Quillset KRT-P58 Receipt Raster"
UI
e2e_expect_regs 'HKLM\SOFTWARE\TARVELO\PRINTERPORT' D1=0x0 D8=0x0 USB_KRT-P58_1=0x0 USB_KRT-P58_2=0xff
e2e_expect_reg 'HKLM\SOFTWARE\TARVELO\PORTNAME' USB_KRT-P58_1 0x0

ports='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-P58 --port VXCOM2: --serial 19200,Even,7,2,Xon/Xoff
ui <<UI
expect-monitor "Quillset Serial Port Monitor"
expect-printer "KRT-P58(S)" VXCOM2: "Quillset KRT-P58 Receipt"
UI
e2e_expect_reg "$ports" COM2: "19200,e,7,2,x"

e2e_step "refusals before any change"
qsetup_expect 2 install "$E2E_PKG_WIN" --model KRT-P58 --port LPT1: --os Vista
qsetup_expect_err "Setup installs only for the running Windows, Windows XP"
qsetup_expect 2 install "$E2E_PKG_WIN" --model KTT-T82 --port USB_KTT-T82_1
qsetup_expect_err 'the port "USB_KTT-T82_1" is not offered for KTT-T82 on Windows XP (Typical)'
qsetup_expect 2 install "C:\\no-such-package" --model KRT-P58 --port LPT1:
ui expect-no-printer "KTT-T82(U) 1"
