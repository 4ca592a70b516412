"""The real binary on a Wayland desktop: a headless sway, with wayvnc's virtual pointer and keyboard, runs the game
through XWayland and natively (the system's GLFW where it has the Wayland backend, as 3.4 does, else Debian 12's
libglfw3-wayland unpacked into the build folder). In each, the pointer resting at a corner when the game starts: the
window fills its tiled size from the level first view, the water reads as on X11 (the window is opaque), a 30-pixel
move turns the view once and then it holds, and Escape ends the game. Sway refuses to run as root, and the Xwayland
it starts admits only its own user: as root, the desktop and the game run as a throwaway user, removed at the end.
Usage: --game GAME --data DATA."""

import ctypes
import glob
import json
import os
import pathlib
import pwd
import shutil
import socket
import struct
import subprocess
import sys
import tempfile

from test_startup import RUNNING, difference, fills_the_window_with_the_hearts_at_its_top_right, play, screenshot, settings, stop, wait_for

WIDTH, HEIGHT = 640, 480  # the output, all of which the only window gets
WATER = (400, 420, 410, 430)  # a box of the water's slab in the start view, lighter where the window lets the desktop through


def wayland_glfw(build):
    """The folder of a GLFW with the Wayland backend, "" for the system's own."""
    system = ctypes.CDLL("libglfw.so.3")
    if hasattr(system, "glfwPlatformSupported") and system.glfwPlatformSupported(0x60003):  # GLFW_PLATFORM_WAYLAND
        return ""
    folder = os.path.join(build, "glfw-wayland")
    if not glob.glob(f"{folder}/usr/lib/*/libglfw.so.3"):
        with tempfile.TemporaryDirectory() as download:
            subprocess.run(["apt-get", "download", "libglfw3-wayland"], cwd=download, check=True, capture_output=True, timeout=120)
            subprocess.run(["dpkg", "-x", *glob.glob(f"{download}/*.deb"), folder], check=True, timeout=60)
    return os.path.dirname(glob.glob(f"{folder}/usr/lib/*/libglfw.so.3")[0])


