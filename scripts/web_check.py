#!/usr/bin/python3
"""Plays the browser's zip in headless Chromium, driven through the DevTools protocol.

    /usr/bin/python3 scripts/web_check.py ZIP --sim DUELFALL_SIM --out DIR [--checks autopilot,keys,...]

The zip is unpacked and served by python3 -m http.server on loopback. Checks:
  autopilot  ?autopilot&seed=1&until=victory wins and prints the simulator's summary line, the same as
             duelfall-sim's for that seed; a picture of the fight is taken while it plays; the replay
             downloaded through the page's link plays back in duelfall-sim with no desync
  keys       real key events (Input.dispatchKeyEvent) start the game, move the player right, jump and
             fire; Esc pauses over the last frame's picture and Q quits; the downloaded replay holds those keys, plays back with no
             desync, and its trace shows the player moved right; after a reload the replay is still in
             the browser's storage
  benchmark  ?benchmark: the bot at 60 frames a second, the page's median and 99th percentile of a
             frame's work
  nowebgl    with WebGL switched off the page says so
Prints one PASS or FAIL line per fact and exits 1 if any failed. Needs Debian's chromium and
python3-websocket.
"""

import argparse
import base64
import http.client
import io
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import zipfile

import websocket

failures = 0


def report(ok, text):
    global failures
    print(("PASS " if ok else "FAIL ") + text, flush=True)
    if not ok:
        failures += 1


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    """One headless Chromium with one page, spoken to over the DevTools protocol."""

    def __init__(self, workdir, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="profile-", dir=workdir)
        self.log = open(os.path.join(workdir, "chromium.log"), "ab")
        flags = [
            "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
            "--enable-logging=stderr", "--v=0", "--no-first-run", "--disable-background-networking",
            "--disable-component-update", "--disable-sync", "--disable-quic", "--window-size=1280,800",
            "--remote-debugging-port=0", "--user-data-dir=" + self.profile, *extra_flags, "about:blank",
        ]
        self.process = subprocess.Popen(["chromium", *flags], stdout=self.log, stderr=self.log)
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        for _ in range(300):
            if os.path.exists(port_file) and open(port_file).read().count("\n") >= 1:
                break
            time.sleep(0.1)
        port = int(open(port_file).read().split("\n")[0])
        connection = http.client.HTTPConnection("127.0.0.1", port)
        connection.request("GET", "/json/list")
        pages = [t for t in json.load(connection.getresponse()) if t["type"] == "page"]
        self.socket = websocket.create_connection(pages[0]["webSocketDebuggerUrl"], timeout=600)
        self.next_id = 0
        self.console = []
        self.events = []
        self.call("Runtime.enable")
        self.call("Page.enable")
        # A headless page has no window to be focused: it is told it has, as a player's page would be.
        self.call("Emulation.setFocusEmulationEnabled", enabled=True)

    def close(self):
        try:
            self.socket.close()
        finally:
            self.process.kill()
            self.process.wait()
            self.log.close()

    def _take(self, message):
        if message.get("method") == "Runtime.consoleAPICalled":
            args = message["params"]["args"]
            self.console.append(" ".join(str(a.get("value", a.get("description", ""))) for a in args))
        elif "method" in message:
            self.events.append(message)

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError(method + ": " + message["error"]["message"])
                return message.get("result", {})
            self._take(message)

    def pump(self, seconds):
        """Reads the page's messages for a while."""
        end = time.time() + seconds
        self.socket.settimeout(0.1)
        try:
            while time.time() < end:
                try:
                    self._take(json.loads(self.socket.recv()))
                except websocket.WebSocketTimeoutException:
                    pass
        finally:
            self.socket.settimeout(600)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        return result.get("result", {}).get("value")

    def wait_for(self, expression, seconds):
        end = time.time() + seconds
        while time.time() < end:
            if self.evaluate(expression):
                return True
            self.pump(0.2)
        return False

    def console_line(self, prefix, seconds):
        """The first console line starting with prefix, waiting up to seconds."""
        end = time.time() + seconds
        while time.time() < end:
            for line in self.console:
                if line.startswith(prefix):
                    return line
            self.pump(0.5)
        return None

    def open(self, url):
        self.console.clear()
        self.call("Page.navigate", url=url)
        self.pump(0.5)

    def screenshot(self, path):
        data = self.call("Page.captureScreenshot", format="png")["data"]
        with open(path, "wb") as out:
            out.write(base64.b64decode(data))

    # Keys as a keyboard sends them: code, key and the Windows key code, which SDL maps from.
    KEYS = {
        "right": ("ArrowRight", "ArrowRight", 39), "left": ("ArrowLeft", "ArrowLeft", 37),
        "jump": ("Space", " ", 32), "fire": ("ControlLeft", "Control", 17), "escape": ("Escape", "Escape", 27),
        "q": ("KeyQ", "q", 81), "enter": ("Enter", "Enter", 13),
    }

    def key(self, name, down):
        code, key, virtual = self.KEYS[name]
        params = {"type": "keyDown" if down else "keyUp", "code": code, "key": key,
                  "windowsVirtualKeyCode": virtual, "nativeVirtualKeyCode": virtual}
        if down and len(key) == 1:
            params["text"] = key
        self.call("Input.dispatchKeyEvent", **params)

    def keys(self, *steps):
        """Presses ("+name") and releases ("-name") keys in turn, waiting where a number of seconds is given."""
        for step in steps:
            if isinstance(step, str):
                self.key(step[1:], step[0] == "+")
            else:
                self.pump(step)

    def download(self, element_id, folder, name, seconds=30):
        """Clicks the page's link and waits for the file it downloads."""
        os.makedirs(folder, exist_ok=True)
        self.call("Browser.setDownloadBehavior", behavior="allow", downloadPath=os.path.abspath(folder))
        self.evaluate("document.getElementById('%s').click()" % element_id)
        path = os.path.join(folder, name)
        end = time.time() + seconds
        while time.time() < end:
            if os.path.exists(path) and os.path.getsize(path) > 0:
                return path
            self.pump(0.3)
        return None


