# shellcheck shell=bash
# The checks of the shell tests (tests/app/e2e.sh, tests/package/check-deb.sh), in TAP-like lines
# a reader can scan: "ok   - what" or "FAIL - what". Source it, then:
#
#   pass WHAT, fail WHAT         report a check; fail also counts it in $failures.
#   expect WHAT CMD...           passes when CMD succeeds, fails otherwise.
#   expect_silent WHAT CMD...    passes when CMD succeeds and prints nothing; otherwise fails and
#                                shows what it printed.
#   skip_while_users_vigilo_runs  ends the test as skipped (exit 77) while a tray program of
#                                this user runs: one runs per user, so the test's could not start.
#
# The script decides how to end: non-zero while $failures is above 0.

failures=0

pass() { echo "ok   - $1"; }
fail() {
    echo "FAIL - $1"
    failures=$((failures + 1))
}

expect() {
    local description=$1
    shift
    if "$@"; then pass "$description"; else fail "$description"; fi
}

expect_silent() {
    local description=$1 output
    shift
    if output=$("$@" 2>&1) && [ -z "$output" ]; then
        pass "$description"
    else
        fail "$description"
        echo "$output"
    fi
}

skip_while_users_vigilo_runs() {
    # The instance lock where the program takes it.
    local runtime=/run/user/$(id -u) lock
    if [ -d "$runtime" ] && [ ! -L "$runtime" ] && [ -O "$runtime" ]; then
        lock=$runtime/vigilo/instance.lock
    else
        lock=/tmp/vigilo-$(id -u)/instance.lock
    fi
    if [ -f "$lock" ] && ! flock -n "$lock" true; then
        echo "SKIP - a Vigilo of this user runs; quit it to run this test"
        exit 77
    fi
}
