#!/usr/bin/env bash
# Installs every Debian package that building, running, testing and releasing TAVRIK needs: the
# Linux build with its manual pages and Debian package, the Windows builds (the mingw-w64 cross
# compilers) with Wine to test them, the Windows archive and installer of a release, and the
# browser version (emscripten) with the Chromium that tests it. Only 64-bit Wine (its Direct3D draws through Mesa's
# OpenGL): the test machines run no 32-bit code, so the tests run the 64-bit build.
# Idempotent: when everything is present it only runs dpkg-query and returns.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev googletest
  libpng-dev libsdl2-dev libx11-dev libxft-dev libxfixes-dev libgtk-3-dev
  libosmesa6-dev libgl-dev
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev libegl-dev
  xvfb xauth xdotool x11-utils imagemagick libxml2-utils
  sway grim wtype wayland-utils foot swayidle
  help2man man-db desktop-file-utils dpkg-dev lintian
  fonts-ipafont-gothic
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 libgl1 libgl1-mesa-dri
  libmpfr-dev
  wixl msitools faketime zip unzip
  emscripten chromium python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
