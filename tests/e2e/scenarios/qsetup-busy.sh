#!/bin/bash
# Windows XP: qsetup.exe refuses to install (exit 1618) while Setup's wizard
# is open or a window titled "Uninstall" exists, and installs once they have
# gone; meanwhile Setup, started during no run, works as before.
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

qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-A100 --port LPT1:
ui expect-printer "KRT-A100(P)" LPT1:
