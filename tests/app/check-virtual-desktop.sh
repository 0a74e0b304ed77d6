#!/usr/bin/env bash
# The desktop scripts' tray checks on a bare X server: without a tray host they fail within their
# deadline and say why instead of hanging, and a tray host that is still starting is waited for.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
desktop="$here/../../scripts/virtual-desktop.sh"

# shellcheck source=../check-helpers.sh
source "$here/../check-helpers.sh"
# shellcheck source=../../scripts/virtual-desktop.sh
source "$desktop"

VD_DIR=$(mktemp -d /tmp/vigilo-vd-check.XXXXXX)
trap vd_stop EXIT
vd_start_xvfb xvfb 640x480x24 || { echo "FAIL - Xvfb did not start"; exit 1; }

timeout 60 bash -c 'source "$1" && vd_docked vigilo' _ "$desktop" 2>"$VD_DIR/docked.err"
code=$?
expect "without a tray host vd_docked fails (exit $code; 124 is a hang)" test "$code" = 1
expect "and says that the tray host has no window" grep -q "tray host has no window" "$VD_DIR/docked.err"

vd_spawn trayer trayer --edge top --align right --widthtype request --height 28
trayer_pid=$VD_LAST_PID
tray=$(vd_tray_window)
expect "the window of a tray host that is still starting is waited for" test -n "$tray"
if [ -z "$tray" ]; then
    # What the tray host said, and whether it still runs, for whoever reads a failed run.
    if kill -0 "$trayer_pid" 2>/dev/null; then echo "# trayer still runs"; else echo "# trayer has ended"; fi
    sed 's/^/# trayer: /' "$VD_DIR/trayer.log"
fi

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
