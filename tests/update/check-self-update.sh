#!/usr/bin/env bash
# The installed program updates itself to this build. The same sources, numbered lower and built
# with a local server as their feed and a key made for the test, are installed for one user (in
# a temporary home); the feed offers this build, packed and signed with scripts/sign-release.sh.
# Started from its menu entry in a virtual desktop and kept awake, the program downloads and
# prepares the update but does not install it; once keep-awake ends it installs it, relaunches in
# the same process from the new version's folder and answers there, and the old version's folder
# is as it was. Ended before it confirms its start, the new version is rolled back by the next
# start from the launcher, which runs the old version again. Installed afresh in another home and
# kept awake, the older release is then updated by the user from the panel's about tab (check,
# then install and relaunch): the relaunched program is still kept awake, since the same moment.
#
#   check-self-update.sh <source folder> <this build folder> <work folder> <older build folder>
#                        <vigilo_sign_update>
#
# The older release is built as this build was (compiler, launcher, build type, flags), so that
# through ccache it takes this build's objects for every source but the few it compiles
# differently (its version, feed and key, and the first check's delay): a few compilations and
# the links, not a full build. ccache finds them by paths relative to the build folder
# (base_dir, no hash of the folder), so the older build's folder sits beside this one, as deep.
# The work folder keeps the test key and the server's port between runs.
set -uo pipefail
source_dir=$(realpath "$1")
this_build=$(realpath "$2")
work=$3
older=$4
sign_tool=$(realpath "$5")
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$work" "$older"
work=$(realpath "$work")
older=$(realpath "$older")
# shellcheck source=../../scripts/virtual-desktop.sh
source "$source_dir/scripts/virtual-desktop.sh"
# For skip_while_users_vigilo_runs; this script's own fail and check, below, stop at the first
# failure.
# shellcheck source=../check-helpers.sh
source "$here/../check-helpers.sh"
skip_while_users_vigilo_runs

