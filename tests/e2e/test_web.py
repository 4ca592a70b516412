"""The browser build (make web) in headless chromium on SwiftShader at 800 x 600, served on 127.0.0.1 and played over
the DevTools protocol: its first view against the Linux build's, the pointer taken by a click and the view turned by
a small move that then holds, a toggle key, a pause while the pointer is given back, a heart lost in the lagoon, smaller pages (and a pixel ratio of 2) drawn
anew with their hearts in place, and a clean console; then a copy with a broken heightmap shows the Linux build's own
message lines on the page. Usage: --web BUILD_WEB --game GAME --data DATA."""

import json
import os
import pathlib
import re
import shutil
import subprocess
import sys
import tempfile
import time

from devtools import page
from test_startup import CLEAR_COLOUR, RUNNING, difference, horizon, play, screenshot, settings, wait_for

WIDTH, HEIGHT = 800, 600
HEIGHTMAP = "Models/heightmap2.bmp"


def shot(browser, colour=False):
    return screenshot(None, colour=colour, ppm=browser.ppm())


def hearts(image):
    """How many of the three 40-pixel heart cells at the top right are lit: their cores are white."""
    width = len(image[0])
    return sum(sum(min(p) >= 240 for row in image[24:64] for p in row[x:x + 40]) > 200 for x in range(width - 128, width - 8, 40))


def frames_later(browser, count, seconds=30):
    """Waits until the page has drawn count more frames (at most the given seconds)."""
    start = browser.evaluate("quellmoor.frames")
    assert browser.wait(f"quellmoor.frames >= {start + count}", seconds), f"fewer than {count} frames in {seconds} s"


def first_view(browser, reference):
    assert browser.wait("!!window.quellmoor && (quellmoor.frames > 0 || quellmoor.fatal.length > 0)", 120), "no first frame in 120 s"
    assert browser.evaluate("quellmoor.fatal") == [], f"a fatal error: {browser.evaluate('quellmoor.fatal')}"
    frames_later(browser, 10)
    shown = browser.evaluate("""[document.title, getComputedStyle(document.getElementById('status')).display,
                                 document.getElementById('overlay').innerText, quellmoor.locked]""")
    assert RUNNING.fullmatch(shown[0]) and shown[1] == "none", f"title {shown[0]!r}, loading status shown as {shown[1]!r}"
    assert "click" in shown[2].lower() and not shown[3], f"before any click: overlay {shown[2]!r}, pointer locked {shown[3]}"
    panels = "for (const id of ['overlay', 'fullscreen']) document.getElementById(id).style.visibility = '%s'"
    browser.evaluate(panels % "hidden")  # the page's own panels over the game's picture, out of the way
    frames_later(browser, 1)
    view = shot(browser)
    browser.evaluate(panels % "")
    sky, whole = difference(reference, view, 0, 0, WIDTH, 280), difference(reference, view, 0, 0, WIDTH, HEIGHT)
    assert sky < 0.005 and whole < 0.01, f"not the Linux build's first view: sky {sky:.4f}, whole {whole:.4f} apart"
    return f"the Linux build's first view: sky {sky:.4f}, whole {whole:.4f} apart"


