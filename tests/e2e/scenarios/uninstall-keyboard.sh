#!/bin/bash
# Windows XP, a package on read-only media: Setup installs a printer on the
# maker's serial port, and the monitor DLLs it copies land writable. A copy
# of Uninstall under another name is a program of its own (its mutex, its
# message box caption). Uninstall opens centred; F1 opens its English help
# file, the Chinese one when the English one is missing, or brings the open
# help viewer forward. With the keyboard alone Select All and Uninstall run
# the removal; Escape and Alt+F4 change nothing while it runs; the restart
# question opens centred and Escape declines it; the DLLs are gone, also
# where they were read-only.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
e2e_help_viewer
U=Uninstall
sys=$WINEPREFIX/drive_c/windows/system32

# Wine shows a file without write permission as read-only, as a CD's.
find "$E2E_PKG" -type f -exec chmod a-w {} +
writable() { [ "$(stat -c %A "$1" | cut -c3)" = w ]; }
writable "$E2E_PKG/winnt/QSCOMMON.DLL" && e2e_fail "the package is not read-only"

e2e_step "Setup from the read-only package: KRT-P58 on VXCOM1:"
setup_install_receipt KRT-P58 VXCOM1:
for dll in QSCOMMON.DLL QSCOMUI.DLL; do
    [ -e "$sys/$dll" ] || e2e_fail "$dll was not copied"
    writable "$sys/$dll" || e2e_fail "$dll is read-only in the system folder"
    # As an earlier Setup left them, for Uninstall to remove.
    chmod a-w "$sys/$dll"
done

# centred NAME: the window lies in the middle of the 1024 x 768 screen.
centred() {
    local rect x y w h
    rect=$(ui rect "$1" | tr -d '\r') || exit 1
    read -r x y w h <<<"$rect"
    [[ "$x$y$w$h" =~ ^[-0-9]+$ ]] || e2e_fail "no rectangle for $1: $rect"
    [ $(((x + w / 2 - 512) ** 2)) -le 64 ] && [ $(((y + h / 2 - 384) ** 2)) -le 64 ] ||
        e2e_fail "$1 is not centred: $rect"
}

e2e_step "a renamed copy goes by its own name"
cp "$E2E_PKG/Uninstall.exe" "$E2E_PKG/Remove.exe"
e2e_start_window "$W"
setup_window=$E2E_WINDOW_PID
e2e_start_setup Remove.exe
ui expect-msgbox Remove "Please close Quillset program first!" ok
e2e_wait_exit "$E2E_PID" 30
ui close "$W"
e2e_wait_exit "$setup_window" 10
e2e_start_setup Remove.exe
renamed=$E2E_PID
ui wait-window $U
# The sample's name is another mutex: Uninstall.exe runs beside it.
e2e_start_setup Uninstall.exe
sample=$E2E_PID
ui expect-window-count $U 2
ui close $U
ui expect-window-count $U 1
ui close $U
ui wait-gone $U
e2e_wait_exit "$renamed" 30
e2e_wait_exit "$sample" 30

e2e_step "centred; F1"
e2e_start_setup Uninstall.exe
uninstall=$E2E_PID
ui <<UI
wait-window $U
expect-items $U 1010 "KRT-P58(S)" "Quillset Serial Port Monitor"
UI
centred $U
ui <<UI
key $U F1
wait-window "C:\\pkg\\Uninstall_EN.CHM"
close "C:\\pkg\\Uninstall_EN.CHM"
wait-gone "C:\\pkg\\Uninstall_EN.CHM"
UI
rm -f "$E2E_PKG/Uninstall_EN.CHM"
ui <<UI
key $U F1
wait-window "C:\\pkg\\Uninstall_CN.CHM"
close "C:\\pkg\\Uninstall_CN.CHM"
wait-gone "C:\\pkg\\Uninstall_CN.CHM"
UI
e2e_start_window "Uninstall Help"
viewer=$E2E_WINDOW_PID
ui <<UI
key $U F1
expect-foreground "Uninstall Help"
expect-no-window "C:\\pkg\\Uninstall_CN.CHM" 1000
close "Uninstall Help"
UI
e2e_wait_exit "$viewer" 10

e2e_step "the removal by the keyboard"
ui <<UI
key $U Alt+S
expect-ticked $U 1010 "KRT-P58(S)" "Quillset Serial Port Monitor"
key $U Alt+U
expect $U 1002 disabled
key $U Escape Alt+F4
expect-window-count $U 1
timeout 120000
wait-window "Restart Computer"
timeout 10000
expect-window-count $U 1
UI
centred "Restart Computer"
ui <<UI
key "Restart Computer" Escape
wait-gone "Restart Computer"
expect $U 2 enabled
expect-items $U 1010
expect-items $U 1008 "Please select the printers you want to uninstall." "Deleting printer KRT-P58(S),please wait..." "KRT-P58(S) has been deleted." "Deleting KRT-P58(S)'s driver,please wait..." "Delete printer driver error.    er=87" "Deleting Quillset Serial Port Monitor,please wait..." "Quillset Serial Port Monitor has been deleted."
expect-no-printer "KRT-P58(S)"
UI
for dll in QSCOMMON.DLL QSCOMUI.DLL; do
    [ -e "$sys/$dll" ] && e2e_fail "$dll is still in the system folder"
done

e2e_step "Escape leaves"
ui <<UI
key $U Escape
wait-gone $U
UI
e2e_wait_exit "$uninstall" 30
