#!/usr/bin/env bash
# The longest piece of work on the running program's main thread, and the longest stall of its
# event loop, in a GNOME-like session: a virtual desktop with simulated logind and UPower on a
# private system bus, XDG_CURRENT_DESKTOP=GNOME and this machine's gsettings schemas
# (gsettings-desktop-schemas, gnome-settings-daemon-common). The lid is closed for the middle
# third of the run, so that the closed-lid mode turns the screen off.
# With --processes N, N more processes of the user (sleep) run the whole time, as on a busy
# desktop: the program reads each process it has not seen yet.
# Usage: bench/app/stall.sh [--processes N] path/to/vigilo_stall_bench [seconds]
#        (or the bench_app_stall target)
set -euo pipefail

extra=0
if [[ ${1:-} == --processes ]]; then
    extra=$2
    shift 2
fi
bench=$(realpath "$1")
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
# shellcheck source=sleepers.sh
source "$root/bench/app/sleepers.sh"
trap stop_all EXIT
vd_start
start_sleepers "$extra"
vd_mock_upower '{"LidIsClosed": false}'

schemas=$(gsettings list-schemas)
for schema in org.gnome.desktop.session org.gnome.settings-daemon.plugins.power; do
    grep -qx "$schema" <<<"$schemas" ||
        echo "stall: schema $schema is not installed; GNOME's delays stay unread" >&2
done

set_lid_closed() { # true or false
    gdbus call --system --dest org.freedesktop.UPower --object-path /org/freedesktop/UPower \
        --method org.freedesktop.DBus.Mock.UpdateProperties org.freedesktop.UPower \
        "{'LidIsClosed': <$1>}" >/dev/null || echo "stall: the lid could not be moved" >&2
}
XDG_CURRENT_DESKTOP=GNOME "$bench" "$seconds" &
bench_pid=$!
sleep $((seconds / 3))
set_lid_closed true
sleep $((seconds / 3))
set_lid_closed false
wait "$bench_pid"