def a_click_takes_the_pointer_and_a_small_move_turns_the_view_once(browser):
    browser.click(WIDTH // 2, HEIGHT // 2)
    assert browser.wait("quellmoor.locked", 10), "a click did not take the pointer"
    overlay = browser.evaluate("getComputedStyle(document.getElementById('overlay')).display")
    assert overlay == "none", f"the overlay still shows ({overlay}) with the pointer locked"
    frames_later(browser, 3)
    before = shot(browser)
    for x in range(WIDTH // 2 + 10, WIDTH // 2 + 50, 10):  # 40 pixels to the right in four moves
        browser.move(x, HEIGHT // 2)
    frames_later(browser, 3)
    turned = shot(browser)
    frames_later(browser, 6)
    drift, turn = difference(turned, shot(browser), 0, 0, WIDTH, HEIGHT), difference(before, turned, 0, 0, WIDTH, HEIGHT)
    assert turn > 0.02, f"a 40-pixel move did not turn the view: {turn:.4f}"
    assert drift < 0.01, f"the view goes on turning: {drift:.4f} over six frames"
    return f"turned {turn:.4f}, then {drift:.4f} over six frames"


def a_toggle_key_changes_the_picture_and_back(browser):
    frames_later(browser, 2)
    before = shot(browser)
    browser.tap("F3")
    frames_later(browser, 3)
    wire = shot(browser)
    browser.tap("F3")
    frames_later(browser, 3)
    back = shot(browser)
    changed, restored = difference(before, wire, 0, 0, WIDTH, HEIGHT), difference(before, back, 0, 0, WIDTH, 280)
    assert changed > 0.03, f"F3 changed the picture by only {changed:.4f}"
    assert restored < 0.01, f"F3 again left the sky {restored:.4f} from where it was"
    return f"F3 changed {changed:.4f}, again {restored:.4f} from where it was"


def escape_pauses_and_a_click_resumes(browser):
    browser.evaluate("document.exitPointerLock()")  # what the browser does with Escape
    assert browser.wait("quellmoor.paused && !quellmoor.locked", 10), "giving the pointer back did not pause"
    frames = browser.evaluate("quellmoor.frames")
    time.sleep(1.0)
    shown = browser.evaluate("[quellmoor.frames, document.getElementById('overlay').innerText]")
    assert shown[0] == frames and "paused" in shown[1].lower(), f"paused: {shown[0] - frames} frames drawn, overlay {shown[1]!r}"
    browser.click(WIDTH // 2, HEIGHT - 60)
    assert browser.wait("quellmoor.locked && !quellmoor.paused", 10), "a click did not resume"
    frames_later(browser, 3)


def walking_east_into_the_lagoon_costs_a_heart(browser):
    assert hearts(shot(browser, colour=True)) == 3, "not three hearts at the start"

    def a_step_east():  # a few frames of D at a time: back at the start after a loss, it would walk on into the water
        browser.key("keyDown", "d")
        try:
            frames_later(browser, 2)
        finally:
            browser.key("keyUp", "d")
        frames_later(browser, 2)
        return hearts(shot(browser, colour=True)) < 3
    steps = []
    assert wait_for(lambda: steps.append(1) or a_step_east(), 60), "60 s of steps east from the start and still three hearts"
    assert hearts(shot(browser, colour=True)) == 2, "more than one heart lost in one walk into the water"
    return f"after {len(steps)} steps"


def smaller_pages_are_drawn_anew_with_their_hearts_in_place(browser):
    """At each size and pixel ratio the canvas holds the page's size in device pixels, drawn whole and level."""
    for width, height, scale in ((640, 400, 1), (400, 300, 2)):
        browser.resize(width, height, scale)
        frames_later(browser, 3)
        image = shot(browser, colour=True)
        size = browser.evaluate("[document.getElementById('canvas').width, document.getElementById('canvas').height]")
        pixels = (width * scale, height * scale)
        assert (len(image[0]), len(image)) == pixels and size == list(pixels), f"{len(image[0])} x {len(image)}, canvas {size} at {width} x {height} x {scale}"
        assert not any(CLEAR_COLOUR in row for row in image), f"pixels of the clear colour at {width} x {height} x {scale}"
        assert hearts(image) == 2, f"{hearts(image)} hearts at the top right at {width} x {height} x {scale}"
        grey = [[sum(p) for p in row] for row in image]
        assert abs(horizon(grey) - pixels[1] // 2) <= 15, f"horizon at row {horizon(grey)} of {pixels[1]} at {width} x {height} x {scale}"


def nothing_in_the_console(browser):
    said = [entry["entry"]["text"] for entry in browser.logged("Log.entryAdded")]
    said += [" ".join(str(a.get("value", a.get("description", ""))) for a in call["args"]) for call in browser.logged("Runtime.consoleAPICalled")]
    gl = [text for text in said if re.search(r"webgl|GL_INVALID", text, re.I)]
    thrown = [e["exceptionDetails"].get("exception", {}).get("description", e["exceptionDetails"]["text"])
              for e in browser.logged("Runtime.exceptionThrown")]
    errors = browser.evaluate("quellmoor.errors")
    assert not (gl or thrown or errors), f"WebGL said {gl}; thrown: {thrown}; the page saw {errors}"


def garbage(size):
    return (b"not a picture " * (size // 14 + 1))[:size]


def native_message(game, data, name, size):
    """What the Linux build prints for the same broken file, and its status."""
    directory = tempfile.mkdtemp(prefix="quellmoor-broken-")
    try:
        for folder in ("Shader", "Models", "Font"):
            shutil.copytree(os.path.join(data, folder), os.path.join(directory, folder))
        pathlib.Path(directory, name).write_bytes(garbage(size))
        pathlib.Path(directory, "config.txt").write_text(settings(WIDTH, HEIGHT))
        run = subprocess.run([os.path.abspath(game)], cwd=directory, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        return run.stdout.decode().splitlines(), run.returncode
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def a_broken_heightmap_shows_its_message_on_the_page(web, game, data):
    directory = tempfile.mkdtemp(prefix="quellmoor-web-broken-")
    try:
        copy = os.path.join(directory, "web")
        shutil.copytree(web, copy)
        listing = pathlib.Path(copy, "quellmoor.js").read_text()
        entry = next(f for f in json.loads(re.search(r'"files":\s*(\[.*?\])', listing).group(1)) if f["filename"] == "/" + HEIGHTMAP)
        start, size = int(entry["start"]), int(entry["end"] - entry["start"])  # the packer may write 2e6 for 2000000
        with open(os.path.join(copy, "quellmoor.data"), "r+b") as package:
            package.seek(start)
            package.write(garbage(size))
        expected, status = native_message(game, data, HEIGHTMAP, size)
        assert status == 255 and expected[:1] == [f"Failed to load heightmap {HEIGHTMAP}"], f"the Linux build: {status}, {expected}"
        with page(copy, WIDTH, HEIGHT) as browser:
            assert browser.wait("window.quellmoor && quellmoor.fatal.length > 0", 120), "no fatal message within 120 s"
            lines, shown, text = browser.evaluate("""[quellmoor.fatal, getComputedStyle(document.getElementById('fatal')).display,
                                                      document.getElementById('fatal').innerText]""")
        assert lines == expected, f"the page's message {lines}, the Linux build's {expected}"
        assert shown != "none" and text.split("\n")[:len(expected)] == expected, f"#fatal ({shown}) reads {text!r}"
    finally:
        shutil.rmtree(directory, ignore_errors=True)


def passed(check, *args):
    try:
        measured = check(*args)
        print(f"[ OK ] {check.__name__}" + (f": {measured}" if measured else ""), flush=True)
        return True
    except Exception as error:
        print(f"[FAIL] {check.__name__}: {error!r}", flush=True)
        return False


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    assert os.path.isfile(os.path.join(args["--web"], "quellmoor.js")), f"no page in {args['--web']}: make web builds it"
    started = time.time()
    reference = []  # the Linux build's first view
    assert play(args["--game"], args["--data"], settings(WIDTH, HEIGHT), lambda window: reference.append(screenshot(window, settle=2.0)))
    with page(args["--web"], WIDTH, HEIGHT) as browser:
        results = [passed(first_view, browser, reference[0])]
        for check in (a_click_takes_the_pointer_and_a_small_move_turns_the_view_once, a_toggle_key_changes_the_picture_and_back,
                      escape_pauses_and_a_click_resumes, walking_east_into_the_lagoon_costs_a_heart, smaller_pages_are_drawn_anew_with_their_hearts_in_place,
                      nothing_in_the_console):
            results.append(results[0] and passed(check, browser))  # with no first frame there is nothing to play
    results.append(passed(a_broken_heightmap_shows_its_message_on_the_page, args["--web"], args["--game"], args["--data"]))
    print(f"the browser build's checks took {time.time() - started:.0f} s", flush=True)
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
