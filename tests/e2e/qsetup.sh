# qsetup.exe for the scenarios: runs the package's console program in the
# scenario's prefix. Sourced after harness.sh.
#
#   qsetup_run ARGS...          runs C:\pkg\qsetup.exe ARGS with C:\pkg as the
#                               current folder; its standard output in
#                               $Q_OUT, standard error in $Q_ERR (without the
#                               CRs), exit code in $Q_RC
#   qsetup_expect CODE ARGS...  the same; any other exit code fails the scenario
#   qsetup_expect_out TEXT      a line of the last run's standard output
#   qsetup_expect_err TEXT      a part of the last run's standard error

# Through a batch file, as a deployment tool runs it: %ERRORLEVEL% holds the
# whole exit code (a Unix exit status keeps only its low byte: 3010 is 194).
qsetup_run() {
    local out err arg line=""
    out=$(mktemp) err=$(mktemp)
    for arg in "$@"; do line+=" \"$arg\""; done
    # (The redirection first: "echo 1> FILE" would redirect stream 1.)
    printf '@echo off\r\n"%s\\qsetup.exe"%s\r\n>"%s\\qsetup.rc" echo %%ERRORLEVEL%%\r\n' \
        "$E2E_PKG_WIN" "$line" "$E2E_PKG_WIN" >"$E2E_PKG/qsetup-run.bat"
    rm -f "$E2E_PKG/qsetup.rc"
    (cd "$E2E_PKG" && exec "$KV_WINE" cmd /c "$E2E_PKG_WIN\\qsetup-run.bat") >"$out" 2>"$err"
    Q_RC=$(tr -d '\r \n' <"$E2E_PKG/qsetup.rc" 2>/dev/null)
    Q_OUT=$(tr -d '\r' <"$out")
    Q_ERR=$(tr -d '\r' <"$err")
    rm -f "$out" "$err"
}

qsetup_expect() {
    local want=$1
    shift
    e2e_step "qsetup $*"
    qsetup_run "$@"
    if [ "$Q_RC" != "$want" ]; then
        printf '%s\n' "$Q_OUT" "$Q_ERR" >&2
        e2e_fail "qsetup $1: exit code $Q_RC, expected $want"
    fi
}

qsetup_expect_out() {
    grep -qxF -- "$1" <<<"$Q_OUT" || { printf '%s\n' "$Q_OUT" >&2; e2e_fail "no output line '$1'"; }
}

qsetup_expect_err() {
    grep -qF -- "$1" <<<"$Q_ERR" || { printf '%s\n' "$Q_ERR" >&2; e2e_fail "no '$1' on standard error"; }
}
