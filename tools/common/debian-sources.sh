# What the Windows build (tools/windows/deps.sh) and the browser build
# (tools/web/deps.sh) share: the game's libraries from Debian 12's own source
# packages, at the versions pinned here, built with the fewest features the
# game uses, once, into a cache outside the checkout that is keyed by those
# versions and by the recipe, so that a second run, or a fresh clone on the
# same machine, finds them.
#
# Sourced from the repository's root by a recipe, which then sets
#   cc, ar      its C compiler and archiver (minizip is built without CMake)
#   configure   the command that configures a CMake build: (cmake), (emcmake cmake)
#   cross       the CMake options of its builds (after keyed_cache, for $prefix)
#   cxxflags    what its C++ libraries are compiled with beyond their own flags
#   shared      ON for Assimp as a DLL, OFF for a static library
#   jobs        how many compiles at once
#   packages    the source packages it needs, by name, from PINNED
# calls keyed_cache, defines a function per library that is its own (zlib,
# glfw, ...), and ends with build_once and the names of its steps.

# Debian 12's source packages. zlib is the release's, not its security
# update, whose files the mirrors' security pool lacks; the update fixes the
# zip writer, and the game only reads, and only OBJ files at that.
PINNED=(zlib=1:1.2.13.dfsg-1 libjpeg-turbo=1:2.1.5-2 glfw3=3.3.8-1 glew=2.2.0-4
  assimp=5.2.5~ds0-1 freeimage=3.18.0+ds2-9+deb12u1)
UTFCPP=libutfcpp-dev=3.2.3-1  # header only: its binary package, unpacked; Assimp needs it

# Debian 12's archive and the packages fetched from it stay here, beside no
# key and shared by both recipes, so that a new key, the other recipe, or a
# machine that builds afresh downloads nothing twice.
downloads=${QM_DEBIAN12_DOWNLOADS:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-debian12}

keyed_cache() {  # the folder of a recipe's caches, then its files: sets cache and prefix
  local caches=$1 key
  shift
  key=$( (printf '%s\n' "${PINNED[@]}" "$UTFCPP"; cat tools/common/debian-sources.sh "$@") | sha256sum | cut -c1-16)
  cache=$caches/$key
  prefix=$cache/prefix
}

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
  "${configure[@]}" -S "$source" -B "$build" "${cross[@]}" "$@"
  cmake --build "$build" -j"$jobs"
  cmake --install "$build"
}

apt12() {  # apt over Debian 12's archive alone, in lists of its own, on any release
  local dir=$downloads/apt keys=/usr/share/keyrings/debian-archive-keyring.gpg
  mkdir -p "$dir/lists/partial" "$dir/parts" "$dir/cache"
  printf '%s [signed-by=%s] http://deb.debian.org/debian bookworm main\n' deb "$keys" deb-src "$keys" >"$dir/sources.list"
  apt-get -o Dir::Etc::SourceList="$dir/sources.list" -o Dir::Etc::SourceParts="$dir/parts" \
    -o Dir::State::Lists="$dir/lists" -o Dir::Cache="$dir/cache" "$@"
}

pinned() {  # a source package's name: the name=version that PINNED holds for it
  local entry
  for entry in "${PINNED[@]}"; do [ "${entry%%=*}" != "$1" ] || { echo "$entry"; return; }; done
  echo "no pinned version of $1 in tools/common/debian-sources.sh" >&2
  exit 1
}

