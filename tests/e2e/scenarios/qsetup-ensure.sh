#!/bin/bash
# Windows XP, the deployment engines' way: for a parallel (with --default), a
# USB (stand-in library) and a serial port (with settings), status says 1,
# install --ensure three times makes one queue (changed true, false, false),
# status says 0; its JSON documents parse and name the queue the spooler
# shows. An outdated monitor makes status 1 and install --ensure replaces it;
# a queue deleted by hand comes back under the same name; uninstall --ensure
# twice exits 0. Last, the command lines of the README's recipes, as written
# there.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../qsetup.sh"
e2e_init
e2e_usb_printers "0 0"

# json EXPRESSION: the value of a Python expression over the last run's
# standard output read as one JSON document `d` (which must parse).
json() {
    python3 -c 'import json,sys; d=json.load(sys.stdin); print(eval(sys.argv[1]))' "$1" <<<"$Q_OUT" ||
        e2e_fail "standard output is not one JSON document: $Q_OUT"
}

ports='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports'
monitors='HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors'
pkg=$E2E_PKG_WIN

# converge NAME PORT DRIVER CHOICES...: the round of one installation.
converge() {
    local name=$1 port=$2 driver=$3
    shift 3
    qsetup_expect 1 status "$pkg" "$@"
    grep -q '^queue: none bound to ' <<<"$Q_OUT" || e2e_fail "status before: $Q_OUT"
    local want=True
    for run in 1 2 3; do
        qsetup_expect 0 install "$pkg" "$@" --ensure --json
        [ "$(json 'd["changed"]')" = $want ] || e2e_fail "run $run: changed is not $want: $Q_OUT"
        [ "$(json 'd["printer"]')" = "$name" ] || e2e_fail "run $run: printer: $Q_OUT"
        [ "$(json 'd["exitCode"], d["command"]')" = "(0, 'install')" ] || e2e_fail "run $run: $Q_OUT"
        want=False
    done
    qsetup_expect 0 status "$pkg" "$@" --json
    [ "$(json 'all(i["ok"] for i in d["items"]), d["printer"]')" = "(True, '$name')" ] ||
        e2e_fail "status after: $Q_OUT"
    qsetup_expect 0 status "$pkg" "$@"
    qsetup_expect_out "queue: ok"
    ui <<UI
expect-printer "$name" $port "$driver"
expect-no-printer "$name(1)"
UI
}

converge "KRT-A100(P)" LPT1: "Quillset KRT-A100 Receipt Raster" --model KRT-A100 --port LPT1: --default
qsetup_expect_out "default: ok"
converge "KRT-P58(U) 1" USB_KRT-P58_1 "Quillset KRT-P58 Receipt Raster" --model KRT-P58 --port USB_KRT-P58_1
qsetup_expect_out "usb: ok"
serial=(--model KTT-T82 --port VXCOM2: --serial 19200,Even,7,2,Xon/Xoff)
converge "KTT-T82(S)" VXCOM2: "Quillset KTT-T82 Ticket" "${serial[@]}"
qsetup_expect_out "serial: ok"
e2e_expect_reg "$ports" COM2: "19200,e,7,2,x"

e2e_step "an outdated monitor: status 1, install --ensure replaces it"
usb=(--model KRT-P58 --port USB_KRT-P58_1)
version=$(e2e_reg_value "$monitors\\Quillset USB Port Monitor" DriverVersion) ||
    e2e_fail "the USB monitor has no version"
"$KV_WINE" reg add "$monitors\\Quillset USB Port Monitor" /v DriverVersion /t REG_DWORD /d 0 /f >/dev/null 2>&1
qsetup_expect 1 status "$pkg" "${usb[@]}"
qsetup_expect_out "monitor: version 0 installed, the package has $((version))"
qsetup_expect 0 install "$pkg" "${usb[@]}" --ensure --json
[ "$(json 'd["changed"]')" = True ] || e2e_fail "the monitor's replacement changed nothing: $Q_OUT"
e2e_expect_reg "$monitors\\Quillset USB Port Monitor" DriverVersion "$version"
qsetup_expect 0 status "$pkg" "${usb[@]}"
ui expect-no-printer "KRT-P58(U) 1(1)"

e2e_step "a queue deleted by hand comes back under its name"
"$KV_WINE" reg delete 'HKLM\System\CurrentControlSet\Control\Print\Printers\KRT-A100(P)' /f >/dev/null 2>&1
ui expect-no-printer "KRT-A100(P)"
qsetup_expect 1 status "$pkg" --model KRT-A100 --port LPT1: --default
qsetup_expect 0 install "$pkg" --model KRT-A100 --port LPT1: --default --ensure
ui <<UI
expect-printer "KRT-A100(P)" LPT1: "Quillset KRT-A100 Receipt Raster"
expect-no-printer "KRT-A100(P)(1)"
UI

e2e_step "uninstall --ensure twice"
for run in 1 2; do
    qsetup_expect 0 uninstall "$pkg" --item "KTT-T82(S)" --ensure --json
    [ "$(json 'd["exitCode"], d["command"]')" = "(0, 'uninstall')" ] || e2e_fail "$Q_OUT"
done
[ "$(json 'd["changed"]')" = False ] || e2e_fail "the second uninstall changed something: $Q_OUT"
ui expect-no-printer "KTT-T82(S)"

e2e_step "the README's recipes"
# Group Policy startup script.
cat >"$E2E_PKG/quillset-startup.bat" <<'BAT'
@echo off
set PKG=C:\pkg
"%PKG%\qsetup.exe" status "%PKG%" --model KRT-A100 --port LPT1: --default >nul
if %ERRORLEVEL%==0 goto done
"%PKG%\qsetup.exe" install "%PKG%" --model KRT-A100 --port LPT1: --default --ensure --quiet --log "%PKG%\quillset.log"
set RC=%ERRORLEVEL%
if %RC%==3010 set RC=0
if not %RC%==0 echo Quillset printer not installed: %RC% >> "%PKG%\failures.txt"
:done
BAT
sed -i 's/$/\r/' "$E2E_PKG/quillset-startup.bat"
for run in 1 2; do
    (cd "$E2E_PKG" && "$KV_WINE" cmd /c 'C:\pkg\quillset-startup.bat') >/dev/null 2>&1
    [ ! -e "$E2E_PKG/failures.txt" ] || e2e_fail "startup script run $run: $(cat "$E2E_PKG/failures.txt")"
done
ui expect-no-printer "KRT-A100(P)(1)"
# The endpoint manager's detection rule, install and uninstall commands (run
# in the package's folder).
qsetup_expect 0 status . --model KRT-P58 --port USB_KRT-P58_1
qsetup_expect 0 install . --model KRT-P58 --port USB_KRT-P58_1 --ensure --quiet
qsetup_expect 0 uninstall . --item "KRT-P58(U) 1" --ensure --quiet
qsetup_expect 1 status . --model KRT-P58 --port USB_KRT-P58_1
# Ansible's win_command and DSC's TestScript/SetScript.
qsetup_expect 0 install "$pkg" --model KRT-P58 --port USB_KRT-P58_1 --ensure --json
[ "$(json 'd["changed"]')" = True ] || e2e_fail "Ansible's task: $Q_OUT"
qsetup_expect 0 status "$pkg" --model KRT-P58 --port USB_KRT-P58_1 --json
qsetup_expect 0 install "$pkg" --model KRT-P58 --port USB_KRT-P58_1 --ensure --quiet
