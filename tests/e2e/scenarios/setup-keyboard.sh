#!/bin/bash
# Setup on Windows XP with the keyboard alone: Escape cancels; Tab reaches
# the module radios also when the Receipt module has no models; Enter is
# Next, Alt+B is Back, arrows choose; F1 opens the help file, or brings its
# open viewer forward; the raster check box has its tool tip while it is
# greyed; Alt+I installs, and Escape and Alt+F4 change nothing while the
# installation runs (here with an outdated serial monitor, so the spooler is
# stopped and started); the final message opens in front of another
# program's window and Enter answers it.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
e2e_help_viewer
ini="$E2E_PKG/DRVCONFIG/setup.ini"
monitor='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Quillset Serial Port Monitor'

e2e_step "Escape cancels"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
key "$W" Enter
expect "$W" 1066 visible
key "$W" Enter
expect "$W" 1090 visible
key "$W" Escape
wait-gone "$W"
UI
e2e_wait_exit "$setup" 30

e2e_step "Tab reaches the modules when Receipt has none"
cp "$ini" "$ini.kept"
sed -i 's/-ReceiptPrinter\r$/-Withdrawn\r/' "$ini"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
expect "$W" 1019 disabled unchecked
expect "$W" 1020 enabled unchecked
# From Next: Cancel, then the first module that can be chosen; the group
# has that one tab stop, so the next Tab is its model list.
key "$W" Tab Tab Space
expect "$W" 1020 checked
expect "$W" 1031 enabled
expect-selected "$W" 1031 KTT-T82
key "$W" Tab Down
expect-selected "$W" 1031 KTT-T80
expect "$W" 1020 checked
key "$W" Escape
wait-gone "$W"
UI
e2e_wait_exit "$setup" 30
mv "$ini.kept" "$ini"

e2e_step "a serial monitor to replace"
setup_install_receipt KRT-P58 VXCOM1:
"$KV_WINE" reg add "$monitor" /v DriverVersion /t REG_DWORD /d 1 /f >/dev/null 2>&1 ||
    e2e_fail "cannot make the serial monitor outdated"

e2e_step "the wizard by the keyboard"
e2e_start_window "Other Program"
other=$E2E_WINDOW_PID
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
expect "$W" 1019 checked
key "$W" Enter
expect "$W" 1066 visible
key "$W" Alt+B
expect "$W" 1019 visible
expect "$W" 1002 disabled
# From Next: Cancel, then the checked module, then (one tab stop for the
# whole group) its model list.
key "$W" Tab Tab Tab Down
expect-selected "$W" 1030 KRT-A100
expect "$W" 1019 checked
expect "$W" 1020 unchecked
# Back to the module; Down takes the next one.
key "$W" Shift+Tab Down
expect "$W" 1020 checked
expect "$W" 1031 enabled
expect "$W" 1030 disabled
key "$W" Enter
expect "$W" 1066 visible checked
key "$W" Enter
expect "$W" 1029 visible checked
key "$W" Enter
expect "$W" 1049 visible
expect-text "$W" 1 "$INSTALL"
expect-selected "$W" 1049 LPT1:
# From Install: Cancel, then the port list; End takes its last port.
key "$W" Tab Tab End
expect-selected "$W" 1049 VXCOM8:
expect "$W" 1041 enabled
expect "$W" 1052 disabled unchecked
expect-tip "$W" 1052 "Press \"F1\" for help"
UI

e2e_step "F1"
ui <<UI
key "$W" F1
wait-window "C:\\pkg\\POS.CHM"
close "C:\\pkg\\POS.CHM"
wait-gone "C:\\pkg\\POS.CHM"
UI
e2e_start_window "VX900 Printer Driver Installer"
viewer=$E2E_WINDOW_PID
ui <<UI
activate "Other Program"
expect-foreground "Other Program"
key "$W" F1
expect-foreground "VX900 Printer Driver Installer"
expect-no-window "C:\\pkg\\POS.CHM" 1000
close "VX900 Printer Driver Installer"
UI
e2e_wait_exit "$viewer" 10

e2e_step "install with Alt+I; Escape and Alt+F4 while it runs"
ui <<UI
key "$W" Alt+I
rect-untitled
key "" Escape Alt+F4
rect-untitled
key "" Alt+F4 Escape
timeout 90000
expect-msgbox $APP "Successfully installed printer driver"
timeout 10000
# In front of the other program, with the wizard behind it.
expect-foreground $APP
key * Enter
wait-gone "$W"
UI
e2e_wait_exit "$setup" 30
e2e_expect_reg "$monitor" DriverVersion 0x2
ui <<UI
expect-printer "KTT-T82(S)" VXCOM8:
close "Other Program"
UI
e2e_wait_exit "$other" 10
