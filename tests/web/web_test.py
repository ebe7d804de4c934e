#!/usr/bin/python3
"""The browser build in headless Chromium over the DevTools protocol, served from loopback out of
a subfolder. The start screen as sdl_render_test approved it, the canvas focused; ">" changes the
player preview; Start; a held arrow moves the sprite without scrolling the page; left standing, the
sprite is hit until the table shows and data.hsc is in IndexedDB. Another tab's better scores
stored meanwhile are kept by the next save; a reload shows that table; at a device pixel ratio of 2
the canvas has twice the pixels. A page without Splash.jpg shows the message, then that it ended.
Usage: web_test.py PAGE_FOLDER. E2E_SHOTS=DIR keeps pictures for the docs."""
import base64, io, json, os, shutil, socket, subprocess, sys, tempfile, time, urllib.request
import websocket
from PIL import Image, ImageChops, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "../e2e"))
from imgtool import rmse  # noqa: E402
# data.hsc in IndexedDB, where the page keeps it: records of 128 bytes, a 16-bit length, then the
# text between four filler digits on either side. STORED reads the three scores (null: no file),
# STORE writes them as another tab of the game would.
DB = "new Promise(done => indexedDB.open('/Spielstand').onsuccess = e => done(e.target.result.transaction('FILE_DATA', 'readwrite').objectStore('FILE_DATA')))"
STORED = DB + """.then(s => new Promise(done => s.get('/Spielstand/data.hsc').onsuccess = r => done(r.target.result &&
  [0, 1, 2].map(n => +String.fromCharCode(...r.target.result.contents.slice(128 * n + 6, 128 * n + 2 + r.target.result.contents[128 * n] - 4))))))"""
STORE = DB + """.then(s => { const d = new Uint8Array(384);
  SCORES.forEach((t, n) => { d[128 * n] = 8 + t.length; [...('1234' + t + '5678')].forEach((c, i) => d[128 * n + 2 + i] = c.charCodeAt(0)); });
  return new Promise(done => s.put({timestamp: new Date(), mode: 0o100644, contents: d}, '/Spielstand/data.hsc').onsuccess = () => done(1)); })"""


def fail(message):
    sys.exit(f"FAIL: {message}")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def matches_start_screen(shot):
    """As e2e_matches in tests/e2e/lib.sh: scaled down, the random enemy preview masked, RMSE 0..1."""
    ref = Image.open(os.path.join(HERE, "../data/start_screen.bmp")).convert("RGB").resize((226, 197))
    diff = ImageChops.difference(shot.crop((0, 0, 904, 788)).resize((226, 197)), ref)
    ImageDraw.Draw(diff).rectangle((141, 59, 167, 85), fill=0)
    return rmse(diff, Image.new("RGB", diff.size)) / 255


class Page:
    def __init__(self, port, profile):
        self.proc = subprocess.Popen(["/usr/bin/chromium", "--headless", "--no-sandbox", "--enable-unsafe-swiftshader",
                                      f"--remote-debugging-port={port}", "--remote-allow-origins=*",
                                      f"--user-data-dir={profile}", "about:blank"], stderr=subprocess.DEVNULL)
        for _ in range(100):
            try:
                tabs = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json"))
                break
            except OSError:
                time.sleep(0.1)
        self.ws = websocket.create_connection(next(t for t in tabs if t["type"] == "page")["webSocketDebuggerUrl"])
        self.id = 0

    def send(self, method, **params):
        self.id += 1
        self.ws.send(json.dumps({"id": self.id, "method": method, "params": params}))
        while True:
            reply = json.loads(self.ws.recv())
            if reply.get("id") == self.id:
                return reply.get("result", {})

    def eval(self, expression):
        return self.send("Runtime.evaluate", expression=expression, awaitPromise=True, returnByValue=True)["result"].get("value")

    def load(self, url, ratio=1):
        # 1001 wide: the centred canvas starts on a whole pixel.
        self.send("Emulation.setDeviceMetricsOverride", width=1001, height=700, deviceScaleFactor=ratio, mobile=False)
        self.send("Page.navigate", url=url)
        self.wait(10, lambda: self.eval("document.readyState == 'complete' && !document.getElementById('status').textContent"), "the program did not start")

    def origin(self):
        return self.eval("[canvas.getBoundingClientRect().x, canvas.getBoundingClientRect().y]")

    def wait(self, seconds, condition, message):
        end = time.time() + seconds
        while not condition():
            time.sleep(0.2) if time.time() < end else fail(message)

    def shot(self, name=None):
        x, y = self.origin()
        data = self.send("Page.captureScreenshot", captureBeyondViewport=True, clip=dict(x=x, y=y, width=907, height=788, scale=1))["data"]
        img = Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB").resize((907, 788), Image.BOX)
        if name and os.environ.get("E2E_SHOTS"):
            img.save(os.path.join(os.environ["E2E_SHOTS"], f"browser-{name}.png"))
        return img

    def click(self, x, y):
        left, top = self.origin()
        for kind in ("mouseMoved", "mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent", type=kind, x=left + x, y=top + y, button="left", clickCount=1)
        time.sleep(0.3)

    def hold_right(self, seconds):
        for kind in ("rawKeyDown", "keyUp"):
            self.send("Input.dispatchKeyEvent", type=kind, key="ArrowRight", code="ArrowRight", windowsVirtualKeyCode=39)
            time.sleep(seconds if kind == "rawKeyDown" else 0.3)

    def game_over(self, name):
        """Starts a game, stands still until the table over it shows highscore.jpg; the stored scores."""
        self.click(439, 614)
        table = Image.open(os.path.join(HERE, "../../assets/highscore.jpg")).convert("RGB").crop((20, 10, 320, 70))
        self.wait(240, lambda: rmse(self.shot().crop((301, 244, 601, 304)), table) < 30, "no game over within 4 minutes")
        time.sleep(1)
        self.shot(name)
        return self.eval(STORED)


