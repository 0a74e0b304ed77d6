#!/bin/sh
# Renders the panel's main screen (off with the empty glass, on, metrics expanded, donation bar,
# lid error, hover, opaque), its settings (each tab; watched applications of every kind, with a
# remove button hovered, and the chooser of installed applications; the about tab with lid access
# closed, granted and hovered; the consent card; the selected tab, a switch that is on and the
# threshold pill holding the keyboard focus) and the update area in each of its rows, light and
# dark, as PNGs for a person to look at.
#   scripts/render-panel.sh [folder]        (default /tmp/vigilo-panel)
# BUILD_DIR picks the build folder (default build/ci under the repository).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/ci}
out=${1:-/tmp/vigilo-panel}

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" --target vigilo_render_panel
QT_QPA_PLATFORM=offscreen "$build/tests/ui/vigilo_render_panel" "$out"
