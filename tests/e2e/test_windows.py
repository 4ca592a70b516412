"""The Windows zip under Wine: unpacked into a fresh folder and started from
another one at 800 x 600, its first view against the Linux build's, a turn
with the mouse, a walk with W, Escape; then, without config.txt, the fatal
path from the folder it was unpacked into. Usage: --zip ZIP --game GAME --data DATA."""

import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import time
import zipfile

from test_startup import difference, find_window, key, play, screenshot, settings, stop, xdotool


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    reference = []  # the Linux build's first view
    assert play(args["--game"], args["--data"], settings(800, 600), lambda window: reference.append(screenshot(window, settle=2.0)))
    directory = tempfile.mkdtemp(prefix="quellmoor-wine-")
    unpacked, elsewhere = os.path.join(directory, "quellmoor"), os.path.join(directory, "elsewhere")
    os.mkdir(elsewhere)
    zipfile.ZipFile(args["--zip"]).extractall(unpacked)
    exe = pathlib.Path(unpacked, "quellmoor.exe").read_bytes()
    for size in (16, 24, 32, 48, 64, 256):
        assert pathlib.Path(args["--icons"], f"hicolor/{size}x{size}/apps/quellmoor.png").read_bytes() in exe, f"no {size} pixel icon in the exe"
    assert f"ProductVersion\0{args['--version']}\0".encode("utf-16-le") in exe, "not the project's version in the exe"
    pathlib.Path(unpacked, "data", "config.txt").write_text(settings(800, 600))
    env = dict(os.environ, WINEPREFIX=os.path.join(directory, "prefix"), WINEDLLOVERRIDES="mscoree,mshtml=", WINEDEBUG="-all")
    start = lambda cwd: subprocess.Popen(["/usr/lib/wine/wine64", os.path.join(unpacked, "quellmoor.exe")], cwd=cwd,
                                         env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    game = None
    try:
        xdotool("mousemove", 2000, 2000)  # far off: the game centres the cursor before its first frame
        game = start(elsewhere)
        window = find_window(None, "^Quellmoor", seconds=180)
        assert window, f"no window with a frame rate in its title; the game's status is {game.poll()}"
        view = screenshot(window, settle=2.0)
        sky, whole = difference(reference[0], view, 0, 0, 800, 280), difference(reference[0], view, 0, 0, 800, 600)
        assert sky < 0.01 and whole < 0.03, f"not the Linux build's first view: sky {sky:.4f}, whole {whole:.4f} apart"
        for _ in range(2):  # about half a turn, so that W walks south along the land, not north into the sea
            xdotool("mousemove_relative", "--", 314, 0)
            time.sleep(0.5)
        turned = screenshot(window, settle=1.0)
        assert difference(view, turned, 0, 300, 800, 600) > 0.02, "the mouse did not turn the view"
        still = screenshot(window, settle=1.0)
        key(window, "keydown", "w")
        time.sleep(0.5)
        key(window, "keyup", "w")
        walked = screenshot(window, settle=0.5)
        waves, moved = difference(turned, still, 0, 300, 800, 600), difference(still, walked, 0, 300, 800, 600)
        assert moved > 2 * waves + 0.005, f"W did not move the view: {moved:.4f} against the water's {waves:.4f}"
        key(window, "key", "Escape")
        game.communicate(timeout=30)
        assert game.returncode == 0, f"Escape ended it with status {game.returncode}"

        os.remove(os.path.join(unpacked, "data", "config.txt"))
        out, _ = (game := start(unpacked)).communicate(timeout=180)
        assert b"Failed to open window" in out and game.returncode == 255, f"without config.txt: {out!r}, status {game.returncode}"
        print("[ OK ] the exe under Wine", flush=True)
    finally:
        if game:
            stop(game)
        for option in ("-k", "-w"):  # end the prefix's server and whatever it still runs, then wait for it
            subprocess.run(["/usr/lib/wine/wineserver", option], env=env, timeout=60)
        shutil.rmtree(directory, ignore_errors=True)


if __name__ == "__main__":
    main()
