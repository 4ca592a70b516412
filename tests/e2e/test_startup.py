"""Start-up and shutdown of the real game: configuration failures, the
frame-rate title, Escape and the window's close button."""

import time

from game_driver import Game, run


def expect_window_failure(args, config):
    game = Game(args, config=config, link_data=False).start()
    try:
        status, out, err = game.wait_exit(timeout=10)
        assert out == "Failed to open window\n", repr(out)
        assert err == "", repr(err)
        assert status == 255, status
    finally:
        game.stop()


def test_missing_config_fails_to_open_window(args):
    expect_window_failure(args, config=False)


def test_zero_width_or_lower_case_key_fails_to_open_window(args):
    expect_window_failure(args, config="WIDTH = 0\nHEIGHT = 600\n")
    expect_window_failure(args, config="width = 800\nHEIGHT = 600\n")


def test_title_shows_the_frame_rate_and_escape_quits(args):
    game = Game(args).start()
    try:
        game.find_window()
        game.wait_title(lambda t: t == "Quellmoor | (0.0 FPS)", timeout=30)
        title = game.wait_frames(timeout=30)
        rate = float(title[len("Quellmoor | ("):-len(" FPS)")])
        assert rate > 0, title
        started = time.time()
        game.press("Escape")
        try:
            status, out, err = game.wait_exit(timeout=10)
        finally:
            game.release("Escape")
        assert status == 0 and out == "" and err == "", (status, out, err)
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
    run([test_missing_config_fails_to_open_window,
         test_zero_width_or_lower_case_key_fails_to_open_window,
         test_title_shows_the_frame_rate_and_escape_quits,
         test_closing_the_window_quits])
