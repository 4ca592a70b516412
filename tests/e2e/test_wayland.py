"""The real binary on a Wayland desktop: a headless sway, with wayvnc's virtual pointer and keyboard, runs the game
through XWayland and natively (the system's GLFW where it has the Wayland backend, as 3.4 does, else Debian 12's
libglfw3-wayland unpacked into the build folder). In each, the pointer resting at a corner when the game starts: the
window fills its tiled size from the level first view, the water reads as on X11 (the window is opaque), a 30-pixel
move turns the view once and then it holds, and Escape ends the game. Sway refuses to run as root, and the Xwayland
it starts admits only its own user: as root, the desktop and the game run as a throwaway user, removed at the end.
Usage: --game GAME --data DATA."""

import contextlib
import ctypes
import glob
import json
import os
import pwd
import re
import shutil
import socket
import struct
import subprocess
import sys
import tempfile
import time

from test_startup import difference, fills_the_window_with_the_hearts_at_its_top_right, play, screenshot

WIDTH, HEIGHT = 640, 480  # the output, all of which the only window gets
WATER = (400, 420, 410, 430)  # a box of the water's slab in the start view, lighter where the window lets the desktop through


def wait_for(what, value, seconds):
    deadline = time.time() + seconds
    while not (result := value()) and time.time() < deadline:
        time.sleep(0.1)
    assert result, f"no {what} within {seconds} s"
    return result


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
    """Sway with one output and Xwayland; an RFB (VNC) session through wayvnc moves the pointer and types."""

    def __init__(self, run, user):
        self.run, self.user, self.processes = run, user, []

    def open(self):
        run = self.run
        with open(f"{run}/sway.cfg", "w") as f:
            f.write(f"output HEADLESS-1 mode {WIDTH}x{HEIGHT}\ndefault_border none\nexec printenv WAYLAND_DISPLAY DISPLAY > {run}/env\n")
        self.env = dict(PATH=os.environ["PATH"], HOME=run, XDG_RUNTIME_DIR=run, WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1",
                        WLR_RENDERER="pixman", LIBGL_ALWAYS_SOFTWARE="1", **{k: v for k, v in os.environ.items() if k.startswith("MESA_")})
        self.sway = self.start(["sway", "-c", f"{run}/sway.cfg"])
        wait_for("sway with Xwayland", lambda: os.path.exists(f"{run}/env") and len(open(f"{run}/env").read().split()) == 2, 20)
        self.wayland, self.x11 = open(f"{run}/env").read().split()
        self.env.update(WAYLAND_DISPLAY=self.wayland, SWAYSOCK=glob.glob(f"{run}/sway-ipc.*")[0])
        self.vnc = self.start(["wayvnc", "-u", f"{run}/vnc"])
        self.rfb = socket.socket(socket.AF_UNIX)
        wait_for("wayvnc", lambda: self.rfb.connect_ex(f"{run}/vnc") == 0, 20)
        self.rfb.settimeout(20)
        incoming = self.rfb.makefile("rb")
        incoming.read(12)  # RFB 3.8: versions, security type None, a shared session, then the server's size and name
        self.rfb.sendall(b"RFB 003.008\n")
        assert 1 in incoming.read(incoming.read(1)[0]), "wayvnc asks for a password"
        self.rfb.sendall(b"\x01")
        assert incoming.read(4) == bytes(4), "wayvnc refused the session"
        self.rfb.sendall(b"\x01")
        incoming.read(struct.unpack(">20xI", incoming.read(24))[0])

    def start(self, command, output=subprocess.DEVNULL, **env):
        self.processes.append(subprocess.Popen(self.user + command, cwd=f"{self.run}/game", env=dict(self.env, **env),
                                               stdin=subprocess.DEVNULL, stdout=output, stderr=output))
        return self.processes[-1]

    def pointer(self, x, y):
        self.rfb.sendall(struct.pack(">BBHH", 5, 0, x, y))

    def tap(self, keysym):
        self.rfb.sendall(struct.pack(">BBxxI", 4, 1, keysym) + struct.pack(">BBxxI", 4, 0, keysym))

    def grab(self):  # a command that writes the output as PPM
        return ["env", f"XDG_RUNTIME_DIR={self.run}", f"WAYLAND_DISPLAY={self.wayland}", "grim", "-t", "ppm", "-"]

    def windows(self):
        nodes = [json.loads(subprocess.run(["swaymsg", "-s", self.env["SWAYSOCK"], "-t", "get_tree"], capture_output=True, timeout=10).stdout)]
        for node in nodes:
            nodes += node["nodes"] + node["floating_nodes"]
        return [node for node in nodes if node.get("pid")]


