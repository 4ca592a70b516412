"""Chromium driven over the DevTools protocol on a pipe (--remote-debugging-pipe: it reads commands on fd 3 and
writes answers and events on fd 4, each a JSON object ended by a NUL), with Python's standard library alone; and the
page's folder served on 127.0.0.1. The end-to-end test of the browser build and the web row of the benchmark share it."""

import base64
import contextlib
import functools
import http.server
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

from test_startup import stop, wait_for

HEADLESS = ["--headless=new", "--enable-unsafe-swiftshader", "--use-angle=swiftshader"]  # WebGL 2 with no GPU and no display
KEYS = {name: (name, code, number) for name, code, number in (  # what a DOM key event carries: key, code, keyCode
    ("w", "KeyW", 87), ("a", "KeyA", 65), ("s", "KeyS", 83), ("d", "KeyD", 68), ("f", "KeyF", 70),
    ("Enter", "Enter", 13), ("Escape", "Escape", 27), (" ", "Space", 32),
    *((f"F{n}", f"F{n}", 111 + n) for n in range(1, 13)))}


class Served:
    """A folder on http://127.0.0.1:<free port>/ from a thread of this process, quiet, with the wasm type."""

    def __init__(self, folder):
        handler = type("Handler", (http.server.SimpleHTTPRequestHandler,), {
            "extensions_map": {**http.server.SimpleHTTPRequestHandler.extensions_map, ".wasm": "application/wasm"},
            "log_message": lambda *args: None})
        self.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(handler, directory=folder))
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"
        threading.Thread(target=self.server.serve_forever, daemon=True).start()

    def close(self):
        self.server.shutdown()
        self.server.server_close()


class Browser:
    """One chromium with a fresh profile and one page, attached to. Events are kept in self.events in the order they
    came; call() waits a bounded time for its answer. close() ends the browser by its id and removes the profile."""

    def __init__(self, width, height, options=HEADLESS, env=None):
        self.profile = tempfile.mkdtemp(prefix="quellmoor-chromium-")
        commands, self.to_browser = os.pipe()
        self.from_browser, answers = os.pipe()
        arguments = ["--no-sandbox", "--remote-debugging-pipe", f"--user-data-dir={self.profile}", f"--window-size={width},{height}",
                     "--no-first-run", "--no-default-browser-check", "--disable-background-timer-throttling",
                     "--disable-renderer-backgrounding", "--disable-backgrounding-occluded-windows", *options, "about:blank"]
        # The shell puts the two pipe ends at fds 3 and 4, then becomes chromium: the process keeps its id.
        self.process = subprocess.Popen(["sh", "-c", f'exec "$0" "$@" 3<&{commands} 4>&{answers} {commands}<&- {answers}>&-',
                                         "chromium", *arguments], pass_fds=(commands, answers), env=env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(commands)
        os.close(answers)
        self.answers, self.events, self.next_id, self.ended = {}, [], 0, False
        self.arrived = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()
        self.session = None
        page = wait_for(lambda: [t for t in self.call("Target.getTargets")["targetInfos"] if t["type"] == "page"], 30)
        assert page, "chromium opened no page"
        self.session = self.call("Target.attachToTarget", targetId=page[0]["targetId"], flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable")

    def _read(self):
        buffered = b""
        with contextlib.suppress(OSError):
            while chunk := os.read(self.from_browser, 1 << 20):
                *messages, buffered = (buffered + chunk).split(b"\0")
                with self.arrived:
                    for message in map(json.loads, messages):
                        if "id" in message:
                            self.answers[message["id"]] = message
                        else:
                            self.events.append(message)
                    self.arrived.notify_all()
        with self.arrived:  # the pipe closed: chromium has ended, and no answer will come
            self.ended = True
            self.arrived.notify_all()

    def call(self, method, seconds=30, **params):
        """The result of one command to the page (to the browser before attaching); an error answer raises."""
        self.next_id += 1
        number = self.next_id
        message = {"id": number, "method": method, "params": params, **({"sessionId": self.session} if self.session else {})}
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        with self.arrived:
            self.arrived.wait_for(lambda: number in self.answers or self.ended, seconds)
            assert number in self.answers, f"no answer to {method}: " + ("chromium ended" if self.ended else f"not within {seconds} s")
            answer = self.answers.pop(number)
        assert "error" not in answer, f"{method}: {answer['error']}"
        return answer["result"]

    def evaluate(self, expression, seconds=30):
        """The JSON value of a script expression in the page (awaited when it is a promise)."""
        result = self.call("Runtime.evaluate", seconds, expression=expression, returnByValue=True, awaitPromise=True)
        assert "exceptionDetails" not in result, f"{expression}: {result['exceptionDetails']}"
        return result["result"].get("value")

    def wait(self, expression, seconds):
        """The first true value of the expression within the given seconds, else the last."""
        return wait_for(lambda: self.evaluate(expression), seconds)

    def png(self):
        """What the page shows now, once a new frame has reached the screen."""
        return base64.b64decode(self.call("Page.captureScreenshot", 60, format="png")["data"])

    def ppm(self):
        """The same as a P6 file, the form test_startup.screenshot reads."""
        return subprocess.run(["convert", "png:-", "-depth", "8", "ppm:-"], input=self.png(), capture_output=True, check=True, timeout=30).stdout

    def resize(self, width, height, scale=1):
        """The page's size in CSS pixels, and device pixels to each."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=scale, mobile=False)

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", buttons=1 if kind == "mousePressed" else 0, clickCount=1)

    def move(self, x, y):
        self.call("Input.dispatchMouseEvent", type="mouseMoved", x=x, y=y)

    def key(self, action, name):
        """keyDown or keyUp of a key of KEYS, as a DOM event carries it."""
        key, code, number = KEYS[name]
        self.call("Input.dispatchKeyEvent", type=action, key=key, code=code, windowsVirtualKeyCode=number, nativeVirtualKeyCode=number)

    def tap(self, name):
        self.key("keyDown", name)
        self.key("keyUp", name)

    def logged(self, *methods):
        with self.arrived:
            return [event["params"] for event in self.events if event["method"] in methods]

    def close(self):
        with contextlib.suppress(Exception):
            self.session = None
            self.call("Browser.close", seconds=10)
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.process.wait(timeout=10)
        stop(self.process)
        for fd in (self.to_browser, self.from_browser):
            with contextlib.suppress(OSError):
                os.close(fd)
        shutil.rmtree(self.profile, ignore_errors=True)


@contextlib.contextmanager
def page(folder, width, height, options=HEADLESS, env=None, path="index.html"):
    """A browser on the served folder's page, ended afterwards whatever happened."""
    served = Served(folder)
    browser = None
    try:
        browser = Browser(width, height, options, env)
        browser.resize(width, height)  # the page's own size, whatever the window keeps for itself
        browser.call("Page.navigate", url=served.url + path)
        yield browser
    finally:
        if browser:
            browser.close()
        served.close()
