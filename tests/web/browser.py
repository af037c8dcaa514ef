"""Headless Chromium driven over the DevTools protocol on a pipe, from the standard library.

Chromium reads JSON commands, each ended by a NUL byte, on file descriptor 3 and answers on 4
(--remote-debugging-pipe): no websocket and no npm package is needed. A fresh profile folder
keeps each browser apart from the others and from the user's own.
"""
import base64
import json
import os
import queue
import shutil
import subprocess
import tempfile
import threading
import time

# Flags that give WebGL 2 on SwiftShader without a GPU, a display or a sandbox, and nothing
# that reaches the network.
BASE_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--disable-gpu-sandbox", "--no-first-run", "--disable-background-networking", "--disable-component-update",
    "--disable-sync", "--disable-default-apps", "--mute-audio", "--hide-scrollbars",
]


class BrowserError(RuntimeError):
    pass


class Browser:
    def __init__(self, extra_flags=(), executable=None):
        self.profile = tempfile.mkdtemp(prefix="oyun-chromium-")
        commands_read, self._commands = os.pipe()
        self._answers, answers_write = os.pipe()

        def child_fds():
            # Copies first: the pipe ends may themselves be 3 or 4.
            read_end, write_end = os.dup(commands_read), os.dup(answers_write)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        program = executable or shutil.which("chromium") or shutil.which("chromium-browser")
        if program is None:
            raise BrowserError("no chromium on this machine (apt-get install chromium)")
        self._stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(
            [program, *BASE_FLAGS, *extra_flags, "--user-data-dir=" + self.profile, "--remote-debugging-pipe",
             "about:blank"],
            preexec_fn=child_fds, close_fds=False, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
            stderr=self._stderr)
        os.close(commands_read)
        os.close(answers_write)
        self._next_id = 0
        self._waiting = {}
        self._lock = threading.Lock()
        self.events = queue.Queue()
        threading.Thread(target=self._read_answers, daemon=True).start()

    def _read_answers(self):
        pending = b""
        while True:
            try:
                data = os.read(self._answers, 1 << 16)
            except OSError:
                data = b""
            if not data:
                with self._lock:
                    for waiter in self._waiting.values():
                        waiter.put({"error": {"message": "the browser went away"}})
                return
            pending += data
            while b"\0" in pending:
                message, pending = pending.split(b"\0", 1)
                answer = json.loads(message)
                if "id" in answer:
                    with self._lock:
                        waiter = self._waiting.pop(answer["id"], None)
                    if waiter is not None:
                        waiter.put(answer)
                else:
                    self.events.put(answer)

    def send(self, method, params=None, session=None, timeout=60):
        with self._lock:
            self._next_id += 1
            number = self._next_id
            waiter = queue.Queue()
            self._waiting[number] = waiter
        message = {"id": number, "method": method, "params": params or {}}
        if session is not None:
            message["sessionId"] = session
        try:
            os.write(self._commands, json.dumps(message).encode() + b"\0")
        except OSError as error:
            raise BrowserError(f"{method}: the browser went away ({error})") from error
        try:
            answer = waiter.get(timeout=timeout)
        except queue.Empty:
            raise BrowserError(f"{method}: no answer in {timeout} s") from None
        if "error" in answer:
            raise BrowserError(f"{method}: {answer['error'].get('message')}")
        return answer["result"]

    def open_page(self, width=1024, height=768):
        target = self.send("Target.createTarget", {"url": "about:blank"})
        session = self.send("Target.attachToTarget", {"targetId": target["targetId"], "flatten": True})["sessionId"]
        return Page(self, session, width, height)

    def close(self):
        try:
            self.send("Browser.close", timeout=10)
        except BrowserError:
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self._commands, self._answers):
            try:
                os.close(fd)
            except OSError:
                pass
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()


class Page:
    """One tab: navigation, script, input, screenshots, and what its console said."""

    def __init__(self, browser, session, width, height):
        self.browser = browser
        self.session = session
        self.console = []     # (level, text)
        self.exceptions = []  # uncaught script errors
        self.send("Runtime.enable")
        self.send("Page.enable")
        self.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})

    def send(self, method, params=None, timeout=60):
        return self.browser.send(method, params, session=self.session, timeout=timeout)

    def _collect(self):
        while True:
            try:
                event = self.browser.events.get_nowait()
            except queue.Empty:
                return
            if event.get("sessionId") != self.session:
                continue
            params = event.get("params", {})
            if event["method"] == "Runtime.consoleAPICalled":
                text = " ".join(str(arg.get("value", arg.get("description", ""))) for arg in params.get("args", []))
                self.console.append((params.get("type"), text))
            elif event["method"] == "Runtime.exceptionThrown":
                details = params.get("exceptionDetails", {})
                self.exceptions.append(details.get("exception", {}).get("description") or details.get("text"))

    def errors(self):
        """Console errors and uncaught exceptions so far."""
        self._collect()
        return [text for level, text in self.console if level == "error"] + self.exceptions

    def navigate(self, url):
        self.send("Page.navigate", {"url": url})

    def evaluate(self, expression, await_promise=False, timeout=60):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": await_promise}, timeout=timeout)
        if "exceptionDetails" in result:
            raise BrowserError(f"{expression}: {result['exceptionDetails'].get('text')}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout, poll=0.05):
        """Polls until the expression is true; returns its value, or raises with the last one."""
        deadline = time.monotonic() + timeout
        value = None
        while time.monotonic() < deadline:
            try:
                value = self.evaluate(expression)
            except BrowserError as error:  # the page may still be on its way
                value = str(error)
            else:
                if value:
                    return value
            self._collect()
            time.sleep(poll)
        raise BrowserError(f"waited {timeout} s for {expression}; last {value!r}; console {self.console[-5:]}")

    def click(self, selector):
        """A real mouse click in the middle of the element: the user activation the page needs for sound."""
        box = self.evaluate(f"(function() {{ var r = document.querySelector({json.dumps(selector)})"
                            f".getBoundingClientRect(); return [r.x + r.width / 2, r.y + r.height / 2]; }})()")
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent",
                      {"type": kind, "x": box[0], "y": box[1], "button": "left", "clickCount": 1})

    def key(self, code, key, key_code, hold=0.0):
        """Presses and lets go of a physical key, as a keyboard would."""
        common = {"code": code, "key": key, "windowsVirtualKeyCode": key_code, "nativeVirtualKeyCode": key_code}
        self.send("Input.dispatchKeyEvent", {"type": "rawKeyDown", **common})
        if hold:
            time.sleep(hold)
        self.send("Input.dispatchKeyEvent", {"type": "keyUp", **common})

    def screenshot(self):
        """The viewport as PNG bytes."""
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        return base64.b64decode(data)
