#!/bin/bash
# Windows XP, unattended: qsetup.exe installs KRT-A100 on "LPT1:" (exit 0,
# progress lines, the log beside it), a second time under the numbered name,
# lists what Uninstall would offer, and "uninstall --all" leaves no printer
# and no processor DLL of the package (exit 0: on XP the spooler's restart
# after each removal is enough; the log says Uninstall would offer a restart).
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../qsetup.sh"
e2e_init

qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-A100 --port LPT1:
grep -q '^\[ *[0-9.]* s\] step 1: wait 100 ms$' <<<"$Q_OUT" || e2e_fail "no progress lines: $Q_OUT"
grep -q '^qsetup: installed "KRT-A100(P)" (exit code 0, [0-9]* steps, ' <<<"$Q_OUT" ||
    e2e_fail "no result line: $Q_OUT"
qsetup_expect_err "Setup: Successfully installed printer driver"
ui expect-printer "KRT-A100(P)" LPT1: "Quillset KRT-A100 Receipt Raster"

qsetup_expect 0 install . --model KRT-A100 --port LPT1: --quiet
grep -q '^qsetup: installed "KRT-A100(P)(1)" (exit code 0, [0-9]* steps, .*, changed)$' <<<"$Q_OUT" &&
    [ "$(wc -l <<<"$Q_OUT")" = 1 ] || e2e_fail "--quiet printed more than the summary: $Q_OUT"
ui expect-printer "KRT-A100(P)(1)" LPT1:

e2e_step "the log: appended, one time-stamped line per step"
log=$E2E_PKG/qsetup.log
[ -f "$log" ] || e2e_fail "no qsetup.log beside qsetup.exe"
stamp='[0-9]\{4\}-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]\.[0-9]\{3\}  '
tr -d '\r' <"$log" >"$log.txt"
grep -c "^${stamp}qsetup install [.C:pkg\\]* --model KRT-A100 --port LPT1:" "$log.txt" | grep -qx 2 ||
    e2e_fail "the log does not hold both command lines: $(cat "$log.txt")"
grep -q "^${stamp}Windows found: Windows NT 5.1 build 2600, which Setup installs for as Windows XP$" "$log.txt" ||
    e2e_fail "the log does not say which Windows it found"
grep -q "^${stamp}step [0-9]*: add the printer driver \"Quillset KRT-A100 Receipt Raster\"" "$log.txt" ||
    e2e_fail "the log misses the driver step"
grep -q "^${stamp}installed \"KRT-A100(P)(1)\" (exit code 0, " "$log.txt" ||
    e2e_fail "the log misses the second result"
[ "$(grep -vc "^${stamp}" "$log.txt")" = 0 ] || e2e_fail "a log line without a time stamp"

qsetup_expect 0 list "$E2E_PKG_WIN"
qsetup_expect_out "$(printf 'printer\tKRT-A100(P)')"
qsetup_expect_out "$(printf 'printer\tKRT-A100(P)(1)')"
qsetup_expect_out "$(printf 'processor\tQSPrint')"

qsetup_expect 1 uninstall "$E2E_PKG_WIN" --item "KRT-A100(P)" --item "No such printer"
qsetup_expect_err '"No such printer" is not in Uninstall'"'"'s list'
ui expect-printer "KRT-A100(P)" LPT1:

qsetup_expect 0 uninstall "$E2E_PKG_WIN" --all
qsetup_expect_err "Uninstall: QSPrint has been deleted."
tr -d '\r' <"$log" | grep -q "Uninstall itself would offer a restart of Windows now" ||
    e2e_fail "the log does not say that Uninstall would offer a restart"
ui <<UI
expect-no-printer "KRT-A100(P)"
expect-no-printer "KRT-A100(P)(1)"
UI
# Wine's DeletePrintProcessor reports success but keeps the processor (a
# stub): its DLL is gone, the spooler still names it.
[ -e "$WINEPREFIX/drive_c/windows/system32/spool/prtprocs/x64/QSPROC.DLL" ] &&
    e2e_fail "QSPROC.DLL is still there"
qsetup_expect 0 list "$E2E_PKG_WIN"
[ "$Q_OUT" = "$(printf 'processor\tQSPrint')" ] || e2e_fail "still listed: $Q_OUT"
