"""The real binary under real X input: its first view and sky at infinity, the
frame-rate title, taps of Space and Escape; a resize, a focus that goes to
another window and comes back, a full-screen start at a size the screen
cannot switch to, and a start from a folder without the data. Usage: --game GAME --data DATA."""

import contextlib
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

RUNNING = re.compile(r"Quellmoor \| \((?!0\.0 )\d+\.\d FPS\)")  # the title once frames are counted
CLEAR_COLOUR = (0, 204, 255)  # what the game clears to, and no drawn pixel shows


def settings(width, height, full=0):  # config.txt for a window, or the full screen
    return f"WIDTH = {width}\nHEIGHT = {height}\nFULLSCREEN = {full}\n"


def wait_for(value, seconds):
    """The first true value() within the given seconds, else the last."""
    deadline = time.time() + seconds
    while not (result := value()) and time.time() < deadline:
        time.sleep(0.1)
    return result


def stop(process):
    """Ends a process, then what it started and left running (sway's Xwayland), by their ids."""
    children = []
    with contextlib.suppress(OSError):
        children = open(f"/proc/{process.pid}/task/{process.pid}/children").read().split()
    process.terminate()
    with contextlib.suppress(subprocess.TimeoutExpired):
        process.wait(timeout=10)
    process.kill()
    process.wait(timeout=10)
    subprocess.run(["kill", "-KILL", *children], capture_output=True, timeout=10)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=20).stdout.strip()


def find_window(pid, name, ready=lambda window: RUNNING.fullmatch(xdotool("getwindowname", window)), seconds=60):
    """The newest window of process pid (or of any, for None) whose name matches and that is ready (by default, its
    title shows a frame rate), or "" after the given time."""
    def newest():
        window = (xdotool("search", *(["--pid", pid] if pid else []), "--name", name).split() or [""])[-1]
        return window if window and ready(window) else ""
    return wait_for(newest, seconds)


def key(window, action, name):  # "key" presses and releases at once
    xdotool("windowfocus", "--sync", window)
    xdotool(action, "--delay", 0, name)


def frame_rate(window):
    """The frames a second in an X window's title, which the game counts anew every second; a command's
    picture (another desktop's) and a window without it count as fast: the seconds alone decide."""
    found = isinstance(window, str) and re.search(r"\((\d+\.\d) FPS\)", xdotool("getwindowname", window))
    return max(float(found.group(1)), 0.5) if found else float("inf")


def grab(window, settle=0.5, frames=3):
    """A P6 file of an X window or what a command writes, taken once the game has had settle seconds
    or that many frames, whichever is longer: on a loaded machine frames come slower, and what a
    check waits for comes after a number of frames."""
    time.sleep(max(settle, frames / frame_rate(window)))
    command = window if isinstance(window, list) else ["import", "-window", window, "-depth", "8", "ppm:-"]
    return subprocess.run(command, capture_output=True, timeout=30).stdout


def screenshot(window, settle=0.5, colour=False, frames=3, ppm=None):
    """Rows of pixels of a grab, the top one first: grey sums of R, G and B, or RGB triples."""
    _, size, _, pixels = (ppm or grab(window, settle, frames)).split(b"\n", 3)  # a P6 file as ImageMagick and grim write it
    width, height = map(int, size.split())
    pixel = (lambda i: tuple(pixels[i:i + 3])) if colour else (lambda i: sum(pixels[i:i + 3]))
    return [[pixel((y * width + x) * 3) for x in range(width)] for y in range(height)]


