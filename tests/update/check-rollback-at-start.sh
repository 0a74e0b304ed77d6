#!/usr/bin/env bash
# A new version that crashes at start, before it gets as far as its updater, is rolled back by
# the next start: that start puts `current` back and runs the previous version in its place.
# The program under test is installed in a temporary home as the freshly switched-to version of
# a per-user install, and made to crash by asking Qt for a display platform that does not exist.
#   check-rollback-at-start.sh <program> <its version>
set -uo pipefail
# shellcheck source=../check-helpers.sh
source "$(dirname "$0")/../check-helpers.sh"
skip_while_users_vigilo_runs
program=$1 version=$2
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
unset XDG_DATA_HOME XDG_CONFIG_HOME XDG_STATE_HOME XDG_RUNTIME_DIR DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=no-such-platform
ulimit -c 0
fail() {
    echo "check-rollback-at-start: $*" >&2
    exit 1
}

versions=$home/.local/lib/vigilo
mkdir -p "$versions/$version/bin" "$versions/0.0.1/bin"
cp "$program" "$versions/$version/bin/vigilo"
# The previous version: a stand-in that says it was started.
printf '#!/bin/sh\ntouch "$HOME/previous-started"\n' >"$versions/0.0.1/bin/vigilo"
chmod +x "$versions/0.0.1/bin/vigilo"
ln -s "$version" "$versions/current"
record=$versions/.launch-record.json
printf '{"installed":"%s","previous":"0.0.1","started":false}' "$version" >"$record"

# A start that ends cleanly for want of a display is no crash: it marks nothing.
env -u QT_QPA_PLATFORM "$versions/current/bin/vigilo" 2>/dev/null
status=$?
[ "$status" = 1 ] || fail "a start without a display ended with $status"
grep -q '"started":false' "$record" || fail "a start without a display left a mark: $(cat "$record")"

"$versions/current/bin/vigilo" 2>/dev/null
status=$?
[ "$status" -gt 128 ] || fail "the first start did not crash (exit status $status)"
grep -q '"started":true' "$record" || fail "the crashed start left no mark: $(cat "$record")"
[ "$(readlink "$versions/current")" = "$version" ] || fail "the first start switched current"

"$versions/current/bin/vigilo" 2>/dev/null
[ -e "$home/previous-started" ] || fail "the next start did not run the previous version"
[ "$(readlink "$versions/current")" = "0.0.1" ] || fail "current does not point back at 0.0.1"
grep -q "\"rejected\":\"$version\"" "$record" || fail "$version is not refused: $(cat "$record")"
echo "check-rollback-at-start: a crash at start is rolled back by the next start"