def main(page_folder):
    tmp = tempfile.mkdtemp(prefix="kreiselsturm-web.")
    site = os.path.join(tmp, "site")
    shutil.copytree(page_folder, os.path.join(site, "spiel"))
    # Without Splash.jpg in its data: the data file's index, in the script, names it otherwise.
    shutil.copytree(page_folder, os.path.join(site, "kaputt"))
    with open(os.path.join(site, "kaputt", "Kreiselsturm.js"), "r+", encoding="utf-8") as f:
        text = f.read().replace("/Kreiselsturm/Splash.jpg", "/Kreiselsturm/Splash.fehlt")
        f.seek(0), f.write(text)
    port, devtools = free_port(), free_port()
    server = subprocess.Popen([sys.executable, "-m", "http.server", "-b", "127.0.0.1", "-d", site, str(port)], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    page = Page(devtools, os.path.join(tmp, "profile"))
    try:
        url = f"http://127.0.0.1:{port}/spiel/"
        page.load(url)
        start = time.time()
        page.wait(10, lambda: matches_start_screen(page.shot()) < 0.02, "the start screen is not the approved one")
        print(f"start screen drawn {time.time() - start:.1f} s after the page had loaded")
        first = page.shot("start-screen")
        if not page.eval("document.activeElement === canvas"):
            fail("the canvas does not have the keyboard focus")
        page.click(345, 288)  # ">": the player preview shows picture 2
        if rmse(page.shot().crop((223, 242, 315, 334)), first.crop((223, 242, 315, 334))) < 15:
            fail("'>' did not change the player preview")
        page.click(439, 614)  # Start: the panel goes, the sprite stands in the centre
        before = page.shot()
        page.hold_right(1)
        moved = rmse(page.shot().crop((300, 300, 607, 488)), before.crop((300, 300, 607, 488)))
        if moved < 5 or page.eval("window.scrollY") != 0:
            fail(f"a held arrow did not move the sprite ({moved:.1f}) or scrolled the page")
        first = page.game_over(None)
        if not first or first[1:] != [0, 0]:
            fail(f"the first game stored {first}")
        # Another tab stores better scores meanwhile: the next save here builds on them.
        best = [9000, 8000, 7000]
        page.eval(STORE.replace("SCORES", json.dumps([str(n) for n in best])))
        page.click(453, 526)  # Restart
        page.wait(5, lambda: matches_start_screen(page.shot()) < 0.02, "Restart did not bring back the start screen")
        if page.game_over("highscore-table") != best:
            fail(f"the other tab's scores were lost: {page.eval(STORED)}")
        rows = page.shot().crop((340, 310, 592, 432))

        page.load(url)
        page.wait(10, lambda: matches_start_screen(page.shot()) < 0.02, "no start screen after the reload")
        stored = page.game_over(None)
        difference = rmse(page.shot().crop((340, 310, 592, 432)), rows)
        if stored != best or difference > 3:
            fail(f"after a reload: stored {stored}, the table's rows differ by {difference:.1f}")
        # At a device pixel ratio of 2 the canvas has twice the pixels and the same size on the page.
        page.load(url, ratio=2)
        page.wait(10, lambda: matches_start_screen(page.shot()) < 0.03, "no start screen at a device pixel ratio of 2")
        if page.eval("[canvas.width, canvas.getBoundingClientRect().width]") != [1814, 907]:
            fail("the canvas is not drawn at the device pixel ratio")

        page.load(f"http://127.0.0.1:{port}/kaputt/")
        page.wait(10, lambda: page.eval("box.open && box.textContent.includes('Splash.jpg')"), "no message for the missing picture")
        page.eval("box.querySelector('button').click()")
        page.wait(5, lambda: "Splash.jpg" in page.eval("document.getElementById('status').textContent"), "the page does not tell the program ended")
        print("web test passed")
    finally:
        page.proc.kill()
        server.kill()
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main(*sys.argv[1:])
