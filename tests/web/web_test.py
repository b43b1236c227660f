#!/usr/bin/python3
"""The browser build in headless Chromium (label web). One case per run:

  web_test.py [--web DIR] [--native BUILD_DIR] CASE [ARG]

CASE: driver (the driver against its own page), replay NAME (a regression demo to its .expect),
play, pause, pad, audio, missing, record (browser demo -> native), native (native demo ->
browser), fps (timedemo frames per second, browser and native).
Exit status 0 passed, 1 failed, 77 skipped (no chromium, or no browser build and no emcc).
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402
from cdp import wait_for  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SRC = os.path.normpath(os.path.join(HERE, "..", ".."))
DEMOS = os.path.join(SRC, "tests", "demos")

failures = 0


def check(what, ok):
    global failures
    print(("ok:   " if ok else "FAIL: ") + what, flush=True)
    if not ok:
        failures += 1
    return ok


# ---------------------------------------------------------------------------------- the page

class Page:
    """The game's page in a fresh browser, served with the regression demos under demos/ and a
    scratch folder under work/."""

    def __init__(self, args, autoplay=False):
        self.work = tempfile.mkdtemp(prefix="tarvellin-web.")
        cdp._cleanups.append(lambda: shutil.rmtree(self.work, ignore_errors=True))
        self.server = cdp.Server(args.web, {"demos": DEMOS, "work": self.work})
        self.b = cdp.Browser(autoplay=autoplay)
        self.b.install(cdp.SURROUNDINGS)

    def open(self, query=""):
        self.b.navigate(self.server.url("index.html" + ("?" + query if query else "")))
        wait_for("the page's document", lambda: self.b.eval("document.readyState") in ("interactive", "complete"))

    def state(self):
        return self.b.eval("document.body ? document.body.dataset.state || '' : ''")

    def wait_state(self, states, limit):
        return wait_for(f"the page's state to become {states}", lambda: self.state() in states and self.state(), limit)

    def status(self):
        return self.b.eval("window.tarvellinStatus")

    def text(self, selector):
        return self.b.eval(f"(document.querySelector('{selector}') || {{}}).textContent || ''")

    def lines(self):
        return self.b.console_lines()

    def to_page(self, gx, gy):
        """Game pixel -> viewport point, from where the canvas is laid out."""
        r = self.b.eval("(r => [r.left, r.top, r.width, r.height])"
                        "(document.getElementById('canvas').getBoundingClientRect())")
        return r[0] + (gx + 0.5) * r[2] / 1024, r[1] + (gy + 0.5) * r[3] / 768

    def canvas_rect(self):
        return self.b.eval("(r => [Math.round(r.left), Math.round(r.top), Math.round(r.width), Math.round(r.height)])"
                           "(document.getElementById('canvas').getBoundingClientRect())")

    def shot(self, gx, gy, gw, gh):
        """A screenshot of a rectangle of game pixels, scaled as the page shows it."""
        x, y, w, h = self.canvas_rect()
        sx, sy = w / 1024, h / 768
        return self.b.screenshot((x + gx * sx, y + gy * sy, max(1, round(gw * sx)), max(1, round(gh * sy))))

    def hold(self, codes, seconds):
        for c in codes:
            self.b.key("keyDown", c)
        time.sleep(seconds)  # how long a player holds the keys, not a wait for a state
        for c in reversed(codes):
            self.b.key("keyUp", c)

    def start_play(self):
        """From the menu, point at Start and click it; returns when the menu's title has gone."""
        self.wait_state(("running",), 120)
        title = (150, 130, 720, 100)
        wait_for("the menu's title", lambda: self.shot(*title).mean() > 40, 120, 0.3)
        menu = self.shot(*title)
        x, y = self.to_page(500, 375)
        for i in range(5, 0, -1):  # a few moves, as a hand brings the pointer there
            self.b.mouse("mouseMoved", x - 20 * i, y - 10 * i)
        self.b.click(x, y)
        wait_for("play to begin after the click on Start",
                 lambda: self.shot(*title).differing(menu) > 5000, 60, 0.3)


def add_common(p):
    p.add_argument("--web", default=os.path.join(SRC, "build", "web"))
    p.add_argument("--native", default=os.path.join(SRC, "build", "release"))


def need_build(args):
    if os.path.exists(os.path.join(args.web, "index.html")):
        return
    if not shutil.which("emcc"):
        print("SKIP: emcc is not installed, so there is no browser build (scripts/setup --web installs it)")
        sys.exit(cdp.SKIP)
    print(f"FAIL: no browser build in {args.web}: `make web` builds it (`make test` does first)")
    sys.exit(1)


