#!/usr/bin/env bash
# Runs the whole suite headless: one Xvfb server for the run, Mesa's software
# renderer pinned to OpenGL 3.3 so that a use of newer GL fails here too.
set -euo pipefail
cd "$(dirname "$0")/.."

export MESA_GL_VERSION_OVERRIDE=3.3
export MESA_GLSL_VERSION_OVERRIDE=330
export LIBGL_ALWAYS_SOFTWARE=1

exec xvfb-run -a -s "-screen 0 1280x1024x24 +extension GLX -noreset" \
  ctest --test-dir build --output-on-failure -j2 "$@"
