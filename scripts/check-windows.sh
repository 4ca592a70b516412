#!/usr/bin/env bash
# Compiles every source file of the game (src/) for 64-bit Windows with
# MinGW, syntax only, so that a call that exists on Linux alone fails here.
# The compiler sees MinGW's own system headers and, of the Linux system's,
# only the four libraries' (GLFW, GLEW, Assimp, FreeImage), each through a
# link in a directory of its own, so no Linux-only header slips in with them.
# MinGW brings a few POSIX headers that MSVC lacks; those are replaced by
# ones that stop the compile, so that they too need a guard.
#
#   scripts/check-windows.sh        (scripts/install-deps.sh installs MinGW)
set -euo pipefail
cd "$(dirname "$0")/.."

compiler=$(command -v x86_64-w64-mingw32-g++-posix || command -v x86_64-w64-mingw32-g++ || true)
if [ -z "$compiler" ]; then
  echo "no MinGW C++ compiler; scripts/install-deps.sh installs g++-mingw-w64-x86-64-posix" >&2
  exit 1
fi

headers=${QM_LIBRARY_HEADERS:-/usr/include}
shim=$(mktemp -d)
trap 'rm -rf "$shim"' EXIT
mkdir -p "$shim/GL" "$shim/sys"
ln -s "$headers/GL/glew.h" "$shim/GL/glew.h"
ln -s "$headers/GLFW" "$headers/assimp" "$headers/FreeImage.h" "$shim/"
for header in unistd.h sys/resource.h sys/wait.h sys/mman.h dlfcn.h spawn.h; do
  echo "#error \"<$header> is POSIX only: guard it with #ifndef _WIN32\"" >"$shim/$header"
done

mapfile -t sources < <(find src -name '*.cpp' | sort)
if ! printf '%s\0' "${sources[@]}" |
  xargs -0 -n 1 -P "$(nproc)" "$compiler" -std=c++17 -fsyntax-only -Isrc -I"$shim"; then
  echo "the game does not compile for Windows (see above)" >&2
  exit 1
fi
echo "${#sources[@]} files of src/ compile for Windows"
