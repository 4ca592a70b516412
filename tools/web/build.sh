#!/usr/bin/env bash
# Builds the game for the browser with Debian's emscripten into build-web/:
# index.html (ours), quellmoor.js, quellmoor.wasm and quellmoor.data, which
# holds config.txt, Shader/, Models/ and Font/ (made by the native build) at
# the root of the page's file system. The libraries come from deps.sh's
# cache, built on the first run (about six minutes on two cores); after that
# only the game is built. Any web server can serve the folder, e.g.
#   python3 -m http.server -b 127.0.0.1 -d build-web 8000
#
#   tools/web/build.sh        (make web: after make build, for data/)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
source tools/web/deps.sh

for file in data/config.txt data/Models/map2.obj data/Font/flipped_mit_herz.bmp; do
  [ -e "$file" ] || { echo "no $file: run make build first, which makes data/" >&2; exit 1; }
done
page=src/platform/web/index.html
[ -e "$page" ] || { echo "no $page, the page around the game" >&2; exit 1; }
out=$root/build-web
build=$out/cmake
# A build made against another key's libraries starts afresh: CMake keeps what pkg-config found.
[ "$(cat "$build/libraries" 2>/dev/null)" = "$prefix" ] || rm -rf "$build"
mkdir -p "$build"
echo "$prefix" >"$build/libraries"

# The page's file system holds what the Windows zip's data folder holds, and nothing else that lies in data/.
rm -rf "$build/data"
mkdir -p "$build/data"
cp -r data/config.txt data/Shader data/Models data/Font "$build/data/"
emcmake cmake -S . -B "$build" --no-warn-unused-cli "${cross[@]}" "-DQM_WEB_DATA=$build/data"
# The link packs the data, and CMake does not know its files: relink always (seconds).
rm -f "$build/quellmoor.js"
cmake --build "$build" -j"$jobs" --target quellmoor

rm -f "$out"/quellmoor.* "$out/index.html"
cp "$build"/quellmoor.{js,wasm,data} "$page" "$out/"
total=0
for file in index.html quellmoor.js quellmoor.wasm quellmoor.data; do
  size=$(gzip -9 -c "$out/$file" | wc -c)
  total=$((total + size))
  printf '%-16s %6d KiB, %6d KiB gzipped\n' "$file" $(($(stat -c %s "$out/$file") / 1024)) $((size / 1024))
done
echo "$out: the page downloads $((total / 1024)) KiB gzipped"
