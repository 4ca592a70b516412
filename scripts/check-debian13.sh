#!/usr/bin/env bash
# The README's `make test` on a fresh, minimal Debian 13 (trixie): a chroot
# made by debootstrap from Debian's archive, the committed HEAD of this
# checkout cloned into it, `make` installed as the README says, then
# `make test`. Ends with the three CTest summaries (plain, sanitized, fuzz)
# and the time of each step; its status is that of `make test`. Needs root.
# What make test downloads (the packages, Debian 12's sources of the Windows
# build's and the page's libraries) it fetches first, through make deps and
# make windows web.
#
# Cached under ~/.cache/quellmoor-debian13 (QM_DEBIAN13_CACHE), outside the
# checkout: the debootstrap result as a tarball, the package lists and
# packages that apt fetched, and the Debian 12 source packages of the Windows
# build, so a second run downloads nothing that has not changed in the archive. Each run unpacks the tarball afresh; the chroot of
# the last run stays there to look into, until the next run replaces it.
#
# Inside, only proc, sysfs and /dev are mounted, plainly (never recursively;
# /dev made private) with a tmpfs on /dev/shm as on any system, where sway
# makes its buffers; all are unmounted on every way out, and nothing is
# removed while something is mounted below it. make test runs without a
# network (a network namespace of its own), which also keeps its X servers
# apart from the machine's.
# The builds and tests wait for /tmp/qm-cpu.lock (QM_CPU_LOCK); the downloads do not.
#
# Then the package that make deb built here (build-deb/quellmoor_<version>_amd64.deb,
# on the release this machine runs) goes into a second fresh chroot:
# apt-get install of the file, which pulls in only its dependencies (listed,
# with their versions, beside this machine's), then the game started from
# /tmp under Xvfb until its title shows a frame rate, and ended with Escape
# (status 0). `check-debian13.sh --package` runs only that step (make
# check-debian13-package).
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${QM_DEBIAN13_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-debian13}
lock=${QM_CPU_LOCK:-/tmp/qm-cpu.lock}
mirror=http://deb.debian.org/debian
base=$cache/trixie-minbase.tar
root=$cache/root
log=$cache/make-test.log
package_only=0
[ "${1:-}" = --package ] && package_only=1
version=$(sed -n 's/^project(Quellmoor VERSION \([0-9][0-9.]*\)[ )].*/\1/p' "$repo/CMakeLists.txt")
deb=$repo/build-deb/quellmoor_${version}_amd64.deb
[ -f "$deb" ] || { echo "no $deb: run make deb first" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "check-debian13.sh makes a chroot and needs root" >&2; exit 1; }
windows=root/.cache/quellmoor-debian12  # in the chroot: the Debian 12 sources that the Windows and web builds fetch
mkdir -p "$cache/archives" "$cache/lists" "$cache/windows"

mounts_under() {  # the mount points at or below a directory, deepest first
  awk -v dir="$1" '$2 == dir || index($2, dir "/") == 1 { print $2 }' /proc/self/mounts | sort -r
}
unmount_under() {
  local point
  for point in $(mounts_under "$1"); do umount "$point" || umount -l "$point"; done
}
remove() {  # a directory, only once nothing is mounted below it
  unmount_under "$1"
  if [ -n "$(mounts_under "$1")" ]; then echo "still mounted below $1; not removed" >&2; exit 1; fi
  rm -rf --one-file-system "$1"
}
trap 'unmount_under "$root"; unmount_under "$cache/base.new"; unmount_under "$cache/package-root"' EXIT

timings=()
step() {  # name, then the command; its time goes to the report
  local started=$SECONDS
  echo "== $1" >&2
  "${@:2}"
  timings+=("$(printf '%-42s %5d s' "$1" $((SECONDS - started)))")
}
in_chroot() { chroot "${chroot:-$root}" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }

make_base() {
  command -v debootstrap >/dev/null || apt-get install -y -q debootstrap
  remove "$cache/base.new"
  debootstrap --variant=minbase trixie "$cache/base.new" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log"; exit 1; }
  tar -C "$cache/base.new" --numeric-owner -cf "$base.part" . && mv "$base.part" "$base"
  remove "$cache/base.new"
}
unpack() {  # into $root, or the folder given
  local root=${1:-$root}
  remove "$root"
  mkdir "$root"
  tar -C "$root" --numeric-owner -xf "$base"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # The sources of a fresh installation: the release, its updates, security.
  printf 'deb %s trixie main\ndeb %s trixie-updates main\ndeb %s trixie-security main\n' \
    "$mirror" "$mirror" "http://deb.debian.org/debian-security" >"$root/etc/apt/sources.list"
  cp -a "$cache/lists/." "$root/var/lib/apt/lists/"
  cp -aln "$cache/archives/." "$root/var/cache/apt/archives/"  # links: apt never changes a package file
  mkdir -p "$root/$windows"
  cp -a "$cache/windows/." "$root/$windows/"
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --bind /dev "$root/dev"
  mount --make-private "$root/dev"
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root/dev/shm"
}
clone() {
  [ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
    echo "note: uncommitted changes in $repo are not part of this run" >&2
  git clone -q --no-checkout "$repo" "$root/root/quellmoor"
  git -C "$root/root/quellmoor" checkout -q --detach "$(git -C "$repo" rev-parse HEAD)"
  git -C "$repo" log -1 --format='commit %h %s' >&2
}
install_packages() {  # what a new user does first: make, then make's own install step
  { in_chroot apt-get update -q && in_chroot apt-get install -y -q make && in_chroot make -C /root/quellmoor deps; } \
    >"$cache/install.log" 2>&1 || { tail -n 30 "$cache/install.log"; exit 1; }
  grep -E '^(Fetched|Need to get) ' "$cache/install.log" >&2 || true
  cp -a "$root/var/lib/apt/lists/." "$cache/lists/"
  cp -aln "$root/var/cache/apt/archives/." "$cache/archives/"
}
make_windows() {  # the native build, the Windows one and the page, with the libraries of Debian 12's sources
  flock "$lock" chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin make -C /root/quellmoor windows web >"$cache/make-windows.log" 2>&1 ||
    { tail -n 30 "$cache/make-windows.log"; exit 1; }
  cp -a "$root/$windows/." "$cache/windows/"
}
status=0
make_test() {
  flock "$lock" unshare --net chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin make -C /root/quellmoor test >"$log" 2>&1 || status=$?
}

# The package built here, in a fresh chroot of its own: what apt-get installs with it, then a start under Xvfb.
# The game's libraries and what they stand on, for the list of versions.
libraries='^(libc6|libstdc\+\+6|libgcc-s1|libgl1|libglfw3|libglew2\.2|libassimp5|libfreeimage3|libgl1-mesa-dri|libglx-mesa0|libx11-6) '
install_package() {
  cp "$deb" "$chroot/root/"
  { in_chroot dpkg-query -W -f '${Package} ${Version}\n' | sort >"$cache/package-before.txt"
    in_chroot apt-get update -q && in_chroot apt-get install -y -q "/root/$(basename "$deb")"
    in_chroot dpkg-query -W -f '${Package} ${Version}\n' | sort >"$cache/package-after.txt"
    in_chroot apt-get install -y -q --no-install-recommends xvfb xauth xdotool x11-utils; } >"$cache/package.log" 2>&1 ||
    { tail -n 30 "$cache/package.log"; exit 1; }
  cp -a "$chroot/var/lib/apt/lists/." "$cache/lists/"
  cp -aln "$chroot/var/cache/apt/archives/." "$cache/archives/"
  comm -13 "$cache/package-before.txt" "$cache/package-after.txt" >"$cache/package-installed.txt"
  echo "apt-get install $(basename "$deb") installed $(wc -l <"$cache/package-installed.txt") packages ($cache/package-installed.txt); the game's libraries:" >&2
  grep -E "$libraries" "$cache/package-after.txt" | join -a 1 -e - -o 0,1.2,2.2 - <(dpkg-query -W -f '${Package} ${Version}\n' | sort) |
    awk -v here="$(. /etc/os-release; echo "$VERSION_CODENAME")" -v new="$cache/package-installed.txt" \
      'BEGIN { while ((getline line < new) > 0) { split(line, f, " "); added[f[1]] = 1 }
               printf "  %-18s %-30s %s\n", "package", "trixie (* installed with it)", here " (built on)" }
       { printf "  %-18s %-30s %s\n", $1, $2 (added[$1] ? " *" : ""), $3 }' >&2
}
start_package() {  # from /tmp until the title shows frames, then Escape: status 0
  cat >"$chroot/root/start.sh" <<'START'
cd /tmp
/usr/games/quellmoor >/tmp/game.out 2>&1 &
game=$!
for _ in $(seq 120); do
  window=$(xdotool search --name '^Quellmoor \| \([1-9][0-9]*\.[0-9] FPS\)' 2>/dev/null | tail -n 1)
  [ -n "$window" ] && break
  kill -0 $game 2>/dev/null || break
  sleep 1
done
[ -n "$window" ] && echo "window: $(xdotool getwindowname "$window")" && xdotool windowfocus --sync "$window" key Escape
for _ in $(seq 30); do kill -0 $game 2>/dev/null || break; sleep 1; done
kill -KILL $game 2>/dev/null
wait $game
status=$?
cat /tmp/game.out
echo "status $status"
[ -n "$window" ] && [ $status -eq 0 ]
START
  flock "$lock" unshare --net chroot "$chroot" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin \
    MESA_GL_VERSION_OVERRIDE=3.3 MESA_GLSL_VERSION_OVERRIDE=330 XDG_RUNTIME_DIR=/tmp \
    timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset" bash /root/start.sh >&2 || package_status=1
}
package_status=0
check_package() {
  export LC_ALL=C  # sort and join agree on the order
  chroot=$cache/package-root
  [ -f "$base" ] || step "debootstrap a minimal trixie (download)" make_base
  step "unpack a second chroot for the package" unpack "$chroot"
  step "apt-get install the package built here (download)" install_package
  step "start it under Xvfb, end it with Escape" start_package
  unmount_under "$chroot"
  unset chroot
}
if [ $package_only = 1 ]; then
  check_package
  printf '%s\n' "${timings[@]}"
  echo "the package on trixie: $([ $package_status = 0 ] && echo started and ended with status 0 || echo FAILED)"
  exit $package_status
