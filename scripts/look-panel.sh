#!/usr/bin/env bash
# Writes PNGs of the panel in its states, as the real program shows it under a virtual desktop
# (Xvfb, the xcompmgr compositor, the trayer tray host, simulated logind and UPower), opened
# with a synthetic click on the tray icon, and prints their paths:
#   panel-off.png        a fresh start: keep-awake off
#   panel-on.png         after `vigilo on`
#   panel-metrics.png    the metrics row expanded by a click on its summary line
#   panel-donation.png   the donation request: a restart with keep-awake restored as switched on
#                        two hours ago (resumeAwakeSince in the settings file), the fifth cup
#   panel-lid-error.png  the closed-lid error: consent given (lidModeGranted), logind refusing
#                        every lock, and a session inhibitor (a simulated ScreenSaver service) to
#                        keep the computer awake without it; `vigilo on` then fails to take the
#                        lid lock
#   panel-settings-consent.png  the settings while keep-awake is on and closed-lid mode wanted
#                        (as it is by default) but not yet allowed: the consent card on top
#   panel-settings-general.png, panel-settings-apps.png, panel-settings-about.png
#                        each tab after `vigilo off`, which takes the consent card away
#   panel-settings-about-granted.png  the about tab with closed-lid access allowed
#   revoke-dialog.png    the dialog a click on "Доступ к крышке разрешён" opens, over the panel
#   panel-hidpi.png, panel-hidpi-settings.png  at 200 % (QT_SCALE_FACTOR=2), and the settings
#                        opened by a click on the more button in the panel's top-right corner
#   panel-window.png     no tray host (trayer stopped): the panel as the ordinary window the
#                        program opens instead; no window manager runs here to draw its frame
# Each panel picture is the panel's window with its transparent margin, over the desktop.
# Usage: scripts/look-panel.sh [path/to/vigilo] [output folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
vigilo=$(realpath "${1:-$root/build/run/src/app/vigilo}")
out=$(realpath -m "${2:-$root/build/screenshots}")
[ -x "$vigilo" ] || { echo "look-panel: no program at $vigilo (build it first)" >&2; exit 1; }
mkdir -p "$out"

# shellcheck source=virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
trap vd_stop EXIT
vd_start
vd_mock_upower

start_vigilo() {
    vd_spawn vigilo "$vigilo"
    instance=$VD_LAST_PID
    vd_wait_until 100 vd_docked vigilo || { echo "look-panel: the icon never docked" >&2; exit 1; }
    sleep 2.5 # one statistics tick: the figures, and the donation check
}
stop_vigilo() {
    kill -TERM "$instance"
    wait "$instance" || true
}
# Writes the panel's window, as far as it lies on the screen, after its fade-in and springs.
shoot() {
    vd_panel_open || vd_open_panel || { echo "look-panel: the panel did not open" >&2; exit 1; }
    sleep 1
    local x y width height
    read -r _ x y width height <<<"$(vd_panel_window)"
    if [ "$y" -lt 0 ]; then
        height=$((height + y))
        y=0
    fi
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$out/panel-$1.png"
    echo "$out/panel-$1.png"
}
# The settings as they are, not as the last click left them: the pointer rests in the window's
# transparent margin, where it lights nothing and shows no help tip.
shoot_settings() {
    local x y height
    read -r _ x y _ height <<<"$(vd_panel_window)"
    xdotool mousemove $((x + 10)) $((y + height - 10))
    shoot "settings-$1"
}
# Settings written while no instance runs; a JSON object merged into the settings file.
settings() {
    "$VD_PYTHON" - "$XDG_CONFIG_HOME/vigilo/defaults.json" "$1" <<'PY'
import json, os, sys
path, changes = sys.argv[1], json.loads(sys.argv[2])
settings = json.load(open(path)) if os.path.exists(path) else {}
settings.update(changes)
os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
json.dump(settings, open(path, "w"))
PY
}

start_vigilo
shoot off
"$vigilo" on >/dev/null
shoot on
# The summary line of the metrics card, at the foot of the 256-point main screen.
read -r _ x y width _ <<<"$(vd_panel_window)"
xdotool mousemove $((x + width / 2)) $((y + 40 + 16 + 234)) click 1
shoot metrics
vd_open_settings || { echo "look-panel: the settings did not open" >&2; exit 1; }
shoot_settings consent
"$vigilo" off >/dev/null
shoot_settings general
for tab in 1:apps 2:about; do
    vd_select_tab "${tab%%:*}" || { echo "look-panel: the ${tab#*:} tab was not selected" >&2; exit 1; }
    shoot_settings "${tab#*:}"
done
stop_vigilo

two_hours_ago=$(date -u -d '2 hours ago' +%Y-%m-%dT%H:%M:%S.000Z)
settings "{\"resumeAwakeSince\": {\"date\": \"$two_hours_ago\"}, \"resumeManuallyOn\": true}"
start_vigilo
shoot donation
"$vigilo" off >/dev/null
stop_vigilo

