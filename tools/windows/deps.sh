# The four libraries, and what they need, for 64-bit Windows: built with
# MinGW-w64 from Debian's own source packages, at the versions pinned below,
# with the fewest features the game uses. They are built once into a cache
# outside the checkout, keyed by those versions and by this recipe:
#   ${QM_WINDOWS_CACHE:-~/.cache/quellmoor-windows}/<key>/prefix
# so that a second run, or a fresh clone on the same machine, finds them.
# Sourced by build.sh from the repository's root: it leaves $prefix and the
# CMake options of a cross build, ${cross[@]}, behind.
jobs=${QM_WINDOWS_JOBS:-2}

# Debian 12's source packages. zlib is the release's, not its security
# update, whose files the mirrors' security pool lacks; the update fixes the
# zip writer, and the game only reads, and only OBJ files at that.
SOURCES=(zlib=1:1.2.13.dfsg-1 libjpeg-turbo=1:2.1.5-2 glfw3=3.3.8-1 glew=2.2.0-4
  assimp=5.2.5~ds0-1 freeimage=3.18.0+ds2-9+deb12u1)
UTFCPP=libutfcpp-dev=3.2.3-1  # header only: its binary package, unpacked

host=x86_64-w64-mingw32
for tool in $host-gcc-posix $host-g++-posix $host-windres $host-strip; do
  command -v $tool >/dev/null || { echo "no $tool: scripts/install-deps.sh installs MinGW-w64" >&2; exit 1; }
done

key=$( (printf '%s\n' "${SOURCES[@]}" "$UTFCPP"; cat tools/windows/deps.sh tools/windows/freeimage/CMakeLists.txt) | sha256sum | cut -c1-16)
cache=${QM_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-windows}/$key
prefix=$cache/prefix

cross=(-G "Unix Makefiles" -DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR=x86_64 -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_C_COMPILER=$host-gcc-posix -DCMAKE_CXX_COMPILER=$host-g++-posix -DCMAKE_RC_COMPILER=$host-windres
  "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG"
  "-DCMAKE_FIND_ROOT_PATH=$prefix;/usr/$host" -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY
  -DCMAKE_FIND_ROOT_PATH_MODE_PACKAGE=ONLY -DCMAKE_PREFIX_PATH=$prefix -DCMAKE_INSTALL_PREFIX=$prefix)
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

step() {  # name, then the command that builds it; prints and keeps its time
  local name=$1 started=$SECONDS
  shift
  echo "== $name"
  ("$@") >"$work/$name.log" 2>&1 &  # a job of its own, where set -e holds
  wait $! || { tail -n 40 "$work/$name.log" >&2; echo "building $name failed; the whole log: $work/$name.log" >&2; exit 1; }
  echo "$name $((SECONDS - started)) s" | tee -a "$work/times.txt"
}

cmake_build() {  # source directory, build directory, then -D options; builds and installs
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" "${cross[@]}" "$@"
  cmake --build "$build" -j"$jobs"
  cmake --install "$build"
}

# Debian 12's archive and the packages fetched from it stay beside the keyed
# caches, so that a new key, or a machine that builds afresh, downloads nothing twice.
downloads=$(dirname "$cache")/downloads

apt12() {  # apt over Debian 12's archive alone, in lists of its own, on any release
  local dir=$downloads/apt keys=/usr/share/keyrings/debian-archive-keyring.gpg
  mkdir -p "$dir/lists/partial" "$dir/parts" "$dir/cache"
  printf '%s [signed-by=%s] http://deb.debian.org/debian bookworm main\n' deb "$keys" deb-src "$keys" >"$dir/sources.list"
  apt-get -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts="$dir/parts" \
    -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" "$@"
}

