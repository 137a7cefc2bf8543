# The end-to-end scenario harness; sourced by each scenario script, which
# tests/wine/wine-run.sh runs on its own copy of the template prefix (WINEPREFIX
# set, Xvfb running with KV_WINE_XVFB=1, the Windows version set from
# KV_WINE_VERSION, the whole run killed after KV_WINE_TIMEOUT seconds, the
# copy's wineserver ended and the copy removed afterwards).
#
# Environment (set by tests/e2e/CMakeLists.txt):
#   KV_E2E_BIN      the folder of uidriver.exe and uitarget.exe
#   KV_E2E_PACKAGE  the laid-out installation package (Setup.exe, DRVCONFIG, ...)
#
# e2e_init copies the package to C:\pkg of the prefix and keeps the
# wineserver running for the whole scenario. Then:
#   ui COMMAND ARGS...        one UI driver command (see uidriver.exe help)
#   ui <<EOF ... EOF          a script of driver commands, one a line
#   e2e_start_setup [EXE]     starts C:\pkg\Setup.exe (or EXE) with C:\pkg as
#                             its current folder; its process id in E2E_PID
#   e2e_help_viewer           .CHM files open in a stand-in viewer window
#                             titled with the file
#   e2e_wait_exit PID [S]     waits until the program ends; its exit code
#   e2e_usb_printers LINES    the stand-in KvUsbInt.dll's attached printers
#   e2e_reg_value KEY NAME    prints a registry value's data (reg query)
#   e2e_expect_reg KEY NAME DATA / e2e_expect_no_reg KEY [NAME]
#   e2e_expect_regs KEY NAME=DATA...  several values of one key, one query
#   e2e_vista_class           true when Wine reports Vista or later
#   e2e_expect_compat_mark EXE  the Compatibility Assistant's mark of C:\pkg\EXE
#                             (from Vista on; none before)
#   e2e_ini_set FILE SECTION KEY VALUE  a key of an INI file of C:\pkg
#   e2e_step TEXT, e2e_fail TEXT
#   e2e_shot FILE TITLE       a PNG of a window (8-bit palette) into FILE
# The scenario passes when its script reaches its end: every helper ends the
# script with exit code 1 and a message on failure.

: "${WINEPREFIX:?run the scenario through tests/wine/wine-run.sh}"
: "${KV_WINE:?run the scenario through tests/wine/wine-run.sh}"
: "${KV_E2E_BIN:?KV_E2E_BIN: the folder of uidriver.exe}"
: "${KV_E2E_PACKAGE:?KV_E2E_PACKAGE: the laid-out installation package}"
KV_WINESERVER=${KV_WINESERVER:-wineserver}

E2E_NAME=$(basename "${BASH_SOURCE[1]:-$0}" .sh)
E2E_PKG=$WINEPREFIX/drive_c/pkg
E2E_PKG_WIN='C:\pkg'
E2E_PID=
E2E_START=$(date +%s.%N)

e2e_elapsed() {
    awk -v s="$E2E_START" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }'
}

e2e_step() {
    echo "[$E2E_NAME $(e2e_elapsed)s] $*"
}

e2e_fail() {
    echo "[$E2E_NAME $(e2e_elapsed)s] FAILED: $*" >&2
    exit 1
}

e2e_finish() {
    local rc=$?
    if [ $rc -eq 0 ]; then
        echo "[$E2E_NAME $(e2e_elapsed)s] passed"
    else
        echo "[$E2E_NAME $(e2e_elapsed)s] failed (exit $rc)" >&2
    fi
}

# e2e_keep_server: one wineserver for the whole scenario, so that every
# program starts at once: a driver process that only sleeps stays connected
# to it (wine-run.sh ends it with the prefix's other processes). The server
# is running already (wine-run.sh set the Windows version through it), so
# `wineserver -p` cannot make it persistent any more.
e2e_keep_server() {
    "$KV_WINE" "$KV_E2E_BIN/uidriver.exe" sleep 3600000 &
}

e2e_init() {
    trap e2e_finish EXIT
    e2e_keep_server
    [ -f "$KV_E2E_PACKAGE/Setup.exe" ] || e2e_fail "no Setup.exe in $KV_E2E_PACKAGE"
    mkdir -p "$E2E_PKG"
    cp -a "$KV_E2E_PACKAGE/." "$E2E_PKG/" || e2e_fail "cannot copy the package"
    # No USB printer unless the scenario attaches one.
    rm -f "$E2E_PKG/KvUsbInt.state"
    e2e_step "prefix $WINEPREFIX, Windows version ${KV_WINE_VERSION:-default}, display ${DISPLAY:-none}"
}

