#!/bin/bash
# Uninstall's refusals on Windows XP: with nothing of the package installed
# it says "No printer to uninstall!" and ends; a second copy started while
# the first runs opens no second window and brings the first forward; with
# Setup's window open it says "Please close Quillset program first!" and
# opens no window. A box ticked and unticked again in the list leaves the
# item to a run; a box ticked by itself is what the run removes. (A queue with a waiting job can't be had here: Wine's
# spooler keeps a job in the process that started it, where no other
# program sees it; the simulated Windows covers that case.)
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
U=Uninstall

e2e_step "nothing installed"
e2e_start_setup Uninstall.exe
uninstall=$E2E_PID
ui <<UI
expect-msgbox Error "No printer to uninstall!" ok
wait-gone $U
UI
e2e_wait_exit "$uninstall" 20

e2e_step "Setup: KRT-C3 on LPT1:, for something to list"
setup_install_receipt KRT-C3 LPT1:

e2e_step "a second copy"
e2e_start_setup Uninstall.exe
first=$E2E_PID
ui <<UI
wait-window $U
expect-items $U 1010 "KRT-C3(P)"
minimize $U
expect-minimized $U
UI
e2e_start_setup Uninstall.exe
e2e_wait_exit "$E2E_PID" 20
ui <<UI
expect-window-count $U 1
expect-restored $U
expect-foreground $U
UI

e2e_step "the user's ticks"
ui <<UI
set-check $U 1010 "KRT-C3(P)" on
set-check $U 1010 "KRT-C3(P)" off
click $U 1002
expect-items $U 1008 "Please select the printers you want to uninstall." "Please select the printers you want to uninstall."
expect $U 1002 enabled
expect-items $U 1010 "KRT-C3(P)"
set-check $U 1010 "KRT-C3(P)" on
click $U 1002
timeout 120000
wait-window "Restart Computer"
click "Restart Computer" 2
wait-gone "Restart Computer"
expect-items $U 1010
expect-no-printer "KRT-C3(P)"
expect $U 2 enabled
click $U 2
wait-gone $U
UI
e2e_wait_exit "$first" 20

e2e_step "Setup's window open"
e2e_start_window "$W"
e2e_start_setup Uninstall.exe
uninstall=$E2E_PID
# The message box carries the program's name; no dialog of its own follows.
ui expect-msgbox $U "Please close Quillset program first!" ok
e2e_wait_exit "$uninstall" 20
ui expect-no-window $U 500
ui close "$W"
e2e_wait_exit "$E2E_WINDOW_PID" 10
