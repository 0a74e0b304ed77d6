#!/bin/sh
# Renders the glass illustration (off, filling, full, hover, …) and the tray icon at 18 and 36
# points, filled and empty, on a dark and a light surface, as PNGs for a person to look at.
#   scripts/render-glass.sh [folder]        (default /tmp/vigilo-glass)
# BUILD_DIR picks the build folder (default build/h3 under the repository).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/h3}
out=${1:-/tmp/vigilo-glass}

if [ ! -f "$build/build.ninja" ] && [ ! -f "$build/Makefile" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug
fi
cmake --build "$build" --target vigilo_render_glass
QT_QPA_PLATFORM=offscreen "$build/tests/art/vigilo_render_glass" "$out"
