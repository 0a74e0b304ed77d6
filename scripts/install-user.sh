#!/usr/bin/env bash
# Installs Vigilo for you alone, in the layout in which it updates itself:
#   ~/.local/lib/vigilo/<version>/   the program (bin/vigilo) and its files (share/...)
#   ~/.local/lib/vigilo/current      a link to the version that starts
#   ~/.local/bin/vigilo              a link through `current`
#   the menu entry, icons, AppStream data and manual page in ~/.local/share, linked through
#   `current` (the entry is a copy that starts ~/.local/bin/vigilo)
#
#   scripts/install-user.sh                   build the release preset and install it
#   scripts/install-user.sh --build-dir DIR   install what the built folder DIR holds
#   scripts/install-user.sh --uninstall       remove all of the above; your settings stay
#
# Run it as the user who will use Vigilo. The packages the build needs come from scripts/install-deps.sh
# (as root). Quit Vigilo before uninstalling.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
app_id=io.github.vigilo.Vigilo
versions="$HOME/.local/lib/vigilo"
user_bin="$HOME/.local/bin"
data="${XDG_DATA_HOME:-$HOME/.local/share}"
entry="$data/applications/$app_id.desktop"

usage() {
    sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 64
}

# Removes the now empty folders from `dir` up to, not including, `stop`.
prune_empty() {
    local dir=$1 stop=$2
    while [ "$dir" != "$stop" ] && [ "$dir" != / ] && rmdir "$dir" 2>/dev/null; do
        dir=$(dirname "$dir")
    done
}

# Every link in the data folder that points into the versions folder.
our_links() {
    find "$data" -type l -lname "$versions/*" 2>/dev/null || true
}

uninstall() {
    if [ -L "$user_bin/vigilo" ] && [[ "$(readlink "$user_bin/vigilo")" == *lib/vigilo/current/* ]]; then
        rm -f "$user_bin/vigilo"
        prune_empty "$user_bin" "$HOME"
    fi
    if [ -f "$entry" ] && grep -qxF "Exec=$(exec_value)" "$entry"; then
        rm -f "$entry"
        prune_empty "$(dirname "$entry")" "$data"
    fi
    local link
    our_links | while IFS= read -r link; do
        rm -f "$link"
        prune_empty "$(dirname "$link")" "$data"
    done
    rm -rf "$versions"
    prune_empty "$(dirname "$versions")" "$HOME"
    echo "install-user: Vigilo removed; your settings in ${XDG_CONFIG_HOME:-~/.config}/vigilo stay"
}

# The menu entry's Exec value: the program through ~/.local/bin, quoted when the path needs it.
exec_value() {
    if [[ "$user_bin/vigilo" =~ [[:space:]\"] ]]; then
        printf '"%s"' "$(printf '%s' "$user_bin/vigilo" | sed 's/[\\"`$]/\\&/g')"
    else
        printf '%s' "$user_bin/vigilo"
    fi
}

install() {
    local build=$1
    local version
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
    if [ -z "$version" ]; then
        echo "install-user: $build is not a configured build folder" >&2
        exit 1
    fi
    if [ -e "$user_bin/vigilo" ] && [ ! -L "$user_bin/vigilo" ]; then
        echo "install-user: $user_bin/vigilo exists and is not a link made by this script;" \
             "move it away first" >&2
        exit 1
    fi

    # Installed beside the versions and moved into place whole, like an update.
    mkdir -p "$versions"
    local staging
    staging=$(mktemp -d "$versions/.update-install-XXXXXX")
    cmake --install "$build" --prefix "$staging" >/dev/null
    rm -rf "${versions:?}/$version"
    mv "$staging" "$versions/$version"
    ln -sfn "$version" "$versions/.update-current"
    mv -Tf "$versions/.update-current" "$versions/current"

    mkdir -p "$user_bin"
    ln -sfn "../lib/vigilo/current/bin/vigilo" "$user_bin/vigilo"

    # Links through `current`, so they follow every update; the menu entry is a copy, as it must
    # start the program by its full path (~/.local/bin is not on every desktop's PATH).
    local shared="$versions/current/share" file relative
    (cd "$versions/$version/share" && find icons metainfo man -type f 2>/dev/null) |
        while IFS= read -r relative; do
            mkdir -p "$(dirname "$data/$relative")"
            ln -sfn "$shared/$relative" "$data/$relative"
        done
    mkdir -p "$(dirname "$entry")"
    file="$versions/$version/share/applications/$app_id.desktop"
    local exec
    exec=$(exec_value | sed 's/[&|\\]/\\&/g')
    sed "s|^Exec=.*|Exec=$exec|" "$file" >"$entry"

    echo "install-user: Vigilo $version installed; start it with $user_bin/vigilo or from the menu"
}

build_dir=""
case "${1:-}" in
    --uninstall)
        [ $# -eq 1 ] || usage
        uninstall
        exit 0
        ;;
    --build-dir)
        [ $# -eq 2 ] || usage
        build_dir=$(cd "$2" && pwd)
        ;;
    "") ;;
    *) usage ;;
esac

if [ -z "$build_dir" ]; then
    if ! "$root/scripts/install-deps.sh" >&2; then
        echo "install-user: some packages are missing; run scripts/install-deps.sh as root once" >&2
        exit 1
    fi
    (cd "$root" && cmake --preset release >&2 && cmake --build --preset release -j"$(nproc)" >&2)
    build_dir="$root/build/release"
fi
install "$build_dir"
