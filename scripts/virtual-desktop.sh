# shellcheck shell=bash
# Shared by the scripts in scripts/, bench/app/ and tests/app/ that run the real program: a
# throw-away desktop for Vigilo on a machine without one. Source it, then:
#
#   vd_start [--real-logind]   Xvfb on a free display, xcompmgr, trayer (a tray host), a private
#                              session bus, and a private system bus with python3-dbusmock's
#                              logind. With --real-logind the machine's own system bus is used
#                              when a logind answers there (it says which it uses).
#                              Exports DISPLAY, DBUS_SESSION_BUS_ADDRESS, DBUS_SYSTEM_BUS_ADDRESS,
#                              XDG_RUNTIME_DIR, XDG_CONFIG_HOME and XDG_STATE_HOME (fresh
#                              folders under VD_DIR), and unsets WAYLAND_DISPLAY and QT_QPA_PLATFORM.
#   vd_mock_upower [JSON]      python3-dbusmock's upower on the private system bus (not with the
#                              machine's own logind), with template parameters such as
#                              '{"OnBattery": true}'; its pid is in $VD_UPOWER_PID.
#   vd_start_xvfb NAME WxHxD   Xvfb alone on a free display, logging to $VD_DIR/NAME.log; waits
#                              up to 10 s for it and exports DISPLAY.
#   vd_spawn NAME CMD...       starts CMD in the background, logs to $VD_DIR/NAME.log, and stops
#                              it in vd_stop; the pid is in $VD_LAST_PID.
#   vd_stop_trayer, vd_start_trayer   take the tray host away and bring it back; its pid is in
#                              $VD_TRAYER_PID.
#   vd_mock_notifications      python3-dbusmock's notification daemon on the session bus;
#                              vd_notification_count says how many notifications it was sent.
#   vd_ordinary_window         the id of Vigilo's ordinary window (framed, in task bars), shown
#                              where no tray host is; fails when there is none.
#   vd_list_inhibitors         prints logind's ListInhibitors, one "what who why mode uid pid" a line.
#   vd_docked CLASS            true when a window of that X class is docked in the tray; waits
#                              up to 10 s for the tray host's window, and fails (saying so)
#                              without one.
#   vd_screenshot FILE         a PNG of the whole screen.
#   vd_tray_screenshot FILE    a PNG of the tray host's window, enlarged 4x.
#   vd_stop                    stops everything vd_start and vd_spawn started, removes VD_DIR.
#   vd_wait_until TENTHS CMD...  runs CMD every tenth of a second until it succeeds, at most
#                              TENTHS times; fails when it never did.
# Vigilo's own windows, found by their X class:
#   vd_vigilo_windows          one "id x y width height" a line: the tray icon (under 100 wide)
#                              and, while it is open, the panel (300 wide or more).
#   vd_tray_icon               the tray icon's line; vd_panel_window the panel's (nothing if closed).
#   vd_panel_open, vd_panel_closed   whether the panel is on screen.
#   vd_click_tray_icon         a left click in the middle of the tray icon.
#   vd_open_panel              waits out the reopen guard (a click within 0.3 s of the panel's
#                              close opens nothing), clicks the tray icon and waits up to 3 s for
#                              the panel.
#   vd_panel_height            the panel window's height (nothing if closed).
#   vd_click_panel X Y         a left click at X, Y of the panel window (its transparent margin
#                              included).
#   vd_panel_pixel X Y         "R G B" (0-255) of the screen at X, Y of the panel window.
#   vd_dialog_windows          the lines of the program's other windows (menus, dialogs): neither
#                              the icon nor the panel, whose window is 420 wide (340 and its
#                              margins). A wide dialog also passes for the panel in vd_panel_open.
# The settings screen (VD_CONTENT, VD_HEADER_MIDDLE, VD_CORNER_BUTTON, VD_TAB_TOP: where its
# parts are in the panel window):
#   vd_open_settings           opens the panel if it is closed, then its settings (the more
#                              button), and waits up to 3 s for them.
#   vd_settings_shown          whether the panel shows the settings rather than the main screen.
#   vd_tab_middle N            the x of tab N (0 general, 1 apps, 2 about) in the panel window.
#   vd_tab_selected N          whether tab N is selected.
#   vd_select_tab N            clicks tab N and waits up to 3 s for it to be selected.
# Other windows:

VD_PYTHON=/usr/bin/python3   # dbusmock needs Debian's interpreter and its dbus module
VD_PIDS=()
VD_DIR=""
VD_LOGIND=""                 # "mock" or "system" after vd_start

vd_log() { echo "virtual-desktop: $*" >&2; }

vd_start_xvfb() { # name geometry
    local number=$VD_DIR/$1.display
    # Xvfb takes the first free display number itself and writes it once it listens: a number
    # looked up first could be taken meanwhile by a server starting beside this one.
    vd_spawn "$1" Xvfb -displayfd 3 -screen 0 "$2" -nolisten tcp 3>"$number"
    vd_wait_until 100 grep -q '^[0-9]' "$number" ||
        { vd_log "Xvfb did not start (see $VD_DIR/$1.log)"; return 1; }
    DISPLAY=":$(head -n 1 "$number")"
    export DISPLAY
}

vd_wait_until() {
    local tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# Waits up to $2 tenths of a second for command $1 (a string run by bash) to succeed.
vd_wait_for() { vd_wait_until "$2" bash -c "$1" >/dev/null 2>&1; }

vd_spawn() {
    local name=$1
    shift
    "$@" >"$VD_DIR/$name.log" 2>&1 &
    VD_LAST_PID=$!
    VD_PIDS+=("$VD_LAST_PID")
}

vd_has_name() { # bus-flag name
    gdbus call "$1" --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner "$2" 2>/dev/null | grep -q true
}

vd_private_system_bus() {
    cat >"$VD_DIR/system-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:dir=$VD_DIR</listen>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
CONF
    local output
    output=$(dbus-daemon --config-file="$VD_DIR/system-bus.conf" --fork --print-address=1 --print-pid=1) ||
        return 1
    DBUS_SYSTEM_BUS_ADDRESS=$(sed -n 1p <<<"$output")
    VD_PIDS+=("$(sed -n 2p <<<"$output")")
    export DBUS_SYSTEM_BUS_ADDRESS
}

vd_mock_logind() {
    vd_spawn logind "$VD_PYTHON" -m dbusmock --system -t logind
    vd_wait_for "gdbus call --system --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.freedesktop.login1 | grep -q true" 100 || {
        vd_log "the logind mock did not start (see $VD_DIR/logind.log)"
        return 1
    }
}

vd_mock_upower() {
    [ "$VD_LOGIND" = mock ] || { vd_log "UPower is simulated only on the private system bus"; return 1; }
    vd_spawn upower "$VD_PYTHON" -m dbusmock --system -t upower ${1:+-p "$1"}
    VD_UPOWER_PID=$VD_LAST_PID
    vd_wait_for "gdbus call --system --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.NameHasOwner org.freedesktop.UPower | grep -q true" 100 || {
        vd_log "the UPower mock did not start (see $VD_DIR/upower.log)"
        return 1
    }
}

vd_start() {
    local real_logind=false
    [ "${1:-}" = "--real-logind" ] && real_logind=true
    VD_DIR=$(mktemp -d /tmp/vigilo-vd.XXXXXX)
    mkdir -m 0700 "$VD_DIR/runtime" "$VD_DIR/config" "$VD_DIR/state"
    export XDG_RUNTIME_DIR="$VD_DIR/runtime" XDG_CONFIG_HOME="$VD_DIR/config" \
        XDG_STATE_HOME="$VD_DIR/state"
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM

    vd_start_xvfb xvfb 1280x800x24 || return 1
    xsetroot -solid '#4f6275' 2>/dev/null || true
    # Without a compositor, transparent window areas show black.
    vd_spawn xcompmgr xcompmgr
    vd_start_trayer || return 1

    local output
    output=$(dbus-daemon --session --fork --print-address=1 --print-pid=1) || return 1
    export DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p <<<"$output")
    VD_PIDS+=("$(sed -n 2p <<<"$output")")

    if $real_logind && vd_has_name --system org.freedesktop.login1; then
        VD_LOGIND=system
        vd_log "using this machine's logind: keep-awake locks are real"
    else
        $real_logind && vd_log "this machine has no logind of its own: using a simulated one" \
            "(python3-dbusmock) on a private system bus; locks there keep nothing awake"
        vd_private_system_bus || { vd_log "no private system bus"; return 1; }
        vd_mock_logind || return 1
        VD_LOGIND=mock
    fi
}

