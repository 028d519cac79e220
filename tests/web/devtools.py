"""A headless Chromium driven through the DevTools protocol over a pipe (--remote-debugging-pipe):
no port is opened and no package beyond Python's own is needed."""
import base64
import functools
import http.server
import json
import os
import subprocess
import tempfile
import threading
import time


class _Handler(http.server.SimpleHTTPRequestHandler):
    """Serves the folder, but for the paths in the server's rules: a status code answers with
    that error, an event holds the answer until it is set. The browser asks again every time
    rather than keep its own copy, so that a rule holds from the next load on."""

    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header("Cache-Control", "no-cache")
        super().end_headers()

    def do_GET(self):
        rule = self.server.rules.get(self.path.split("?")[0])
        if isinstance(rule, threading.Event):
            rule.wait()
        elif rule is not None:
            self.send_error(rule)
            return
        super().do_GET()


def serve(directory):
    """A quiet server for the folder on the first free port of 127.0.0.1:18000-18099, in a
    thread: (the server, its address). server.rules (path: status or event) bends its answers."""
    handler = functools.partial(_Handler, directory=directory)
    for port in range(18000, 18100):
        try:
            server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
        except OSError:
            continue
        server.rules = {}
        threading.Thread(target=server.serve_forever, daemon=True).start()
        return server, f"http://127.0.0.1:{port}/"
    raise RuntimeError("no free port in 18000-18099")


def _as_3_and_4(commands, replies):
    # Copied out of the way first: either end may itself be numbered 3 or 4.
    commands, replies = os.dup(commands), os.dup(replies)
    os.dup2(commands, 3)
    os.dup2(replies, 4)


class Browser:
    def __init__(self, width, height):
        self.profile = tempfile.TemporaryDirectory(prefix="tavrik-chromium-",
                                                   ignore_cleanup_errors=True)
        to_browser_r, self.to_browser = os.pipe()
        self.from_browser, from_browser_w = os.pipe()
        # The pipe's ends go to the browser as file descriptors 3 (commands) and 4 (replies).
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--remote-debugging-pipe", "--force-color-profile=srgb",
             "--force-device-scale-factor=1", f"--window-size={width},{height}",
             f"--user-data-dir={self.profile.name}", "about:blank"],
            pass_fds=(3, 4), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=lambda: _as_3_and_4(to_browser_r, from_browser_w))
        os.close(to_browser_r)
        os.close(from_browser_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []
        targets = self.call("Target.getTargets")["targetInfos"]
        page = next(t for t in targets if t["type"] == "page")
        self.session = self.call("Target.attachToTarget", targetId=page["targetId"],
                                 flatten=True)["sessionId"]
        for domain in ("Page", "Runtime", "Log"):
            self.call(f"{domain}.enable", session=True)

    def _read(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.from_browser, 1 << 20)
            if not chunk:
                raise RuntimeError("the browser closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def call(self, method, session=False, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = self.session
        os.write(self.to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._read()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(f"{method}: {reply['error']}")
                return reply["result"]
            self.events.append(reply)

    def open(self, url):
        self.call("Page.navigate", session=True, url=url)
        self.wait_until("document.readyState === 'complete'")

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", session=True, expression=expression,
                           returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_until(self, expression, timeout=60):
        """Polls the expression; one that fails (a page between two loads) counts as false."""
        end = time.monotonic() + timeout
        while True:
            try:
                if self.evaluate(f"!!({expression})"):
                    return
            except RuntimeError:
                pass
            if time.monotonic() > end:
                raise AssertionError(f"still not true after {timeout} s: {expression}")
            time.sleep(0.1)

    def screenshot(self):
        """The page as PNG bytes."""
        return base64.b64decode(self.call("Page.captureScreenshot", session=True,
                                          format="png")["data"])

    def console(self, levels):
        """The console's messages and the page's uncaught exceptions of the given levels."""
        found = []
        for event in self.events:
            method, params = event.get("method"), event.get("params", {})
            if method == "Runtime.consoleAPICalled" and params["type"] in levels:
                found.append(" ".join(str(a.get("value", a.get("description")))
                                      for a in params["args"]))
            elif method == "Runtime.exceptionThrown" and "error" in levels:
                found.append(str(params["exceptionDetails"]))
            elif method == "Log.entryAdded" and params["entry"]["level"] in levels:
                found.append(params["entry"]["text"])
        return found

    def close(self):
        try:
            self.call("Browser.close")
        except RuntimeError:
            pass  # the browser closed its pipe as it went
        self.process.wait(timeout=30)
        os.close(self.to_browser)
        os.close(self.from_browser)
        self.profile.cleanup()
