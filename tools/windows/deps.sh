# The four libraries, and what they need, for 64-bit Windows: built with
# MinGW-w64 from Debian's own source packages (tools/common/debian-sources.sh
# pins them, fetches them and keeps the keyed cache) into
#   ${QM_WINDOWS_CACHE:-~/.cache/quellmoor-windows}/<key>/prefix
# Sourced by build.sh from the repository's root: it leaves $prefix and the
# CMake options of a cross build, ${cross[@]}, behind.
source tools/common/debian-sources.sh
jobs=${QM_WINDOWS_JOBS:-2}
packages=(zlib libjpeg-turbo glfw3 glew assimp freeimage)

host=x86_64-w64-mingw32
for tool in $host-gcc-posix $host-g++-posix $host-windres $host-strip; do
  command -v $tool >/dev/null || { echo "no $tool: scripts/install-deps.sh installs MinGW-w64" >&2; exit 1; }
done
cc=$host-gcc-posix ar=$host-ar configure=(cmake) cxxflags= shared=ON

keyed_cache "${QM_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-windows}" \
  tools/windows/deps.sh tools/windows/freeimage/CMakeLists.txt
cross=(-G "Unix Makefiles" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_C_COMPILER=$host-gcc-posix -DCMAKE_CXX_COMPILER=$host-g++-posix -DCMAKE_RC_COMPILER=$host-windres
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
  "-DCMAKE_FIND_ROOT_PATH=$prefix;/usr/$host" -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY -DCMAKE_PREFIX_PATH=$prefix -DCMAKE_INSTALL_PREFIX=$prefix)
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

zlib() {  # the static library only (no DLL to carry), and its headers
  cmake -S "$src"/zlib-* -B "$work/zlib" "${cross[@]}"
  cmake --build "$work/zlib" -j"$jobs" --target zlibstatic
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
  cp "$src"/zlib-*/zlib.h "$work/zlib/zconf.h" "$prefix/include/"
}

glfw() {
  cmake_build "$src"/glfw3-* "$work/glfw" -DBUILD_SHARED_LIBS=ON -DGLFW_BUILD_EXAMPLES=OFF \
    -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF
  # Its pkg-config file names glfw3, the MinGW import library is glfw3dll.
  sed -i 's/-lglfw3\b/-lglfw3dll/' "$prefix/lib/pkgconfig/glfw3.pc"
}

glew() {
  cmake_build "$src"/glew-*/build/cmake "$work/glew" -DBUILD_SHARED_LIBS=ON -DBUILD_UTILS=OFF
  # Its pkg-config file requires GLU, which MinGW has as a library but not as a pkg-config file.
  sed -i 's/^Requires: glu$/Requires:/' "$prefix/lib/pkgconfig/glew.pc"
}

build_once zlib minizip jpeg glfw glew assimp freeimage
