"""The HUD and the function keys in the real game, read off screenshots."""

import time

from game_driver import Game, run
import hud


def started(args):
    game = Game(args, hud.WIDTH, hud.HEIGHT).start()
    game.find_window()
    game.wait_frames(timeout=60)
    game.focus()
    game.turn(0, 150)  # look down at the island, darker than the glyphs
    return game


def clear_colour_share(image):
    pixels = image.region(0, 0, image.width, image.height)[::37]
    return sum(1 for p in pixels if abs(p[0] - 0) < 8 and abs(p[1] - 204) < 8 and p[2] > 245) / len(pixels)


def test_start_shows_only_three_hearts(args):
    game = started(args)
    try:
        image = game.screenshot()
        assert hud.hearts(image) == 3, "hearts"
        game.key("F2", "F4", "F9")
        shown = game.screenshot(settle=1.5)
        for text in ("sampling", "mipmap", "transparency", "digits", "frames"):
            assert hud.has_glyph(shown, text, 0, image), text + " drawn before its key"
        assert hud.glyph_count(image, "big", 8) == 0, "no end message"
    finally:
        game.stop()


def test_function_keys_show_their_lines(args):
    game = started(args)
    try:
        plain = game.screenshot()
        game.key("F2", "F4", "F9")
        image = game.screenshot(settle=1.5)
        assert hud.glyph_count(image, "digits", 4, plain) == 4, "frame counter digits"
        assert hud.glyph_count(image, "frames", 6, plain) == 6, "Frames"
        assert hud.has_glyph(image, "sampling", 15, plain), "Sampling:Nearest has 16 characters"
        assert hud.has_glyph(image, "mipmap", 0, plain), "a mipmap line"
        assert hud.has_glyph(image, "transparency", 15, plain), "Transparency:Off has 16 characters"

        game.key("F4", "F9")
        image = game.screenshot(settle=1.0)
        assert not hud.has_glyph(image, "sampling", 15, plain), "Sampling:Linear has 15 characters"
        assert hud.has_glyph(image, "sampling", 14, plain)
        assert not hud.has_glyph(image, "transparency", 15, plain), "Transparency:On has 15 characters"

        game.key("F2")
        image = game.screenshot(settle=1.0)
        assert not hud.has_glyph(image, "frames", 0, plain), "counter switched off again"
    finally:
        game.stop()


def test_wireframe_draws_lines_over_the_clear_colour(args):
    game = started(args)
    try:
        before = clear_colour_share(game.screenshot())
        game.key("F3")
        lines = clear_colour_share(game.screenshot(settle=1.0))
        game.key("F3")
        after = clear_colour_share(game.screenshot(settle=1.0))
        assert before < 0.05 and after < 0.05, (before, after)
        assert lines > 0.3, lines
    finally:
        game.stop()


if __name__ == "__main__":
    run([test_start_shows_only_three_hearts,
         test_function_keys_show_their_lines,
         test_wireframe_draws_lines_over_the_clear_colour])
