#!/usr/bin/env bash
# Runs the whole suite headless, once from build/ and once from the sanitized
# build-asan/ (AddressSanitizer with leak checking, UBSan), each under its own
# Xvfb server, with Mesa's software renderer pinned to OpenGL 3.3 so that a
# use of newer GL fails here too; then, from build-fuzz/, a short run of each
# fuzz target. Arguments go to the first two CTest runs, and a run with
# arguments skips the fuzzing; QM_SANITIZED=0 skips all but the first.
# Every test stops at its limit (TIMEOUT); one without a limit of its own
# stops after 300 s.
#
# The sanitized run leaves out three: the soak, since ASan keeps freed memory
# in quarantine, which would swamp the resident memory it watches; the
# end-to-end scripts, which drive the same start-up and frames as the GL tests
# but through real X and Wayland input, so sanitized they would check our code no further;
# the Windows build under Wine, the page in a browser and the Debian package, which run none of this build's code.
# Every unit and GL test runs sanitized: the game's start-up, its frames, its
# shutdown and every bad-input case, where out-of-bounds reads would hide.
set -euo pipefail
cd "$(dirname "$0")/.."

export MESA_GL_VERSION_OVERRIDE=3.3
export MESA_GLSL_VERSION_OVERRIDE=330
export LIBGL_ALWAYS_SOFTWARE=1
# GLFW 3.4 (Debian 13) tries Wayland before X11, and libwayland complains on
# stderr when XDG_RUNTIME_DIR is not set, as under CI or a root shell, where
# the tests want an empty stderr. A desktop session always has one, so the
# tests get a private one (made 0700, removed after), and no Wayland display:
# every test window goes to Xvfb.
unset WAYLAND_DISPLAY
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT

suite() {  # build directory, then any command to run CTest through
  local dir=$1
  shift
  xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset" \
    "$@" ctest --test-dir "$dir" --output-on-failure -j2 --timeout 300 "${ctest_args[@]}"
}
ctest_args=("$@")

suite build
if [ "${QM_SANITIZED:-1}" = 0 ]; then exit 0; fi

# The driver is preloaded so that it stays mapped until exit; see
# tests/sanitizers/lsan.supp. The ASan runtime then no longer comes first in
# the library list, which it would otherwise refuse.
source scripts/sanitizer-env.sh
driver=$(ls /usr/lib/*/dri/swrast_dri.so | head -n 1)
ctest_args+=(-E '^(soak|e2e\..*|windows\..*|web\..*|deb\..*)$')
ASAN_OPTIONS="$ASAN_OPTIONS:verify_asan_link_order=0" suite build-asan env LD_PRELOAD="$driver"

if [ $# -eq 0 ]; then
  ctest --test-dir build-fuzz --output-on-failure -j2 -R '^fuzz\.run\.'
fi
