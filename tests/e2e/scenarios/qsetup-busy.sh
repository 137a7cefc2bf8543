#!/bin/bash
# Windows XP: qsetup.exe refuses to install (exit 1618) while Setup's wizard
# is open or a window titled "Uninstall" exists, and installs once they have
# gone; meanwhile Setup, started during no run, works as before. A package
# whose data file is named with a folder is refused (exit 2) before anything
# changes: no monitor, no file copied, no printer.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
. "$(dirname "$0")/../qsetup.sh"
e2e_init

e2e_start_setup
setup=$E2E_PID
ui wait-window "$W"
qsetup_expect 1618 install "$E2E_PKG_WIN" --model KRT-A100 --port LPT1:
qsetup_expect_err 'qsetup: Setup is running (its window "Install Driver for Printers" is open)'
ui <<UI
expect-no-printer "KRT-A100(P)"
click "$W" 2
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20

e2e_start_window Uninstall
qsetup_expect 1618 uninstall "$E2E_PKG_WIN" --all
qsetup_expect_err 'qsetup: Uninstall is running (its window "Uninstall" is open)'
kill "$E2E_WINDOW_PID" 2>/dev/null
ui wait-gone Uninstall

ini=DRVCONFIG/setup_receipt.ini
cp "$E2E_PKG/$ini" "$E2E_PKG/kept.ini"
e2e_ini_set "$ini" KRT-A100.XP STDDataFile '..\winnt\QSRCPT.GPD'
qsetup_expect 2 install "$E2E_PKG_WIN" --model KRT-A100 --port VXCOM1:
qsetup_expect_err 'STDDataFile "..\winnt\QSRCPT.GPD" is not a plain file name'
e2e_expect_no_reg 'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Quillset Serial Port Monitor'
[ -z "$(find "$WINEPREFIX/drive_c/windows" -iname 'QSCOMMON.DLL' -o -iname 'QSRCPT.GPD')" ] ||
    e2e_fail "files of the refused installation were copied"
ui expect-no-printer "KRT-A100(S)"
mv "$E2E_PKG/kept.ini" "$E2E_PKG/$ini"

qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-A100 --port LPT1:
ui expect-printer "KRT-A100(P)" LPT1:
