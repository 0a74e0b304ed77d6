#!/usr/bin/env bash
# Writes PNGs of the tray (enlarged 4x) with Vigilo's glass off and on, under a virtual desktop,
# and prints their paths.
# Usage: scripts/screenshot-tray.sh [path/to/vigilo] [output folder]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
vigilo=$(realpath "${1:-$root/build/run/src/app/vigilo}")
out=$(realpath -m "${2:-$root/build/screenshots}")
[ -x "$vigilo" ] || { echo "screenshot-tray: no program at $vigilo (build it first)" >&2; exit 1; }
mkdir -p "$out"

# shellcheck source=virtual-desktop.sh
source "$root/scripts/virtual-desktop.sh"
trap vd_stop EXIT
vd_start

vd_spawn vigilo "$vigilo"
for _ in $(seq 100); do
    vd_docked vigilo && break
    sleep 0.1
done
vd_docked vigilo || { echo "screenshot-tray: the icon never docked" >&2; exit 1; }

shoot() { # state verb
    "$vigilo" "$2" >/dev/null || [ "$2" = status ]
    sleep 0.3 # let the tray host repaint
    vd_tray_screenshot "$out/tray-$1.png"
    echo "$out/tray-$1.png"
}
shoot off status
shoot on on
"$vigilo" off
