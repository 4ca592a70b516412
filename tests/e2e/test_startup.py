"""Start-up and shutdown of the real game: the first view and its sky at
infinity, the frame-rate title, quick taps of Space and Escape, and the
window's close button.
Configuration failures: test_bad_inputs.py."""

import time

from game_driver import Game, run


def row_brightness(image, y):
    pixels = image.region(0, y, image.width, y + 1)
    return sum(map(sum, pixels)) / len(pixels)


def horizon(image):
    """The row where the view turns from bright sky to darker sea: the
    steepest fall in brightness between the top and the bottom quarter."""
    rows = range(image.height // 4, image.height * 3 // 4)
    return max(rows, key=lambda y: row_brightness(image, y) - row_brightness(image, y + 2))


def grey_difference(a, b, box):
    """Mean difference of grey levels, 0 to 1, of two screenshots in a box."""
    grey = lambda p: (p[0] + p[1] + p[2]) / (3 * 255)
    pairs = list(zip(a.region(*box), b.region(*box)))
    return sum(abs(grey(p) - grey(q)) for p, q in pairs) / len(pairs)


def test_first_view_a_sky_at_infinity_and_taps_of_space_and_escape(args):
    game = Game(args).start()  # the cursor starts far from the window's centre
    try:
        game.find_window()
        game.wait_title(lambda t: t == "Quellmoor | (0.0 FPS)", timeout=30)
        title = game.wait_frames(timeout=30)
        rate = float(title[len("Quellmoor | ("):-len(" FPS)")])
        assert rate > 0, title

        start = game.screenshot()
        assert abs(horizon(start) - 300) <= 15, f"start view not level along -z: horizon at row {horizon(start)}"
        game.hold("s", 0.35)  # about a unit south, looking the same way
        walked = game.screenshot()
        sky = (0, 0, 660, 200)  # the top third, less the hearts
        assert grey_difference(start, walked, sky) < 0.01, "the sky moved with the player"
        assert abs(horizon(walked) - 300) <= 15, f"horizon at row {horizon(walked)} after the walk"

        game.turn(0, 100)  # half a radian down, onto the ground around the eye
        ground = (0, 400, 800, 600)
        before = game.screenshot()
        game.tap("space")  # the eye rises 1.5 above the ground for a second
        assert grey_difference(before, game.screenshot(settle=0.1), ground) > 0.02, "a tap of Space did not jump"

        started = time.time()
        game.tap("Escape")
        assert game.wait_exit(timeout=10) == (0, "", ""), "a tap of Escape must quit cleanly"
        assert time.time() - started < 2, "Escape took too long"
    finally:
        game.stop()


def test_closing_the_window_quits(args):
    game = Game(args).start()
    try:
        game.find_window()
        game.wait_frames(timeout=30)
        started = time.time()
        game.close_window()
        status, out, err = game.wait_exit(timeout=10)
        assert status == 0 and out == "" and err == "", (status, out, err)
        assert time.time() - started < 2, "closing took too long"
    finally:
        game.stop()


if __name__ == "__main__":
    run([test_first_view_a_sky_at_infinity_and_taps_of_space_and_escape,
         test_closing_the_window_quits])