# A session inhibitor that grants every lock, and a logind that refuses every lock.
vd_spawn screensaver "$VD_PYTHON" -m dbusmock org.freedesktop.ScreenSaver /org/freedesktop/ScreenSaver \
    org.freedesktop.ScreenSaver
vd_wait_until 100 gdbus call --session --dest org.freedesktop.ScreenSaver \
    --object-path /org/freedesktop/ScreenSaver --method org.freedesktop.DBus.Introspectable.Introspect \
    >/dev/null 2>&1 || { echo "look-panel: the ScreenSaver mock did not start" >&2; exit 1; }
mock() { gdbus call "$1" --dest "$2" --object-path "$3" --method org.freedesktop.DBus.Mock.AddMethod \
    "${@:4}" >/dev/null; }
mock --session org.freedesktop.ScreenSaver /org/freedesktop/ScreenSaver \
    org.freedesktop.ScreenSaver Inhibit ss u "ret = dbus.UInt32(7)"
mock --session org.freedesktop.ScreenSaver /org/freedesktop/ScreenSaver \
    org.freedesktop.ScreenSaver UnInhibit u "" ""
mock --system org.freedesktop.login1 /org/freedesktop/login1 org.freedesktop.login1.Manager \
    Inhibit ssss h "raise dbus.exceptions.DBusException('refused', name='org.freedesktop.DBus.Error.AccessDenied')"
settings '{"lidModeGranted": true}'
start_vigilo
"$vigilo" on >/dev/null || echo "look-panel: vigilo on did not keep the computer awake" >&2
shoot lid-error
"$vigilo" off >/dev/null || true

# The about tab with closed-lid access allowed (still lidModeGranted), and the revoke dialog.
vd_open_settings || { echo "look-panel: the settings did not open" >&2; exit 1; }
vd_select_tab 2 || { echo "look-panel: the about tab was not selected" >&2; exit 1; }
shoot_settings about-granted
# The access button is the about tab's only control tinted amber; what lies above it depends on
# whether this build updates itself.
lid_button_top() {
    local x y
    read -r _ x y _ _ <<<"$(vd_panel_window)"
    import -window root -crop "1x240+$((x + VD_CONTENT + 10))+$((y + VD_TAB_TOP))" -depth 8 txt:- |
        awk -F'[,:() ]+' 'NR > 1 && !found && $3 - $5 > 15 { print $2; found = 1 }'
}
top=$(lid_button_top)
[ -n "$top" ] || { echo "look-panel: no closed-lid access button" >&2; exit 1; }
vd_click_panel $((VD_CONTENT + 154)) $((VD_TAB_TOP + top + 16))
dialog_up() { [ -n "$(vd_dialog_windows)" ]; }
vd_wait_until 30 dialog_up || { echo "look-panel: no revoke dialog" >&2; exit 1; }
read -r _ dx dy dwidth dheight <<<"$(vd_dialog_windows | sed -n 1p)"
read -r _ px py pwidth pheight <<<"$(vd_panel_window)"
xdotool mousemove $((px + 10)) $((py + pheight - 10))
sleep 1
# The dialog and the panel, and the desktop between them, as far as it lies on the screen.
min() { echo $(($1 < $2 ? $1 : $2)); }
max() { echo $(($1 > $2 ? $1 : $2)); }
left=$(min "$dx" "$px")
top=$(max 0 "$(min "$dy" "$py")")
right=$(max $((dx + dwidth)) $((px + pwidth)))
bottom=$(max $((dy + dheight)) $((py + pheight)))
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out/revoke-dialog.png"
echo "$out/revoke-dialog.png"
xdotool key Escape
stop_vigilo

vd_stop_trayer
vd_spawn vigilo "$vigilo"
instance=$VD_LAST_PID
vd_wait_until 100 vd_ordinary_window >/dev/null || { echo "look-panel: no window without a tray" >&2; exit 1; }
sleep 2.5 # one statistics tick
# The window and 20 points of the desktop around it, as the screen shows them.
window=$(vd_ordinary_window)
read -r _ x y width height <<<"$(vd_vigilo_windows | grep "^$window ")"
import -window root -crop "$((width + 40))x$((height + 40))+$((x - 20))+$((y - 20))" +repage \
    "$out/panel-window.png"
echo "$out/panel-window.png"
stop_vigilo

# At 200 %: the panel drawn at twice the pixels, and its whole surface takes clicks. A click on
# the more button in its top-right corner opens the settings.
vd_start_trayer || { echo "look-panel: trayer did not come back" >&2; exit 1; }
QT_SCALE_FACTOR=2 vd_spawn vigilo "$vigilo"
instance=$VD_LAST_PID
vd_wait_until 100 vd_docked vigilo || { echo "look-panel: the icon never docked at 200 %" >&2; exit 1; }
sleep 2.5 # one statistics tick
shoot hidpi
read -r _ x y _ _ <<<"$(vd_panel_window)"
xdotool mousemove $((x + 2 * VD_CORNER_BUTTON)) $((y + 2 * VD_HEADER_MIDDLE)) click 1
shoot hidpi-settings
stop_vigilo