# ui_try COMMAND ARGS...  or  ui_try <<EOF (commands on standard input):
# the UI driver's exit code, for a caller that handles it. The driver marks
# its start in a file: a driver that failed without having started (Wine
# could not run it, which a loaded machine has seen once) did nothing, and is
# run once more. The note about that goes to standard error, so that it never
# mixes with what the driver prints.
ui_try() {
    local rc attempt script=
    local started=$WINEPREFIX/.uidriver-started
    # A script on standard input is read once, for both runs.
    if [ $# -eq 0 ] || [ "$*" = - ]; then
        script=$(cat)
        set --
    fi
    for attempt in 1 2; do
        rm -f "$started"
        if [ $# -eq 0 ]; then
            UIDRIVER_STARTED="Z:${started//\//\\}" "$KV_WINE" "$KV_E2E_BIN/uidriver.exe" - <<<"$script"
        else
            UIDRIVER_STARTED="Z:${started//\//\\}" "$KV_WINE" "$KV_E2E_BIN/uidriver.exe" "$@"
        fi
        rc=$?
        [ $rc -eq 0 ] && return 0
        [ -e "$started" ] && break
        e2e_step "the UI driver ended with exit $rc before it started; once more" >&2
    done
    return $rc
}

# ui: the same, and a failed command fails the scenario.
ui() {
    ui_try "$@" || e2e_fail "UI driver exit $?"
}

# e2e_start_setup [EXE [ARGS...]]: a program of the package, started with the
# package as its current folder, in the background.
e2e_start_setup() {
    local exe=${1:-Setup.exe}
    [ $# -gt 0 ] && shift
    (cd "$E2E_PKG" && exec "$KV_WINE" "$E2E_PKG_WIN\\$exe" "$@") &
    E2E_PID=$!
    e2e_step "started $exe (pid $E2E_PID)"
}

# e2e_start_window TITLE: a plain window of that title (uitarget.exe).
e2e_start_window() {
    "$KV_WINE" "$KV_E2E_BIN/uitarget.exe" window "$1" &
    E2E_WINDOW_PID=$!
    ui wait-window "$1"
}

# e2e_help_viewer: the shell's "open" of a .CHM file starts a stand-in help
# viewer, a plain window titled with the file it was given (Wine's own hh.exe
# starts and ends at once on the package's placeholder help files).
e2e_help_viewer() {
    local viewer="Z:${KV_E2E_BIN//\//\\}\\uitarget.exe"
    "$KV_WINE" reg add 'HKCR\chm.file\shell\open\command' /ve /t REG_SZ \
        /d "\"$viewer\" window \"%1\"" /f >/dev/null 2>&1 ||
        e2e_fail "cannot register the stand-in help viewer"
}

# e2e_wait_exit PID [SECONDS]: waits for a background program; prints nothing,
# returns its exit code. A program still running after SECONDS (default 30)
# fails the scenario.
e2e_wait_exit() {
    local pid=$1 limit=${2:-30} i
    for ((i = 0; i < limit * 10; i++)); do
        if ! kill -0 "$pid" 2>/dev/null; then
            wait "$pid"
            return $?
        fi
        sleep 0.1
    done
    e2e_fail "process $pid still running after $limit s"
}

# e2e_usb_printers "INDEX ID" ...: the printers the stand-in KvUsbInt.dll
# reports, one argument each; none removes them all.
e2e_usb_printers() {
    if [ $# -eq 0 ]; then
        rm -f "$E2E_PKG/KvUsbInt.state"
    else
        printf '%s\r\n' "$@" >"$E2E_PKG/KvUsbInt.state"
    fi
}

# e2e_usb_id INDEX: the ID the stand-in holds for the printer at INDEX.
e2e_usb_id() {
    [ -f "$E2E_PKG/KvUsbInt.state" ] || return 1
    tr -d '\r' <"$E2E_PKG/KvUsbInt.state" | awk -v i="$1" '$1 == i && NF == 2 { print $2; exit }'
}

# e2e_reg_value KEY NAME: the data of a value as `reg query` shows it
# (REG_DWORD as 0x..); exit code 1 when the value is not there.
e2e_reg_value() {
    local out
    out=$("$KV_WINE" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r') || return 1
    awk -F'    ' -v n="$2" '$2 == n { print $4; found = 1; exit } END { exit !found }' <<<"$out"
}

e2e_expect_reg() {
    local data
    data=$(e2e_reg_value "$1" "$2") || e2e_fail "no registry value $1\\$2"
    [ "$data" = "$3" ] || e2e_fail "registry value $1\\$2 is '$data', expected '$3'"
}

# e2e_expect_regs KEY NAME=DATA...: the values of one key, read with one
# `reg query` (names without "=").
e2e_expect_regs() {
    local key=$1 out pair name want data
    shift
    out=$("$KV_WINE" reg query "$key" 2>/dev/null | tr -d '\r') || e2e_fail "no registry key $key"
    for pair in "$@"; do
        name=${pair%%=*}
        want=${pair#*=}
        data=$(awk -F'    ' -v n="$name" '$2 == n { print $4; found = 1; exit } END { exit !found }' \
               <<<"$out") || e2e_fail "no registry value $key\\$name"
        [ "$data" = "$want" ] || e2e_fail "registry value $key\\$name is '$data', expected '$want'"
    done
}

# e2e_expect_no_reg KEY [NAME]: the key (or the value) is not there.
e2e_expect_no_reg() {
    if [ $# -eq 1 ]; then
        "$KV_WINE" reg query "$1" >/dev/null 2>&1 && e2e_fail "registry key $1 exists"
    else
        "$KV_WINE" reg query "$1" /v "$2" >/dev/null 2>&1 && e2e_fail "registry value $1\\$2 exists"
    fi
    return 0
}

# e2e_vista_class: the scenario's Windows (KV_WINE_VERSION) is Vista or a
# later version, which the programs take for Vista.
e2e_vista_class() {
    case ${KV_WINE_VERSION:-} in
        vista | win2008 | win7 | win2008r2 | win8 | win81 | win10 | win11) return 0 ;;
    esac
    return 1
}

# The current user's list of the Program Compatibility Assistant.
E2E_PERSISTED='HKCU\SOFTWARE\Microsoft\Windows NT\CurrentVersion\AppCompatFlags\Compatibility Assistant\Persisted'

# e2e_expect_compat_mark EXE: from Vista on the current user's list marks
# C:\pkg\EXE with 1; before Vista the program writes no such mark.
e2e_expect_compat_mark() {
    if e2e_vista_class; then
        e2e_expect_reg "$E2E_PERSISTED" "$E2E_PKG_WIN\\$1" 0x1
    else
        e2e_expect_no_reg "$E2E_PERSISTED" "$E2E_PKG_WIN\\$1"
    fi
}

# e2e_ini_set FILE SECTION KEY VALUE: sets the key (which must be there) in
# the section of the package copy's INI file FILE (a path below C:\pkg, with
# slashes), keeping its CRLF line ends.
e2e_ini_set() {
    local file="$E2E_PKG/$1"
    awk -v section="[$2]" -v key="$3" -v value="$4" '
        { line = $0; sub(/\r$/, "", line) }
        line ~ /^\[/ { inside = (tolower(line) == tolower(section)) }
        inside && !done && tolower(substr(line, 1, length(key) + 1)) == tolower(key "=") {
            printf "%s=%s\r\n", key, value; done = 1; next
        }
        { print }
        END { exit !done }' "$file" >"$file.new" && mv "$file.new" "$file" ||
        e2e_fail "no key $3 in [$2] of $1"
}

# e2e_shot FILE TITLE: saves the window titled TITLE, as the display shows
# it, as an 8-bit palette PNG (ImageMagick's import and convert). An empty
# TITLE takes the first dialog without a title (a progress window).
e2e_shot() {
    local file=$1 title=$2 rect x y w h raw
    if [ -n "$title" ]; then
        rect=$(ui rect "$title") || return 1
    else
        rect=$(ui rect-untitled) || return 1
    fi
    read -r x y w h <<<"$rect"
    [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
    [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
    raw="$file.raw.png"
    # Let the window finish painting first.
    sleep 0.3
    import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage "$raw" ||
        e2e_fail "import failed for $title"
    convert "$raw" -colors 256 "PNG8:$file" || e2e_fail "convert failed for $file"
    rm -f "$raw"
    e2e_step "screenshot $file"
}

# e2e_decorate: Wine draws the windows' title bars itself (there is no window
# manager on Xvfb), so that screenshots show them. Before the program starts.
e2e_decorate() {
    "$KV_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >/dev/null 2>&1 || e2e_fail "cannot set Wine's window decoration"
}
