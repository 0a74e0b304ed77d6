#!/usr/bin/env bash
# What the panel costs: the real program under a virtual desktop (Xvfb, a compositor, a tray host),
# driven by clicks on its tray icon. Prints resident and anonymous memory (VmRSS, RssAnon) before
# the first opening, with the panel open, and 90 s after it closed (its scene is released 60 s
# after a close); the time from the click to the panel's first frame for the first opening and a
# later one (the program prints it when VIGILO_BENCH_PANEL is set); CPU use with the panel open
# and left alone; and CPU and context switches (roughly wake-ups) with the panel closed, before
# the first opening and after the release. Build the program optimised first (the release
# preset). Takes about 3 minutes.
# Usage: bench/app/panel.sh path/to/vigilo
set -euo pipefail

vigilo=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
trap vd_stop EXIT
vd_start

VIGILO_BENCH_PANEL=1 vd_spawn vigilo "$vigilo"
pid=$VD_LAST_PID
log=$VD_DIR/vigilo.log

frame_times() { grep -c "panel frame" "$log" || true; }
frames_reported() { [ "$(frame_times)" -ge "$1" ]; }
# Waits for the program's report of the frame after the click number $1 and prints its time.
frame_time() {
    vd_wait_until 50 frames_reported "$1" || { echo "no frame reported"; return; }
    grep "panel frame" "$log" | sed -n "$1p" | sed 's/^vigilo: panel frame //'
}

status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"; }
memory() {
    awk -v l="$1" -v rss="$(status_kb VmRSS)" -v anon="$(status_kb RssAnon)" 'BEGIN {
        printf "  %-34s VmRSS %6.1f MB   RssAnon %6.1f MB\n", l, rss / 1024, anon / 1024 }'
}
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
switches() {
    cat /proc/"$pid"/task/*/status |
        awk '/^(non)?voluntary_ctxt_switches/ { total += $2 } END { print total }'
}
# CPU use and context switches over $2 seconds, labelled $1.
activity() {
    local ticks switched hz
    hz=$(getconf CLK_TCK)
    ticks=$(cpu_ticks)
    switched=$(switches)
    sleep "$2"
    ticks=$(($(cpu_ticks) - ticks))
    switched=$(($(switches) - switched))
    awk -v l="$1" -v t="$ticks" -v hz="$hz" -v s="$2" -v w="$switched" 'BEGIN {
        printf "  %-34s CPU %.2f %% of one core (%d ticks in %d s), %.2f context switches/s\n",
            l, 100 * t / hz / s, t, s, w / s }'
}

vd_wait_until 100 vd_docked vigilo || { echo "panel: the tray icon never docked" >&2; exit 1; }
sleep 5
echo "the panel under Xvfb + xcompmgr + trayer, software scene graph"
memory "never opened:"
activity "closed, never opened:" 20

vd_click_tray_icon
vd_wait_until 50 vd_panel_open || { echo "panel: it did not open" >&2; exit 1; }
echo "  first opening, click to first frame:  $(frame_time 1)"
activity "open, left alone (5 s):" 5
memory "open:"
vd_click_tray_icon
vd_wait_until 50 vd_panel_closed || { echo "panel: it did not close" >&2; exit 1; }

sleep 1
vd_click_tray_icon
vd_wait_until 50 vd_panel_open || { echo "panel: it did not open again" >&2; exit 1; }
echo "  later opening, click to first frame:  $(frame_time 2)"
vd_click_tray_icon
vd_wait_until 50 vd_panel_closed || { echo "panel: it did not close" >&2; exit 1; }

# The release falls due 60 s after the close, give or take the 5 % Qt allows a coarse timer.
sleep 65
activity "closed, scene released (last 25 s):" 25
memory "90 s after the close:"

sleep 0.5
vd_click_tray_icon
vd_wait_until 50 vd_panel_open || { echo "panel: it did not open after the release" >&2; exit 1; }
echo "  opening after the release:            $(frame_time 3)"
