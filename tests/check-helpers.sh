# shellcheck shell=bash
# The checks of the shell tests (tests/app/e2e.sh, tests/package/check-deb.sh), in TAP-like lines
# a reader can scan: "ok   - what" or "FAIL - what". Source it, then:
#
#   pass WHAT, fail WHAT         report a check; fail also counts it in $failures.
#   expect WHAT CMD...           passes when CMD succeeds, fails otherwise.
#   expect_silent WHAT CMD...    passes when CMD succeeds and prints nothing; otherwise fails and
#                                shows what it printed.
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
