#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, on
# Debian 12 (bookworm) or 13 (trixie). Quick when everything is already there:
# it asks dpkg first and only calls apt-get for what is missing.
# With --fuzz-compiler it installs nothing and prints the clang++ of the fuzz
# build (make build-fuzz asks it).
set -euo pipefail

# The one versioned package: the fuzz targets' clang, with the runtime that
# holds libFuzzer. Each release's own clang, the one its package "clang"
# stands for: newer ones reach a stable release later, through its updates,
# as the web browsers' build compilers, and are replaced when those move on.
# The release's own stays, so the suite's fixed-seed fuzz runs try the same
# inputs for the release's whole life.
. /etc/os-release 2>/dev/null || true
case "${ID:-}:${VERSION_CODENAME:-}" in
  debian:bookworm) clang=14 ;;
  debian:trixie) clang=19 ;;
  *) echo "scripts/install-deps.sh knows Debian 12 (bookworm) and 13 (trixie)," \
       "not ${PRETTY_NAME:-this system, which has no /etc/os-release}." >&2
     echo "Install the packages it lists by hand, with the clang-N and libclang-rt-N-dev that it has." >&2
     exit 1 ;;
esac
if [ "${1:-}" = --fuzz-compiler ]; then
  echo "clang++-$clang"
  exit 0
fi

PACKAGES=(
  cmake make g++ pkg-config
  libglfw3-dev libglew-dev libassimp-dev libfreeimage-dev   # the game
  libfreetype-dev fonts-dejavu-core                         # the asset generator's glyphs
  libgtest-dev xvfb xauth libgl1-mesa-dri                   # headless tests
  xdotool imagemagick x11-utils libx11-dev glslang-tools python3   # end-to-end and shader checks
  sway wayvnc grim xwayland procps                          # the Wayland end-to-end test (it fetches libglfw3-wayland itself)
  "clang-$clang" "libclang-rt-$clang-dev"                   # the fuzz targets
  g++-mingw-w64-x86-64-posix dpkg-dev wine64               # the Windows build (tools/windows) and its run under Wine
  debhelper fakeroot lintian desktop-file-utils man-db      # the Debian package (make deb) and its checks
)
# Installed without what they recommend: emscripten's profiler helpers
# (d3, numpy) and Chromium's sandbox helper, which a headless run as root
# does without. The packages above keep their recommends.
LEAN=(
  emscripten chromium                                       # the browser build (tools/web) and its play in headless Chromium
)

missing_of() {  # the packages named that dpkg does not have installed
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      echo "$package"
    fi
  done
}
mapfile -t missing < <(missing_of "${PACKAGES[@]}")
mapfile -t missing_lean < <(missing_of "${LEAN[@]}")
[ ${#missing[@]} -eq 0 ] && [ ${#missing_lean[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]} ${missing_lean[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q "${missing[@]}"
fi
if [ ${#missing_lean[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing_lean[@]}"
fi
