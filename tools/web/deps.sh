# The game's libraries for the browser: zlib, libjpeg-turbo, Assimp and
# FreeImage, static, built with Debian's emscripten from Debian 12's own
# source packages (tools/common/debian-sources.sh pins them, fetches them and
# keeps the keyed cache) into
#   ${QM_WEB_CACHE:-~/.cache/quellmoor-web}/<key>/prefix
# GLFW is emscripten's own (-sUSE_GLFW=3, a JavaScript library), and a
# browser's WebGL needs no loader, so neither GLFW nor GLEW is built here.
# Sourced by build.sh from the repository's root: it leaves $prefix and the
# CMake options of a build for the browser, ${cross[@]}, behind.
source tools/common/debian-sources.sh
jobs=${QM_WEB_JOBS:-2}
packages=(zlib libjpeg-turbo assimp freeimage)

for tool in emcc emar emcmake node; do
  command -v $tool >/dev/null || { echo "no $tool: scripts/install-deps.sh installs emscripten" >&2; exit 1; }
done
# Debian keeps emcc's JavaScript modules (acorn) in /usr/share/nodejs, where
# node 18 and later no longer look by themselves.
export NODE_PATH=/usr/share/nodejs
# Assimp and FreeImage report a broken file by throwing, and catch it
# themselves: without this, emscripten turns every throw into an abort.
cc=emcc ar=emar configure=(emcmake cmake) cxxflags=-fexceptions shared=OFF

keyed_cache "${QM_WEB_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-web}" \
  tools/web/deps.sh tools/web/check-libraries.cpp tools/windows/freeimage/CMakeLists.txt
# emcmake would run CMake's test programs under node with a flag that node 20
# refuses, and node 18's global fetch breaks this emscripten's loader; either
# way CMake's size checks come out wrong (libjpeg-turbo: "Cannot determine
# word size"). The same node, without its fetch, runs them.
cross=(-G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$(command -v node);--no-experimental-fetch"
  "-DCMAKE_FIND_ROOT_PATH=$prefix" -DCMAKE_PREFIX_PATH=$prefix -DCMAKE_INSTALL_PREFIX=$prefix)
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

zlib() {  # its CMake build wants win32/zlib1.rc, which Debian's source lacks: its C files, compiled directly
  local dir file
  dir=$(echo "$src"/zlib-*)
  mkdir -p "$work/zlib" "$prefix/lib" "$prefix/include"
  for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate inftrees trees \
    uncompr zutil; do
    emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -c "$dir/$file.c" -o "$work/zlib/$file.o"
  done
  emar rcs "$prefix/lib/libz.a" "$work"/zlib/*.o
  cp "$dir"/zlib.h "$dir"/zconf.h "$prefix/include/"
}

check() {  # good and broken files read under node, by a program linked as the game is
  em++ -std=c++17 -O1 $(pkg-config --cflags assimp) -I"$prefix/include" -c tools/web/check-libraries.cpp -o "$work/check.o"
  # Compiled without exception handling, as the game's own code is (it costs every call a
  # trampoline); linked with it, for the libraries' own try and catch, and with a
  # growing memory, where an allocation too large fails instead of aborting.
  em++ -O1 -fexceptions -sALLOW_MEMORY_GROWTH=1 "$work/check.o" -o "$work/check.js" -L"$prefix/lib" \
    $(pkg-config --libs assimp) -lfreeimage -ljpeg
  node --no-experimental-fetch "$work/check.js"
}

build_once zlib minizip jpeg assimp freeimage check
