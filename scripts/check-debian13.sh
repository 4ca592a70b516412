#!/usr/bin/env bash
# The README's `make test` on a fresh, minimal Debian 13 (trixie): a chroot
# made by debootstrap from Debian's archive, the committed HEAD of this
# checkout cloned into it, `make` installed as the README says, then
# `make test`. Ends with the three CTest summaries (plain, sanitized, fuzz)
# and the time of each step; its status is that of `make test`. Needs root.
# What make test downloads (the packages, Debian 12's sources of the Windows
# build's libraries) it fetches first, through make deps and make windows.
#
# Cached under ~/.cache/quellmoor-debian13 (QM_DEBIAN13_CACHE), outside the
# checkout: the debootstrap result as a tarball, and the package lists and
# packages that apt fetched, so a second run downloads nothing that has not
# changed in the archive. Each run unpacks the tarball afresh; the chroot of
# the last run stays there to look into, until the next run replaces it.
#
# Inside, only proc, sysfs and /dev are mounted, plainly (never recursively;
# /dev made private) with a tmpfs on /dev/shm as on any system, where sway
# makes its buffers; all are unmounted on every way out, and nothing is
# removed while something is mounted below it. make test runs without a
# network (a network namespace of its own), which also keeps its X servers
# apart from the machine's.
# The builds and tests wait for /tmp/qm-cpu.lock (QM_CPU_LOCK); the downloads do not.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
cache=${QM_DEBIAN13_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/quellmoor-debian13}
lock=${QM_CPU_LOCK:-/tmp/qm-cpu.lock}
mirror=http://deb.debian.org/debian
base=$cache/trixie-minbase.tar
root=$cache/root
log=$cache/make-test.log
[ "$(id -u)" -eq 0 ] || { echo "check-debian13.sh makes a chroot and needs root" >&2; exit 1; }
mkdir -p "$cache/archives" "$cache/lists"

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
trap 'unmount_under "$root"; unmount_under "$cache/base.new"' EXIT

timings=()
step() {  # name, then the command; its time goes to the report
  local started=$SECONDS
  echo "== $1" >&2
  "${@:2}"
  timings+=("$(printf '%-42s %5d s' "$1" $((SECONDS - started)))")
}
in_chroot() { chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 PATH=/usr/sbin:/usr/bin:/sbin:/bin "$@"; }

make_base() {
  command -v debootstrap >/dev/null || apt-get install -y -q debootstrap
  remove "$cache/base.new"
  debootstrap --variant=minbase trixie "$cache/base.new" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log"; exit 1; }
  tar -C "$cache/base.new" --numeric-owner -cf "$base.part" . && mv "$base.part" "$base"
  remove "$cache/base.new"
}
unpack() {
  remove "$root"
  mkdir "$root"
  tar -C "$root" --numeric-owner -xf "$base"
  cp /etc/resolv.conf "$root/etc/resolv.conf"
  # The sources of a fresh installation: the release, its updates, security.
  printf 'deb %s trixie main\ndeb %s trixie-updates main\ndeb %s trixie-security main\n' \
    "$mirror" "$mirror" "http://deb.debian.org/debian-security" >"$root/etc/apt/sources.list"
  cp -a "$cache/lists/." "$root/var/lib/apt/lists/"
  cp -aln "$cache/archives/." "$root/var/cache/apt/archives/"  # links: apt never changes a package file
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
make_windows() {  # the native build and the Windows one, with the libraries of Debian 12's sources
  flock "$lock" chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin make -C /root/quellmoor windows >"$cache/make-windows.log" 2>&1 ||
    { tail -n 30 "$cache/make-windows.log"; exit 1; }
}
status=0
make_test() {
  flock "$lock" unshare --net chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb LANG=C.UTF-8 \
    PATH=/usr/sbin:/usr/bin:/sbin:/bin make -C /root/quellmoor test >"$log" 2>&1 || status=$?
}

[ -f "$base" ] || step "debootstrap a minimal trixie (download)" make_base
step "unpack the chroot, mount proc, sys, dev" unpack
step "clone HEAD into it" clone
step "install make, then make deps (download)" install_packages
step "make windows (download, native and Windows builds)" make_windows
step "make test (two more builds, three suites)" make_test

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
exit $status
