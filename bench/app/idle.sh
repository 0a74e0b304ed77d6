#!/usr/bin/env bash
# Idle cost of the running program: starts it under a virtual desktop with its tray icon docked,
# lets it settle for 5 s, then measures over 60 s the CPU time it uses (utime + stime of
# /proc/PID/stat), its context switches (all threads; roughly its wake-ups) and its resident
# memory (VmRSS now, VmHWM the peak).
# Usage: bench/app/idle.sh path/to/vigilo [seconds]     (or the bench_app_idle build target)
set -euo pipefail

vigilo=$(realpath "$1")
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
trap vd_stop EXIT
vd_start

vd_spawn vigilo "$vigilo"
pid=$VD_LAST_PID
for _ in $(seq 100); do
    vd_docked vigilo && break
    sleep 0.1
done
vd_docked vigilo || { echo "idle: the tray icon never docked" >&2; exit 1; }
sleep 5

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
switches() {
    cat /proc/"$pid"/task/*/status |
        awk '/^(non)?voluntary_ctxt_switches/ { total += $2 } END { print total }'
}
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"; }

ticks_before=$(cpu_ticks)
switches_before=$(switches)
sleep "$seconds"
ticks=$(($(cpu_ticks) - ticks_before))
wakeups=$(($(switches) - switches_before))
hz=$(getconf CLK_TCK)

awk -v ticks="$ticks" -v hz="$hz" -v s="$seconds" -v w="$wakeups" \
    -v rss="$(status_kb VmRSS)" -v hwm="$(status_kb VmHWM)" 'BEGIN {
    printf "idle over %d s, tray icon shown, keep-awake off\n", s
    printf "  CPU time:         %.2f s (%d ticks) = %.3f %% of one core\n", ticks / hz, ticks, 100 * ticks / hz / s
    printf "  context switches: %d (%.2f per second)\n", w, w / s
    printf "  resident memory:  VmRSS %.1f MB, VmHWM %.1f MB\n", rss / 1024, hwm / 1024
}'
