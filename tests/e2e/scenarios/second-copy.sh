#!/bin/bash
# Setup started a second time while the first runs: no second wizard, the
# first one restored and in front. Setup started while a window titled
# "Uninstall" exists: "Please close Uninstall program first!" and no wizard.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init

e2e_step "second copy"
e2e_start_setup
first=$E2E_PID
# Each step waits for its state (minimize until the window is minimised);
# the time-outs only bound a failure, generously for a loaded machine.
ui <<UI
timeout 60000
wait-window "$W"
click "$W" 1
expect "$W" 1066 visible
minimize "$W"
expect-minimized "$W"
UI
e2e_start_window "Other Program"
ui <<UI
activate "Other Program"
expect-foreground "Other Program"
UI
e2e_start_setup
second=$E2E_PID
e2e_wait_exit "$second" 60
e2e_step "the second copy ended with exit code $?"
ui <<UI
timeout 60000
expect-window-count "$W" 1
expect-restored "$W"
expect-foreground "$W"
expect-no-msgbox $APP
# The first copy goes on where it was.
expect "$W" 1066 visible
click "$W" 2
wait-gone "$W"
UI
e2e_wait_exit "$first" 60
ui close "Other Program"
e2e_wait_exit "$E2E_WINDOW_PID" 10

e2e_step "Uninstall open"
e2e_start_window "Uninstall"
e2e_start_setup
setup=$E2E_PID
ui <<UI
expect-msgbox $APP "Please close Uninstall program first!"
expect-no-window "$W"
press $APP ok
UI
e2e_wait_exit "$setup" 20
ui expect-no-window "$W" 500
ui close Uninstall
e2e_wait_exit "$E2E_WINDOW_PID" 10
