# Setup's wizard for the scenarios, the screenshots and the demo: its window
# title, its message box caption, what its OS page shows on the scenario's
# Windows and a plain walk through its pages. Sourced after harness.sh.
#
# Control IDs used below:
#   host      1 Next/Install, 1002 Back, 2 Cancel
#   module    1019 Receipt, 1020 Ticket, 1021 Label, 1073 Embedded (radio);
#             1030, 1031, 1032, 1074 their model lists; 1046 Set As Default
#   type      1066 Typical, 1067 Advanced, 1068-1070 remarks
#   OS        1026 98/Me, 1027 NT, 1028 2000, 1029 XP, 1075 2003, 1076 Vista;
#             1090 Vietnamese fonts
#   port      1049 ports, 1041 baud, 1043 parity, 1042 byte size, 1044 stop
#             bits, 1045 protocol, 1052 raster, 1065 USB driver note

W="Install Driver for Printers"
APP=Setup
# String 114, the question after an installation on Windows 98/Me, quoted
# for a driver script ("$RESTART").
RESTART='Restart the computer so that the changes can take effect\nClick on \"Yes\" to restart the computer immediately\nClick on \"No\" to restart the computer later'
NEXT="Next (&N)>>"
BACK="<<Back (&B)"
INSTALL="Install (&I)"
CANCEL="Cancel (&C)"

# The scenario's Windows (KV_WINE_VERSION, default XP) as Setup classifies
# it: OS_RADIO, the OS page's radio button that it checks, and OS_SECTION,
# the suffix of the module INI sections that it installs from. XP x64 is
# NT 5.2 like Server 2003; Vista and every later Windows take Vista's.
OS_RADIOS="1026 1027 1028 1029 1075 1076"
case ${KV_WINE_VERSION:-winxp} in
    win98) OS_RADIO=1026 OS_SECTION=98 ;;
    nt40) OS_RADIO=1027 OS_SECTION=NT ;;
    win2k) OS_RADIO=1028 OS_SECTION=2K ;;
    winxp) OS_RADIO=1029 OS_SECTION=XP ;;
    winxp64 | win2003) OS_RADIO=1075 OS_SECTION=2003 ;;
    *) e2e_vista_class || e2e_fail "no OS page known for Windows version $KV_WINE_VERSION"
       OS_RADIO=1076 OS_SECTION=Vista ;;
esac

# setup_expect_os: the OS page as it shows on this Windows: its radio button
# visible, enabled and checked, every other one disabled and unchecked.
setup_expect_os() {
    local radio script="expect \"$W\" $OS_RADIO visible enabled checked"
    for radio in $OS_RADIOS; do
        [ "$radio" = "$OS_RADIO" ] || script+=$'\n'"expect \"$W\" $radio disabled unchecked"
    done
    ui <<<"$script"
}

# setup_walk RADIO LIST MODEL: from the module page (as Setup opens it) to
# the port page, choosing MODEL in the module whose radio button and list are
# RADIO and LIST, and keeping every other default.
setup_walk() {
    ui <<UI
wait-window "$W"
expect-text "$W" 1 "$NEXT"
click "$W" $1
select "$W" $2 "$3"
click "$W" 1
expect "$W" 1066 visible
click "$W" 1
expect "$W" 1090 visible
click "$W" 1
expect "$W" 1049 visible
expect-text "$W" 1 "$INSTALL"
UI
}

# setup_install PORT [MESSAGE]: chooses the port, presses Install and
# answers the final message (default: the success text of a non-USB port).
setup_install() {
    local message=${2:-Successfully installed printer driver}
    ui <<UI
select "$W" 1049 "$1"
expect-selected "$W" 1049 "$1"
click "$W" 1
timeout 60000
expect-msgbox $APP "$message" ok
wait-gone "$W"
UI
}

# setup_install_receipt MODEL PORT [MESSAGE]: starts Setup, installs the
# receipt model MODEL on PORT with every other default, answers the final
# message and waits for Setup to end.
setup_install_receipt() {
    e2e_start_setup
    setup_walk 1019 1030 "$1"
    setup_install "${@:2}"
    e2e_wait_exit "$E2E_PID" 30
}