class Desktop:
    """Sway with one output and Xwayland, and a copy of the game; an RFB (VNC) session through wayvnc moves the pointer
    and types. As root, a throwaway user that can read the copy runs them all. close() ends what open() began."""

    def __init__(self):
        self.run, self.processes, self.user, self.uid = tempfile.mkdtemp(prefix="quellmoor-wayland-"), [], [], None
        self.name = f"qm-wayland-{os.getpid()}"

    def open(self, game, data):
        run, glfw = self.run, wayland_glfw(os.path.dirname(os.path.abspath(game)))
        for folder in ("Shader", "Models", "Font"):
            shutil.copytree(os.path.join(data, folder), f"{run}/game/{folder}")
        shutil.copy(game, f"{run}/game/quellmoor")
        if glfw:
            shutil.copy(f"{glfw}/libglfw.so.3", f"{run}/game")
        if os.getuid() == 0:
            subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", self.name], check=True, timeout=30)
            self.uid = str(pwd.getpwnam(self.name).pw_uid)
            subprocess.run(["chown", "-R", f"{self.uid}:{self.uid}", run], check=True, timeout=30)
            self.user = ["setpriv", f"--reuid={self.uid}", f"--regid={self.uid}", "--clear-groups"]
        sway = f"output HEADLESS-1 mode {WIDTH}x{HEIGHT}\ndefault_border none\nexec printenv WAYLAND_DISPLAY DISPLAY > {run}/env\n"
        pathlib.Path(run, "sway.cfg").write_text(sway)
        self.env = dict(PATH=os.environ["PATH"], HOME=run, XDG_RUNTIME_DIR=run, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman", LIBGL_ALWAYS_SOFTWARE="1", **{k: v for k, v in os.environ.items() if k.startswith("MESA_")})
        self.start(["sway", "-c", f"{run}/sway.cfg"])
        displays = pathlib.Path(run, "env")
        assert wait_for(lambda: displays.exists() and len(displays.read_text().split()) == 2, 20), "no sway with Xwayland within 20 s"
        self.wayland, self.x11 = displays.read_text().split()
        self.env.update(WAYLAND_DISPLAY=self.wayland, SWAYSOCK=glob.glob(f"{run}/sway-ipc.*")[0])
        self.start(["wayvnc", "-u", f"{run}/vnc"])
        self.rfb = socket.socket(socket.AF_UNIX)
        assert wait_for(lambda: self.rfb.connect_ex(f"{run}/vnc") == 0, 20), "no wayvnc within 20 s"
        self.rfb.settimeout(20)
        incoming = self.rfb.makefile("rb")
        incoming.read(12)  # RFB 3.8: versions, security type None, a shared session, then the server's size and name
        self.rfb.sendall(b"RFB 003.008\n")
        assert 1 in incoming.read(incoming.read(1)[0]), "wayvnc asks for a password"
        self.rfb.sendall(b"\x01")
        assert incoming.read(4) == bytes(4), "wayvnc refused the session"
        self.rfb.sendall(b"\x01")
        incoming.read(struct.unpack(">20xI", incoming.read(24))[0])

    def close(self):
        for process in reversed(self.processes):
            stop(process)
        if self.uid:  # what is left of the user's (Xwayland, which sway ends without waiting for it), then the user
            left = lambda: subprocess.run(["pgrep", "-u", self.uid], capture_output=True, text=True, timeout=10).stdout.split()
            subprocess.run(["kill", "-KILL", *left()], capture_output=True, timeout=10)
            wait_for(lambda: not left(), 10)
            subprocess.run(["userdel", "--force", self.name], timeout=30)
        shutil.rmtree(self.run, ignore_errors=True)

    def start(self, command, output=subprocess.DEVNULL, **env):
        self.processes.append(subprocess.Popen(self.user + command, cwd=f"{self.run}/game", env=dict(self.env, **env),
                                               stdin=subprocess.DEVNULL, stdout=output, stderr=output))
        return self.processes[-1]

    def pointer(self, x, y):
        self.rfb.sendall(struct.pack(">BBHH", 5, 0, x, y))

    def grab(self):  # a command that writes the output as PPM
        return ["env", f"XDG_RUNTIME_DIR={self.run}", f"WAYLAND_DISPLAY={self.wayland}", "grim", "-t", "ppm", "-"]

    def running_windows(self):  # those whose title shows a frame rate
        nodes = [json.loads(subprocess.run(["swaymsg", "-s", self.env["SWAYSOCK"], "-t", "get_tree"], capture_output=True, timeout=10).stdout)]
        for node in nodes:
            nodes += node["nodes"] + node["floating_nodes"]
        return [node for node in nodes if node.get("pid") and RUNNING.fullmatch(node["name"] or "")]


def play_on(desktop, mode, x11):
    """Starts the game small with the pointer at the bottom-right corner, checks what it shows, then quits with Escape."""
    pathlib.Path(desktop.run, "game", "config.txt").write_text(settings(320, 240))
    desktop.pointer(WIDTH - 1, HEIGHT - 1)
    native = mode == "native"
    game = desktop.start([f"{desktop.run}/game/quellmoor"], subprocess.PIPE, XDG_SESSION_TYPE="wayland" if native else "x11",
                         **({"LD_LIBRARY_PATH": f"{desktop.run}/game"} if native else {"WAYLAND_DISPLAY": "", "DISPLAY": desktop.x11}))
    try:
        window = wait_for(lambda: game.poll() is not None or desktop.running_windows(), 60)
        assert window, "no window with a frame rate within 60 s"
        assert window is not True, f"the game ended with status {game.returncode}: {game.communicate(timeout=10)}"
        assert window[0]["shell"] == ("xdg_shell" if native else "xwayland"), f"a window of {window[0]['shell']}"
        fills_the_window_with_the_hearts_at_its_top_right(desktop.grab(), WIDTH, HEIGHT)  # level, wherever the pointer was

        box = lambda image: [sum(image[y][x][c] for y in range(WATER[1], WATER[3]) for x in range(WATER[0], WATER[2])) / 100 for c in range(3)]
        water = box(screenshot(desktop.grab(), colour=True))
        assert max(abs(a - b) for a, b in zip(water, box(x11))) < 4, f"the water reads {water}, on X11 {box(x11)}"

        desktop.pointer(WIDTH - 2, HEIGHT - 1)  # sway tells the window the pointer is over it only once it moves
        before = screenshot(desktop.grab(), settle=1.0)
        desktop.pointer(WIDTH - 2, HEIGHT - 31)
        turned = screenshot(desktop.grab(), settle=1.0)
        drift = difference(turned, screenshot(desktop.grab(), settle=1.5), 0, 0, WIDTH, HEIGHT)
        assert difference(before, turned, 0, 0, WIDTH, HEIGHT) > 0.02, "a 30-pixel move did not turn the view"
        assert drift < 0.01, f"the view goes on turning: {drift:.4f} in 1.5 s"

        desktop.rfb.sendall(b"".join(struct.pack(">BBxxI", 4, down, 0xFF1B) for down in (1, 0)))  # Escape, down and up
        out, err = game.communicate(timeout=10)
        assert (game.returncode, out, err) == (0, b"", b""), f"Escape: status {game.returncode}, {out + err}"
        print(f"[ OK ] {mode}", flush=True)
        return True
    except Exception as error:
        print(f"[FAIL] {mode}: {error!r}", flush=True)
        return False
    finally:
        stop(game)


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    x11 = []

    def water_on_x11(window):
        x11.append(screenshot(window, colour=True))
    assert play(args["--game"], args["--data"], settings(WIDTH, HEIGHT), water_on_x11), "no picture on X11"
    desktop = Desktop()
    try:
        desktop.open(args["--game"], args["--data"])
        results = [play_on(desktop, mode, x11[0]) for mode in ("xwayland", "native")]
    finally:
        desktop.close()
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
