#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs to build, run and test,
# skipping what is already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  libsdl2-dev libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri libegl-mesa0
  libx11-dev libxtst-dev libgtest-dev
  xvfb xauth x11-utils x11-xserver-utils xdotool imagemagick
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
