#!/usr/bin/env bash
# The frame benchmark at three window sizes, in one Xvfb server large enough
# for the biggest. Mesa is pinned to OpenGL 3.3 like the tests.
set -euo pipefail
cd "$(dirname "$0")/.."

export MESA_GL_VERSION_OVERRIDE=3.3
export MESA_GLSL_VERSION_OVERRIDE=330
FRAMES="${BENCH_FRAMES:-120}"

echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs)"
cd data
for size in "800 600" "1280 720" "1920 1080"; do
  # shellcheck disable=SC2086
  xvfb-run -a -s "-screen 0 1920x1200x24 +extension GLX -noreset" ../build/bench/quellmoor_bench $size "$FRAMES"
done

# The page of make web against the native game, both on llvmpipe (bench/web_frame.py).
if [ -f ../build-web/quellmoor.js ]; then
  xvfb-run -a -s "-screen 0 1920x1200x24 +extension GLX -noreset" \
    python3 -B ../bench/web_frame.py --web ../build-web --game ../build/quellmoor --data . --seconds "${BENCH_WEB_SECONDS:-8}"
else
  echo "No web row: build-web/ has no page (make web)."
fi
