"""The page's frame against the native game's, at the same size and through the same renderer (Mesa's llvmpipe):
chromium under the X server with ANGLE on desktop GL, and build/quellmoor in a window; both stand at the start view
for the same seconds. The page's frame times come from quellmoor.frameTimes, the game's from its title's frame rate,
counted anew each second. Prints one table row per size. Usage, under an X server:
web_frame.py --web BUILD_WEB --game GAME --data DATA [--seconds S] [--sizes 800x600,1280x720]"""

import contextlib
import io
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from devtools import page  # noqa: E402
from test_startup import frame_rate, play, settings  # noqa: E402

# The browser paces its frames by a 60 Hz clock under Xvfb too, which rounds each web frame up toward whole 16.7 ms
# ticks (a page that only clears takes one at 800 x 600, two at 1280 x 720). Without that clock (--disable-gpu-vsync --disable-frame-rate-limit)
# the page's frames no longer wait for the GPU process, and their times say nothing of the drawing.
LLVMPIPE = ["--use-angle=gl", "--ignore-gpu-blocklist", "--window-position=0,0"]
RENDERER = """(() => { const gl = document.createElement('canvas').getContext('webgl2');
                       const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
                       return info ? gl.getParameter(info.UNMASKED_RENDERER_WEBGL) : String(gl); })()"""


def native_ms(game, data, width, height, seconds):
    """The median of the frame rates the game's title shows once a second, as milliseconds a frame."""
    rates = []

    def standing_at_the_start(window):
        time.sleep(2)  # past the first, slower second
        for _ in range(seconds):
            time.sleep(1)
            rates.append(frame_rate(window))
    said = io.StringIO()  # play's own verdict line, shown only when it failed
    with contextlib.redirect_stdout(said):
        ran = play(game, data, settings(width, height), standing_at_the_start)
    assert ran, f"the native game at {width} x {height}: {said.getvalue()}"
    return 1000 / statistics.median(rates)


def web_ms(web, width, height, seconds):
    """The median time between the page's frames over the given seconds, after its first frames; and the renderer."""
    # The GL driver's own version: Mesa's 3.3 pin, set for the native game, would cap what ANGLE can ask for.
    env = {name: value for name, value in os.environ.items() if not name.startswith("MESA_")}
    with page(web, width, height, LLVMPIPE, env) as browser:
        assert browser.wait("!!window.quellmoor && (quellmoor.frames > 0 || quellmoor.fatal.length > 0)", 120), "no first frame in 120 s"
        assert not browser.evaluate("quellmoor.fatal.length"), f"the page failed: {browser.evaluate('quellmoor.fatal')}"
        time.sleep(2)
        start = browser.evaluate("performance.now()")
        time.sleep(seconds)
        times = [t for t in browser.evaluate("quellmoor.frameTimes") if t >= start]
        size = browser.evaluate("[document.getElementById('canvas').width, document.getElementById('canvas').height]")
        assert size == [width, height], f"the canvas is {size}"
        assert len(times) > 2, f"{len(times)} frames in {seconds} s"
        return statistics.median(b - a for a, b in zip(times, times[1:])), browser.evaluate(RENDERER)


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    seconds = int(args.get("--seconds", 8))
    print(f"\nThe page against the native game at the start view, {seconds} s each, both on llvmpipe:\n")
    print("| size        | web frame ms | native frame ms | web frame / native frame |")
    print("|-------------|-------------:|----------------:|-------------------------:|")
    renderer = ""
    for size in args.get("--sizes", "800x600,1280x720").split(","):
        width, height = map(int, size.split("x"))
        native = native_ms(args["--game"], args["--data"], width, height, seconds)
        web, renderer = web_ms(args["--web"], width, height, seconds)
        print(f"| {width:>4} x {height:<4} | {web:12.1f} | {native:15.1f} | {web / native:23.2f}x |", flush=True)
    print(f"\nThe page's renderer: {renderer}")


if __name__ == "__main__":
    main()