def native_run(args, *options, cwd=None):
    game = os.path.join(args.native, "tarvellin")
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy")
    return subprocess.run([game, *options], cwd=cwd or os.path.join(args.native, "data"), env=env,
                          capture_output=True, text=True, timeout=600)


def expected(demo):
    """(frames, lines) of a demo's .expect: the chosen frames, and the frame and end-state lines."""
    with open(os.path.join(DEMOS, demo + ".expect")) as f:
        lines = [ln.strip() for ln in f if ln.strip() and not ln.startswith("#")]
    frames = ",".join(ln.split()[1] for ln in lines if ln.startswith("frame "))
    return frames, lines


def replay_lines(lines):
    """What a replay printed, as check.sh takes it: the frame lines, then the end state."""
    out = [ln for ln in lines if re.fullmatch(r"frame \d+ \S+", ln)]
    ends = [m.group(1) for ln in lines for m in [re.search(r"^timedemo: .*(end-state [0-9a-f]{16})$", ln)] if m]
    return out + ends


def timedemo(page, url, frames, limit=300):
    """Replays url in the page; the frame and end-state lines, the status, the timedemo line."""
    page.open(f"timedemo={url}" + (f"&hash-frames={frames}" if frames else ""))
    page.wait_state(("ended",), limit)
    lines = page.lines()
    timing = next((ln for ln in lines if ln.startswith("timedemo: ")), "")
    return replay_lines(lines), page.status(), timing


# ---------------------------------------------------------------------------------- the cases

def case_driver(args):
    """The driver itself, against a page of its own: console, keys, mouse, pad, audio, hiding."""
    server = cdp.Server(HERE)
    b = cdp.Browser()
    b.install(cdp.SURROUNDINGS)
    b.navigate(server.url("selftest.html"))
    wait_for("the self-test page", lambda: b.eval("document.body && document.body.dataset.state") == "running")
    check("console.error reaches the driver", b.wait_console("an error line", lambda t: t == "an error line"))
    b.key("keyDown", "ControlLeft")
    b.key("keyUp", "ControlLeft")
    check("a key reaches the page by its code", b.wait_console("the key", lambda t: t == "key ControlLeft"))
    b.click(300, 200)
    check("a click reaches the page where it was aimed", b.wait_console("the click", lambda t: t == "click 300 200"))
    b.eval("__pad.attach(); __pad.button(0, true)")
    check("the scripted pad's button is read", b.wait_console("the pad", lambda t: t == "pad a"))
    peak = wait_for("sound at the tap", lambda: b.eval("__audioPeak()")["peak"] > 0.1 and b.eval("__audioPeak()"), 30)
    check(f"the audio tap hears the page's oscillator ({peak})", peak["peak"] > 0.1)
    shot = b.screenshot()
    check("a screenshot is the 1024 x 768 viewport", (shot.width, shot.height) == (1024, 768))
    box = (0, 100, 1024, 50)
    a = b.screenshot(box)
    check("the picture moves", wait_for("a change", lambda: b.screenshot(box).differing(a) > 0, 10))
    b.eval("__visibility(true)")
    b.wait_console("the hiding", lambda t: t == "hidden true")
    a = b.screenshot(box)
    time.sleep(1)  # the interval over which a hidden page must stand still
    check("hidden, the picture stands still", b.screenshot(box).differing(a) == 0)
    b.eval("__visibility(false)")
    check("shown again, it moves", wait_for("a change", lambda: b.screenshot(box).differing(a) > 0, 10))


def case_replay(args, name):
    need_build(args)
    frames, want = expected(name)
    page = Page(args)
    got, status, timing = timedemo(page, f"demos/{name}.demo", frames)
    print(timing)
    check(f"{name}.demo replays with status 0 (status {status})", status == 0)
    if not check(f"{name}.demo replays to its .expect frames and end state", got == want):
        print("expected:\n  " + "\n  ".join(want) + "\ngot:\n  " + "\n  ".join(got))
        print("page log:\n  " + "\n  ".join(page.lines()[-20:]))


CASES = {"driver": case_driver, "replay": case_replay}


def main():
    p = argparse.ArgumentParser()
    add_common(p)
    p.add_argument("case", choices=sorted(CASES))
    p.add_argument("arg", nargs="?")
    args = p.parse_args()
    t0 = time.monotonic()
    try:
        CASES[args.case](args, *([args.arg] if args.arg else []))
    except (TimeoutError, RuntimeError, AssertionError) as e:
        check(f"{args.case}: {e}", False)
    print(f"{failures} failure(s) in {time.monotonic() - t0:.1f} s")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
