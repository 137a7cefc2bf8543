#!/bin/bash
# walk-typical.sh [SHOTS_DIR]: a Typical installation of the package's
# default model with every default choice, walked by the UI driver; run by
# tests/wine/wine-run.sh under Xvfb (scripts/screenshots.sh, scripts/demo.sh).
# With SHOTS_DIR, a PNG of every page, of the progress window and of the
# final message goes there. Prints the printer queues the spooler then has.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
. "$here/harness.sh"
. "$here/setup-wizard.sh"
shots=${1:-}
e2e_init
if [ -n "$shots" ]; then
    mkdir -p "$shots" || e2e_fail "cannot make $shots"
    e2e_decorate
fi

shot() {
    [ -n "$shots" ] && e2e_shot "$shots/$1.png" "$2"
    return 0
}

e2e_start_setup
setup=$E2E_PID
ui wait-window "$W"
shot 1-module "$W"
ui click "$W" 1
ui expect "$W" 1066 visible
shot 2-setup-type "$W"
ui click "$W" 1
ui expect "$W" 1090 visible
shot 3-os "$W"
ui click "$W" 1
ui expect "$W" 1049 visible
shot 4-port "$W"
port=$(ui items "$W" 1049 | sed -n 's/^\* //p')
e2e_step "installing on $port"
ui click "$W" 1
# The progress window has no title.
shot 5-progress ""
UIDRIVER_TIMEOUT_MS=60000 ui msgbox "$APP" >/dev/null
shot 6-done "$APP"
ui press "$APP" ok
e2e_wait_exit "$setup" 30

echo
echo "Printer queues:"
ui spooler | awk -F'\t' '$1 == "printer" { printf "  %s on %s, driver %s\n", $2, $3, $4; n++ }
                        END { if (!n) print "  none" }'
if [ -n "$shots" ]; then
    echo
    echo "Screenshots:"
    ls "$shots"/*.png | sed 's/^/  /'
fi
