#!/bin/bash
# A package without DRVCONFIG\Left.bmp: "Can't load file Left.bmp!", and
# once it is answered the wizard ends and Setup with it.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init
rm -f "$E2E_PKG/DRVCONFIG/Left.bmp"

e2e_start_setup
setup=$E2E_PID
ui <<UI
expect-msgbox $APP "Can't load file Left.bmp!" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20
ui expect-no-window "$W" 500
