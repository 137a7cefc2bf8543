#!/bin/bash
# Windows NT 4.0 (Wine reporting it): the OS page checks "Windows NT" alone;
# a Typical installation of KRT-C3 on "LPT1:" as the default printer reads
# the ".NT" section, copies the files of the package's winnt folder, ends
# without a restart question, and makes the queue the default printer in
# win.ini "windows"/"device" (which Windows NT, and Wine, keep in the
# registry).
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
[ "$OS_SECTION" = NT ] || e2e_fail "run with KV_WINE_VERSION=nt40"

driver="Quillset KRT-C3 Receipt Raster NT"
e2e_ini_set DRVCONFIG/setup_receipt.ini KRT-C3.NT GDIDriverName "$driver"
printf '*%% from winnt\r\n' >>"$E2E_PKG/winnt/QSRCPT.GPD"

e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
click "$W" 1019
select "$W" 1030 KRT-C3
click "$W" 1046
expect "$W" 1046 checked
click "$W" 1
expect "$W" 1066 visible
click "$W" 1
UI
setup_expect_os
ui <<UI
click "$W" 1
# NT 4.0 has no USB: no USB port.
expect-items "$W" 1049 LPT1: LPT2: LPT3: VXCOM1: VXCOM2: VXCOM3: VXCOM4: VXCOM5: VXCOM6: VXCOM7: VXCOM8:
select "$W" 1049 LPT1:
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20

e2e_step "spooler, driver folder and win.ini's default printer"
ui <<UI
expect-printer "KRT-C3(P)" LPT1: "$driver"
# Setup registers an NT 4.0 driver as version 2; Wine files every driver of
# its environment as version 3.
expect-driver "$driver" "Windows x64"
UI
grep -rlq 'from winnt' "$WINEPREFIX/drive_c/windows/system32/spool/drivers/x64" ||
    e2e_fail "no QSRCPT.GPD of the winnt folder in the driver folder"
# win.ini's "windows" section lives in the registry, as Windows NT maps it
# (Wine does the same).
e2e_expect_reg 'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows' device \
    "KRT-C3(P),$driver,LPT1:"
