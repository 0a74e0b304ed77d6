#!/usr/bin/env bash
# End to end: the real program in a virtual desktop (Xvfb, a tray host) with private D-Bus buses
# and a simulated logind and UPower, driven through its command line.
# Usage: tests/app/e2e.sh path/to/vigilo
set -uo pipefail

vigilo=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../scripts/virtual-desktop.sh
source "$here/../../scripts/virtual-desktop.sh"
# shellcheck source=../check-helpers.sh
source "$here/../check-helpers.sh"
skip_while_users_vigilo_runs
# A stopped UPower would not hear vd_stop's SIGTERM.
trap 'kill -CONT "${VD_UPOWER_PID:-0}" 2>/dev/null; vd_stop' EXIT

# Runs vigilo with the verb, never longer than 10 s; sets out, err and code.
run_vigilo() {
    out=$(timeout 10 "$vigilo" "$@" 2>"$VD_DIR/stderr") && code=0 || code=$?
    err=$(cat "$VD_DIR/stderr")
}

# Vigilo's keep-awake locks, and its closed-lid lock (taken while kept awake with the lid
# setting on, which it is by default, once the user has allowed closed-lid mode).
vigilo_locks() { vd_list_inhibitors | grep ' Vigilo ' | grep -vc '^handle-lid-switch' || true; }
lid_locks() { vd_list_inhibitors | grep ' Vigilo ' | grep -c '^handle-lid-switch' || true; }

# Waits up to 5 s for the number of Vigilo's keep-awake locks (or, given a second argument,
# of the locks that command counts) to become $1.
wait_for_locks() { vd_wait_until 50 lock_count_is "$1" "${2:-vigilo_locks}"; }
lock_count_is() { [ "$($2)" = "$1" ]; }

# The visible panel sits 40 points inside its window, 6 points below the icon.
panel_under_icon() {
    local y icon_y icon_height
    read -r _ _ y _ _ <<<"$(vd_panel_window)"
    read -r _ _ icon_y _ icon_height <<<"$(vd_tray_icon)"
    test $((y + 40)) = $((icon_y + icon_height + 6))
}
# The 7 s without activity close the panel, not earlier.
idle_close() {
    local started=$SECONDS
    vd_wait_until 100 vd_panel_closed || return 1
    [ $((SECONDS - started)) -ge 6 ]
}
# A click on the hero glass, the upper part of the visible panel, switches keep-awake.
click_hero() {
    local x y width
    read -r _ x y width _ <<<"$(vd_panel_window)"
    xdotool mousemove $((x + width / 2)) $((y + 40 + 16 + 75)) click 1
}

# Starts the tray program and waits until it answers on its control socket.
start_instance() {
    vd_spawn vigilo "$vigilo"
    instance=$VD_LAST_PID
    local tries=100
    while :; do
        run_vigilo status
        [ "$code" = 0 ] || [ "$code" = 3 ] && return 0
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] && kill -0 "$instance" 2>/dev/null || return 1
        sleep 0.1
    done
}

# The user's "Разрешить" on the closed-lid card, as stored in the settings file; only while no
# instance runs, as a running one keeps its own copy.
grant_lid_mode() {
    "$VD_PYTHON" - "$XDG_CONFIG_HOME/vigilo/defaults.json" <<'PY'
import json, os, sys
path = sys.argv[1]
settings = json.load(open(path)) if os.path.exists(path) else {}
settings["lidModeGranted"] = True
os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
with open(path, "w") as out:
    json.dump(settings, out)
PY
}

vd_start || { echo "FAIL - virtual desktop did not start"; exit 1; }
# The control socket without a runtime folder lives in the state folder: a fresh one.
export XDG_STATE_HOME="$VD_DIR/state" XDG_DATA_HOME="$VD_DIR/data"
vd_mock_upower '{"LidIsClosed": false}' || { echo "FAIL - the UPower mock did not start"; exit 1; }

