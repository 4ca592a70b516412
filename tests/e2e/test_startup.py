"""Start-up and shutdown of the real game: the first view, the frame-rate
title, quick taps of Space and Escape, and the window's close button.
Configuration failures: test_bad_inputs.py."""

import time

from game_driver import Game, run


def horizon(image):
    """The first row below the top third where the view right of the sky
    box's corner turns from bright sky (channel sums above 450) to darker sea."""
    for y in range(image.height // 3, image.height, 4):
        pixels = image.region(400, y, 780, y + 4)
        if sum(map(sum, pixels)) < 450 * len(pixels):
            return y
    return image.height


def test_first_view_title_and_taps_of_space_and_escape(args):
    game = Game(args).start()  # the cursor starts far from the window's centre
    try:
        game.find_window()
        game.wait_title(lambda t: t == "Quellmoor | (0.0 FPS)", timeout=30)
        title = game.wait_frames(timeout=30)
        rate = float(title[len("Quellmoor | ("):-len(" FPS)")])
        assert rate > 0, title

        level = horizon(game.screenshot())
        assert 300 <= level <= 350, f"start view not level along -z: horizon at row {level}"
        game.tap("space")  # the eye rises 1.5 above the ground for a second
        assert horizon(game.screenshot(settle=0.1)) >= level + 12, "a tap of Space did not jump"

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
    run([test_first_view_title_and_taps_of_space_and_escape,
         test_closing_the_window_quits])
