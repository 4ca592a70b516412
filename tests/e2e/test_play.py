"""A round played like a player plays it: keys held for measured times,
the HUD read off screenshots. Looking down half a radian first keeps the
HUD's background on the island and the sea, darker than the glyphs; it does
not change sideways steps, and W and S slow to cos(0.5) of their speed.

The island: from the start (-5.5, 0), looking along -z, D walks +x straight
into the lagoon (water from x = -4.05); the land bridge runs south (+z, key
S) to z = 3.2 and then east to the goal line x = 5."""

import math
import time

from game_driver import Game, run
import hud

LOOK_DOWN_PIXELS = 100          # 0.5 radians
SPEED = 3.0                     # units per second
SOUTH_TO_BRIDGE = 3.2 / (SPEED * math.cos(0.5))


def started(args):
    game = Game(args, hud.WIDTH, hud.HEIGHT).start()
    game.find_window()
    game.wait_frames(timeout=60)
    game.focus()
    game.turn(0, LOOK_DOWN_PIXELS)
    return game


def end_message_cells(image):
    return hud.glyph_count(image, "big", 8)


def restart_cells(image):
    return hud.glyph_count(image, "restart", 15)


def test_walking_straight_into_the_lagoon_costs_a_life(args):
    game = started(args)
    try:
        assert hud.hearts(game.screenshot()) == 3
        game.hold("d", 0.75)  # the lagoon is 0.5 s away; the next loss would come 0.5 s later
        image = game.screenshot()
        assert hud.hearts(image) == 2, hud.hearts(image)
        assert end_message_cells(image) == 0
    finally:
        game.stop()


def test_three_losses_end_the_round_until_enter(args):
    game = started(args)
    try:
        game.hold("d", 2.6)
        image = game.screenshot()
        assert hud.hearts(image) == 0, "no hearts when the round is over"
        assert end_message_cells(image) == 8, "GAMEOVER"
        assert restart_cells(image) == 15, "RESTART>>>ENTER"

        game.hold("d", 1.0)  # movement is frozen: still over, still no hearts
        assert end_message_cells(game.screenshot()) == 8

        game.hold("Return", 0.4)
        image = game.screenshot()
        assert hud.hearts(image) == 3, "Enter restores three lives"
        assert end_message_cells(image) == 0 and restart_cells(image) == 0
    finally:
        game.stop()


def test_the_land_bridge_wins_the_round(args):
    game = started(args)
    try:
        game.hold("s", SOUTH_TO_BRIDGE)
        game.hold("d", 4.5)  # 10.5 units east; after the line the game ignores D
        image = game.screenshot()
        assert hud.hearts(image) == 3, "won without losing a life"
        assert end_message_cells(image) == 8, "GEWONNEN"
        assert restart_cells(image) == 15, "RESTART>>>ENTER"

        game.hold("Return", 0.4)
        image = game.screenshot()
        assert end_message_cells(image) == 0, "Enter starts a new round"
        assert hud.hearts(image) == 3
    finally:
        game.stop()


if __name__ == "__main__":
    run([test_walking_straight_into_the_lagoon_costs_a_life,
         test_three_losses_end_the_round_until_enter,
         test_the_land_bridge_wins_the_round])