# Without any display the tray program explains itself instead of crashing.
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM timeout 10 "$vigilo" 2>&1) && code=0 || code=$?
expect "no display: exit 1" test "$code" = 1
expect "no display: the message asks for a graphical session" grep -q "графический сеанс" <<<"$out"
expect "no display: the message names no file of the source tree" eval '! grep -q "scripts/" <<<"$out"'

run_vigilo status
expect "no instance: status exits 2" test "$code" = 2
expect "no instance: status says so on stderr" grep -q "не запущен" <<<"$err"
run_vigilo on
expect "no instance: on exits 2" test "$code" = 2

run_vigilo --help
expect "--help exits 0 with the usage" test "$code" = 0 -a -n "$out"
run_vigilo sleep
expect "unknown verb exits 64" test "$code" = 64

expect "the tray program starts and answers" start_instance
run_vigilo status
expect "fresh start: status exits 3 (may sleep)" test "$code" = 3
expect "fresh start: no lock" test "$(vigilo_locks)" = 0
expect "the tray icon is docked in trayer" vd_docked vigilo

run_vigilo
expect "a second start exits 0" test "$code" = 0
expect "a second start says one is running" grep -q "уже запущен" <<<"$out"
expect "a second start opens the running one's panel" vd_wait_until 30 vd_panel_open
xdotool key Escape
expect "the panel opened by a second start closes" vd_wait_until 30 vd_panel_closed
sleep 0.5 # the reopen guard: a click within 0.3 s of a close opens nothing
# Whatever the session says, a second start finds the first and ends.
mkdir -m 700 "$VD_DIR/another-runtime" "$VD_DIR/another-state"
for where in "no runtime folder" "another runtime and state folder"; do
    if [ "$where" = "no runtime folder" ]; then
        session=(-u XDG_RUNTIME_DIR)
    else
        session=(XDG_RUNTIME_DIR="$VD_DIR/another-runtime" XDG_STATE_HOME="$VD_DIR/another-state")
    fi
    out=$(env "${session[@]}" timeout 10 "$vigilo" 2>/dev/null) && code=0 || code=$?
    expect "a second start with $where exits 0" test "$code" = 0
    expect "a second start with $where says one is running" grep -q "уже запущен" <<<"$out"
done
expect "the first instance still runs" kill -0 "$instance"

# The panel and the tray icon. The icon lies in the panel window's transparent margin, so the
# clicks on it also show that the margin lets clicks through.
vd_click_tray_icon
expect "a click on the tray icon opens the panel" vd_wait_until 30 vd_panel_open
expect "the panel sits under the icon" panel_under_icon
# The scene is kept from the panel the second start opened, so the panel opens at once: a
# second click this soon would make a double click, which does nothing.
sleep 0.5
vd_click_tray_icon
expect "a second click closes it" vd_wait_until 30 vd_panel_closed
expect "the panel opens again" vd_open_panel
xdotool click --repeat 2 --delay 100 1
expect "a click and another within 0.3 s: closed" vd_wait_until 30 vd_panel_closed
sleep 1 # long enough for a wrong reopening to show
expect "the click within 0.3 s of the close did not reopen it" vd_panel_closed
expect "the panel opens for Escape" vd_open_panel
xdotool key Escape
expect "Escape closes it" vd_wait_until 30 vd_panel_closed
expect "the panel opens to be left alone" vd_open_panel
expect "7 s without activity close it" idle_close
expect "the panel opens for the hero" vd_open_panel
click_hero
expect "a click on the hero switches keep-awake on: logind lists the lock" wait_for_locks 1
xdotool key Escape
run_vigilo off
expect "off after the hero: no lock" wait_for_locks 0

# --- The settings screen -------------------------------------------------------------------
# The general tab: rows 44 high, each switch 12 from the card's right edge.
switch_middle=$((VD_CONTENT + 308 - 12 - 22))
row_middle() { echo $((VD_TAB_TOP + $1 * 44 + 22)); }
# The apps tab: the card of the four built-in applications (rows of 36 and three dividers), 8
# of spacing, then the 34-high add button.
add_button_middle=$((VD_TAB_TOP + 4 * 36 + 3 + 8 + 17))

