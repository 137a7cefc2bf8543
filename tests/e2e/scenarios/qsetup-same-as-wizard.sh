#!/bin/bash
# Windows XP: the same installation twice on fresh copies of the template
# prefix, once through Setup's wizard (KRT-P58, "Set As Default Printer",
# "Install Vietnamese Font", Typical, the USB port its printer answers to)
# and once by "qsetup.exe install" with the same choices. The spooler's
# printers and monitors, the registry records (the maker's, the monitor's,
# the queue's, the serial ports, the default printer) and the files in the
# spooler's, the fonts' and the system folder must be the same afterwards.
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
. "$(dirname "$0")/../qsetup.sh"
: "${KV_WINE_TEMPLATE:?the template prefix}"
e2e_init

# The second prefix, beside the scenario's own; gone at the end.
second=$WINEPREFIX.qsetup
cleanup_second() {
    WINEPREFIX="$second" "$KV_WINESERVER" -k >/dev/null 2>&1
    rm -rf "$second"
}
trap 'cleanup_second; e2e_finish' EXIT

# state: what the installation left in the prefix WINEPREFIX.
state() {
    ui spooler | tr -d '\r' | sort
    local key
    for key in 'HKLM\SOFTWARE\TARVELO' \
               'HKLM\SYSTEM\CurrentControlSet\Control\Print\Monitors\Quillset USB Port Monitor' \
               'HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers\KRT-P58(U) 1' \
               'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports' \
               'HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows'; do
        echo "== $key"
        "$KV_WINE" reg query "$key" /s 2>&1 | tr -d '\r'
    done
    echo "== files"
    (cd "$WINEPREFIX/drive_c/windows" &&
     { find system32/spool Fonts -type f -printf '%p %s\n'
       find system32 -maxdepth 1 -iname 'qs*' -printf '%p %s\n'; } | sort)
}

e2e_step "the wizard"
e2e_usb_printers "0 0"
e2e_start_setup
setup=$E2E_PID
ui <<UI
wait-window "$W"
expect-selected "$W" 1030 KRT-P58
click "$W" 1046
expect "$W" 1046 checked
click "$W" 1
expect "$W" 1066 visible checked
click "$W" 1
expect "$W" 1090 visible
click "$W" 1090
expect "$W" 1090 checked
click "$W" 1
expect "$W" 1049 visible
expect-selected "$W" 1049 USB_KRT-P58_1
click "$W" 1
timeout 60000
expect-msgbox $APP "Successfully installed printer driver\nPlease repower the printer" ok
wait-gone "$W"
UI
e2e_wait_exit "$setup" 20
state >"$WINEPREFIX/state-wizard.txt"

e2e_step "qsetup.exe on a second copy of the template"
cp -a "$KV_WINE_TEMPLATE/." "$second/" || e2e_fail "cannot copy the template"
WINEPREFIX="$second" "$KV_WINE" reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d winxp /f \
    >/dev/null 2>&1 || e2e_fail "cannot set the second prefix's Windows version"
mkdir -p "$second/drive_c/pkg"
cp -a "$KV_E2E_PACKAGE/." "$second/drive_c/pkg/" || e2e_fail "cannot copy the package"
printf '0 0\r\n' >"$second/drive_c/pkg/KvUsbInt.state"
WINEPREFIX="$second" E2E_PKG="$second/drive_c/pkg" \
    qsetup_expect 0 install "$E2E_PKG_WIN" --model KRT-P58 --port USB_KRT-P58_1 --default --fonts
WINEPREFIX="$second" state >"$WINEPREFIX/state-qsetup.txt"

e2e_step "the same state"
grep -q 'KRT-P58(U) 1' "$WINEPREFIX/state-wizard.txt" || e2e_fail "the wizard installed no queue"
diff -u "$WINEPREFIX/state-wizard.txt" "$WINEPREFIX/state-qsetup.txt" ||
    e2e_fail "the unattended installation left another state than the wizard's"