def play_on(desktop, mode, x11):
    """Starts the game small with the pointer at the bottom-right corner, checks what it shows, then quits with Escape."""
    with open(f"{desktop.run}/game/config.txt", "w") as f:
        f.write("WIDTH = 320\nHEIGHT = 240\nFULLSCREEN = 0\n")
    desktop.pointer(WIDTH - 1, HEIGHT - 1)
    native = mode == "native"
    game = desktop.start([f"{desktop.run}/game/quellmoor"], subprocess.PIPE, XDG_SESSION_TYPE="wayland" if native else "x11",
                         **({"LD_LIBRARY_PATH": f"{desktop.run}/game"} if native else {"WAYLAND_DISPLAY": "", "DISPLAY": desktop.x11}))
    try:
        titled = lambda: [w for w in desktop.windows() if re.fullmatch(r"Quellmoor \| \((?!0\.0 )\d+\.\d FPS\)", w["name"] or "")]
        window = wait_for("window with a frame rate", lambda: game.poll() is not None or titled(), 60)
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

        desktop.tap(0xFF1B)  # Escape
        out, err = game.communicate(timeout=10)
        assert (game.returncode, out, err) == (0, b"", b""), f"Escape: status {game.returncode}, {out + err}"
        print(f"[ OK ] {mode}", flush=True)
        return True
    except Exception as error:
        print(f"[FAIL] {mode}: {error!r}", flush=True)
        return False
    finally:
        stop(game)


def stop(process):
    """Ends a process, then what it started and left running (sway's Xwayland), by their ids."""
    children = []
    with contextlib.suppress(OSError):
        children = open(f"/proc/{process.pid}/task/{process.pid}/children").read().split()
    process.terminate()
    with contextlib.suppress(subprocess.TimeoutExpired):
        process.wait(timeout=10)
    process.kill()
    process.wait(timeout=10)
    subprocess.run(["kill", "-KILL", *children], capture_output=True, timeout=10)


@contextlib.contextmanager
def desktop_for(game, data):
    """Copies the game where a throwaway user (as root) can read it, starts the desktop, and at the end removes them all."""
    glfw = wayland_glfw(os.path.dirname(os.path.abspath(game)))
    run = tempfile.mkdtemp(prefix="quellmoor-wayland-")
    name, user, processes = f"qm-wayland-{os.getpid()}", [], []
    try:
        for folder in ("Shader", "Models", "Font"):
            shutil.copytree(os.path.join(data, folder), f"{run}/game/{folder}")
        shutil.copy(game, f"{run}/game/quellmoor")
        if glfw:
            shutil.copy(f"{glfw}/libglfw.so.3", f"{run}/game")
        if os.getuid() == 0:
            subprocess.run(["useradd", "--system", "--no-create-home", "--shell", "/usr/sbin/nologin", name], check=True, timeout=30)
            uid = str(pwd.getpwnam(name).pw_uid)
            subprocess.run(["chown", "-R", f"{uid}:{uid}", run], check=True, timeout=30)
            user = ["setpriv", f"--reuid={uid}", f"--regid={uid}", "--clear-groups"]
        desktop = Desktop(run, user)
        processes = desktop.processes
        desktop.open()
        yield desktop
    finally:
        for process in reversed(processes):
            stop(process)
        if user:  # what is left of the user's (Xwayland, which sway ends without waiting for it), then the user
            left = lambda: subprocess.run(["pgrep", "-u", uid], capture_output=True, text=True, timeout=10).stdout.split()
            subprocess.run(["kill", "-KILL", *left()], capture_output=True, timeout=10)
            with contextlib.suppress(AssertionError):
                wait_for("end of the user's processes", lambda: not left(), 10)
            subprocess.run(["userdel", "--force", name], timeout=30)
        shutil.rmtree(run, ignore_errors=True)


def main():
    args = dict(zip(sys.argv[1::2], sys.argv[2::2]))
    x11 = []
    def water_on_x11(window):
        x11.append(screenshot(window, colour=True))
    assert play(args["--game"], args["--data"], f"WIDTH = {WIDTH}\nHEIGHT = {HEIGHT}\nFULLSCREEN = 0\n", water_on_x11), "no picture on X11"
    with desktop_for(args["--game"], args["--data"]) as desktop:
        results = [play_on(desktop, mode, x11[0]) for mode in ("xwayland", "native")]
    sys.exit(0 if all(results) else 1)


if __name__ == "__main__":
    main()
