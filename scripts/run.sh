#!/usr/bin/env bash
# Installs what is missing, builds Vigilo (optimised) and starts it.
#
# In a desktop session the program simply starts in its tray. Without a display (a server, CI, a
# container) it starts a virtual desktop instead (scripts/virtual-desktop.sh), switches
# keep-awake on with `vigilo on`, prints `vigilo status`, writes a screenshot and keeps running
# until Ctrl+C.
#
# Usage: scripts/run.sh [--once]
#   --once   without a display: stop and clean up right after the screenshot.
# The build folder is build/run unless VIGILO_BUILD_DIR names another.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
once=false
case "${1:-}" in
    "") ;;
    --once) once=true ;;
    *) echo "usage: scripts/run.sh [--once]" >&2; exit 64 ;;
esac

if ! "$root/scripts/install-deps.sh"; then
    echo "run: some packages are missing; run scripts/install-deps.sh as root once, then try again" >&2
    exit 1
fi

build=${VIGILO_BUILD_DIR:-$root/build/run}
if [ "$(uname -s)" = Darwin ]; then
    # A Mac always has its menu bar: the bundle starts there.
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIGILO_BUILD_TESTS=OFF \
        -DCMAKE_PREFIX_PATH="$(brew --prefix qt)" >/dev/null
    cmake --build "$build" --target vigilo
    echo "run: starting Vigilo; it lives in the menu bar"
    exec open "$build/src/app/Vigilo.app"
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIGILO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" --target vigilo
vigilo="$build/src/app/vigilo"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    echo "run: starting Vigilo in this desktop session; it lives in the tray"
    exec "$vigilo"
fi

echo "run: no display here; starting a virtual desktop (Xvfb, xcompmgr, trayer, private D-Bus)"
# shellcheck source=virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
trap vd_stop EXIT
trap 'echo; echo "run: stopping"; exit 0' INT TERM
vd_start --real-logind

vd_spawn vigilo "$vigilo"
pid=$VD_LAST_PID
answered=false
for _ in $(seq 100); do
    if "$vigilo" status >/dev/null 2>&1 || [ $? = 3 ]; then
        answered=true
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if ! $answered; then
    echo "run: Vigilo did not start; its log:" >&2
    cat "$VD_DIR/vigilo.log" >&2
    exit 1
fi

echo "run: \$ vigilo on"
"$vigilo" on
echo "run: \$ vigilo status"
"$vigilo" status || true
sleep 0.5 # let the tray host repaint the glass

shots="$root/build/screenshots"
mkdir -p "$shots"
vd_screenshot "$shots/run-screen.png"
vd_tray_screenshot "$shots/run-tray.png"
echo "run: screenshot of the virtual screen: $shots/run-screen.png"
echo "run: the tray enlarged 4x:             $shots/run-tray.png"

if $once; then
    exit 0
fi
echo "run: Vigilo runs on $DISPLAY; try: DISPLAY=$DISPLAY XDG_RUNTIME_DIR=$XDG_RUNTIME_DIR $vigilo off"
echo "run: press Ctrl+C to stop"
while kill -0 "$pid" 2>/dev/null; do
    sleep 1
done
echo "run: Vigilo has quit"