scratch=$(mktemp -d /tmp/vigilo-self-update.XXXXXX)
server=""
cleanup() {
    vd_stop
    if [ -n "$server" ]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

# Stops at the first failure: every step needs the ones before it.
fail() {
    echo "FAIL - $1"
    for log in "$scratch"/server.log "${VD_DIR:-/nonexistent}"/vigilo*.log; do
        [ -f "$log" ] && { echo "--- $log"; tail -n 40 "$log"; }
    done
    exit 1
}
check() { # description, then a command that must succeed
    local description=$1
    shift
    if "$@"; then echo "ok   - $description"; else fail "$description"; fi
}
started=$SECONDS
elapsed() { echo "#    $1 after $((SECONDS - started)) s"; }

# --- The server, the key and the older release ---------------------------------------------
# The port is built into the older release, so the one of the last run is taken again when it
# is free.
feed=$scratch/feed
mkdir "$feed"
listening_or_gone() { grep -q '^port ' "$scratch/server.port" || ! kill -0 "$server"; }
start_server() {
    python3 "$here/feed-server.py" "$feed" "$1" >"$scratch/server.port" 2>"$scratch/server.log" &
    server=$!
    vd_wait_until 100 listening_or_gone && grep -q '^port ' "$scratch/server.port" && return 0
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
    server=""
    return 1
}
if ! { [ -s "$work/port" ] && start_server "$(cat "$work/port")"; }; then
    start_server 0 || fail "the update server does not start: $(cat "$scratch/server.log")"
fi
port=$(sed -n 's/^port //p' "$scratch/server.port")
echo "$port" >"$work/port"
base_url=http://127.0.0.1:$port

[ -s "$work/update.key" ] || "$sign_tool" generate-key "$work/update.key" >/dev/null ||
    fail "no test key"
public_key=$("$sign_tool" public-key "$work/update.key") || fail "the test key is unreadable"

this_build_setting() { sed -n "s/^$1:[A-Z]*=//p" "$this_build/CMakeCache.txt"; }
launcher=$(this_build_setting CMAKE_CXX_COMPILER_LAUNCHER)
if [ -z "$launcher" ] && command -v ccache >/dev/null; then
    launcher=ccache # no objects to share, but the next run finds this one's
fi
build_older() {
    if ! {
        cmake -S "$source_dir" -B "$older" -G "$(this_build_setting CMAKE_GENERATOR)" \
            -DCMAKE_CXX_COMPILER="$(this_build_setting CMAKE_CXX_COMPILER)" \
            -DCMAKE_CXX_COMPILER_LAUNCHER="$launcher" \
            -DCMAKE_BUILD_TYPE="$(this_build_setting CMAKE_BUILD_TYPE)" \
            -DCMAKE_CXX_FLAGS="$(this_build_setting CMAKE_CXX_FLAGS)" \
            -DVIGILO_WERROR="$(this_build_setting VIGILO_WERROR)" \
            -DVIGILO_BUILD_TESTS=OFF \
            -DCMAKE_PROJECT_Vigilo_INCLUDE="$here/previous-release.cmake" \
            -DVIGILO_UPDATE_FEED_URL="$base_url/appcast.xml" \
            -DVIGILO_UPDATE_PUBLIC_KEY="$public_key" >"$work/older.log" 2>&1 &&
            CCACHE_BASEDIR=$source_dir CCACHE_NOHASHDIR=true \
                cmake --build "$older" -j"$(nproc)" >>"$work/older.log" 2>&1
    }; then
        tail -n 40 "$work/older.log"
        return 1
    fi
}
check "an older release builds with the test feed and key" build_older
elapsed "built"

# --- The install and the release -----------------------------------------------------------
export HOME=$scratch/home
unset XDG_DATA_HOME
mkdir "$HOME"
versions=$HOME/.local/lib/vigilo
check "install-user.sh installs the older release" \
    "$source_dir/scripts/install-user.sh" --build-dir "$older" >/dev/null
old=$(readlink "$versions/current")
cmake --install "$this_build" --prefix "$scratch/release" --strip >/dev/null ||
    fail "this build does not install"
check "sign-release.sh packs and signs this build" env VIGILO_SIGN_TOOL="$sign_tool" \
    "$source_dir/scripts/sign-release.sh" --key "$work/update.key" --url-base "$base_url" \
    --folder "$scratch/release" --out "$feed" >"$scratch/item.xml"
new=$(sed -n 's:.*<sparkle\:version>\(.*\)</sparkle\:version>.*:\1:p' "$scratch/item.xml")
echo "#    installed $old, the feed will offer $new"
is_lower() { [ "$1" != "$2" ] && [ "$(printf '%s\n' "$1" "$2" | sort -V | head -n 1)" = "$1" ]; }
check "the installed release is numbered lower than this build" is_lower "$old" "$new"

# Everything in a folder, with times, kinds, modes, link targets and contents.
folder_digest() {
    (cd "$1" && find . -printf '%y %m %s %T@ %l %p\n' | LC_ALL=C sort &&
        find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum)
}
old_digest=$(folder_digest "$versions/$old")

# --- The program updates itself ------------------------------------------------------------
vd_start || fail "the virtual desktop does not start"
control() { timeout 10 "$HOME/.local/bin/vigilo" "$@" >"$scratch/out" 2>&1; }
answers() {
    control status
    local code=$?
    [ "$code" = 0 ] || [ "$code" = 3 ]
}
program_of() { readlink "/proc/$1/exe"; }
runs() { [ "$(program_of "$1")" = "$versions/$2/bin/vigilo" ]; }
current_is() { [ "$(readlink "$versions/current")" = "$1" ]; }
old_untouched() { [ "$(folder_digest "$versions/$old")" = "$old_digest" ]; }
launch_record() { cat "$versions/.launch-record.json" 2>/dev/null; }
# The new version's folder is in place and no download or unpacking is left.
prepared() {
    [ -x "$versions/$new/bin/vigilo" ] && [ -z "$(find "$versions" -maxdepth 1 -name '.update-*')" ]
}

entry=$HOME/.local/share/applications/io.github.vigilo.Vigilo.desktop
launcher=$(sed -n 's/^Exec=//p' "$entry")
check "the menu entry starts the installed launcher" test "$launcher" = "$HOME/.local/bin/vigilo"
vd_spawn vigilo "$launcher"
pid=$VD_LAST_PID
check "the program started as its menu entry says answers" vd_wait_until 300 answers
check "it runs from $old's folder" runs "$pid" "$old"
check "vigilo on keeps the computer awake" control on
elapsed "kept awake"

# Puts the feed of the newer release in place in one step.
publish_feed() {
    {
        echo '<?xml version="1.0" encoding="utf-8"?>'
        echo '<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">'
        echo '<channel><title>Vigilo</title>'
        cat "$scratch/item.xml"
        echo '</channel></rss>'
    } >"$scratch/appcast.xml"
    mv "$scratch/appcast.xml" "$feed/appcast.xml"
}

# Published only now: the program's check has waited for it, so it finds the update while
# keep-awake is on.
rm "$feed/vigilo-$new.item.xml"
publish_feed
check "the update is downloaded and prepared beside the installed version" vd_wait_until 1200 prepared
elapsed "prepared"
# Two round trips through the event loop, which has had the preparation's result by then.
control status
control status
check "kept awake, it is not installed: current still points at $old" current_is "$old"
check "kept awake, the program still runs from $old's folder" runs "$pid" "$old"
check "and is still kept awake" control status

check "vigilo off is answered" control off
check "once keep-awake has ended, current points at $new" vd_wait_until 300 current_is "$new"
check "the same process relaunched from $new's folder" vd_wait_until 300 runs "$pid" "$new"
check "the relaunched program answers" vd_wait_until 300 answers
elapsed "relaunched"
control status
check "it is not kept awake, as the user ended that" test $? = 3
check "the launcher starts $new" test "$("$HOME/.local/bin/vigilo" --version)" = "vigilo $new"
# Read before the 30 s after which the new version confirms itself and the record goes.
check "the new version's start waits for its confirmation" \
    grep -q "\"installed\":\"$new\".*\"started\":true" <(launch_record)

# --- A new version that ends before it confirms is rolled back -----------------------------
kill -KILL "$pid"
wait "$pid" 2>/dev/null
check "the old version's folder is untouched" old_untouched
vd_spawn vigilo-again "$launcher"
pid=$VD_LAST_PID
check "the next start from the launcher switches current back to $old" vd_wait_until 300 current_is "$old"
check "and relaunches as $old in the same process" vd_wait_until 300 runs "$pid" "$old"
check "the rolled-back program answers" vd_wait_until 300 answers
check "the record names $new as rejected" grep -q "\"rejected\":\"$new\"" <(launch_record)
check "the old version's folder is still untouched" old_untouched
kill -TERM "$pid"
wait "$pid"
check "the rolled-back program quits cleanly" test $? = 0
elapsed "rolled back"

# --- Installed by the user while kept awake ------------------------------------------------
# The rolled-back home refuses $new for good, so the older release goes into a home of its own.
# The settings stay: they hold the keep-awake period the program resumes at start, begun two and
# a quarter hours ago, in the fifth half-hour cup, so that the status line tells that start
# from one made anew at the relaunch (the first cup) through the whole run.
export HOME=$scratch/home-panel
mkdir "$HOME"
versions=$HOME/.local/lib/vigilo
check "install-user.sh installs the older release in another home" \
    "$source_dir/scripts/install-user.sh" --build-dir "$older" >/dev/null
check "current there points at $old" current_is "$old"
old_digest=$(folder_digest "$versions/$old")
settings_file=$XDG_CONFIG_HOME/vigilo/defaults.json
set_setting() { # name, JSON value
    python3 - "$settings_file" "$1" "$2" <<'PY'
import json, os, sys
path, name, value = sys.argv[1], sys.argv[2], json.loads(sys.argv[3])
settings = json.load(open(path)) if os.path.exists(path) else {}
settings[name] = value
os.makedirs(os.path.dirname(path), mode=0o700, exist_ok=True)
json.dump(settings, open(path, "w"))
PY
}
set_setting resumeAwakeSince "{\"date\": \"$(date -u -d '135 minutes ago' +%Y-%m-%dT%H:%M:%S.000Z)\"}"
set_setting resumeManuallyOn true
# Nor does the closed-lid mode ask for consent, whose card would sit above the about tab's rows.
set_setting keepsAwakeWithLidClosed false
# The automatic check soon after the start meets a feed that does not read, and only logs that;
# the user's check later gets the real one.
echo "no release published yet" >"$scratch/placeholder"
mv "$scratch/placeholder" "$feed/appcast.xml"

launcher=$(sed -n 's/^Exec=//p' "$HOME/.local/share/applications/io.github.vigilo.Vigilo.desktop")
vd_spawn vigilo-panel "$launcher"
pid=$VD_LAST_PID
log=$VD_DIR/vigilo-panel.log
check "the older release in the other home answers" vd_wait_until 300 answers
check "it runs from $old's folder" runs "$pid" "$old"
check "vigilo on keeps the computer awake" control on
control status
before=$(head -n 1 "$scratch/out")
check "the status tells the fifth cup of the resumed period: $before" \
    test "$before" = "Пьёт кофе уже 5 чашек"
background_check_failed() { grep -q "обновление не удалось: The update feed is not an appcast" "$log"; }
check "the automatic check found no readable feed" vd_wait_until 300 background_check_failed
mv "$feed/appcast.xml" "$scratch/placeholder"
publish_feed
elapsed "kept awake in the other home"

# The panel's coordinates: the visible panel (340 wide) inside a 40-point margin, its content
# 16 points in. The settings are 308 high, the main screen 256.
# Screens of the steps stay in the work folder, to see where the clicks went.
shots=$work/screens
mkdir -p "$shots"
shoot() { vd_screenshot "$shots/$1.png"; }
panel_height_is() { [ "$(vd_panel_window | awk '{ print $5 }')" = "$1" ]; }
click_in_panel() { # x y, from the visible panel's content corner
    local x y
    read -r _ x y _ _ <<<"$(vd_panel_window)"
    xdotool mousemove $((x + 56 + $1)) $((y + 56 + $2)) click 1
}

# The tray menu's "О Vigilo", chosen with the keyboard (the toggle comes first), opens the panel
# on the settings' about tab.
read -r _ x y width height <<<"$(vd_tray_icon)"
xdotool mousemove $((x + width / 2)) $((y + height / 2)) click 3
menu_open() { [ "$(vd_vigilo_windows | wc -l)" -ge 2 ]; }
check "a right click on the tray icon opens its menu" vd_wait_until 30 menu_open
shoot menu
xdotool key Down Down Return
check "О Vigilo opens the panel on the settings" vd_wait_until 30 panel_height_is 420
shoot about
# The update row follows the identity card (64 high) and a gap of 8, under the tab bar (36)
# and its gap (8).
click_in_panel 154 132
check "Проверить обновления downloads and prepares the update while kept awake" \
    vd_wait_until 1200 prepared
control status
control status
shoot ready
check "prepared on the user's check, it waits for the click: current still points at $old" \
    current_is "$old"
# The install button sits under the ready row's text line.
click_in_panel 154 161
check "Установить и перезапустить switches current to $new" vd_wait_until 300 current_is "$new"
check "the same process relaunched from $new's folder" vd_wait_until 300 runs "$pid" "$new"
check "the relaunched program answers" vd_wait_until 300 answers
elapsed "installed from the panel"
control status
check "the relaunched program is still kept awake" test $? = 0
after=$(head -n 1 "$scratch/out")
check "since the same moment: $after" test "$after" = "$before"
check "the old version's folder in the other home is untouched" old_untouched
kill -TERM "$pid"
wait "$pid"
check "the updated program quits cleanly" test $? = 0
elapsed "done"
echo "check-self-update: updated, relaunched, rolled back, and installed from the panel while kept awake"
