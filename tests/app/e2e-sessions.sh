#!/usr/bin/env bash
# End to end: keep-awake with an end, `vigilo run` with and without a running tray program, and
# the program's D-Bus interface, in a virtual desktop (Xvfb, a tray host) with private D-Bus
# buses and a simulated logind.
# Usage: tests/app/e2e-sessions.sh path/to/vigilo
set -uo pipefail

vigilo=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$here/../../scripts/virtual-desktop.sh"
# shellcheck source=../check-helpers.sh
source "$here/../check-helpers.sh"
skip_while_users_vigilo_runs
trap 'vd_stop' EXIT

# Runs vigilo with the arguments, never longer than 20 s; sets out, err and code.
run_vigilo() {
    out=$(timeout 20 "$vigilo" "$@" 2>"$VD_DIR/stderr") && code=0 || code=$?
    err=$(cat "$VD_DIR/stderr")
}

# The tray program's keep-awake locks, and those `vigilo run` takes for itself.
vigilo_locks() { vd_list_inhibitors | grep ' Vigilo ' | grep -v 'vigilo run' | grep -vc '^handle-lid-switch' || true; }
run_locks() { vd_list_inhibitors | grep -c 'vigilo run' || true; }
lock_count_is() { [ "$($2)" = "$1" ]; }
# Waits up to 10 s for the count of locks (those of the tray program, or given a second
# argument, those that command counts) to become $1.
wait_for_locks() { vd_wait_until 100 lock_count_is "$1" "${2:-vigilo_locks}"; }
status_line_2_is() {
    run_vigilo status
    [ "$(sed -n 2p <<<"$out")" = "$1" ]
}

# The tray icon's pixels: a checksum, and how many are amber (the glass full of coffee).
icon_pixels() {
    local x y width height
    read -r _ x y width height <<<"$(vd_tray_icon)"
    [ -n "$x" ] || return 1
    import -window root -crop "${width}x${height}+${x}+${y}" -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}
icon_checksum() { icon_pixels | md5sum; }
amber_pixels() { icon_pixels | awk '$1 >= 150 && $1 - $3 >= 80 { n++ } END { print n + 0 }'; }
icon_is() { [ "$(icon_checksum)" = "$1" ]; }
icon_is_not() { [ "$(icon_checksum)" != "$1" ]; }
# Calls a method of the program's D-Bus interface; sets out and code.
call_dbus() {
    out=$(timeout 20 gdbus call --session --dest io.github.vigilo.Vigilo \
        --object-path /io/github/vigilo/Vigilo --method "io.github.vigilo.Vigilo.$1" "${@:2}" 2>&1) &&
        code=0 || code=$?
}
dbus_property() {
    timeout 20 gdbus call --session --dest io.github.vigilo.Vigilo \
        --object-path /io/github/vigilo/Vigilo --method org.freedesktop.DBus.Properties.Get \
        io.github.vigilo.Vigilo "$1"
}

start_instance() {
    vd_spawn vigilo "$vigilo"
    instance=$VD_LAST_PID
    local tries=150
    while :; do
        run_vigilo status
        [ "$code" = 0 ] || [ "$code" = 3 ] && return 0
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] && kill -0 "$instance" 2>/dev/null || return 1
        sleep 0.1
    done
}

vd_start || { echo "FAIL - virtual desktop did not start"; exit 1; }
export XDG_STATE_HOME="$VD_DIR/state" XDG_DATA_HOME="$VD_DIR/data"

# --- Bad input: a Russian sentence and exit code 64 ----------------------------------------
for bad in "on --for 5x|неизвестная единица" "on --for 0m|больше нуля" \
    "on --for -1h|больше нуля" "on --until 25:61|нет такого времени" \
    "on --until завтра|не понимаю время" "on --while 2147483646|нет" "run|нужна программа"; do
    IFS='|' read -r arguments message <<<"$bad"
    # shellcheck disable=SC2086 # the arguments are words
    run_vigilo $arguments
    expect "vigilo $arguments: exit 64" test "$code" = 64
    expect "vigilo $arguments: says why" grep -q "$message" <<<"$err"
done

# --- vigilo run without a tray program: its own lock ----------------------------------------
timeout 20 "$vigilo" run -- sleep 3 2>"$VD_DIR/run-alone.err" &
run=$!
expect "run alone: it takes logind's lock itself" wait_for_locks 1 run_locks
wait "$run" && code=0 || code=$?
expect "run alone: exit 0, the command's" test "$code" = 0
expect "run alone: the lock is gone" wait_for_locks 0 run_locks
expect "run alone: says so once on stderr" test "$(grep -c 'не запущен' "$VD_DIR/run-alone.err")" = 1
run_vigilo run -- sh -c 'exit 7'
expect "run alone: exit 7 passed on" test "$code" = 7
run_vigilo run -- sh -c 'kill -TERM $$'
expect "run alone: a command killed by SIGTERM gives 143" test "$code" = 143
run_vigilo run -- /nonexistent/command
expect "run alone: a command that cannot start gives 127" test "$code" = 127