def distinct_colours(png_path):
    from PIL import Image
    return len(Image.open(png_path).convert("RGB").getcolors(1 << 20) or [])


def play_back(sim, replay, trace=None):
    """duelfall-sim --replay: (exit status, its output)."""
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy")
    env.pop("DISPLAY", None)
    command = [sim, "--replay", replay] + (["--trace", trace] if trace else [])
    done = subprocess.run(command, env=env, capture_output=True, text=True, timeout=600)
    return done.returncode, (done.stdout + done.stderr).strip()


def check_autopilot(browser, base, sim, out):
    env = dict(os.environ, SDL_VIDEODRIVER="offscreen", SDL_AUDIODRIVER="dummy")
    env.pop("DISPLAY", None)
    native = subprocess.run([sim, "--autopilot", "--seed", "1", "--until", "victory"], env=env,
                            capture_output=True, text=True, timeout=600).stdout.strip().splitlines()[-1]
    started = time.time()
    browser.open(base + "/index.html?autopilot&seed=1&until=victory")
    # A picture of the fight while the bot plays.
    browser.wait_for("typeof Module === 'object' && Module.calledRun === true", 120)
    browser.pump(4)
    shot = os.path.join(out, "web-fight.png")
    browser.screenshot(shot)
    colours = distinct_colours(shot)
    report(colours > 50, "a picture of the fight in the page: %s, %d colours" % (shot, colours))
    summary = browser.console_line('{"frames"', 600)
    report(summary is not None and '"outcome":"victory"' in summary,
           "the page's autopilot wins with seed 1 in %.0f s: %s" % (time.time() - started, summary))
    times = browser.console_line('{"frame_ms_median"', 5)
    print("   unpaced frame work: " + str(times))
    strip = lambda line: json.dumps({k: v for k, v in json.loads(line).items() if k != "ms_per_frame"})
    same = summary is not None and strip(summary) == strip(native)
    report(same, "the same game as duelfall-sim's: %s" % native)
    replay = browser.download("replay", os.path.join(out, "autopilot-download"), "duelfall-last.replay")
    if replay is None:
        report(False, "the page's link downloads the autopilot's replay")
        return
    status, output = play_back(sim, replay)
    report(status == 0 and '"outcome":"victory"' in output,
           "the autopilot's replay from the page plays back in duelfall-sim with no desync: " + output.splitlines()[-1])


