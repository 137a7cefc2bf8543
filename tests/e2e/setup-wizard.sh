# Setup's wizard for the scenarios, the screenshots and the demo: its window
# title, its message box caption and a plain walk through its pages. Sourced
# after harness.sh.
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
NEXT="Next (&N)>>"
BACK="<<Back (&B)"
INSTALL="Install (&I)"
CANCEL="Cancel (&C)"

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
