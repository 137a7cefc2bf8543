#!/bin/bash
# Setup started with another current folder than the package (a shortcut
# with another "Start in", a command prompt elsewhere): the package is not
# where Setup looks, so it says "Can't load file Left.bmp!" at once and
# ends, although a DRVCONFIG\Left.bmp lies beside the program.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init

(cd "$WINEPREFIX/drive_c" && exec "$KV_WINE" "$E2E_PKG_WIN\\Setup.exe") &
setup=$!
e2e_step "started C:\\pkg\\Setup.exe in C:\\ (pid $setup)"
ui <<UI
expect-msgbox $APP "Can't load file Left.bmp!" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 30
ui expect-no-window "$W" 500
