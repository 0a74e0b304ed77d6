#!/usr/bin/env bash
# Installs every Debian package Vigilo needs to build, run and test. Idempotent; run as root.
# On a Mac: the Homebrew formulae instead (as the user who owns Homebrew), and Sparkle 2.
set -euo pipefail

if [ "$(uname -s)" = Darwin ]; then
  formulae=(cmake ninja pkg-config ccache qt googletest nlohmann-json)
  missing=()
  for f in "${formulae[@]}"; do
    brew list --formula "$f" >/dev/null 2>&1 || missing+=("$f")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    brew install "${missing[@]}"
  else
    echo "install-deps: all formulae present"
  fi
  exec "$(dirname "$0")/fetch-sparkle.sh"
fi

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  qt6-base-dev qt6-declarative-dev qt6-svg-dev
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-templates
  qml6-module-qtquick-layouts qml6-module-qtquick-shapes qml6-module-qtquick-window
  qml6-module-qtqml-workerscript qml6-module-qt5compat-graphicaleffects qml6-module-qttest
  qt6-translations-l10n
  libcanberra-dev libcanberra-pulse sound-theme-freedesktop
  libsodium-dev libxcb-shape0-dev libxcb-xfixes0-dev libarchive-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  clang clang-format clang-tidy
  xvfb xauth trayer xcompmgr xdotool x11-utils x11-apps x11-xserver-utils imagemagick libgl1-mesa-dri
  dbus dbus-x11 libglib2.0-bin python3 python3-dbus python3-gi python3-dbusmock sox
  pulseaudio pulseaudio-utils
  gsettings-desktop-schemas gnome-settings-daemon-common fonts-cantarell
  dpkg-dev desktop-file-utils appstream groff-base fonts-dejavu-core util-linux
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages (${missing[*]}); run this script as root" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