fi

[ -f "$base" ] || step "debootstrap a minimal trixie (download)" make_base
step "unpack the chroot, mount proc, sys, dev" unpack
step "clone HEAD into it" clone
step "install make, then make deps (download)" install_packages
step "make windows web (download; native, Windows and web builds)" make_windows
step "make test (two more builds, three suites)" make_test
unmount_under "$root"
check_package

# Each CTest run ends with "N% tests passed, ..." and, when some failed, their list.
echo
awk 'BEGIN { split("plain (build/)|sanitized (build-asan/)|fuzz (build-fuzz/)", suite, "|") }
     / tests passed, .* tests failed out of / { printf "%-24s %s\n", suite[++n], $0; listing = 0; next }
     /^The following tests FAILED:/ { listing = 1; next }
     listing && /^[ \t]/ { print "    " $0; next }
     { listing = 0 }
     END { if (n < 3) print "(only " n + 0 " of the three suites ran; the end of the log:)" }' "$log"
[ "$(grep -c ' tests passed, ' "$log")" -ge 3 ] || tail -n 30 "$log"
echo
printf '%s\n' "${timings[@]}"
echo "make test: status $status; its output is in $log"
echo "the package built here, on trixie: $([ $package_status = 0 ] && echo started and ended with status 0 || echo FAILED)"
[ $status -ne 0 ] && exit $status
exit $package_status
