#!/bin/bash
# Windows Server 2003 with a model that does not declare
# "System2003Supported" (KEM-E10): the OS page detects Server 2003, Next is
# refused with string 145 and the wizard stays on the OS page; Cancel then
# ends it with nothing installed.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init

e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
click "$W" 1073
expect "$W" 1074 enabled
expect "$W" 1030 disabled
select "$W" 1074 KEM-E10
click "$W" 1
# "AdvancedSetup" 0.
expect "$W" 1067 visible disabled
click "$W" 1
expect "$W" 1075 visible enabled checked
expect-text "$W" 1075 "Windows Server 2003 "
expect "$W" 1029 disabled unchecked
click "$W" 1
expect-msgbox $APP "This printer not support WINDOWS SEVER 2003" ok
# Still the OS page, Back still enabled, Next still Next.
expect "$W" 1075 visible checked
expect "$W" 1049 hidden
expect "$W" 1002 enabled
expect-text "$W" 1 "$NEXT"
# Again: refused again.
click "$W" 1
expect-msgbox $APP "This printer not support WINDOWS SEVER 2003" ok
expect "$W" 1075 visible
# A model that supports Server 2003 goes on.
click "$W" 1002
click "$W" 1002
expect "$W" 1074 visible
select "$W" 1074 KEM-E20
click "$W" 1
click "$W" 1
expect "$W" 1075 visible
click "$W" 1
expect "$W" 1049 visible
expect-no-msgbox $APP
click "$W" 2
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20
ui expect-no-printer "KEM-E10(P)"
out=$(ui spooler)
grep -q '^printer.*KEM-' <<<"$out" && e2e_fail "a printer was installed: $out"
exit 0
