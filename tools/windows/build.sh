#!/usr/bin/env bash
# Cross-builds the game for 64-bit Windows with MinGW-w64 and packs
# build-windows/quellmoor-windows.zip: the stripped quellmoor.exe, its DLLs,
# data/ (made by the native build) and README.txt. The libraries come from
# deps.sh's cache, built on the first run (a few minutes); after that only
# the game is built.
#
#   tools/windows/build.sh        (make windows: after make build, for data/)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
source tools/windows/deps.sh

# The game itself, without the asset generator (a host tool): data/ is the native build's.
icon=$root/build/icons/quellmoor.ico  # the generator's, linked into the exe
for file in data/config.txt data/Models/map2.obj data/Font/flipped_mit_herz.bmp "$icon"; do
  [ -e "$file" ] || { echo "no $file: run make build first, which makes data/" >&2; exit 1; }
done
out=$root/build-windows
# A build made against another key's libraries starts afresh: CMake keeps what pkg-config found.
[ "$(cat "$out/libraries" 2>/dev/null)" = "$prefix" ] || rm -rf "$out"
mkdir -p "$out"
echo "$prefix" >"$out/libraries"
# MinGW brings a few POSIX headers that MSVC lacks: here they stop the compile, so each needs a guard.
mkdir -p "$out/posix-only/sys"
for header in unistd.h sys/resource.h sys/wait.h sys/mman.h dlfcn.h spawn.h; do
  echo "#error \"<$header> is POSIX only: guard it with #ifndef _WIN32\"" >"$out/posix-only/$header"
done
cmake -S . -B "$out" --no-warn-unused-cli "${cross[@]}" "-DCMAKE_CXX_FLAGS=-I$out/posix-only" "-DQM_WINDOWS_ICON=$icon"
cmake --build "$out" -j"$jobs" --target quellmoor

# The zip: exe, DLLs (the libraries' and MinGW's C++ runtime), data/, README.txt.
stage=$out/zip
rm -rf "$stage" "$out/quellmoor-windows.zip"
mkdir -p "$stage"
cp "$out/quellmoor.exe" "$prefix"/bin/*.dll "$stage/"
for dll in libstdc++-6 libgcc_s_seh-1 libwinpthread-1; do cp "$($host-g++-posix -print-file-name=$dll.dll)" "$stage/"; done
$host-strip --strip-unneeded "$stage"/*.exe "$stage"/*.dll
mkdir -p "$stage/data"
cp -r data/config.txt data/Shader data/Models data/Font "$stage/data/"
cp tools/windows/README.txt "$stage/README.txt"
(cd "$stage" && cmake -E tar cf ../quellmoor-windows.zip --format=zip -- *)
echo "$out/quellmoor-windows.zip: $(du -k "$out/quellmoor-windows.zip" | cut -f1) KiB"