fetch() {  # the system's own sources stay as they are, whichever release it runs
  local pinned version
  apt12 update -q >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; echo "Debian 12's archive cannot be read" >&2; exit 1; }
  mkdir -p "$work/src"
  cd "$downloads"
  for pinned in "${SOURCES[@]}"; do
    apt12 source --download-only "$pinned" >"$work/apt.log" 2>&1 || {
      cat "$work/apt.log" >&2
      echo "the Debian source package $pinned cannot be had: the mirror no longer serves that version" >&2
      exit 1
    }
  done
  apt12 download "$UTFCPP" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2; echo "the Debian package $UTFCPP cannot be had" >&2; exit 1; }
  cd "$work/src"
  for pinned in "${SOURCES[@]}"; do version=${pinned#*=}; dpkg-source -x "$downloads/${pinned%%=*}_${version#*:}.dsc" >/dev/null; done
  version=${UTFCPP#*=}
  dpkg -x "$(echo "$downloads/${UTFCPP%%=*}_${version#*:}"_*.deb)" utfcpp
  cd "$root"
}

zlib() {  # the static library only (no DLL to carry), and its headers
  cmake -S "$src"/zlib-* -B "$work/zlib" "${cross[@]}"
  cmake --build "$work/zlib" -j"$jobs" --target zlibstatic
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/zlib/libzlibstatic.a" "$prefix/lib/libz.a"
  cp "$src"/zlib-*/zlib.h "$work/zlib/zconf.h" "$prefix/include/"
}

minizip() {  # the unzip half of zlib's contrib/minizip, which Assimp's zip reader uses
  local dir=$(echo "$src"/zlib-*/contrib/minizip)
  mkdir -p "$work/minizip" "$prefix/include/minizip" "$prefix/lib/pkgconfig"
  for file in ioapi unzip; do
    $host-gcc-posix -O2 -I"$prefix/include" -c "$dir/$file.c" -o "$work/minizip/$file.o"
  done
  $host-ar rcs "$prefix/lib/libminizip.a" "$work"/minizip/*.o
  cp "$dir"/{ioapi,unzip,crypt}.h "$prefix/include/minizip/"
  sed -e "s|@prefix@|$prefix|; s|@exec_prefix@|$prefix|; s|@libdir@|$prefix/lib|; s|@includedir@|$prefix/include|" \
    -e 's|@PACKAGE_VERSION@|1.2.13|; s|^Libs.private:|Libs:|' "$dir/minizip.pc.in" >"$prefix/lib/pkgconfig/minizip.pc"
}

jpeg() {  # static, without the SIMD parts, which need nasm
  cmake_build "$src"/libjpeg-turbo-* "$work/jpeg" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
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

assimp() {  # the OBJ importer alone, without exporters, tools or tests
  local dir=$(echo "$src"/assimp-*)
  # Debian's package always looks for draco (its glTF meshes): only when asked to here.
  sed -i 's/^find_package(draco CONFIG REQUIRED)$/if(ASSIMP_BUILD_DRACO)\n&\nendif()/' "$dir/code/CMakeLists.txt"
  # Its Windows version resource is not in Debian's source; the DLL does without one.
  sed -i 's|list(APPEND Core_SRCS "res/assimp.rc")|# &|' "$dir/code/CMakeLists.txt"
  cmake_build "$dir" "$work/assimp" -DBUILD_SHARED_LIBS=ON -DASSIMP_BUILD_ZLIB=OFF \
    -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_OBJ_IMPORTER=ON -DASSIMP_NO_EXPORT=ON \
    -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
    -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF -DASSIMP_IGNORE_GIT_HASH=ON \
    "-DCMAKE_CXX_FLAGS=-I$src/utfcpp/usr/include/utf8cpp" "-DCMAKE_SHARED_LINKER_FLAGS=-L$prefix/lib"
}

freeimage() {
  cmake_build tools/windows/freeimage "$work/freeimage" -DFREEIMAGE_SOURCE="$(echo "$src"/freeimage-*)" \
    "-DCMAKE_CXX_FLAGS=-I$prefix/include" "-DCMAKE_C_FLAGS=-I$prefix/include" "-DCMAKE_SHARED_LINKER_FLAGS=-L$prefix/lib"
}

# The dependencies, once per key; a lock keeps two builds from the same cache.
mkdir -p "$(dirname "$cache")"
exec 9>"$cache.lock"
flock 9
if [ ! -e "$cache/done" ]; then
  rm -rf "$cache"
  work=$cache/work
  src=$work/src
  mkdir -p "$work"
  step fetch fetch
  for name in zlib minizip jpeg glfw glew assimp freeimage; do step $name $name; done
  cp "$work/times.txt" "$cache/times.txt"
  rm -rf "$work"
  touch "$cache/done"
fi
flock -u 9
