#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quick when everything is already there: it asks dpkg first and only calls
# apt-get for what is missing.
set -euo pipefail

PACKAGES=(
  cmake make g++ pkg-config
  libglfw3-dev libglew-dev libassimp-dev libfreeimage-dev   # the game
  libfreetype-dev fonts-dejavu-core                         # the asset generator's glyphs
  libgtest-dev xvfb xauth libgl1-mesa-dri                   # headless tests
  xdotool imagemagick x11-utils libx11-dev glslang-tools python3   # end-to-end and shader checks
  sway wayvnc grim xwayland procps                          # the Wayland end-to-end test (it fetches libglfw3-wayland itself)
  clang-14 libclang-rt-14-dev                               # the fuzz targets
  g++-mingw-w64-x86-64-posix dpkg-dev wine64               # the Windows build (tools/windows) and its run under Wine
)

missing=()
for package in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
