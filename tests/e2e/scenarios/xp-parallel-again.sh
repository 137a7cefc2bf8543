#!/bin/bash
# Windows XP, the same Typical installation on "LPT1:" twice: the second
# queue is numbered, "KRT-C3(P)(1)", and both stay bound to "LPT1:".
set -uo pipefail
. "$(dirname "$0")/../harness.sh"
. "$(dirname "$0")/../setup-wizard.sh"
e2e_init

for round in 1 2; do
    e2e_step "installation $round"
    setup_install_receipt KRT-C3 LPT1:
done

e2e_step "spooler and registry"
ui <<UI
expect-printer "KRT-C3(P)" LPT1: "Quillset KRT-C3 Receipt Raster"
expect-printer "KRT-C3(P)(1)" LPT1: "Quillset KRT-C3 Receipt Raster"
expect-no-printer "KRT-C3(P)(2)"
UI
printers='HKLM\SYSTEM\CurrentControlSet\Control\Print\Printers'
e2e_expect_reg "$printers\\KRT-C3(P)(1)" Port LPT1:
