"""Headless Chromium through the DevTools protocol, and a static server for the page.

One Browser per test: a fresh profile, a page target, its console collected, input dispatched as
a user's, screenshots at 1024 x 768. Scripts installed before the page's own (install()) replace
the gamepad and tap Web Audio from outside the game's code. Everything started here is ended when
the process exits, normally, on an exception or on SIGTERM/SIGINT/SIGHUP.
"""

import atexit
import base64
import ctypes
import functools
import http.server
import json
import os
import posixpath
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request
import zlib

CHROMIUM = "/usr/bin/chromium"
SKIP = 77  # ctest's SKIP_RETURN_CODE

_cleanups = []


def _run_cleanups(*_):
    while _cleanups:
        try:
            _cleanups.pop()()
        except Exception:
            pass


def _on_signal(signum, _frame):
    _run_cleanups()
    os._exit(128 + signum)


atexit.register(_run_cleanups)
for _s in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
    signal.signal(_s, _on_signal)


def _die_with_parent():
    # Chromium dies with this process even when it is killed outright (ctest's timeout).
    ctypes.CDLL("libc.so.6", use_errno=True).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG
    os.setsid()


def wait_for(what, probe, limit=60.0, every=0.1):
    """Polls probe() until it gives a true value, which it returns; fails after limit seconds."""
    deadline = time.monotonic() + limit
    while True:
        got = probe()
        if got:
            return got
        if time.monotonic() > deadline:
            raise TimeoutError(f"gave up after {limit:.0f} s waiting for {what}")
        time.sleep(every)


# ------------------------------------------------------------------------------------- server

class _Handler(http.server.SimpleHTTPRequestHandler):
    mounts = {}  # URL prefix -> folder; "" is the root

    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript",
                             ".data": "application/octet-stream", ".demo": "application/octet-stream"})

    def translate_path(self, path):
        path = posixpath.normpath(urllib.parse.unquote(path.split("?", 1)[0].split("#", 1)[0]))
        parts = [p for p in path.split("/") if p not in ("", ".", "..")]
        if parts and parts[0] in self.mounts:
            return os.path.join(self.mounts[parts[0]], *parts[1:])
        return os.path.join(self.mounts[""], *parts)

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, *args):
        pass


class Server:
    """Serves root on 127.0.0.1 at a free port, and each mounts[prefix] folder under /prefix/."""

    def __init__(self, root, mounts=None):
        handler = type("Handler", (_Handler,), {"mounts": {"": os.path.realpath(root)}})
        for k, v in (mounts or {}).items():
            handler.mounts[k] = os.path.realpath(v)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()
        _cleanups.append(self.close)

    def url(self, path=""):
        return f"http://127.0.0.1:{self.port}/{path}"

    def close(self):
        self.httpd.shutdown()
        self.httpd.server_close()


# ------------------------------------------------------------------------------------ browser

class Browser:
    def __init__(self, autoplay=False, extra_args=()):
        if not os.access(CHROMIUM, os.X_OK):
            print(f"SKIP: {CHROMIUM} is not installed (scripts/setup --web installs it)")
            sys.exit(SKIP)
        try:
            global websocket
            import websocket  # python3-websocket
        except ImportError:
            raise RuntimeError("python3-websocket is not installed (scripts/setup --web installs it)")
        self.profile = tempfile.mkdtemp(prefix="tarvellin-chromium.")
        _cleanups.append(lambda: shutil.rmtree(self.profile, ignore_errors=True))
        args = [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                "--disable-background-networking", "--disable-component-update", "--disable-sync",
                "--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                "--disable-backgrounding-occluded-windows", "--mute-audio",
                "--remote-debugging-port=0", "--user-data-dir=" + self.profile, "--window-size=1024,768"]
        if autoplay:
            args.append("--autoplay-policy=no-user-gesture-required")
        args += list(extra_args) + ["about:blank"]
        self.log = open(os.path.join(self.profile, "chromium.log"), "w+")
        self.proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.log, stderr=subprocess.STDOUT,
                                     preexec_fn=_die_with_parent)
        _cleanups.append(self._kill)
        port_file = os.path.join(self.profile, "DevToolsActivePort")

        def port():
            if self.proc.poll() is not None:
                raise RuntimeError(f"chromium exited with status {self.proc.returncode}: {self._log_tail()}")
            try:
                with open(port_file) as f:
                    lines = f.read().split("\n")
                return int(lines[0]) if len(lines) >= 2 and lines[1] else None
            except (OSError, ValueError):
                return None

        self.port = wait_for("chromium's DevTools port", port, limit=60)
        page = wait_for("chromium's page target", self._page_target, limit=30)
        self.ws = websocket.create_connection(page["webSocketDebuggerUrl"], suppress_origin=True, timeout=None)
        self._next = 0
        self._lock = threading.Lock()
        self._replies = {}
        self._cond = threading.Condition()
        self.console = []  # (type, text), in order
        self.events = []   # every other event, (method, params)
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        for domain in ("Page", "Runtime"):
            self.send(domain + ".enable")
        self.send("Emulation.setDeviceMetricsOverride", width=1024, height=768, deviceScaleFactor=1, mobile=False)
        self.send("Emulation.setFocusEmulationEnabled", enabled=True)

    def _log_tail(self):
        self.log.seek(0)
        return self.log.read()[-2000:]

    def _page_target(self):
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{self.port}/json/list", timeout=5) as r:
                targets = json.load(r)
        except OSError:
            return None
        return next((t for t in targets if t.get("type") == "page"), None)

    def _kill(self):
        if self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait()

    def close(self):
        try:
            self.ws.close()
        except Exception:
            pass
        self._kill()

    def _read(self):
        while True:
            try:
                msg = json.loads(self.ws.recv())
            except Exception:
                with self._cond:
                    self._replies[None] = "closed"
                    self._cond.notify_all()
                return
            if "id" in msg:
                with self._cond:
                    self._replies[msg["id"]] = msg
                    self._cond.notify_all()
            elif msg.get("method") == "Runtime.consoleAPICalled":
                p = msg["params"]
                text = " ".join(str(a.get("value", a.get("description", ""))) for a in p["args"])
                with self._cond:
                    self.console.append((p["type"], text))
                    self._cond.notify_all()
            else:
                with self._cond:
                    self.events.append((msg.get("method"), msg.get("params")))
                    self._cond.notify_all()

    def send(self, method, timeout=120, **params):
        with self._lock:
            self._next += 1
            mid = self._next
            self.ws.send(json.dumps({"id": mid, "method": method, "params": params}))
        with self._cond:
            if not self._cond.wait_for(lambda: mid in self._replies or None in self._replies, timeout):
                raise TimeoutError(f"no answer to {method} in {timeout} s")
            if mid not in self._replies:
                raise RuntimeError(f"chromium went away during {method}: {self._log_tail()}")
            msg = self._replies.pop(mid)
        if "error" in msg:
            raise RuntimeError(f"{method}: {msg['error']}")
        return msg.get("result", {})

    # --- the page

    def install(self, source):
        """Runs source in every new document before the page's own scripts."""
        self.send("Page.addScriptToEvaluateOnNewDocument", source=source)

    def navigate(self, url):
        self.console.clear()
        self.send("Page.navigate", url=url)

    def eval(self, expression, timeout=120):
        r = self.send("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True,
                      timeout=timeout)
        if "exceptionDetails" in r:
            raise RuntimeError(f"{expression}: {r['exceptionDetails']}")
        return r["result"].get("value")

    def console_lines(self, kinds=("log", "error", "warning", "info")):
        with self._cond:
            return [text for kind, text in self.console if kind in kinds]

    def wait_console(self, what, match, limit=60):
        return wait_for(what, lambda: next((t for t in self.console_lines() if match(t)), None), limit)

    # --- input, in CSS pixels of the 1024 x 768 viewport

    def mouse(self, kind, x, y, button="none", clicks=0):
        self.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=clicks,
                  buttons=1 if button == "left" and kind != "mouseReleased" else 0)

    def click(self, x, y):
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y, "left", 1)
        self.mouse("mouseReleased", x, y, "left", 1)

    def key(self, kind, code):
        """kind keyDown or keyUp; code a KeyboardEvent.code such as ControlLeft or ArrowLeft."""
        key, vk = KEYS[code]
        self.send("Input.dispatchKeyEvent", type=kind, code=code, key=key, windowsVirtualKeyCode=vk,
                  nativeVirtualKeyCode=vk)

    # --- pictures

    def screenshot(self, clip=None):
        params = {"format": "png"}
        if clip:
            x, y, w, h = clip
            params["clip"] = {"x": x, "y": y, "width": w, "height": h, "scale": 1}
        return png_decode(base64.b64decode(self.send("Page.captureScreenshot", **params)["data"]))


KEYS = {  # code -> (key, Windows virtual key)
    "ControlLeft": ("Control", 17), "ArrowLeft": ("ArrowLeft", 37), "ArrowRight": ("ArrowRight", 39),
    "ArrowUp": ("ArrowUp", 38), "ArrowDown": ("ArrowDown", 40), "Escape": ("Escape", 27),
    "Space": (" ", 32), "Enter": ("Enter", 13), "KeyA": ("a", 65), "KeyS": ("s", 83), "KeyW": ("w", 87),
    "KeyQ": ("q", 81), "F10": ("F10", 121),
}


# ------------------------------------------------------------------------------------- pixels

class Picture:
    def __init__(self, width, height, rgb):
        self.width, self.height, self.rgb = width, height, rgb  # rgb: bytes, 3 per pixel

    def crop(self, x, y, w, h):
        row = self.width * 3
        return Picture(w, h, b"".join(self.rgb[(y + j) * row + x * 3:(y + j) * row + (x + w) * 3] for j in range(h)))

    def differing(self, other, tolerance=20):
        """Pixels whose red, green or blue differ by more than tolerance (0..255)."""
        assert (self.width, self.height) == (other.width, other.height)
        a, b = self.rgb, other.rgb
        return sum(1 for i in range(0, len(a), 3)
                   if abs(a[i] - b[i]) > tolerance or abs(a[i + 1] - b[i + 1]) > tolerance
                   or abs(a[i + 2] - b[i + 2]) > tolerance)

    def mean(self):
        return sum(self.rgb) / max(1, len(self.rgb))


def png_decode(data):
    """8-bit RGB or RGBA PNG, not interlaced (what Chromium writes) -> Picture."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    pos, idat = 8, []
    while pos < len(data):
        n, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + n]
        if kind == b"IHDR":
            w, h, depth, ctype, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and ctype in (2, 6) and not interlace, f"unexpected PNG {depth} {ctype} {interlace}"
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + n
    bpp = 3 if ctype == 2 else 4
    raw = zlib.decompress(b"".join(idat))
    stride = w * bpp
    out = bytearray()
    prev = bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if f == 1:
            for i in range(bpp, stride):
                line[i] = (line[i] + line[i - bpp]) & 255
        elif f == 2:
            for i in range(stride):
                line[i] = (line[i] + prev[i]) & 255
        elif f == 3:
            for i in range(stride):
                line[i] = (line[i] + ((line[i - bpp] if i >= bpp else 0) + prev[i]) // 2) & 255
        elif f == 4:
            for i in range(stride):
                a = line[i - bpp] if i >= bpp else 0
                b = prev[i]
                c = prev[i - bpp] if i >= bpp else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prev = line
    if bpp == 4:
        out = bytes(b for i in range(0, len(out), 4) for b in out[i:i + 3])
    return Picture(w, h, bytes(out))


# ------------------------------------------------------------------------ scripted surroundings

# Before the page's own scripts: a gamepad the test moves (window.__pad), Web Audio tapped where
# anything reaches the destination (window.__audioPeak), and the page hidden or shown, blurred or
# focused, as switching tabs and windows does (window.__visibility).
SURROUNDINGS = r"""
(() => {
  const pad = {id: 'scripted pad (STANDARD GAMEPAD)', index: 0, connected: false, mapping: 'standard',
               timestamp: 0, axes: [0, 0, 0, 0],
               buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
  Navigator.prototype.getGamepads = function () {
    return pad.connected ? [pad, null, null, null] : [null, null, null, null];
  };
  window.__pad = {
    attach() { pad.connected = true; pad.timestamp = performance.now();
               const e = new Event('gamepadconnected'); e.gamepad = pad; window.dispatchEvent(e); },
    button(i, down) {
      pad.buttons[i] = {pressed: down, touched: down, value: down ? 1 : 0};
      pad.timestamp = performance.now();
    },
    axis(i, v) { pad.axes[i] = v; pad.timestamp = performance.now(); },
  };

  // Each tap holds the last 32768 samples (0.74 s at 44.1 kHz); read every 100 ms, no sound is missed.
  const taps = [];
  let loudest = 0;
  const connect = AudioNode.prototype.connect;
  AudioNode.prototype.connect = function (dest, ...rest) {
    if (dest instanceof AudioDestinationNode) {
      const a = dest.context.createAnalyser();
      a.fftSize = 32768;
      connect.call(this, a);
      taps.push(a);
    }
    return connect.call(this, dest, ...rest);
  };
  const buf = new Float32Array(32768);
  const listen = () => {
    for (const a of taps) {
      a.getFloatTimeDomainData(buf);
      for (const v of buf) loudest = Math.max(loudest, Math.abs(v));
    }
  };
  setInterval(listen, 100);
  window.__audioPeak = () => {
    listen();
    return {peak: loudest, taps: taps.length, states: taps.map(a => a.context.state)};
  };
  window.__audioReset = () => { listen(); loudest = 0; };

  let hidden = false;
  Object.defineProperty(Document.prototype, 'hidden', {configurable: true, get() { return hidden; }});
  Object.defineProperty(Document.prototype, 'visibilityState', {configurable: true,
                                                                get() { return hidden ? 'hidden' : 'visible'; }});
  window.__visibility = (h) => { hidden = h; document.dispatchEvent(new Event('visibilitychange')); };
  window.__focus = (f) => { window.dispatchEvent(new FocusEvent(f ? 'focus' : 'blur')); };
})();
"""