settings_file="$XDG_CONFIG_HOME/vigilo/defaults.json"
# A key of the settings file as compact JSON, or "absent".
stored() {
    "$VD_PYTHON" - "$settings_file" "$1" <<'PY'
import json, os, sys
path, key = sys.argv[1:3]
settings = json.load(open(path)) if os.path.exists(path) else {}
print(json.dumps(settings[key]) if key in settings else "absent")
PY
}
stored_is() { [ "$(stored "$1")" = "$2" ]; }
wait_until_stored() { vd_wait_until 50 stored_is "$1" "$2"; }
# The application of that id is among the added ones and enabled.
watched_app_stored() {
    "$VD_PYTHON" - "$settings_file" "$1" <<'PY'
import base64, json, os, sys
path, app_id = sys.argv[1:3]
settings = json.load(open(path)) if os.path.exists(path) else {}
enabled = app_id in settings.get("watchedApps", [])
added = json.loads(base64.b64decode(settings.get("customWatchedApps", {}).get("data", "")) or "[]")
sys.exit(0 if enabled and any(app_id in app["bundleIDs"] for app in added) else 1)
PY
}

dialog_up() { [ -n "$(vd_dialog_windows)" ]; }

expect "the settings open from the more button" vd_open_settings
expect "the settings open on the general tab" vd_tab_selected 0
vd_click_panel "$switch_middle" "$(row_middle 2)"
expect "the sound switch stores the sound off" wait_until_stored soundEnabled false
vd_click_panel "$switch_middle" "$(row_middle 2)"
expect "the sound switch again stores it on" wait_until_stored soundEnabled true
vd_click_panel "$switch_middle" "$(row_middle 4)"
expect "the metrics switch stores them hidden" wait_until_stored hidesMetrics true

# An application only the test knows, installed for this user: the chooser lists it by its name.
mkdir -p "$XDG_DATA_HOME/applications"
printf '[Desktop Entry]\nType=Application\nName=E2E Probe\nExec=/bin/true\n' \
    >"$XDG_DATA_HOME/applications/vigilo-e2e-probe.desktop"
expect "the apps tab is selected" vd_select_tab 1
vd_click_panel "$((VD_CONTENT + 154))" "$add_button_middle"
# The chooser opens in the panel with its search field focused: typing finds the probe, Return
# adds the one application found.
sleep 0.5
xdotool type --delay 20 "E2E Probe"
xdotool key Return
expect "the application chosen by name is stored, listed and enabled" \
    vd_wait_until 50 watched_app_stored vigilo-e2e-probe
expect "the panel is still open after the chooser" vd_panel_open
vd_click_tray_icon
expect "the tray icon closes the settings" vd_wait_until 30 vd_panel_closed

# The tray menu's about item: the panel on the about tab. A choice within 0.3 s of the panel's
# last close leaves it closed (as a click on the icon would), so the keys wait a moment; they
# reach the menu once it has grabbed the keyboard as it shows, which on a busy machine can come
# after the menu is on screen: a menu the keys missed is closed and opened once more.
about_from_menu() {
    local x y width height
    read -r _ x y width height <<<"$(vd_tray_icon)"
    xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 3
    vd_wait_until 30 dialog_up || return 1
    sleep 0.5
    # The second item after the keep-awake switch and a separator.
    xdotool key Down Down Return
    vd_wait_until 30 vd_panel_open
}
dialog_gone() { ! dialog_up; }
if ! about_from_menu; then
    xdotool key Escape
    vd_wait_until 30 dialog_gone
    about_from_menu
fi
expect "the menu's about item opens the panel" vd_panel_open
expect "the menu's about item opens the settings" vd_wait_until 30 vd_settings_shown
expect "the menu's about item selects the about tab" vd_wait_until 30 vd_tab_selected 2
vd_click_tray_icon
expect "the tray icon closes the about tab" vd_wait_until 30 vd_panel_closed
# --- End of the settings screen ------------------------------------------------------------