def horizon(image):
    """The row of the steepest fall from bright sky to darker sea in the middle half."""
    height = len(image)
    return max(range(height // 4, height * 3 // 4), key=lambda y: sum(image[y]) - sum(image[y + 2]))


def fills_the_window_with_the_hearts_at_its_top_right(window, width, height):
    """The frame covers the whole window, level, with the three hearts 128 pixels from its right edge."""
    for _ in range(10):  # on a loaded machine the first frame at a new size can come many frames late
        image = screenshot(window, settle=1.0, colour=True, frames=6)
        white = sum(p == (255, 255, 255) for row in image[24:64] for p in row[width - 128:width - 8])
        if (len(image[0]), len(image)) == (width, height) and white > 1000:
            break
    assert (len(image[0]), len(image)) == (width, height), f"a {len(image[0])} x {len(image)} window"
    assert not any(CLEAR_COLOUR in row for row in image), "pixels of the clear colour"
    assert white > 1000, f"no hearts at the top right: {white} white pixels"
    grey = [[sum(p) for p in row] for row in image]
    assert abs(horizon(grey) - height // 2) <= 15, f"horizon at row {horizon(grey)} of {height}"


def difference(a, b, x0, y0, x1, y1):
    """Mean difference of grey levels, 0 to 1, of two screenshots in a box."""
    return sum(abs(a[y][x] - b[y][x]) for y in range(y0, y1) for x in range(x0, x1)) / (3 * 255 * (x1 - x0) * (y1 - y0))


def first_view_a_sky_at_infinity_and_taps_of_space_and_escape(window):
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
    key(window, "key", "space")  # the eye rises 1.5 above the ground for a second, then lands where it was
    grabs = [grab(window, settle=0.1, frames=1) for _ in range(6)]  # one a frame, compared later: decoding is slow
    jumped = [difference(before, screenshot(window, ppm=ppm), 0, 400, 800, 600) for ppm in grabs]
    assert max(jumped) > 0.02, f"a tap of Space did not jump, at {frame_rate(window)} FPS"


def quit_with_escape(game, window):
    started, rate = time.time(), frame_rate(window)
    key(window, "key", "Escape")
    out, err = game.communicate(timeout=10)
    assert (game.returncode, out, err) == (0, b"", b""), f"a tap of Escape must quit cleanly: {(game.returncode, out, err)}"
    assert time.time() - started < max(2, 10 / rate), f"Escape took too long at {rate} FPS"


def resized_and_the_focus_away_and_back(window):
    xdotool("windowsize", "--sync", window, 1000, 700)
    fills_the_window_with_the_hearts_at_its_top_right(window, 1000, 700)
    steady = screenshot(window)

    # Another window takes the focus with W held, the mouse moves onto it and W is let go there: nothing turns or walks.
    other = subprocess.Popen(["xmessage", "-geometry", "+1050+800", "elsewhere"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        message = find_window(other.pid, "xmessage", lambda window: True, seconds=20)
        assert message, "no second window"
        key(window, "keydown", "w")
        xdotool("windowfocus", "--sync", message)
        xdotool("mousemove", 1100, 850)
        xdotool("keyup", "w")
        away = screenshot(window, settle=0.5, frames=6)
        later = screenshot(window, settle=1.0, frames=6)
        changed = difference(away, later, 0, 0, 1000, 700)
        assert changed < 0.01, f"the picture changed by {changed:.3f} in a second without the focus"

        xdotool("windowfocus", "--sync", window)  # back: the cursor is centred, the view not turned
        back = screenshot(window, settle=1.0, frames=6)
        assert difference(later, back, 0, 0, 1000, 350) < 0.01, "the view turned when the focus came back"
        assert difference(steady, back, 0, 0, 1000, 350) < 0.02, "the view is not where it was"
    finally:
        other.kill()


def full_screen_at_a_size_the_screen_cannot_show(window):
    fills_the_window_with_the_hearts_at_its_top_right(window, 1280, 1024)


def started_where_its_data_are_not(window):
    """From an empty folder the game finds data/ beside build/, with the size its config.txt gives."""
    image = screenshot(window)
    assert abs(horizon(image) - len(image) // 2) <= 15, f"horizon at row {horizon(image)} of {len(image)}"


def play(game_path, data, config, check):
    """Starts the game in a directory of its own with config.txt (none: an empty one), waits for its frame rate, runs check, then quits with Escape."""
    directory = tempfile.mkdtemp(prefix="quellmoor-e2e-")
    if config:
        for name in ("Shader", "Models", "Font"):
            os.symlink(os.path.join(os.path.abspath(data), name), os.path.join(directory, name))
        pathlib.Path(directory, "config.txt").write_text(config)
    xdotool("mousemove", 2000, 2000)  # far off: the game centres the cursor before its first frame
    game = subprocess.Popen([os.path.abspath(game_path)], cwd=directory, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    try:
        window = find_window(game.pid, "^Quellmoor")
        assert window, f"no window with a frame rate in its title; the game's status is {game.poll()}"
        check(window)
        quit_with_escape(game, window)
        print(f"[ OK ] {check.__name__}", flush=True)
        return True
    except Exception as error:
        print(f"[FAIL] {check.__name__}: {error!r}", flush=True)
        return False
    finally:
        stop(game)
        shutil.rmtree(directory, ignore_errors=True)


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    results = [play(args["--game"], args["--data"], config, check) for config, check in (
        (settings(800, 600), first_view_a_sky_at_infinity_and_taps_of_space_and_escape),
        (settings(800, 600), resized_and_the_focus_away_and_back),
        (settings(800, 600, 1), full_screen_at_a_size_the_screen_cannot_show),
        (None, started_where_its_data_are_not))]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