vd_start_trayer() {
    # A light panel, as Qt's own palette (no desktop theme here) is light: the tray glass takes
    # its outline colour from the palette.
    vd_spawn trayer trayer --edge top --align right --widthtype request --height 28 \
        --SetDockType true --SetPartialStrut true --transparent true --alpha 0 --tint 0xe4e4e4
    VD_TRAYER_PID=$VD_LAST_PID
    vd_wait_for "xdotool search --onlyvisible --class trayer" 100 || { vd_log "trayer did not start"; return 1; }
}

vd_stop_trayer() {
    kill "$VD_TRAYER_PID" 2>/dev/null || true
    wait "$VD_TRAYER_PID" 2>/dev/null || true
}

vd_mock_notifications() {
    vd_spawn notifications "$VD_PYTHON" -m dbusmock --session -t notification_daemon
    vd_wait_until 100 vd_has_name --session org.freedesktop.Notifications || {
        vd_log "the notification daemon mock did not start (see $VD_DIR/notifications.log)"
        return 1
    }
}

vd_notification_count() {
    gdbus call --session --dest org.freedesktop.Notifications \
        --object-path /org/freedesktop/Notifications --method org.freedesktop.DBus.Mock.GetCalls |
        grep -o "'Notify'" | wc -l
}

vd_ordinary_window() {
    local window
    for window in $(xdotool search --onlyvisible --name '^Vigilo$' 2>/dev/null); do
        xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_NORMAL &&
            ! xprop -id "$window" _NET_WM_STATE 2>/dev/null | grep -q SKIP_TASKBAR &&
            echo "$window" && return 0
    done
    return 1
}

vd_list_inhibitors() {
    gdbus call --system --dest org.freedesktop.login1 --object-path /org/freedesktop/login1 \
        --method org.freedesktop.login1.Manager.ListInhibitors |
        "$VD_PYTHON" -c '
import ast, sys
text = sys.stdin.read().strip()
# gdbus prints a GVariant tuple: ([(what, who, why, mode, uid, pid), ...],)
text = text.replace("@a(ssssuu) ", "").replace("uint32 ", "")
for entry in ast.literal_eval(text)[0]:
    print(" ".join(str(field) for field in entry))
'
}

# The tray host's visible panel (trayer also owns hidden helper windows). Waits up to 10 s for
# it to appear; fails with a message when it never does.
vd_tray_window() {
    local window tries=100
    until window=$(xdotool search --onlyvisible --class trayer 2>/dev/null | head -n 1) &&
        [ -n "$window" ]; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || { vd_log "the tray host has no window on $DISPLAY"; return 1; }
        sleep 0.1
    done
    echo "$window"
}

# True when a window of class $1 sits in the tray panel. Without an id xwininfo would wait for
# a click on a window, so no tray host is a failure.
vd_docked() {
    local tray
    tray=$(vd_tray_window) || return 1
    xwininfo -tree -id "$tray" | grep -q "(\"$1\" "
}

vd_screenshot() { import -window root "$1"; }

vd_tray_screenshot() {
    local window
    window=$(vd_tray_window) || return 1
    import -window "$window" -filter point -resize 400% "$1"
}

