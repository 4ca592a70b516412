"""Drives the real game under the run's X server like a player would.

Each test starts build/quellmoor in a fresh working directory (its own
config.txt, the data directories linked in, or copied for a test that
breaks a file), finds its window, sends real X input with xdotool and reads
screenshots back as RGB pixels. Every wait is bounded.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

DATA_DIRS = ("Shader", "Models", "Font")


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    return parser.parse_args()


def xdotool(*args, check=True):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=20)
    if check and result.returncode != 0:
        raise RuntimeError(f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
    return result.stdout.strip()


class Image:
    """An RGB screenshot with pixel access; (0, 0) is the top-left corner."""

    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    def rgb(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def region(self, x0, y0, x1, y1):
        """Pixels of the box [x0, x1) x [y0, y1), clipped to the image."""
        return [self.rgb(x, y) for y in range(max(0, y0), min(self.height, y1))
                for x in range(max(0, x0), min(self.width, x1))]


def ink(pixel):
    """Brightness of a pixel, 0 to 255."""
    return max(pixel)


class Game:
    def __init__(self, args, width=800, height=600, config=None, link_data=True, copy_data=False):
        self.args = args
        self.width, self.height = width, height
        self.dir = tempfile.mkdtemp(prefix="quellmoor-e2e-")
        if config is None:
            config = f"WIDTH = {width}\nHEIGHT = {height}\nFULLSCREEN = 0\n"
        if config is not False:
            with open(os.path.join(self.dir, "config.txt"), "w") as f:
                f.write(config)
        for name in DATA_DIRS if link_data or copy_data else ():
            source, target = os.path.join(os.path.abspath(args.data), name), os.path.join(self.dir, name)
            if copy_data:
                shutil.copytree(source, target)
            else:
                os.symlink(source, target)
        self.process = None
        self.window = None

    def start(self, env=None):
        """Starts the game; env holds variables added to this process's environment."""
        # The game centres the cursor before its first frame, so a cursor left
        # far from the window must not turn the start view.
        screen_width, screen_height = xdotool("getdisplaygeometry").split()
        xdotool("mousemove", int(screen_width) - 1, int(screen_height) - 1, check=False)
        self.process = subprocess.Popen([os.path.abspath(self.args.game)], cwd=self.dir,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                        stderr=subprocess.PIPE, env={**os.environ, **(env or {})})
        return self

    def wait_exit(self, timeout):
        """(status, stdout, stderr), or raises if the game is still running after timeout."""
        out, err = self.process.communicate(timeout=timeout)
        return self.process.returncode, out.decode(), err.decode()

    def find_window(self, timeout=60):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.process.poll() is not None:
                raise RuntimeError(f"game exited early with {self.process.returncode}: "
                                   f"{self.process.stdout.read().decode()}")
            ids = xdotool("search", "--pid", self.process.pid, "--name", "^Quellmoor", check=False).split()
            if ids:
                self.window = ids[-1]
                return self.window
            time.sleep(0.1)
        raise RuntimeError("no game window appeared")

    def title(self):
        return xdotool("getwindowname", self.window)

    def wait_title(self, predicate, timeout):
        deadline = time.time() + timeout
        title = ""
        while time.time() < deadline:
            title = self.title()
            if predicate(title):
                return title
            time.sleep(0.1)
        raise AssertionError(f"title never matched; last was {title!r}")

    def wait_frames(self, timeout=60):
        """Waits until the title shows a measured frame rate."""
        return self.wait_title(lambda t: t.startswith("Quellmoor | (") and not t.endswith("(0.0 FPS)"), timeout)

    def focus(self):
        xdotool("windowfocus", "--sync", self.window, check=False)

    def key(self, *names):
        self.focus()
        for name in names:
            xdotool("key", "--delay", 60, name)

    def tap(self, name):
        """Presses and releases a key at once, between two of the game's polls."""
        self.focus()
        xdotool("key", "--delay", 0, name)

    def hold(self, name, seconds):
        self.focus()
        xdotool("keydown", name)
        time.sleep(seconds)
        xdotool("keyup", name)

    def press(self, name):
        """Holds a key down until release()."""
        self.focus()
        xdotool("keydown", name)

    def release(self, name):
        xdotool("keyup", name)

    def quit_cleanly(self):
        """Holds Escape until the game ends; it must end with status 0 and no output."""
        self.press("Escape")
        try:
            status, out, err = self.wait_exit(timeout=10)
        finally:
            self.release("Escape")
        assert (status, out, err) == (0, "", ""), (status, out, err)

    def turn(self, dx, dy=0, settle=1.0):
        """Moves the mouse; the game reads it at its next frame and puts it back."""
        xdotool("mousemove_relative", "--", dx, dy)
        time.sleep(settle)

    def screenshot(self, settle=0.5):
        time.sleep(settle)
        ppm = subprocess.run(["import", "-window", self.window, "-depth", "8", "ppm:-"], capture_output=True,
                             timeout=30, check=True).stdout
        return parse_ppm(ppm)

    def save_screenshot(self, path):
        subprocess.run(["import", "-window", self.window, path], timeout=30, check=True)

    def close_window(self):
        subprocess.run([os.environ["QM_CLOSE_WINDOW"], self.window], timeout=10, check=True)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        shutil.rmtree(self.dir, ignore_errors=True)


def parse_ppm(data):
    """Width, height and RGB bytes of a binary P6 image with maxval 255."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    width, height = int(fields[1]), int(fields[2])
    if fields[0] != b"P6" or int(fields[3]) != 255:
        raise ValueError(f"not an 8-bit binary PPM: {fields}")
    return Image(width, height, data[pos:pos + width * height * 3])


def run(tests):
    """Runs each test function with a fresh argument set; prints a summary."""
    args = parse_args()
    failed = 0
    for test in tests:
        started = time.time()
        try:
            test(args)
            print(f"[ OK ] {test.__name__} ({time.time() - started:.1f} s)", flush=True)
        except Exception as error:  # report every failure, then go on
            failed += 1
            print(f"[FAIL] {test.__name__}: {error}", flush=True)
    print(f"{len(tests) - failed} passed, {failed} failed")
    sys.exit(1 if failed else 0)