fetch() {  # the packages named, and utfcpp, unpacked into $src; the system's own sources stay as they are
  local name entry version
  command -v dpkg-source >/dev/null || { echo "no dpkg-source: scripts/install-deps.sh installs dpkg-dev" >&2; exit 1; }
  mkdir -p "$downloads" "$src"
  exec 8>"$downloads/lock"  # the other recipe may be fetching into the same lists
  flock 8
  apt12 update -q >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; echo "Debian 12's archive cannot be read" >&2; exit 1; }
  cd "$downloads"
  for name in "$@"; do
    entry=$(pinned "$name")
    apt12 source --download-only "$entry" >"$work/apt.log" 2>&1 || {
      cat "$work/apt.log" >&2
      echo "the Debian source package $entry cannot be had: the mirror no longer serves that version" >&2
      exit 1
    }
  done
  apt12 download "$UTFCPP" >"$work/apt.log" 2>&1 || {
    cat "$work/apt.log" >&2; echo "the Debian package $UTFCPP cannot be had" >&2; exit 1; }
  cd "$src"
  for name in "$@"; do
    entry=$(pinned "$name")
    version=${entry#*=}
    dpkg-source -x "$downloads/${name}_${version#*:}.dsc" >/dev/null
  done
  version=${UTFCPP#*=}
  dpkg -x "$(echo "$downloads/${UTFCPP%%=*}_${version#*:}"_*.deb)" utfcpp
}

minizip() {  # the unzip half of zlib's contrib/minizip, which Assimp's zip reader uses
  local dir file
  dir=$(echo "$src"/zlib-*/contrib/minizip)
  mkdir -p "$work/minizip" "$prefix/include/minizip" "$prefix/lib/pkgconfig"
  for file in ioapi unzip; do
    $cc -O2 -I"$prefix/include" -c "$dir/$file.c" -o "$work/minizip/$file.o"
  done
  $ar rcs "$prefix/lib/libminizip.a" "$work"/minizip/*.o
  cp "$dir"/{ioapi,unzip,crypt}.h "$prefix/include/minizip/"
  sed -e "s|@prefix@|$prefix|; s|@exec_prefix@|$prefix|; s|@libdir@|$prefix/lib|; s|@includedir@|$prefix/include|" \
    -e 's|@PACKAGE_VERSION@|1.2.13|; s|^Libs.private:|Libs:|' "$dir/minizip.pc.in" >"$prefix/lib/pkgconfig/minizip.pc"
}

jpeg() {  # static, without the SIMD parts, which need nasm
  cmake_build "$src"/libjpeg-turbo-* "$work/jpeg" -DENABLE_SHARED=OFF -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF
}

assimp() {  # the OBJ importer alone, without exporters, tools or tests
  local dir
  dir=$(echo "$src"/assimp-*)
  # Debian's package always looks for draco (its glTF meshes): only when asked to here.
  sed -i 's/^find_package(draco CONFIG REQUIRED)$/if(ASSIMP_BUILD_DRACO)\n&\nendif()/' "$dir/code/CMakeLists.txt"
  # Its Windows version resource is not in Debian's source; the DLL does without one.
  sed -i 's|list(APPEND Core_SRCS "res/assimp.rc")|# &|' "$dir/code/CMakeLists.txt"
  cmake_build "$dir" "$work/assimp" -DASSIMP_BUILD_ZLIB=OFF \
    -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_OBJ_IMPORTER=ON -DASSIMP_NO_EXPORT=ON \
    -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF \
    -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF -DASSIMP_IGNORE_GIT_HASH=ON \
    "-DCMAKE_CXX_FLAGS=-I$src/utfcpp/usr/include/utf8cpp $cxxflags" "-DCMAKE_SHARED_LINKER_FLAGS=-L$prefix/lib" -DBUILD_SHARED_LIBS=$shared
  # A static Assimp leaves its zip reader's libraries to the program: its
  # pkg-config file names them where a plain pkg-config --libs reads.
  [ "$shared" = ON ] || sed -i 's|^Libs: .*|& -lminizip -lz|' "$prefix/lib/pkgconfig/assimp.pc"
}

freeimage() {  # through our own CMake file: the core and the BMP and JPEG readers
  cmake_build tools/windows/freeimage "$work/freeimage" -DFREEIMAGE_SOURCE="$(echo "$src"/freeimage-*)" \
    "-DCMAKE_CXX_FLAGS=-I$prefix/include $cxxflags" "-DCMAKE_C_FLAGS=-I$prefix/include" \
    "-DCMAKE_SHARED_LINKER_FLAGS=-L$prefix/lib"
}

build_once() {  # the recipe's steps after the fetch, by name: once per key, under a lock against another build of it
  local name
  mkdir -p "$(dirname "$cache")"
  exec 9>"$cache.lock"
  flock 9
  if [ ! -e "$cache/done" ]; then
    rm -rf "$cache"
    work=$cache/work
    src=$work/src
    mkdir -p "$work"
    step fetch fetch "${packages[@]}"
    for name in "$@"; do step "$name" "$name"; done
    cp "$work/times.txt" "$cache/times.txt"
    rm -rf "$work"
    touch "$cache/done"
  fi
  flock -u 9
}