vd_vigilo_windows() {
    local window
    for window in $(xdotool search --onlyvisible --class vigilo 2>/dev/null); do
        # Lines such as "WIDTH=24"; none when the window went away since the search.
        xdotool getwindowgeometry --shell "$window" 2>/dev/null | awk -F= -v id="$window" '
            { field[$1] = $2 }
            END { if ("HEIGHT" in field) print id, field["X"], field["Y"], field["WIDTH"], field["HEIGHT"] }'
    done
}
vd_tray_icon() { vd_vigilo_windows | awk '$4 < 100' | head -n 1; }
vd_panel_window() { vd_vigilo_windows | awk '$4 >= 300' | head -n 1; }
vd_panel_open() { [ -n "$(vd_panel_window)" ]; }
vd_panel_closed() { ! vd_panel_open; }

vd_click_tray_icon() {
    local x y width height
    read -r _ x y width height <<<"$(vd_tray_icon)"
    xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 1
}

vd_open_panel() {
    sleep 0.3
    vd_click_tray_icon
    vd_wait_until 30 vd_panel_open
}

vd_panel_height() { vd_panel_window | awk '{ print $5 }'; }

vd_click_panel() {
    local x y
    read -r _ x y _ _ <<<"$(vd_panel_window)"
    [ -n "$x" ] || return 1
    xdotool mousemove $((x + $1)) $((y + $2)) click 1
}

vd_panel_pixel() {
    local x y
    read -r _ x y _ _ <<<"$(vd_panel_window)"
    [ -n "$x" ] || return 1
    import -window root -crop "1x1+$((x + $1))+$((y + $2))" -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p' | head -n 1
}

# The settings screen, in points of the panel window. The panel's content starts 56 in (the
# 40-point margin and the 16-point padding) and is 308 wide; the settings screen is 308 high: a
# 36-high header (the tab bar, three tabs of about 85 after a 3-point inset, then the close button
# at the right end, where the main screen has its more button), and the tab's content 8 below.
VD_CONTENT=56
VD_HEADER_MIDDLE=$((VD_CONTENT + 18))
VD_CORNER_BUTTON=$((VD_CONTENT + 308 - 18))
# shellcheck disable=SC2034 # for the scripts that source this one
VD_TAB_TOP=$((VD_CONTENT + 36 + 8))
vd_tab_middle() { echo $((VD_CONTENT + 45 + $1 * 87)); }
# The main screen is lower than the settings screen: the window's height tells them apart.
vd_settings_shown() { [ "$(vd_panel_height)" = $((308 + 2 * 16 + 2 * 40)) ]; }
# The selected tab is an amber pill: a point of it above its title.
vd_tab_selected() {
    local r g b
    read -r r g b <<<"$(vd_panel_pixel "$(vd_tab_middle "$1")" $((VD_CONTENT + 7)))"
    [ -n "$b" ] && [ "$r" -ge 200 ] && [ "$g" -ge 120 ] && [ "$g" -le 200 ] && [ "$b" -le 90 ]
}
vd_open_settings() {
    vd_panel_open || vd_open_panel || return 1
    vd_click_panel "$VD_CORNER_BUTTON" "$VD_HEADER_MIDDLE"
    vd_wait_until 30 vd_settings_shown
}
vd_select_tab() {
    vd_click_panel "$(vd_tab_middle "$1")" "$VD_HEADER_MIDDLE"
    vd_wait_until 30 vd_tab_selected "$1"
}

vd_dialog_windows() { vd_vigilo_windows | awk '$4 >= 100 && $4 != 420'; }


vd_stop() {
    local i
    for ((i = ${#VD_PIDS[@]} - 1; i >= 0; i--)); do
        kill "${VD_PIDS[i]}" 2>/dev/null || true
    done
    for ((i = ${#VD_PIDS[@]} - 1; i >= 0; i--)); do
        wait "${VD_PIDS[i]}" 2>/dev/null || true
    done
    VD_PIDS=()
    [ -n "$VD_DIR" ] && rm -rf "$VD_DIR"
    VD_DIR=""
}
