#!/bin/sh
# Installs the Debian 12 packages Quorvex needs to build, run and test.
# Does nothing when everything is there; when not root it prints the one
# apt-get line to run instead.
set -e

PACKAGES="g++ cmake ninja-build pkg-config googletest libgtest-dev \
libglfw3-dev libopenal-dev libstb-dev libvorbis-dev \
libgl1-mesa-dev libgl1-mesa-dri xvfb xauth xdotool x11-utils \
clang libclang-rt-14-dev clang-format \
desktop-file-utils appstream man-db"

missing=""
for p in $PACKAGES; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" != 0 ]; then
  echo "Missing packages. Run:"
  echo "  sudo apt-get install -y --no-install-recommends$missing"
  exit 1
fi

export DEBIAN_FRONTEND=noninteractive
apt-get update -q </dev/null
apt-get install -y -q --no-install-recommends $missing </dev/null
