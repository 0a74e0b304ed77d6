#!/usr/bin/env bash
# Idle cost of the running program: starts it under a virtual desktop with its tray icon docked,
# lets it settle for 8 s, then measures over 60 s the CPU time it uses (utime + stime of
# /proc/PID/stat, in clock ticks; and, to the nanosecond, the run time of its threads from
# /proc/PID/task/*/schedstat, where a thread that ends meanwhile takes its time along), its
# context switches (all threads: voluntary ones are its wake-ups), its resident
# memory (VmRSS now, VmHWM the peak) and the shared libraries it has mapped.
# With --processes N, N more processes of the user (sleep) run the whole time, as on a busy
# desktop; the program looks at every process of the user to find the watched applications.
# Usage: bench/app/idle.sh [--processes N] path/to/vigilo [seconds]
#        (or the bench_app_idle build target)
set -euo pipefail

extra=0
if [[ ${1:-} == --processes ]]; then
    extra=$2
    shift 2
fi
vigilo=$(realpath "$1")
seconds=${2:-60}
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
# shellcheck source=sleepers.sh
source "$root/bench/app/sleepers.sh"
trap stop_all EXIT
vd_start
start_sleepers "$extra"

vd_spawn vigilo "$vigilo"
pid=$VD_LAST_PID
for _ in $(seq 100); do
    vd_docked vigilo && break
    sleep 0.1
done
vd_docked vigilo || { echo "idle: the tray icon never docked" >&2; exit 1; }
sleep 5

# The readings before and during the window start no process, not even a subshell: a process
# started then would make the program look at the process list once, which an idle desktop does
# not ask of it. `read_counters` sets ticks (utime + stime), run (ns), voluntary (the threads'
# wake-ups) and involuntary (other programs taking the CPU).
read_counters() {
    local -a stat
    read -r -a stat <"/proc/$pid/stat" # the command name ("vigilo") holds no space
    ticks=$((stat[13] + stat[14]))
    run=0 voluntary=0 involuntary=0
    local file key value
    for file in /proc/"$pid"/task/*/schedstat; do
        read -r value _ <"$file"
        run=$((run + value))
    done
    for file in /proc/"$pid"/task/*/status; do
        while read -r key value; do
            case $key in
            voluntary_ctxt_switches:) voluntary=$((voluntary + value)) ;;
            nonvoluntary_ctxt_switches:) involuntary=$((involuntary + value)) ;;
            esac
        done <"$file"
    done
}
status_kb() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"; }
libraries() { awk '$6 ~ /\.so/ { print $6 }' "/proc/$pid/maps" | sort -u | wc -l; }

# Waits without a process of its own: reading a FIFO that nobody writes times out.
fifo=$(mktemp -u)
mkfifo "$fifo"
exec 9<>"$fifo"
rm "$fifo"
read -r -t 3 -u 9 || true # the processes started up to here have been looked at

read_counters
ticks_before=$ticks run_before=$run voluntary_before=$voluntary involuntary_before=$involuntary
read -r -t "$seconds" -u 9 || true
read_counters
ticks=$((ticks - ticks_before))
run=$((run - run_before))
wakeups=$((voluntary - voluntary_before))
preempted=$((involuntary - involuntary_before))
hz=$(getconf CLK_TCK)
processes=$(find /proc -maxdepth 1 -name '[0-9]*' -user "$(id -u)" | wc -l)

awk -v ticks="$ticks" -v hz="$hz" -v run="$run" -v s="$seconds" -v w="$wakeups" -v i="$preempted" -v p="$processes" \
    -v rss="$(status_kb VmRSS)" -v hwm="$(status_kb VmHWM)" -v libs="$(libraries)" 'BEGIN {
    printf "idle over %d s, tray icon shown, keep-awake off, %d processes of the user\n", s, p
    printf "  CPU time:         %.2f s (%d ticks) = %.3f %% of one core\n", ticks / hz, ticks, 100 * ticks / hz / s
    printf "  threads run time: %.1f ms = %.1f ms a minute\n", run / 1e6, 60 * run / 1e6 / s
    printf "  wake-ups:         %d (%.2f per second; voluntary context switches)\n", w, w / s
    printf "  preemptions:      %d (involuntary context switches)\n", i
    printf "  resident memory:  VmRSS %.1f MB, VmHWM %.1f MB\n", rss / 1024, hwm / 1024
    printf "  libraries mapped: %d\n", libs
}'
