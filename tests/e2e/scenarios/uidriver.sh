#!/bin/bash
# The UI driver against its own test dialog (uitarget.exe): windows by title,
# controls by ID on the visible one of two pages, texts, states, list entries
# and selections, the notifications a parent receives, clicks, a message box
# answered, list view check boxes, keys pressed, foreground and minimised
# windows, and the failures and time-outs that the scenarios rely on.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
trap e2e_finish EXIT
e2e_keep_server
H="UiTarget Host"

e2e_step "dialog"
"$KV_WINE" "$KV_E2E_BIN/uitarget.exe" dialog &
target=$!
ui <<UI
wait-window "$H"
# The two pages share control IDs: the visible page's control is the one found.
expect-text "$H" 2000 "page A"
expect "$H" 2003 visible enabled unchecked
expect "$H" 1004 disabled visible
expect "$H" 1001 hidden
expect-text "$H" 1 "Next"

# Combo box and list box: entries, selection, the parent's notification.
expect-items "$H" 2001 alpha beta gamma
expect-selected "$H" 2001 alpha
select "$H" 2001 gamma
expect-selected "$H" 2001 gamma
expect-text "$H" 1006 "CBN_SELCHANGE 2001 gamma"
expect-items "$H" 2002 one two
expect-no-selection "$H" 2002
select "$H" 2002 two
expect-selected "$H" 2002 two
expect-text "$H" 1006 "LBN_SELCHANGE 2002 two"

# Check box and radio buttons, clicked.
click "$H" 2003
expect "$H" 2003 checked
click "$H" 2005
expect "$H" 2005 checked
expect "$H" 2004 unchecked
expect-text "$H" 1006 "BN_CLICKED 2005"

# List view: items read from the other process, check boxes and selection
# set, the list view's own LVN_ITEMCHANGED reaching the parent.
expect-items "$H" 1005 first second third
expect-ticked "$H" 1005
set-check "$H" 1005 third on
expect-ticked "$H" 1005 third
expect-text "$H" 1006 "LVN_ITEMCHANGED 1005 item 2 ticked"
set-check "$H" 1005 first on
set-check "$H" 1005 third off
expect-ticked "$H" 1005 first
select "$H" 1005 second
expect-selected "$H" 1005 second

# Next shows the other page: the same IDs now answer from page B.
click "$H" 1
expect-text "$H" 2000 "page B"
expect "$H" 2003 visible unchecked
click "$H" 1
expect-text "$H" 2000 "page A"
expect "$H" 2003 checked
# Keys go to the window brought to the front: Enter is its default button.
key "$H" Enter
expect-text "$H" 2000 "page B"
key "$H" Enter
expect-text "$H" 2000 "page A"

# A message box: its text, then No.
expect-no-msgbox UiTarget
click "$H" 1002
expect-msgbox UiTarget "Go on?\nSecond line"
expect-text "$H" 1003 "answer: none"
UI

# While the box is open the owner's buttons cannot be clicked, and a
# disabled button never can.
ui_try click "$H" 1 2>/dev/null && e2e_fail "clicked a button of a window disabled by its message box"
ui <<UI
press UiTarget no
expect-text "$H" 1003 "answer: no"
click "$H" 1002
expect-msgbox UiTarget "Go on?\nSecond line" yes
expect-text "$H" 1003 "answer: yes"
expect-no-msgbox UiTarget 200
UI
ui_try click "$H" 1004 2>/dev/null && e2e_fail "clicked a disabled button"

e2e_step "failures and time-outs"
# Wrong expectations fail after the time-out, with a message naming what
# was seen; unknown commands and bad arguments are refused at once.
out=$(UIDRIVER_TIMEOUT_MS=300 ui_try expect-text "$H" 2000 "page C" 2>&1)
[ $? -eq 1 ] || e2e_fail "a wrong text passed"
grep -q 'reads "page A" after 300 ms' <<<"$out" || e2e_fail "unclear failure: $out"
out=$(UIDRIVER_TIMEOUT_MS=300 ui_try wait-window "No Such Window" 2>&1)
[ $? -eq 1 ] || e2e_fail "a missing window was found"
grep -q 'visible windows:.*"UiTarget Host"' <<<"$out" || e2e_fail "no list of windows: $out"
UIDRIVER_TIMEOUT_MS=300 ui_try expect-items "$H" 2001 alpha beta 2>/dev/null && e2e_fail "a short list passed"
UIDRIVER_TIMEOUT_MS=300 ui_try select "$H" 2001 delta 2>/dev/null && e2e_fail "selected a missing entry"
ui_try no-such-command 2>/dev/null; [ $? -eq 2 ] || e2e_fail "an unknown command was not refused"
ui_try key "$H" Hyper+Q 2>/dev/null; [ $? -eq 1 ] || e2e_fail "an unknown key was pressed"
ui_try click "$H" 0x1000000 2>/dev/null; [ $? -eq 1 ] || e2e_fail "a bad control ID was not refused"
printf 'echo "unterminated\n' | ui_try - 2>/dev/null; [ $? -eq 2 ] || e2e_fail "a bad script line was not refused"
# A script stops at its first failing line.
out=$(printf 'echo one\nexpect-text "%s" 2000 nothing\necho two\n' "$H" | UIDRIVER_TIMEOUT_MS=200 ui_try - 2>&1)
grep -q '^one' <<<"$out" && ! grep -q '^two' <<<"$out" && grep -q 'line 2: expect-text' <<<"$out" ||
    e2e_fail "the script did not stop at line 2: $out"

e2e_step "other windows: front, minimised, count"
e2e_start_window "Uninstall"
ui <<UI
expect-window-count Uninstall 1
activate "$H"
expect-foreground "$H"
activate Uninstall
expect-foreground Uninstall
minimize "$H"
expect-minimized "$H"
close Uninstall
wait-gone Uninstall
expect-no-window Uninstall 200
UI
e2e_wait_exit "$E2E_WINDOW_PID" 10 || e2e_fail "the plain window ended with an error"

e2e_step "spooler"
ui spooler >/dev/null
ui expect-no-printer "No Such Printer"
UIDRIVER_TIMEOUT_MS=200 ui_try expect-printer "No Such Printer" 2>/dev/null && e2e_fail "found a missing printer"

# Escape is Cancel.
ui key "$H" Escape
e2e_wait_exit "$target" 10 || e2e_fail "the test dialog ended with an error"
