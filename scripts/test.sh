#!/usr/bin/env bash
# Builds Vigilo with warnings as errors and runs the whole test suite: unit tests, adapter
# tests against private D-Bus buses, drawings rendered offscreen and the end-to-end run under
# a virtual X display. Installs the needed packages first (as root).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "$(id -u)" -eq 0 ]; then
    scripts/install-deps.sh
else
    scripts/install-deps.sh || { echo "test: run as root once to install the packages" >&2; exit 1; }
fi

cmake --preset ci
cmake --build --preset ci -j"$(nproc)"
ctest --preset ci -j"$(nproc)" "$@"
