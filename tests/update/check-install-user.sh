#!/usr/bin/env bash
# scripts/install-user.sh puts a build into a temporary home in the layout the program updates
# itself in, installs over itself, and --uninstall leaves nothing of it but the user's own files.
#   check-install-user.sh <install-user.sh> <build folder> <version>
set -euo pipefail
script=$1 build=$2 version=$3
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home
unset XDG_DATA_HOME XDG_CONFIG_HOME
fail() {
    echo "check-install-user: $*" >&2
    exit 1
}

"$script" --build-dir "$build" >/dev/null
"$script" --build-dir "$build" >/dev/null

versions=$home/.local/lib/vigilo
[ "$(readlink "$versions/current")" = "$version" ] || fail "current does not point at $version"
[ "$("$home/.local/bin/vigilo" --version)" = "vigilo $version" ] ||
    fail "~/.local/bin/vigilo does not start the installed version"
entry=$home/.local/share/applications/io.github.vigilo.Vigilo.desktop
grep -qxF "Exec=$home/.local/bin/vigilo" "$entry" || fail "the menu entry does not start ~/.local/bin/vigilo"
icon=$home/.local/share/icons/hicolor/48x48/apps/io.github.vigilo.Vigilo.png
[ -L "$icon" ] && [ -f "$icon" ] || fail "no icon linked through current"
[ -z "$(find "$versions" -maxdepth 1 -name '.update-*')" ] || fail "work folders left behind"

mkdir -p "$home/.config/vigilo"
echo '{}' >"$home/.config/vigilo/defaults.json"
echo '[Desktop Entry]' >"$home/.local/share/applications/other.desktop"
"$script" --uninstall >/dev/null
left=$(find "$home" ! -type d | sort)
expected=$(printf '%s\n' "$home/.config/vigilo/defaults.json" \
    "$home/.local/share/applications/other.desktop")
[ "$left" = "$expected" ] || fail "left behind: $left"
echo "check-install-user: installed, installed again and removed cleanly"
