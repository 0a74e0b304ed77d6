#!/usr/bin/env bash
# Builds the optimised program (the release preset) and its Debian package, and prints the
# package's path. Installs the needed packages first (as root).
#
#   scripts/package.sh
#   sudo apt install ./build/release/vigilo_<version>_<arch>.deb
#
# On a Mac it builds Vigilo.app instead, with Qt and Sparkle inside and an ad-hoc signature, and
# its disk image (build/release/Vigilo-<version>-Darwin.dmg).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

if [ "$(uname -s)" = Darwin ]; then
    scripts/install-deps.sh >&2
    qt=$(brew --prefix qt)
    cmake --preset release -DCMAKE_PREFIX_PATH="$qt" >&2
    cmake --build --preset release -j"$(sysctl -n hw.ncpu)" >&2
    build="$root/build/release"
    app="$build/src/app/Vigilo.app"
    # The panel library is loaded, not linked: named, so that its Qt Quick comes along.
    "$qt/bin/macdeployqt" "$app" -qmldir="$root/src/ui" \
        -executable="$app/Contents/PlugIns/vigilo-panel.so" >&2
    mkdir -p "$app/Contents/Frameworks"
    rm -rf "$app/Contents/Frameworks/Sparkle.framework"
    cp -R "$root/build/Sparkle/Sparkle.framework" "$app/Contents/Frameworks/"
    # Ad hoc: the bundle runs on the Mac it was built on, and Gatekeeper asks elsewhere.
    codesign --force --deep --sign - "$app" >&2
    cpack --config "$build/CPackConfig.cmake" -B "$build" >&2
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    dmg="$build/Vigilo-$version-Darwin.dmg"
    [ -f "$dmg" ] || { echo "package: cpack did not make $dmg" >&2; exit 1; }
    echo "$dmg"
    exit
fi

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
