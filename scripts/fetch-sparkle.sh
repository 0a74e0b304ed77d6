#!/usr/bin/env bash
# Puts Sparkle 2 (the Mac update framework) in build/Sparkle, from its release archive, unless it
# is there already; CMake finds Sparkle.framework there. Macs only.
#
# Usage: scripts/fetch-sparkle.sh
set -euo pipefail
cd "$(dirname "$0")/.."

version=2.6.4
target=build/Sparkle
if [ -d "$target/Sparkle.framework" ]; then
    echo "fetch-sparkle: Sparkle is in $target"
    exit 0
fi
mkdir -p "$target"
archive=$(mktemp -t sparkle)
trap 'rm -f "$archive"' EXIT
curl --fail --location --silent --show-error --output "$archive" \
    "https://github.com/sparkle-project/Sparkle/releases/download/$version/Sparkle-$version.tar.xz"
tar -xJf "$archive" -C "$target"
# Sparkle's releases are signed by their maker; a damaged or altered framework fails here.
codesign --verify --deep "$target/Sparkle.framework"
echo "fetch-sparkle: Sparkle $version is in $target"