run_vigilo on
expect "on exits 0" test "$code" = 0
expect "on: logind lists Vigilo's lock" wait_for_locks 1
# Taken in the same switch-on as the keep-awake lock, so it would be listed by now.
expect "on without the user's consent: no closed-lid lock" test "$(lid_locks)" = 0
run_vigilo status
expect "on: status exits 0" test "$code" = 0
expect "on: status line 1 is the first cup" test "$(sed -n 1p <<<"$out")" = "Пьёт кофе · первая чашка"
expect "on: status has a subtitle line" test -n "$(sed -n 2p <<<"$out")"
run_vigilo on
expect "on again keeps the one lock" wait_for_locks 1
env -u DISPLAY timeout 10 "$vigilo" status >/dev/null 2>&1 && code=0 || code=$?
expect "status needs no display" test "$code" = 0

run_vigilo off
expect "off exits 0" test "$code" = 0
expect "off: the lock is gone" wait_for_locks 0
run_vigilo status
expect "off: status exits 3" test "$code" = 3

run_vigilo toggle
expect "toggle switches on" wait_for_locks 1
run_vigilo toggle
expect "toggle switches off" wait_for_locks 0

# --- Toggle storm --------------------------------------------------------------------------
# 200 clients toggle at once while a session lock service takes 0.1 s for each lock; some
# clients may get no answer in time. A client that reports failure must not have switched
# anything (a script would retry and switch twice), so starting from off the program ends awake
# exactly when an odd number of clients succeeded.
start_slow_screensaver() {
    local object=(--dest org.freedesktop.ScreenSaver --object-path /org/freedesktop/ScreenSaver)
    vd_spawn slow-screensaver "$VD_PYTHON" -m dbusmock --session org.freedesktop.ScreenSaver \
        /org/freedesktop/ScreenSaver org.freedesktop.ScreenSaver
    slow_screensaver=$VD_LAST_PID
    vd_wait_until 100 vd_has_name --session org.freedesktop.ScreenSaver || return 1
    gdbus call --session "${object[@]}" --method org.freedesktop.DBus.Mock.AddMethod \
        org.freedesktop.ScreenSaver Inhibit ss u 'time.sleep(0.1); ret = 7' >/dev/null &&
        gdbus call --session "${object[@]}" --method org.freedesktop.DBus.Mock.AddMethod \
            org.freedesktop.ScreenSaver UnInhibit u '' '' >/dev/null
}

toggle_storm() {
    local clients=200 i code_file pids=() succeeded=0 unanswered=0 other=0
    mkdir "$VD_DIR/storm"
    for i in $(seq "$clients"); do
        code_file="$VD_DIR/storm/$i"
        (timeout 30 "$vigilo" toggle >/dev/null 2>&1; echo $? >"$code_file") &
        pids+=($!)
    done
    wait "${pids[@]}"
    for i in $(seq "$clients"); do
        case $(cat "$VD_DIR/storm/$i") in
            0) succeeded=$((succeeded + 1)) ;;
            2) unanswered=$((unanswered + 1)) ;;
            *) other=$((other + 1)) ;;
        esac
    done
    storm_awake=$((succeeded % 2))
    echo "#    toggle storm: $succeeded of $clients clients succeeded, $unanswered got no answer," \
        "$other ended otherwise; expected $([ "$storm_awake" = 1 ] && echo awake || echo asleep)"
    storm_other=$other
}
expect "toggle storm: a slow session lock service starts" start_slow_screensaver
toggle_storm
expect "toggle storm: every client succeeds or says it got no answer" test "$storm_other" = 0
run_vigilo status
expect "toggle storm: status agrees with the number of successes" \
    test "$code" = "$([ "$storm_awake" = 1 ] && echo 0 || echo 3)"
expect "toggle storm: the lock list agrees with the number of successes" \
    wait_for_locks "$storm_awake"
run_vigilo off
expect "toggle storm: off afterwards drops the lock" wait_for_locks 0
kill "$slow_screensaver"
wait "$slow_screensaver" 2>/dev/null
# --- End of the toggle storm ---------------------------------------------------------------

