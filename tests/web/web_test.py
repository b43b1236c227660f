#!/usr/bin/python3
"""The browser build in headless Chromium (label web). One case per run:

  web_test.py [--web DIR] [--native BUILD_DIR] CASE [NAME...]

CASE: driver (the driver against its own page), replay [NAME...] (regression demos to their
.expect, in the browser), node [NAME...] (the same under Node), pixels, pointer, play, pause, pad,
audio, missing, record (browser demo -> native), native (demos no one recorded, native ->
browser), fps (timedemo frames per second, browser and native: a measurement, not a test).
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

sys.dont_write_bytecode = True
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

    def open(self, query="", page="index.html"):
        url = self.server.url(page + ("?" + query if query else ""))
        self.b.navigate(url)
        wait_for("the page's document", lambda: self.b.eval(
            f"location.href == {url!r} && document.readyState != 'loading'"), 60)

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
        wait_for("the menu's title", lambda: self.shot(*title).mean() > 30, 120, 0.3)
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
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy", LANG="C")
    for name in ("LANGUAGE", "LC_ALL", "LC_MESSAGES"):
        env.pop(name, None)  # the original texts, as a replay on the page shows them
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


def case_replay(args, *names):
    """Regression demos (all without names) in one browser, each to its .expect."""
    need_build(args)
    page = Page(args)
    for name in names or demo_names():
        frames, want = expected(name)
        got, status, timing = timedemo(page, f"demos/{name}.demo", frames)
        print(timing)
        check(f"{name}.demo replays in the browser with status 0 (status {status})", status == 0)
        if not check(f"{name}.demo replays in the browser to its .expect frames and end state", got == want):
            print("expected:\n  " + "\n  ".join(want) + "\ngot:\n  " + "\n  ".join(got))
            print("page log:\n  " + "\n  ".join(page.lines()[-20:]))


def demo_names():
    return sorted(f[:-5] for f in os.listdir(DEMOS) if f.endswith(".demo"))


def case_node(args, *names):
    """The same replays under Node, with no browser: the lines the native build prints."""
    node = shutil.which("node")
    if not node:
        print("SKIP: node is not installed")
        sys.exit(cdp.SKIP)
    need_build(args)
    env = dict(os.environ, NODE_OPTIONS="--no-experimental-fetch")
    for name in names or demo_names():
        frames, want = expected(name)
        r = subprocess.run([node, "tarvellin.js", "--timedemo", os.path.join(DEMOS, name + ".demo"),
                            "--hash-frames", frames], cwd=args.web, env=env, capture_output=True, text=True,
                           timeout=600)
        got = replay_lines(r.stdout.splitlines())
        print("".join(ln for ln in r.stdout.splitlines(True) if ln.startswith("timedemo: ")), end="")
        check(f"{name}.demo replays under Node with status 0 (status {r.returncode})", r.returncode == 0)
        if not check(f"{name}.demo replays under Node to its .expect frames and end state", got == want):
            print("expected:\n  " + "\n  ".join(want) + "\ngot:\n  " + "\n  ".join(got))
            print(r.stdout[-2000:], r.stderr[-2000:])


def sweep_until(page, what, changed, keys_left, keys_right, limit=90):
    """Fires while sweeping left and right until changed() holds (a player's sweeps, each held)."""
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        for keys, seconds in ((keys_left, 0.5), (keys_right, 1.0), (keys_left, 0.5)):
            keys(seconds)
            if changed():
                return True
    raise TimeoutError(f"gave up after {limit} s of play waiting for {what}")


SCORE = (110, 673, 175, 35)  # the score digits in the panel at the bottom left
PLAY = (0, 100, 1024, 560)   # the space where enemies fall


def case_play(args):
    """The real page: Start by the mouse, fire and the arrows raise the score, Escape ends it."""
    need_build(args)
    page = Page(args)
    page.open()
    check("the page shows its progress while it loads",
          page.b.eval("!!document.getElementById('progress')"))
    page.start_play()
    check("a click on Start starts play", True)
    score0 = page.shot(*SCORE)
    sweep_until(page, "the score digits to change",
                lambda: page.shot(*SCORE).differing(score0) > 20,
                lambda t: page.hold(["ControlLeft", "ArrowLeft"], t),
                lambda t: page.hold(["ControlLeft", "ArrowRight"], t))
    check("firing while sweeping destroys enemies: the score digits change", True)
    page.b.key("keyDown", "Escape")
    page.b.key("keyUp", "Escape")
    page.wait_state(("ended",), 30)
    check(f"Escape in play ends the game with status 0 (status {page.status()})", page.status() == 0)
    check("the page says so and offers to play again",
          page.b.eval("!!document.querySelector('#status a')") and "ended" in page.text("#status").lower())


def still(page, rect, what):
    """The picture inside rect stands still over a second (once it has settled, within 10 s)."""
    prev = [page.shot(*rect)]

    def settled():
        cur = page.shot(*rect)
        same = cur.differing(prev[0]) == 0
        prev[0] = cur
        return same
    wait_for(f"the picture to settle with {what}", settled, 10, 0.3)
    a = page.shot(*rect)
    time.sleep(1)  # the interval over which it must not move
    return page.shot(*rect).differing(a) == 0


def moving(page, rect, limit=20):
    a = page.shot(*rect)
    try:
        return wait_for("the picture to move", lambda: page.shot(*rect).differing(a) > 0, limit, 0.2)
    except TimeoutError:
        return False


def frame_hash(pic):
    """The game's frame hash (FNV-1a over the rows of 5.6.5 pixels) of a 1:1 picture of its frame.
    Any expansion of 5 and 6 bits to 8 that rounds keeps the top bits, so they give the pixel back."""
    h, prime = 14695981039346656037, 1099511628211
    rgb = pic.rgb
    for i in range(0, len(rgb), 3):
        v = (rgb[i] >> 3) << 11 | (rgb[i + 1] >> 2) << 5 | rgb[i + 2] >> 3
        h = ((h ^ (v & 0xFF)) * prime) & 0xFFFFFFFFFFFFFFFF
        h = ((h ^ (v >> 8)) * prime) & 0xFFFFFFFFFFFFFFFF
    return f"{h:016x}"


def case_pixels(args):
    """Shown whole (integer-scale, in a window with room for it), the menu on the page is the native
    build's picture pixel for pixel: the hashes of its screenshots are those of a native replay idle
    in the menu, which blinks between two pictures; both are seen, and nothing else."""
    need_build(args)
    page = Page(args)
    idle = os.path.join(page.work, "idle.demo")
    with open(idle, "wb") as f:
        f.write(make_demo(1, 0) + b"\xff")  # the menu's first pass, then 128 passes with no input
    r = native_run(args, "--timedemo", idle, "--hash-frames", ",".join(str(n) for n in range(1, 120, 2)))
    want = set(re.findall(r"^frame \d+ ([0-9a-f]{16})$", r.stdout, re.M))
    check(f"natively the idle menu shows two pictures ({' '.join(sorted(want))})", len(want) == 2)
    page.b.send("Emulation.setDeviceMetricsOverride", width=1280, height=1024, deviceScaleFactor=1, mobile=False)
    page.open("integer-scale&lang=ru")  # the native run speaks the original: the C locale
    page.wait_state(("running",), 120)
    check(f"at integer scale the canvas is shown 1:1 ({page.canvas_rect()})", page.canvas_rect()[2:] == [1024, 768])
    wait_for("the menu's title", lambda: page.shot(150, 130, 720, 100).mean() > 30, 120, 0.3)
    seen = []
    try:
        wait_for("both menu pictures", lambda: seen.append(frame_hash(page.shot(0, 0, 1024, 768))) or
                 want <= set(seen), 60, 0.05)
    except TimeoutError:
        pass
    check(f"the page shows both, pixel for pixel ({len(seen)} screenshots)", want <= set(seen))
    check(f"and no other picture ({' '.join(sorted(set(seen) - want))})", set(seen) <= want)


def case_pointer(args):
    """The game's cursor goes where the pointer is from its first move: one move onto Start shows
    Start focused, and a click there starts play."""
    need_build(args)
    page = Page(args)
    page.open()
    page.wait_state(("running",), 120)
    title, start = (150, 130, 720, 100), (460, 355, 35, 40)
    wait_for("the menu's title", lambda: page.shot(*title).mean() > 30, 120, 0.3)
    menu, menu_start = page.shot(*title), page.shot(*start)
    x, y = page.to_page(500, 375)
    page.b.mouse("mouseMoved", x, y)
    try:
        wait_for("the focused Start", lambda: page.shot(*start).differing(menu_start) > 100, 10, 0.1)
    except TimeoutError:
        pass
    check("one move of the pointer brings the game's cursor onto Start (its focused picture)",
          page.shot(*start).differing(menu_start) > 100)
    page.b.mouse("mousePressed", x, y, "left", 1)
    page.b.mouse("mouseReleased", x, y, "left", 1)
    try:
        wait_for("play to begin", lambda: page.shot(*title).differing(menu) > 5000, 10, 0.3)
    except TimeoutError:
        pass
    check("and a click there starts play", page.shot(*title).differing(menu) > 5000)


def case_pause(args):
    """Hidden or unfocused, the game stands still; shown or focused, it goes on; not with
    no-pause-unfocused."""
    need_build(args)
    page = Page(args)
    page.open()
    page.start_play()
    check("in play the picture moves", moving(page, PLAY))
    for hide, show, what in (("__visibility(true)", "__visibility(false)", "the page hidden"),
                             ("__focus(false)", "__focus(true)", "the window unfocused")):
        page.b.eval(hide)
        check(f"with {what} the game stands still over a second", still(page, PLAY, what))
        page.b.eval(show)
        check(f"and goes on when it comes back", moving(page, PLAY))
    page.open("no-pause-unfocused")
    page.start_play()
    page.b.eval("__visibility(true); __focus(false)")
    check("with no-pause-unfocused, hidden and unfocused, it plays on", moving(page, PLAY))


def case_pad(args):
    """A scripted standard gamepad alone: the stick brings the cursor onto Start, A clicks, A fires
    while the stick steers until the score changes, Back quits."""
    need_build(args)
    page = Page(args)
    page.open()
    page.wait_state(("running",), 120)
    title, start = (150, 130, 720, 100), (460, 355, 35, 40)
    wait_for("the menu's title", lambda: page.shot(*title).mean() > 30, 120, 0.3)
    menu, menu_start = page.shot(*title), page.shot(*start)
    page.b.eval("__pad.attach()")
    focused = lambda: page.shot(*start).differing(menu_start) > 100  # noqa: E731
    for tilt, seconds in ((-0.25, 3), (0.15, 6), (-0.1, 8)):  # left from the middle; back if past it
        page.b.eval(f"__pad.axis(0, {tilt})")
        try:
            wait_for("the focused Start", focused, seconds, 0.05)
            break
        except TimeoutError:
            pass
    page.b.eval("__pad.axis(0, 0)")
    check("the stick brings the cursor onto Start (its focused picture)", focused())
    page.b.eval("__pad.button(0, true)")
    time.sleep(0.2)  # a press a player holds
    page.b.eval("__pad.button(0, false)")
    wait_for("play to begin", lambda: page.shot(*title).differing(menu) > 5000, 30, 0.3)
    check("the south button clicks Start: play begins", True)
    score0 = page.shot(*SCORE)

    def steer(axis):
        def go(seconds):
            page.b.eval(f"__pad.button(0, true); __pad.axis(0, {axis})")
            time.sleep(seconds)  # held as a player holds it
            page.b.eval("__pad.axis(0, 0)")
        return go
    sweep_until(page, "the score to change from the pad", lambda: page.shot(*SCORE).differing(score0) > 20,
                steer(-1), steer(1))
    page.b.eval("__pad.button(0, false)")
    check("firing from the pad destroys enemies: the score digits change", True)
    page.b.eval("__pad.button(8, true)")
    page.wait_state(("ended",), 30)
    check(f"Back in play quits with status 0 (status {page.status()})", page.status() == 0)


def case_audio(args):
    """Sound waits for the first gesture; then Web Audio hears the game's sounds: the focus sound
    as the pointer comes onto Start, the click sound as it is clicked. (The game has no sound in
    play: its sounds are the menu's.)"""
    need_build(args)
    page = Page(args)
    page.open()
    page.wait_state(("running",), 120)
    title, start = (150, 130, 720, 100), (460, 355, 35, 40)
    wait_for("the menu", lambda: page.shot(*title).mean() > 30, 120, 0.3)
    check(f"before any gesture the page asks for one ({page.text('#status')!r})",
          re.search(r"click|key", page.text("#status"), re.I) is not None)
    menu_start = page.shot(*start)

    def hover(on):
        x, y = page.to_page(*((500, 375) if on else (800, 650)))
        jitter = [0]

        def follows():  # a hand never holds still: a move of a pixel each time it is not there yet
            jitter[0] ^= 1
            page.b.mouse("mouseMoved", x + jitter[0], y)
            return (page.shot(*start).differing(menu_start) > 100) == on
        wait_for("Start's picture to follow the pointer", follows, 30, 0.1)

    def heard(what):
        try:
            got = wait_for(what, lambda: (p := page.b.eval("__audioPeak()"))["peak"] > 0.01 and p, 10, 0.1)
        except TimeoutError:
            got = page.b.eval("__audioPeak()")
        return got
    hover(True)
    before = page.b.eval("__audioPeak()")
    check(f"before it nothing is heard, not even the focus sound ({before})", before["peak"] == 0)
    hover(False)
    page.b.click(*page.to_page(800, 650))  # on nothing of the menu
    wait_for("the sound to start after the click", lambda: page.b.eval("__audioPeak()")["states"] == ["running"], 30)
    wait_for("the page to stop asking", lambda: not re.search(r"click|key", page.text("#status"), re.I), 30)
    page.b.eval("__audioReset()")
    hover(True)
    got = heard("the focus sound")
    check(f"after a click Web Audio hears the focus sound as the pointer comes onto Start ({got})",
          got["peak"] > 0.01)
    hover(False)
    page.b.eval("__audioReset()")
    page.start_play()
    got = heard("the click sound")
    check(f"and again as it is pointed at and clicked to start play ({got})", got["peak"] > 0.01)


def case_missing(args):
    """A demo that does not load, or is not a demo, ends the page within seconds with the native
    build's message and status."""
    need_build(args)
    page = Page(args)
    with open(os.path.join(page.work, "bad.demo"), "w") as f:
        f.write("garbage\n")
    for url, status, message in (("work/no-such.demo", 66, "cannot read the demo"),
                                 ("work/bad.demo", 65, "is not a usable demo")):
        t0 = time.monotonic()
        page.open(f"timedemo={url}")
        page.wait_state(("ended",), 30)
        took = time.monotonic() - t0
        check(f"{url}: the page ends in {took:.1f} s with status {status} (status {page.status()})",
              page.status() == status)
        check(f"{url}: the page says '{message}' ({page.text('#status')!r})", message in page.text("body"))
        check(f"{url}: and so does the console",
              any(message in ln for ln in page.b.console_lines(("error",))))
    # The site without its pictures and sounds.
    os.mkdir(os.path.join(page.work, "nodata"))
    for f in ("index.html", "tarvellin.js", "tarvellin.wasm"):
        os.symlink(os.path.join(args.web, f), os.path.join(page.work, "nodata", f))
    page.open(page="work/nodata/index.html")
    page.wait_state(("ended",), 30)
    status, said = page.status(), page.text("#status")
    check(f"without tarvellin.data the page ends with a non-zero status ({status}) and says so ({said!r})",
          status not in (0, None) and "tarvellin.data" in said)
    check("and so does the console", any("tarvellin.data" in ln for ln in page.b.console_lines(("error",))))
    node = shutil.which("node")
    if node:  # the same under Node, whose data file is looked for from the working directory
        r = subprocess.run([node, os.path.join(args.web, "tarvellin.js"), "--version"], cwd=page.work,
                           env=dict(os.environ, NODE_OPTIONS="--no-experimental-fetch"), capture_output=True,
                           text=True, timeout=120)
        check(f"under Node without tarvellin.data the status is 66 ({r.returncode}) and it says so",
              r.returncode == 66 and "tarvellin.data" in r.stderr)


def case_record(args):
    """A demo recorded in the browser (?record, then its download) replays natively to the
    frames and end state the browser printed."""
    need_build(args)
    page = Page(args)
    frames = "30,70,110,140"
    page.open(f"record&lang=ru&hash-frames={frames}")  # the native replay runs in the C locale
    page.start_play()
    page.hold(["ControlLeft", "ArrowLeft"], 0.6)
    page.hold(["ControlLeft", "ArrowRight"], 0.9)
    page.hold(["KeyW"], 0.2)
    page.hold(["KeyA"], 0.2)
    wait_for("frame 140", lambda: any(ln.startswith("frame 140 ") for ln in page.lines()), 60)
    page.hold(["Escape"], 0.2)
    page.wait_state(("ended",), 30)
    check(f"the recording ends with status 0 (status {page.status()})", page.status() == 0)
    browser = [ln for ln in page.lines() if re.fullmatch(r"(frame \d+|end-state) [0-9a-f]{16}", ln)]
    check(f"it printed the chosen frames and its end state ({len(browser)} lines)", len(browser) == 5)
    page.b.send("Page.setDownloadBehavior", behavior="allow", downloadPath=page.work)
    page.b.eval("document.getElementById('demo-download').scrollIntoView()")
    x, y = page.b.eval("(r => [r.left + r.width / 2, r.top + r.height / 2])"
                       "(document.getElementById('demo-download').getBoundingClientRect())")
    page.b.click(x, y)
    demo = os.path.join(page.work, "tarvellin.demo")
    wait_for("the downloaded demo", lambda: os.path.exists(demo) and not any(
        n.endswith(".crdownload") for n in os.listdir(page.work)), 30)
    check(f"the page offers the demo as a download ({os.path.getsize(demo)} bytes)", os.path.getsize(demo) > 0)
    r = native_run(args, "--timedemo", demo, "--hash-frames", frames)
    native = replay_lines(r.stdout.splitlines())
    check(f"the native build replays it with status 0 (status {r.returncode}) {r.stderr.strip()}",
          r.returncode == 0 and not r.stderr.strip())
    if not check("to the frames and end state the browser printed", native == browser):
        print("browser:\n  " + "\n  ".join(browser) + "\nnative:\n  " + "\n  ".join(native))


DIK = {"fire": 0x1D, "left": 0xCB, "right": 0xCD, "up": 0xC8, "down": 0xD0, "ship": 0x1E, "space": 0x11}


def make_demo(seed, passes):
    """A demo no one recorded: the header of this program, pointing at Start and clicking it,
    then random keys held for random stretches. No end record: the native replay gives it one."""
    import random
    import struct
    rnd = random.Random(seed)
    out = bytearray(b"TRVLDEMO" + struct.pack("<HB", 1, 3) + b"1.0" + struct.pack("<Iii", seed, 10, 30))

    def run(n):
        while n > 0:
            out.append(0x80 | (min(n, 128) - 1))
            n -= 128

    def varint(v):
        z = ((v << 1) ^ (v >> 31)) & 0xFFFFFFFF
        b = bytearray()
        while z >= 0x80:
            b.append((z & 0x7F) | 0x80)
            z >>= 7
        return b + bytes([z])
    out += b"\x01\x01\x0f"  # the first pass's paint; the menu's, as start.demo has them
    if not passes:
        return bytes(out)
    run(46)
    out += b"\x04" + varint(-112) + varint(-9) + varint(0)  # onto Start
    run(12)
    out += b"\x08\x80\x00\x00\x00"
    run(1)
    out += b"\x08\x00\x00\x00\x00"
    used = 62
    held = set()
    while used < passes:
        keys = {k for k in DIK if rnd.random() < (0.7 if k == "fire" else 0.25)}
        if {"left", "right"} <= keys:
            keys.discard(rnd.choice(["left", "right"]))
        changed = sorted(DIK[k] for k in keys ^ held)
        if changed:
            out += bytes([0x02, len(changed) - 1])
            for k in changed:
                out += bytes([k, 0x80 if k in (DIK[n] for n in keys) else 0])
            used += 1
        held = keys
        n = rnd.randint(3, 40)
        run(n)
        used += n
    return bytes(out)


def native_whole(args, path):
    """Gives a demo with no end record the one the native build's replay ends with; returns its
    frame count. (Cut off, a replay runs one pass more than the passes whole.)"""
    import struct

    def replay():
        r = native_run(args, "--timedemo", path)
        m = re.search(r"^timedemo: (\d+) frames .*end-state ([0-9a-f]{16})$", r.stdout, re.M)
        if not m:
            raise RuntimeError(f"the native build cannot replay {path}: {r.stdout} {r.stderr}")
        return int(m.group(1)), int(m.group(2), 16)
    frames, _ = replay()
    with open(path, "ab") as f:
        f.write(b"\x40" + struct.pack("<IQ", frames - 1, 0))
    frames, end = replay()
    with open(path, "r+b") as f:
        f.seek(-8, os.SEEK_END)
        f.write(struct.pack("<Q", end))
    return frames


def case_native(args):
    """Demos never recorded anywhere (random seeds and keys), replayed natively, then in the
    browser: the same frames and end state."""
    need_build(args)
    page = Page(args)
    for seed in (20261208, 0x9E3779B9):
        name = f"random-{seed:x}.demo"
        path = os.path.join(page.work, name)
        with open(path, "wb") as f:
            f.write(make_demo(seed, 1200))
        n = native_whole(args, path)
        frames = ",".join(str(f) for f in (1, n // 4, n // 2, 3 * n // 4, n))
        r = native_run(args, "--timedemo", path, "--hash-frames", frames)
        native = replay_lines(r.stdout.splitlines())
        browser, status, timing = timedemo(page, f"work/{name}", frames)
        print(timing)
        check(f"{name}: the browser replays it with status 0 (status {status})", status == 0)
        if not check(f"{name} ({n} frames): the browser's frames and end state are the native build's",
                     browser == native and len(native) == 6):
            print("native:\n  " + "\n  ".join(native) + "\nbrowser:\n  " + "\n  ".join(browser))
            print("page log:\n  " + "\n  ".join(page.lines()[-20:]))


def case_fps(args):
    """Not a test: timedemo frames per second of one long demo, native and browser, one run."""
    need_build(args)
    page = Page(args)
    path = os.path.join(page.work, "long.demo")
    with open(path, "wb") as f:
        f.write(make_demo(7, 3000))
    native_whole(args, path)
    r = native_run(args, "--timedemo", path)
    native = re.search(r"([\d.]+) fps", r.stdout)
    _, status, timing = timedemo(page, "work/long.demo", "")
    browser = re.search(r"([\d.]+) fps", timing)
    print("native:  " + r.stdout.strip())
    print("browser: " + timing)
    check("both end in the same state", timing.split()[-1] == r.stdout.split()[-1])
    if native and browser:
        ratio = float(browser.group(1)) / float(native.group(1))
        print(f"browser/native: {ratio:.2f}")
        check(f"the browser runs at least a quarter of native speed ({ratio:.2f})", ratio >= 0.25)
    else:
        check("both printed their timing", False)
    # Live play: the frames shown (the page's count) and the main thread's busy time (the
    # browser's own TaskDuration) over a few seconds of firing and steering.
    page.b.send("Performance.enable")
    page.open()
    page.start_play()

    def sample():
        m = {x["name"]: x["value"] for x in page.b.send("Performance.getMetrics")["metrics"]}
        return time.monotonic(), m["TaskDuration"], page.b.eval("Module.framesShown || 0")
    t0, busy0, f0 = sample()
    for keys in (["ControlLeft", "ArrowLeft"], ["ControlLeft", "ArrowRight"]):
        page.hold(keys, 2)
    t1, busy1, f1 = sample()
    frames = max(1, f1 - f0)
    per_frame, busy = (t1 - t0) * 1000 / frames, (busy1 - busy0) * 1000 / frames
    print(f"live: {frames} frames in {t1 - t0:.2f} s, {per_frame:.1f} ms a frame, main thread busy "
          f"{busy:.1f} ms of it ({busy / per_frame:.0%})")
    check(f"a live frame within 30 ms ({per_frame:.1f})", per_frame <= 31)
    check(f"the main thread busy less than a third of it ({busy:.1f} ms)", busy < per_frame / 3)


CASES = {"driver": case_driver, "replay": case_replay, "node": case_node, "play": case_play, "pause": case_pause,
         "pad": case_pad, "audio": case_audio, "missing": case_missing, "record": case_record,
         "native": case_native, "pixels": case_pixels, "pointer": case_pointer, "fps": case_fps}


def main():
    p = argparse.ArgumentParser()
    add_common(p)
    p.add_argument("case", choices=sorted(CASES))
    p.add_argument("names", nargs="*")
    args = p.parse_args()
    args.web, args.native = os.path.abspath(args.web), os.path.abspath(args.native)
    t0 = time.monotonic()
    try:
        CASES[args.case](args, *args.names)
    except (TimeoutError, RuntimeError, AssertionError) as e:
        check(f"{args.case}: {e}", False)
    print(f"{failures} failure(s) in {time.monotonic() - t0:.1f} s")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
