#!/usr/bin/env bash
# Builds the optimised program (the release preset) and its Debian package, and prints the
# package's path. Installs the needed packages first (as root).
#
#   scripts/package.sh
#   sudo apt install ./build/release/vigilo_<version>_<arch>.deb
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if ! scripts/install-deps.sh >&2; then
    echo "package: some packages are missing; run scripts/install-deps.sh as root once" >&2
    exit 1
fi

cmake --preset release >&2
cmake --build --preset release -j"$(nproc)" >&2
build="$root/build/release"
cpack --config "$build/CPackConfig.cmake" -B "$build" >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/vigilo_${version}_$(dpkg --print-architecture).deb"
if [ ! -f "$deb" ]; then
    echo "package: cpack did not make $deb" >&2
    exit 1
fi
echo "$deb"
