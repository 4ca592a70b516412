"""The real binary under real X input: its first view and sky at infinity, the
frame-rate title, taps of Space and Escape. Usage: --game GAME --data DATA."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=20).stdout.strip()


def key(window, action, name):  # "key" presses and releases at once
    xdotool("windowfocus", "--sync", window)
    xdotool(action, "--delay", 0, name)


def screenshot(window, settle=0.5):
    """Rows of RGB pixels, the top one first."""
    time.sleep(settle)
    ppm = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"], capture_output=True, timeout=30).stdout
    _, size, _, pixels = ppm.split(b"\n", 3)  # as ImageMagick writes a P6 file
    width, height = map(int, size.split())
    return [[sum(pixels[(y * width + x) * 3:(y * width + x) * 3 + 3]) for x in range(width)] for y in range(height)]


def horizon(image):
    """The row of the steepest fall from bright sky to darker sea in the middle half."""
    return max(range(150, 450), key=lambda y: sum(image[y]) - sum(image[y + 2]))


def difference(a, b, x0, y0, x1, y1):
    """Mean difference of grey levels, 0 to 1, of two screenshots in a box."""
    return sum(abs(a[y][x] - b[y][x]) for y in range(y0, y1) for x in range(x0, x1)) / (3 * 255 * (x1 - x0) * (y1 - y0))


def first_view_a_sky_at_infinity_and_taps_of_space_and_escape(game, window):
    start = screenshot(window)
    assert abs(horizon(start) - 300) <= 15, f"start view not level along -z: horizon at row {horizon(start)}"
    key(window, "keydown", "s")  # about a unit south, looking the same way
    time.sleep(0.35)
    key(window, "keyup", "s")
    walked = screenshot(window)
    assert difference(start, walked, 0, 0, 660, 200) < 0.01, "the sky moved with the player"
    assert abs(horizon(walked) - 300) <= 15, f"horizon at row {horizon(walked)} after the walk"

    xdotool("mousemove_relative", "--", 0, 100)  # half a radian down, onto the ground around the eye
    before = screenshot(window, settle=1.0)
    key(window, "key", "space")  # the eye rises 1.5 above the ground for a second
    assert difference(before, screenshot(window, settle=0.1), 0, 400, 800, 600) > 0.02, "a tap of Space did not jump"

    started = time.time()
    key(window, "key", "Escape")
    out, err = game.communicate(timeout=10)
    assert (game.returncode, out, err) == (0, b"", b""), "a tap of Escape must quit cleanly"
    assert time.time() - started < 2, "Escape took too long"


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    directory = tempfile.mkdtemp(prefix="quellmoor-e2e-")
    with open(os.path.join(directory, "config.txt"), "w") as f:
        f.write("WIDTH = 800\nHEIGHT = 600\nFULLSCREEN = 0\n")
    for name in ("Shader", "Models", "Font"):
        os.symlink(os.path.join(os.path.abspath(args["--data"]), name), os.path.join(directory, name))
    xdotool("mousemove", 2000, 2000)  # far off: the game centres the cursor before its first frame
    game = subprocess.Popen([os.path.abspath(args["--game"])], cwd=directory, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        deadline, window, rate = time.time() + 60, "", None
        while time.time() < deadline and game.poll() is None and not rate:
            window = (xdotool("search", "--pid", game.pid, "--name", "^Quellmoor").split() or [""])[-1]
            rate = window and re.fullmatch(r"Quellmoor \| \((?!0\.0 )\d+\.\d FPS\)", xdotool("getwindowname", window))
            time.sleep(0.1)
        assert rate, f"no window with a frame rate in its title; the game's status is {game.poll()}"
        first_view_a_sky_at_infinity_and_taps_of_space_and_escape(game, window)
        print("[ OK ] startup", flush=True)
    except Exception as error:
        print(f"[FAIL] startup: {error!r}", flush=True)
        sys.exit(1)
    finally:
        if game.poll() is None:
            game.kill()
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    main()
