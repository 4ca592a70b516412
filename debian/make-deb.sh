#!/usr/bin/env bash
# Builds the Debian package (make deb): build-deb/quellmoor_<version>_<arch>.deb,
# then checks it with lintian, which must report no error and no warning.
#
# The version is the CMake project's; the package's changelog entry is
# written from it (and dated by the last commit), so no second copy of the
# version is kept here. dpkg-buildpackage writes beside the source tree, so
# the tree (the checkout's files, as git lists them, without build outputs)
# is copied to build-deb/quellmoor-<version> and built there: the
# generator's data, the icons and the game are made afresh inside.
# DEB_BUILD_OPTIONS passes through (parallel=N is added when missing).
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(Quellmoor VERSION \([0-9][0-9.]*\)[ )].*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "no version in CMakeLists.txt's project()" >&2; exit 1; }
arch=$(dpkg-architecture -qDEB_HOST_ARCH)
out=$PWD/build-deb
tree=$out/quellmoor-$version
rm -rf "$out"
mkdir -p "$tree"

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z --cached --others --exclude-standard | xargs -0 sh -c 'for f; do [ -e "$f" ] && printf "%s\0" "$f"; done' sh |
    tar --null -T - -cf - | tar -C "$tree" -xf -
  stamp=$(git log -1 --format=%ct 2>/dev/null || date +%s)
else
  tar --exclude='./build*' --exclude=./data/Models --exclude=./data/Font -cf - . | tar -C "$tree" -xf -
  stamp=$(date +%s)
fi
cat >"$tree/debian/changelog" <<CHANGELOG
quellmoor ($version) unstable; urgency=medium

  * Quellmoor $version, built from its source tree.

 -- $(sed -n 's/^Maintainer: //p' debian/control)  $(LC_ALL=C date -u -R -d "@$stamp")
CHANGELOG

options=${DEB_BUILD_OPTIONS:-}
[[ $options == *parallel=* ]] || options="${options:+$options }parallel=$(nproc)"
echo "building quellmoor $version in $tree (DEB_BUILD_OPTIONS=$options; log: $out/build.log)"
started=$SECONDS
(cd "$tree" && DEB_BUILD_OPTIONS=$options dpkg-buildpackage -b -us -uc) >"$out/build.log" 2>&1 ||
  { tail -n 40 "$out/build.log"; echo "dpkg-buildpackage failed; the whole log: $out/build.log" >&2; exit 1; }
deb=$out/quellmoor_${version}_$arch.deb
[ -f "$deb" ] || { echo "dpkg-buildpackage made no $deb" >&2; exit 1; }
echo "$deb: $(du -k "$deb" | cut -f1) KiB, built in $((SECONDS - started)) s"

# Every tag lintian shows at its default level, then its verdict.
lintian --fail-on error,warning "$deb" | tee "$out/lintian.txt"
echo "lintian: no error, no warning"