# Killed outright, run leaves no lock behind: the lock is a descriptor the kernel closes.
"$vigilo" run -- sleep 60 2>/dev/null &
run=$!
expect "run killed: the lock is taken" wait_for_locks 1 run_locks
child=$(pgrep -P "$run")
kill -KILL "$run"
wait "$run" 2>/dev/null
expect "run killed: the lock is gone" wait_for_locks 0 run_locks
[ -n "$child" ] && kill "$child" 2>/dev/null
# A SIGTERM to run goes on to the command, and run ends with it.
"$vigilo" run -- sleep 60 2>/dev/null &
run=$!
expect "run terminated: the lock is taken" wait_for_locks 1 run_locks
child=$(pgrep -P "$run")
kill -TERM "$run"
wait "$run" && code=0 || code=$?
expect "run terminated: exit 143, as its command" test "$code" = 143
expect "run terminated: the command got the signal" vd_wait_until 50 eval "! kill -0 $child 2>/dev/null"
expect "run terminated: the lock is gone" wait_for_locks 0 run_locks

# --- With the tray program ------------------------------------------------------------------
expect "the tray program starts and answers" start_instance
run_vigilo on --for 3s
expect "on --for 3s: exit 0" test "$code" = 0
expect "on --for 3s: logind lists the lock" wait_for_locks 1
run_vigilo status
expect "on --for 3s: status's second line gives the end" grep -q '^до [0-9]*:[0-9][0-9]$' <<<"$(sed -n 2p <<<"$out")"
expect "on --for 3s: switches off by itself, the lock is gone" wait_for_locks 0
run_vigilo status
expect "on --for 3s: afterwards status exits 3" test "$code" = 3

run_vigilo on --for 2s
run_vigilo on
expect "a plain on clears the end" status_line_2_is "Компьютер не уснёт"
sleep 3 # past the cleared end
expect "a plain on clears the end: still on after it" test "$(vigilo_locks)" = 1
run_vigilo off
expect "off: the lock is gone" wait_for_locks 0

run_vigilo on --until "$(date -d '+2 hours' +%H:%M)"
expect "on --until: exit 0" test "$code" = 0
expect "on --until: status names the time" status_line_2_is "до $(date -d '+2 hours' +%-H:%M)"
run_vigilo off

timeout 20 "$vigilo" run -- sleep 3 2>"$VD_DIR/run.err" &
run=$!
expect "run with the tray program: its session holds the lock" wait_for_locks 1
expect "run with the tray program: status says what it waits for" \
    vd_wait_until 50 status_line_2_is "пока работает sleep"
expect "run with the tray program: no lock of its own" test "$(run_locks)" = 0
wait "$run" && code=0 || code=$?
expect "run with the tray program: exit 0" test "$code" = 0
expect "run with the tray program: the lock is gone after the command" wait_for_locks 0
expect "run with the tray program: nothing on stderr" test ! -s "$VD_DIR/run.err"
run_vigilo run -- sh -c 'exit 7'
expect "run with the tray program: exit 7 passed on" test "$code" = 7

sleep 100 &
sleeper=$!
run_vigilo on --while "$sleeper"
expect "on --while: the lock is taken" wait_for_locks 1
kill "$sleeper"
wait "$sleeper" 2>/dev/null
expect "on --while: the process's end ends it" wait_for_locks 0

# --- D-Bus ----------------------------------------------------------------------------------
expect "D-Bus: the program owns its name" vd_wait_until 100 vd_has_name --session io.github.vigilo.Vigilo
expect "D-Bus: the tray icon is docked" vd_wait_until 100 vd_docked vigilo
asleep_icon=$(icon_checksum)
asleep_amber=$(amber_pixels)
call_dbus Toggle
expect "D-Bus Toggle: answers awake" test "$code:$out" = "0:(true,)"
expect "D-Bus Toggle: the lock is taken" wait_for_locks 1
expect "D-Bus Toggle: the tray icon changes" vd_wait_until 100 icon_is_not "$asleep_icon"
expect "D-Bus Toggle: the tray glass fills with amber" test "$(amber_pixels)" -gt "$asleep_amber"
expect "D-Bus: the Awake property says so" grep -q true <<<"$(dbus_property Awake)"
call_dbus Toggle
expect "D-Bus Toggle again: answers asleep" test "$code:$out" = "0:(false,)"
expect "D-Bus Toggle again: the lock is gone" wait_for_locks 0
expect "D-Bus Toggle again: the empty glass is back" vd_wait_until 100 icon_is "$asleep_icon"
call_dbus On '"3s"'
expect "D-Bus On(3s): on" test "$code:$out" = "0:(true,)"
expect "D-Bus On(3s): Until is set" eval '! grep -q "<int64 0>" <<<"$(dbus_property Until)"'
expect "D-Bus On(3s): switches off by itself" wait_for_locks 0
call_dbus On '"5x"'
expect "D-Bus On(5x): refused with a reason" grep -q "неизвестная единица" <<<"$out"

kill -TERM "$instance"
wait "$instance"

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; vigilo's log:"
    cat "$VD_DIR/vigilo.log" 2>/dev/null
    exit 1
fi
echo "all checks passed"
