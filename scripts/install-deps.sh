#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need.
# Installs only what is missing, so a prepared machine pays nothing.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang-14 clang-format
  # Qt 6
  qt6-base-dev qt6-declarative-dev qt6-scxml-dev qt6-5compat-dev qt6-svg-dev
  qt6-multimedia-dev qt6-qpa-plugins qt6-base-dev-tools qt6-declarative-dev-tools
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtquick-dialogs
  qml6-module-qtquick-shapes qml6-module-qtqml-workerscript qml6-module-qt-labs-platform
  qml6-module-qt-labs-settings qml6-module-qt5compat-graphicaleffects qml6-module-qtcore
  qml6-module-qttest qml6-module-qtmultimedia qml6-module-qtqml-models
  qml6-module-qt-labs-folderlistmodel
  # X11 keymap look-ups of the held-key filter
  libx11-dev libxcb1-dev
  # libraries
  rapidjson-dev libcrypto++-dev libsndfile1-dev libsoxr-dev libpulse-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  # real peers and test tools
  liblo-tools liblo-dev python3 python3-cryptography openssl libgcrypt20-dev jq
  xvfb xauth xdotool wmctrl openbox libgl1-mesa-dri pulseaudio pulseaudio-utils sox strace
  # window screenshots of scripts/screenshots.sh (import)
  imagemagick
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