def check_keys(browser, base, sim, out):
    browser.open(base + "/index.html")
    if not browser.wait_for("getComputedStyle(document.getElementById('prompt')).visibility === 'visible'", 120):
        report(False, "the start screen asks for a click or a key")
        return
    report(True, "the start screen asks for a click or a key once the assets are loaded")
    browser.keys("+enter", "-enter")
    started = browser.wait_for("document.getElementById('start').hidden && Module.calledRun === true", 30)
    report(started, "a key starts the game")
    browser.pump(1.5)
    browser.screenshot(os.path.join(out, "web-keys-before.png"))
    browser.keys("+right", "+fire", 1.5, "+jump", 0.4, "-jump", 1.0, "-fire", "-right", 0.5)
    browser.screenshot(os.path.join(out, "web-keys-after.png"))
    browser.keys("+escape", "-escape", 0.5)
    paused = os.path.join(out, "web-paused.png")
    browser.screenshot(paused)
    colours = distinct_colours(paused)
    report(colours > 50, "the pause shows the last frame under its overlay: %s, %d colours" % (paused, colours))
    browser.keys("+q", "-q")
    ended = browser.wait_for("getComputedStyle(document.getElementById('message')).display !== 'none'", 20)
    report(ended, "Esc pauses and Q ends the game: " + str(browser.evaluate("document.getElementById('message').textContent")))
    replay = browser.download("replay", os.path.join(out, "keys-download"), "duelfall-last.replay")
    if replay is None:
        report(False, "the page's link downloads the replay of the keys")
        return
    text = open(replay).read()
    keys = " ".join(line.split(" ", 1)[1] for line in text.splitlines() if line and not line.startswith("#") and " " in line)
    report(all(k in keys for k in ("right", "jump", "fire")),
           "the replay holds the keys sent: " + " | ".join(l for l in text.splitlines() if not l.startswith("#"))[:200])
    trace = os.path.join(out, "keys.trace")
    status, output = play_back(sim, replay, trace)
    report(status == 0, "the replay of the keys plays back in duelfall-sim with no desync: " + output.splitlines()[-1])
    rows = [json.loads(line) for line in open(trace)] if os.path.exists(trace) else []
    moved = rows and rows[-1]["x"] - rows[0]["x"]
    report(bool(rows) and moved > 50, "the player moved %s pixels to the right" % moved)
    # The replay outlives the page: after a reload it is read back from IndexedDB.
    browser.open(base + "/index.html")
    kept = browser.wait_for("typeof Module === 'object' && Module.FS !== undefined && "
                            "getComputedStyle(document.getElementById('prompt')).visibility === 'visible' && "
                            "Module.FS.analyzePath('/userData/replays/last.replay').exists", 60)
    report(kept, "after a reload the last replay is still in the browser's storage")


def check_benchmark(browser, base, frames):
    browser.open(base + "/index.html?benchmark&seed=1&frames=%d" % frames)
    line = browser.console_line('{"frame_ms_median"', 120 + frames / 30)
    ok = line is not None
    figures = json.loads(line) if ok else {}
    report(ok and figures["frames"] == frames and figures["fps"] <= 60.5,
           "benchmark, %d frames paced at 60 a second: %s a second, median %s ms, 99th percentile %s ms of frame work"
           % (frames, figures.get("fps"), figures.get("frame_ms_median"), figures.get("frame_ms_p99")))


def check_no_webgl(workdir, base):
    browser = Browser(workdir, ["--disable-webgl", "--disable-3d-apis"])
    try:
        browser.open(base + "/index.html")
        browser.wait_for("!document.getElementById('message').hidden", 20)
        text = browser.evaluate("document.getElementById('message').textContent") or ""
        report("WebGL" in text, "without WebGL the page says so: " + text[:80])
    finally:
        browser.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("zip")
    parser.add_argument("--sim", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--checks", default="autopilot,keys,benchmark,nowebgl")
    parser.add_argument("--benchmark-frames", type=int, default=1200)
    options = parser.parse_args()
    checks = options.checks.split(",")

    out = os.path.abspath(options.out)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    site = os.path.join(out, "site")
    with zipfile.ZipFile(options.zip) as archive:
        archive.extractall(site)
    root = os.path.join(site, os.listdir(site)[0])
    port = free_port()
    server = subprocess.Popen([sys.executable, "-m", "http.server", str(port), "--bind", "127.0.0.1", "--directory", root],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    base = "http://127.0.0.1:%d" % port
    browser = None
    try:
        time.sleep(0.5)
        browser = Browser(out)
        if "autopilot" in checks:
            check_autopilot(browser, base, options.sim, out)
        if "keys" in checks:
            check_keys(browser, base, options.sim, out)
        if "benchmark" in checks:
            check_benchmark(browser, base, options.benchmark_frames)
        browser.close()
        browser = None
        if "nowebgl" in checks:
            check_no_webgl(out, base)
    finally:
        if browser:
            browser.close()
        server.kill()
        server.wait()
    print("Browser checks: %d failed" % failures)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
