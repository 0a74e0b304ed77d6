#!/usr/bin/env bash
# Makes a release that per-user installs update to: packs a version folder into the update
# archive, signs it with the feed's private key, and writes the appcast <item> that offers it.
#
#   scripts/sign-release.sh --generate-key FILE
#       once: writes a new private key to FILE (keep it secret, never commit it) and prints the
#       public key to build with: cmake --preset release -DVIGILO_UPDATE_PUBLIC_KEY=<it>
#   scripts/sign-release.sh --key FILE --url-base URL [--folder DIR [--version V]] [--out DIR]
#       packs DIR (a version folder: bin/vigilo, share/...; without --folder, the release preset is
#       built and installed into a fresh one), writes <out>/vigilo-<version>-linux-<arch>.tar.gz
#       and <out>/vigilo-<version>.item.xml, and prints the item. Upload the archive to URL, add
#       the item to the <channel> of the feed (which declares
#       xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle").
#
# The version is the program's own (`bin/vigilo --version`) unless --version says otherwise.
# The signing tool is built with the release preset, or taken from $VIGILO_SIGN_TOOL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
    sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 64
}

key="" url_base="" folder="" version="" out="" new_key=""
while [ $# -gt 0 ]; do
    case "$1" in
        --generate-key) new_key=${2:?}; shift 2 ;;
        --key) key=${2:?}; shift 2 ;;
        --url-base) url_base=${2:?}; shift 2 ;;
        --folder) folder=${2:?}; shift 2 ;;
        --version) version=${2:?}; shift 2 ;;
        --out) out=${2:?}; shift 2 ;;
        *) usage ;;
    esac
done

build_release() {
    cmake --preset release -S "$root" >&2
    cmake --build --preset release -j"$(nproc)" >&2
}

sign_tool=${VIGILO_SIGN_TOOL:-}
if [ -z "$sign_tool" ]; then
    (cd "$root" && build_release)
    sign_tool="$root/build/release/tools/vigilo_sign_update"
fi

if [ -n "$new_key" ]; then
    "$sign_tool" generate-key "$new_key"
    exit 0
fi
[ -n "$key" ] && [ -n "$url_base" ] || usage

if [ -z "$folder" ]; then
    folder=$(mktemp -d)
    trap 'rm -rf "$folder"' EXIT
    (cd "$root" && build_release && cmake --install build/release --prefix "$folder" >&2)
fi
if [ ! -x "$folder/bin/vigilo" ]; then
    echo "sign-release: $folder is not a version folder: it has no bin/vigilo" >&2
    exit 1
fi
if [ -z "$version" ]; then
    version=$("$folder/bin/vigilo" --version | awk '{print $2}')
fi
if ! [[ "$version" =~ ^[0-9]+(\.[0-9]+)*$ ]]; then
    echo "sign-release: '$version' is not a release number (digits and dots)" >&2
    exit 1
fi

out=${out:-$root/build/release/updates}
mkdir -p "$out"
archive="$out/vigilo-$version-linux-$(uname -m).tar.gz"
# Owners are not kept (the updater does not restore them); names sorted and no time stamp in the
# gzip header, so the same folder packs into the same bytes.
tar --sort=name --owner=0 --group=0 --numeric-owner -C "$folder" -cf - . | gzip -9 -n >"$archive"
signature=$("$sign_tool" sign "$key" "$archive")
length=$(stat -c %s "$archive")

url="${url_base%/}/$(basename "$archive")"
url=$(printf '%s' "$url" | sed 's/&/\&amp;/g; s/"/\&quot;/g; s/</\&lt;/g')
item="$out/vigilo-$version.item.xml"
cat >"$item" <<EOF
<item>
  <title>Vigilo $version</title>
  <pubDate>$(LC_ALL=C date -u -R)</pubDate>
  <sparkle:version>$version</sparkle:version>
  <sparkle:shortVersionString>$version</sparkle:shortVersionString>
  <enclosure url="$url" length="$length" type="application/gzip" sparkle:edSignature="$signature"/>
</item>
EOF
cat "$item"
