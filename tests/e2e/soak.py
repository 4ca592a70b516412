"""The soak run: the real game driven by random keys and mouse moves for a
bounded time. Throughout, the title's frame rate stays above zero; after a
warm-up, the floor of resident memory rises by less than MAX_GROWTH_KIB; the driver
reports no GL error (counted by gl_error_shim, preloaded into the game);
and at the end Escape still ends the game with status 0.

Usage: soak.py --game build/quellmoor --data data [--seconds N] [--seed S];
the length defaults to QM_SOAK_SECONDS, else 60 s."""

import argparse
import os
import random
import re
import sys
import time

from game_driver import Game

WIDTH, HEIGHT = 640, 480
WARM_UP_SECONDS = 15
MAX_GROWTH_KIB = 16 * 1024
SAMPLE_SECONDS = 1.0
# The software renderer's per-frame buffers come and go by some 30 MiB, with
# how much of the screen the terrain fills; a leak lifts every sample, so the
# smallest sample of each window of this length is what must stay flat.
FLOOR_WINDOW_SECONDS = 10
STATE_SETTLE_SECONDS = 0.5  # long enough for a few frames in each drawing state

HELD_KEYS = ("w", "a", "s", "d", "space")
FUNCTION_KEYS = tuple(f"F{n}" for n in range(2, 10))
LONGEST_HOLD = 0.6       # seconds a movement key is held
LONGEST_TURN = 60        # pixels of one mouse move
TITLE_RATE = re.compile(r"^Quellmoor \| \((\d+\.\d) FPS\)$")


def parse_args():
    parser = argparse.ArgumentParser()
    parser.add_argument("--game", required=True)
    parser.add_argument("--data", required=True)
    parser.add_argument("--seconds", type=float, default=float(os.environ.get("QM_SOAK_SECONDS", 60)))
    parser.add_argument("--seed", type=int, default=int(time.time()))
    return parser.parse_args()


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise RuntimeError("no VmRSS line")


def title_rate(game):
    title = game.title()
    match = TITLE_RATE.match(title)
    assert match, f"title {title!r}"
    return float(match.group(1))


def random_input(game, rng):
    """One player action: a movement key held, Enter, a function key or a mouse move."""
    roll = rng.random()
    if roll < 0.45:
        game.hold(rng.choice(HELD_KEYS), rng.uniform(0.1, LONGEST_HOLD))
    elif roll < 0.55:
        game.hold("Return", 0.3)
    elif roll < 0.75:
        game.key(rng.choice(FUNCTION_KEYS))
    else:
        game.turn(rng.randint(-LONGEST_TURN, LONGEST_TURN), rng.randint(-LONGEST_TURN, LONGEST_TURN), settle=0.1)


def visit_every_drawing_state(game):
    """Steps the texture filters (F4 x F5) and wireframe (F3) through every
    combination, ending where they began. The software driver builds and
    keeps code for each new state, some megabytes each, so this spends that
    memory before any is measured; the random play then meets no new state."""
    for _ in range(2):              # F4: nearest, linear
        for _ in range(3):          # F5: mipmap modes
            for _ in range(2):      # F3: wireframe on, off
                game.key("F3")
                time.sleep(STATE_SETTLE_SECONDS)
            game.key("F5")
        game.key("F4")


def soak(game, seconds, rng):
    """Drives the game for seconds; returns the (time, VmRSS KiB, frame rate) samples."""
    samples = []
    started = time.monotonic()
    next_sample = started
    while time.monotonic() - started < seconds:
        if time.monotonic() >= next_sample:
            rate = title_rate(game)
            samples.append((time.monotonic() - started, resident_kib(game.process.pid), rate))
            assert rate > 0, f"frame rate 0 at {samples[-1][0]:.0f} s"
            next_sample += SAMPLE_SECONDS
        random_input(game, rng)
    return samples


def memory_figures(samples):
    """VmRSS KiB: the floor of the first window after the warm-up, the floor of
    the last window, and the largest sample after the warm-up."""
    after = [(t, kib) for t, kib, _ in samples if t >= WARM_UP_SECONDS]
    assert after and after[-1][0] - after[0][0] >= FLOOR_WINDOW_SECONDS, "the run is too short to measure memory"
    first = min(kib for t, kib in after if t < after[0][0] + FLOOR_WINDOW_SECONDS)
    last = min(kib for t, kib in after if t > after[-1][0] - FLOOR_WINDOW_SECONDS)
    return first, last, max(kib for _, kib in after)


def read_gl_log(path):
    assert os.path.exists(path), "the GL error shim never hooked the game's context"
    with open(path) as f:
        lines = f.read().splitlines()
    counts = dict(line.split() for line in lines[:2])
    return int(counts["errors"]), int(counts["frames"]), lines[2:]


def main():
    args = parse_args()
    rng = random.Random(args.seed)
    print(f"soak: {args.seconds:.0f} s, seed {args.seed}", flush=True)
    game = Game(args, WIDTH, HEIGHT)
    log = os.path.join(game.dir, "gl-errors.txt")
    try:
        game.start(env={"LD_PRELOAD": os.environ["QM_GL_ERROR_SHIM"], "QM_GL_ERROR_LOG": log})
        game.find_window()
        game.wait_frames()
        game.focus()
        visit_every_drawing_state(game)
        samples = soak(game, args.seconds, rng)
        game.quit_cleanly()

        first, last, peak = memory_figures(samples)
        errors, frames, messages = read_gl_log(log)
        rates = [rate for _, _, rate in samples]
        print(f"frames {frames}, rate {min(rates):.0f} to {max(rates):.0f} FPS", flush=True)
        print(f"VmRSS floor {first} KiB after the warm-up, {last} KiB at the end ({last - first:+d} KiB); "
              f"largest sample {peak} KiB", flush=True)
        print(f"GL errors {errors}" + "".join(f"\n  {m}" for m in messages), flush=True)
        assert last - first < MAX_GROWTH_KIB, f"resident memory floor rose by {last - first} KiB"
        assert errors == 0, f"{errors} GL errors"
    finally:
        game.stop()


if __name__ == "__main__":
    try:
        main()
    except Exception as error:  # one line for CTest's log, like the other e2e scripts
        print(f"[FAIL] soak: {error}", flush=True)
        sys.exit(1)
    print("[ OK ] soak", flush=True)
