#!/usr/bin/env bash
# The Debian package of a build folder: makes it with cpack, reads its control fields, unpacks
# it into a scratch root and checks the files there: the list, the program's --version and
# --help, the icons' sizes, and the validators of desktop entries, AppStream files and manual
# pages.
# Usage: tests/package/check-deb.sh <build folder>/CPackConfig.cmake <project version>
set -uo pipefail

config=$1
version=$2
here=$(cd "$(dirname "$0")" && pwd)
id=io.github.vigilo.Vigilo
scratch=$(mktemp -d /tmp/vigilo-package.XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# shellcheck source=../check-helpers.sh
source "$here/../check-helpers.sh"

deb="$scratch/vigilo_${version}_$(dpkg --print-architecture).deb"
if ! cpack --config "$config" -B "$scratch" >"$scratch/cpack.log" 2>&1 || [ ! -f "$deb" ]; then
    cat "$scratch/cpack.log"
    echo "FAIL - cpack made no $(basename "$deb")"
    exit 1
fi
pass "cpack made $(basename "$deb")"

field() { dpkg-deb --field "$deb" "$1"; }
expect "Package: vigilo" test "$(field Package)" = vigilo
expect "Version: the project version" test "$(field Version)" = "$version"
expect "a maintainer and a description" test -n "$(field Maintainer)" -a -n "$(field Description)"
expect "Depends: the libraries the program links (dpkg-shlibdeps)" \
    grep -q 'libqt6widgets6 (>= [0-9.]*)' <<<"$(field Depends)"
expect "Depends: the QML modules of the panel" \
    grep -q 'qml6-module-qtquick-controls' <<<"$(field Depends)"
expect "Depends: the font the hero's titles are measured in" \
    grep -qw 'fonts-dejavu-core' <<<"$(field Depends)"
expect "Depends: Qt's Wayland platform" grep -qw 'qt6-wayland' <<<"$(field Depends)"
expect "Recommends: libcanberra-pulse" grep -qw 'libcanberra-pulse' <<<"$(field Recommends)"
expect "Suggests: the GNOME Shell extension that shows tray icons" \
    grep -qw 'gnome-shell-extension-appindicator' <<<"$(field Suggests)"

root="$scratch/root"
dpkg-deb --extract "$deb" "$root"
if listed=$(diff <(sort "$here/expected-files.txt") <(cd "$root" && find . ! -type d | sed 's|^\.||' | sort)); then
    pass "the package holds exactly the expected files"
else
    fail "the package holds exactly the expected files (< missing, > unexpected)"
    echo "$listed"
fi

vigilo="$root/usr/bin/vigilo"
without_display() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
out=$(without_display timeout 10 "$vigilo" --version) && code=0 || code=$?
expect "vigilo --version without a display: exit 0" test "$code" = 0
expect "vigilo --version prints the package's version" test "$out" = "vigilo $version"
out=$(without_display timeout 10 "$vigilo" -h) && code=0 || code=$?
expect "vigilo -h without a display: exit 0 with the usage" test "$code" = 0 -a -n "$out"

png_size() { /usr/bin/python3 -c '
import struct, sys
with open(sys.argv[1], "rb") as f:
    head = f.read(24)
print("%dx%d" % struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else "no PNG")
' "$1"; }
for icon in "$root"/usr/share/icons/hicolor/*x*/apps/"$id".png; do
    size=$(basename "$(dirname "$(dirname "$icon")")")
    expect "icon $size is a PNG of that size" test "$(png_size "$icon")" = "$size"
done
expect "the scalable icon is SVG" /usr/bin/python3 -c '
import sys, xml.etree.ElementTree as tree
sys.exit(tree.parse(sys.argv[1]).getroot().tag != "{http://www.w3.org/2000/svg}svg")
' "$root/usr/share/icons/hicolor/scalable/apps/$id.svg"

desktop="$root/usr/share/applications/$id.desktop"
expect_silent "desktop-file-validate passes without remarks" desktop-file-validate "$desktop"
expect "the desktop entry starts the packaged program" grep -qx 'Exec=vigilo' "$desktop"
expect "the desktop entry's icon is the packaged one" grep -qx "Icon=$id" "$desktop"

metainfo="$root/usr/share/metainfo/$id.metainfo.xml"
expect "appstreamcli validate --no-net passes" appstreamcli validate --no-net "$metainfo"
expect "appstreamcli validate-tree --no-net passes" appstreamcli validate-tree --no-net "$root"
expect "the AppStream release is the package's version" grep -q "<release version=\"$version\"" "$metainfo"
expect "the AppStream launchable is the packaged desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"

man_page() { zcat "$root/usr/share/man/man1/vigilo.1.gz"; }
render_man_page() { man_page | groff -k -man -Tutf8 -ww -z; }
expect_silent "the manual page renders without warnings" render_man_page
expect "the manual page names the package's version" \
    grep -q "^\.TH VIGILO 1 .*\"Vigilo $version\"" <(man_page)

echo "$failures failure(s)"
[ "$failures" -eq 0 ]