run_vigilo on
expect "on before SIGTERM: locked" wait_for_locks 1
kill -TERM "$instance"
wait "$instance" && status=0 || status=$?
expect "SIGTERM: the process exits 0" test "$status" = 0
expect "SIGTERM: the lock is gone" wait_for_locks 0
run_vigilo status
expect "after quit: status exits 2" test "$code" = 2

expect "the closed-lid consent is stored" grant_lid_mode
expect "restart after quit" start_instance
run_vigilo on
expect "on with consent: locked" wait_for_locks 1
expect "on with consent: logind lists the closed-lid lock" wait_for_locks 1 lid_locks

# A hung UPower must not freeze the program: the closed-lid mode follows the lid on every tick.
kill -STOP "$VD_UPOWER_PID"
# Asked over a few seconds, so that stats ticks run while UPower is stopped.
started=$SECONDS
while [ $((SECONDS - started)) -lt 5 ]; do
    run_vigilo status
    [ "$code" = 0 ] || break
done
expect "UPower stopped: status keeps answering, exit 0" test "$code" = 0
run_vigilo off
expect "UPower stopped: off exits 0" test "$code" = 0
expect "UPower stopped: off drops the lock" wait_for_locks 0
expect "UPower stopped: off drops the closed-lid lock" wait_for_locks 0 lid_locks
run_vigilo on
expect "UPower stopped: on exits 0" test "$code" = 0
expect "UPower stopped: on takes the closed-lid lock again" wait_for_locks 1 lid_locks
run_vigilo status
expect "UPower stopped: status exits 0" test "$code" = 0
kill -CONT "$VD_UPOWER_PID"

# A crash leaves the socket file behind; the kernel still drops the locks with the process.
expect "on before SIGKILL: locked" wait_for_locks 1
kill -KILL "$instance"
wait "$instance" 2>/dev/null
expect "SIGKILL: the lock is gone with the process" wait_for_locks 0
expect "SIGKILL: the closed-lid lock is gone with the process" wait_for_locks 0 lid_locks
expect "SIGKILL leaves the socket file" test -S "$XDG_RUNTIME_DIR/vigilo/control"
expect "a new start takes over the stale socket" start_instance
run_vigilo status
expect "the new instance answers" test "$code" = 3
kill -TERM "$instance"
wait "$instance"

# --- No tray host ----------------------------------------------------------------------------
# Without a tray the program shows its panel as an ordinary window and says once what is missing;
# the tray coming back takes the panel back under the icon.
expect "a notification daemon starts" vd_mock_notifications
vd_stop_trayer
expect "no tray host: the tray program starts" start_instance
expect "no tray host: an ordinary window named Vigilo opens" vd_wait_until 50 vd_ordinary_window
expect "no tray host: one notification says what is missing" \
    vd_wait_until 50 test "$(vd_notification_count)" = 1
expect "the tray host comes back" vd_start_trayer
expect "the tray host back: the window closes" vd_wait_until 50 eval '! vd_ordinary_window'
expect "the tray host back: the icon docks" vd_wait_until 50 vd_docked vigilo
run_vigilo
expect "a second start with a tray exits 0" test "$code" = 0
expect "a second start opens the floating panel" vd_wait_until 50 vd_panel_open
vd_stop_trayer
expect "the tray host gone again: the window opens again" vd_wait_until 50 vd_ordinary_window
expect "the tray host gone again: no second notification" test "$(vd_notification_count)" = 1
xdotool key Escape
sleep 0.5 # long enough for a wrong close to show
expect "Escape leaves the ordinary window open" vd_ordinary_window
xdotool key ctrl+q
expect "Ctrl+Q in the window quits" vd_wait_until 100 eval '! kill -0 "$instance" 2>/dev/null'
kill -KILL "$instance" 2>/dev/null
wait "$instance" && status=0 || status=$?
expect "Ctrl+Q in the window: exit 0" test "$status" = 0
# --- End of no tray host -------------------------------------------------------------------

if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed; vigilo's log:"
    cat "$VD_DIR/vigilo.log" 2>/dev/null
    exit 1
fi
echo "all checks passed"
