"""The page in headless Chromium, served from 127.0.0.1: a lit scene at two window sizes, the
frame counter advancing with the heap unchanged, the readout, the pause while hidden, the
address's settings drawing what the native runner draws (640x480 between black bars), the panel,
the cursor and full screen, a bad value logged once and named in the panel, the about line, a
portrait page's craft as large as a landscape one's, the two web-wallpaper hooks and the frame
rate limit, the message for each cause that keeps the page from starting, the loading state,
the manifest, the icons and the preview tags, a second visit without the server, and no console
errors.
    page_test.py SITE_DIR TAVRIK_BIN WORK_DIR"""
import base64
import json
import os
import re
import subprocess
import sys
import threading
import time

from devtools import Browser, serve

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from png_read import read_png  # noqa: E402

site, native, work = sys.argv[1:4]
failures = []


def check(condition, text):
    print(("ok   " if condition else "FAIL ") + text)
    if not condition:
        failures.append(text)


def lit(picture):
    """Pixels brighter than black, and the colours among them."""
    _, _, rows = picture
    count, colours = 0, set()
    for row in rows:
        for x in range(0, len(row), 3):
            pixel = row[x:x + 3]
            if max(pixel) > 12:
                count += 1
                colours.add(pixel)
    return count, len(colours)


def canvas_picture(browser):
    data = browser.evaluate("picture.toDataURL('image/png')")
    return read_png(base64.b64decode(data.split(",", 1)[1]))


def save_screenshot(browser, name):
    with open(os.path.join(work, name), "wb") as f:
        f.write(browser.screenshot())


version = subprocess.run([native, "--version"], capture_output=True, text=True,
                         check=True).stdout.split()[1]
server, base = serve(site)

for width, height in ((800, 600), (1280, 720)):
    browser = Browser(width, height)
    try:
        browser.open(base + "?fps=1&seed=2")
        browser.wait_until("tavrik.frames >= 90")
        first, heap, memory = browser.evaluate("[tavrik.frames, tavrik.heapInUse, tavrik.memoryBytes]")
        browser.wait_until(f"tavrik.frames >= {first + 30}")
        later, heap2, memory2 = browser.evaluate("[tavrik.frames, tavrik.heapInUse, tavrik.memoryBytes]")
        check(later > first, f"{width}x{height}: the frame counter advances ({first} to {later})")
        check((heap, memory) == (heap2, memory2),
              f"{width}x{height}: the heap stays at {heap} bytes in use of {memory}")
        canvas, inside = browser.evaluate(
            "[[picture.width, picture.height], [innerWidth, innerHeight]]")
        check(canvas == inside, f"{width}x{height}: the picture {canvas} is the page's size")
        # The opening shots may show one harrier against the dark; the clouds come into view
        # within seconds.
        count = colours = 0
        for _ in range(40):
            shot = browser.screenshot()
            count, colours = lit(read_png(shot))
            if count > 20000 and colours > 8:
                break
            time.sleep(0.5)
        with open(os.path.join(work, f"page-{width}x{height}.png"), "wb") as f:
            f.write(shot)
        check(count > 20000 and colours > 8,
              f"{width}x{height}: a lit scene ({count} lit pixels, {colours} colours)")
        browser.wait_until("tavrik.readout.includes('FPS')")
        text = browser.evaluate("tavrik.readout")
        check("SOFT/WASM" in text and "TRIANGLES" in text, f"the readout: {text!r}")
        if width == 800:
            # Another tab in front hides the page for 4 s: no frames meanwhile, and no 4 s
            # step of the scene clock after it.
            other = browser.call("Target.createTarget", url="about:blank")["targetId"]
            browser.wait_until("document.visibilityState === 'hidden'")
            hidden_at = browser.evaluate("tavrik.frames")
            time.sleep(4)
            still = browser.evaluate("tavrik.frames")
            browser.call("Target.closeTarget", targetId=other)
            browser.call("Page.bringToFront", session=True)
            browser.wait_until(f"tavrik.frames >= {still + 30}")
            step = browser.evaluate("tavrik.longestStepMs")
            check(still == hidden_at and step < 2000,
                  f"hidden, it drew {still - hidden_at} frames; after it the longest clock step was {step} ms")
        errors = browser.console({"error"})
        check(not errors, f"{width}x{height}: no console errors {errors}")
    finally:
        browser.close()

# The address's settings against the native runner's frames of the same seed and steps.
common = ["--seed", "4", "--frame-ms", "40", "--frames", "12", "--resolution", "640x480"]
settings = ["--clouds", "wire", "--formation", "line", "--harriers", "7"]
env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"))
for name, options in (("plain", common), ("chosen", common + settings)):
    subprocess.run([native, *options, "--output", os.path.join(work, name)], check=True, env=env)


def address(options):
    pairs = zip(options[0::2], options[1::2])
    return base + "?" + "&".join(f"{k[2:]}={v}" for k, v in pairs)


browser = Browser(800, 600)
try:
    pictures = {}
    for name, options in (("plain", common), ("chosen", common + settings)):
        browser.open(address(options))
        browser.wait_until("tavrik.frames === 12")
        pictures[name] = canvas_picture(browser)
        with open(os.path.join(work, name, "frame-00012.png"), "rb") as f:
            expected = read_png(f.read())
        check(pictures[name] == expected,
              f"?{address(options).split('?')[1]}: frame 12 is the native runner's")
        # 640x480 fills the page's height, 4:3, with black bars left and right.
        page_width, page_height, rows = read_png(browser.screenshot())
        bar = (page_width - page_height * 4 // 3) // 2 - 2
        bars = sum(max(row[x * 3:x * 3 + 3]) > 0 for row in rows
                   for x in list(range(bar)) + list(range(page_width - bar, page_width)))
        middle = lit((page_width, page_height, [row[(bar + 4) * 3:(page_width - bar - 4) * 3]
                                                for row in rows]))[0]
        check(bar > 50 and bars == 0 and middle > 100,
              f"{name}: black bars of {bar} columns beside a lit picture ({middle} lit pixels)")
    check(pictures["plain"] != pictures["chosen"], "clouds, formation and harriers change the picture")

    # The pointer shows the panel and the cursor; still, they go. A click, or F, goes full
    # screen (Esc is the browser's own).
    def mouse(kind, **more):
        browser.call("Input.dispatchMouseEvent", session=True, type=kind, x=100, y=200, **more)

    mouse("mouseMoved")
    check(browser.evaluate("!panel.hidden && !document.body.classList.contains('still')"),
          "a moving pointer shows the panel and the cursor")
    browser.wait_until("panel.hidden && document.body.classList.contains('still')", timeout=20)
    mouse("mousePressed", button="left", clickCount=1)
    mouse("mouseReleased", button="left", clickCount=1)
    browser.wait_until("document.fullscreenElement !== null", timeout=20)
    browser.evaluate("document.exitFullscreen()")
    browser.wait_until("document.fullscreenElement === null", timeout=20)
    browser.call("Input.dispatchKeyEvent", session=True, type="keyDown", key="f", code="KeyF",
                 text="f", windowsVirtualKeyCode=70)
    browser.call("Input.dispatchKeyEvent", session=True, type="keyUp", key="f", code="KeyF",
                 windowsVirtualKeyCode=70)
    browser.wait_until("document.fullscreenElement !== null", timeout=20)
    check(True, "the panel and the cursor hide when still; a click and F go full screen")

    # A choice in the panel is kept and wins over the address.
    browser.evaluate("""(() => {
        const formation = [...panel.querySelectorAll("label")]
            .find((label) => label.firstChild.textContent === "formation").querySelector("select");
        formation.value = "1";
        formation.dispatchEvent(new Event("change"));
    })()""")
    browser.wait_until("!location.search.includes('formation') && tavrik.frames >= 12")
    kept = browser.evaluate("[localStorage.getItem('tavrik.formation'), location.search]")
    check(kept[0] == "1" and "clouds=wire" in kept[1],
          f"the panel keeps formation 1 and the page starts again with {kept[1]}")
    shown = browser.evaluate("""[...panel.querySelectorAll("label")]
        .find((label) => label.firstChild.textContent === "formation").querySelector("select")
        .value""")
    check(shown == "1", f"the page started again shows the kept formation in its panel: {shown}")

    browser.events.clear()
    browser.open(base + "?harriers=99&formation=sideways")
    browser.wait_until("tavrik.frames >= 5")
    warnings = browser.console({"warning"})
    check(len(warnings) == 2 and "harriers" in warnings[0] and "formation" in warnings[1],
          f"each bad value logged once: {warnings}")
    # The panel shows until the pointer moves, naming each refused value as the panel does.
    bad, about, link, shown = browser.evaluate("""[
        [...panel.querySelectorAll("p.bad")].map((p) => p.textContent),
        panel.querySelector("p.about").textContent,
        [...panel.querySelectorAll("p.about a")].map((a) => a.getAttribute("href")),
        !panel.hidden]""")
    save_screenshot(browser, "panel-bad-values.png")
    check(shown and len(bad) == 2 and "harriers: '99' (1 to 30)" in bad[0]
          and "formation: 'sideways'" in bad[1] and "--" not in "".join(bad),
          f"the panel names the refused values: {bad}")
    check(about.startswith(f"TAVRIK {version}, a 3D screen saver. MIT License. Source")
          and link[0] == "LICENSE.txt" and link[1].startswith("https://"),
          f"the about line: {about!r}, links {link}")
    errors = browser.console({"error"})
    check(not errors, f"no console errors {errors}")
finally:
    browser.close()

# Portrait keeps the larger field: a 390x844 page shows the middle of an 844x390 one at the same
# scale, so its craft are as large. Compared over the square both show: the lit pixels, and
# those of a craft's colours (saturated; the clouds are grey and the ground a dull green).
frames = {}
browser = Browser(800, 600)
try:
    for width, height in ((844, 390), (390, 844)):
        browser.call("Emulation.setDeviceMetricsOverride", session=True, width=width,
                     height=height, deviceScaleFactor=1, mobile=False, screenWidth=width,
                     screenHeight=height)
        browser.open(base + "?seed=2&frame-ms=40&frames=300")
        browser.wait_until("tavrik.frames === 300")
        frames[width > height] = canvas_picture(browser)
        save_screenshot(browser, f"page-{width}x{height}.png")
finally:
    browser.close()


def middle(picture, side=390):
    width, height, rows = picture
    x0, y0 = (width - side) // 2, (height - side) // 2
    return (side, side, [row[x0 * 3:(x0 + side) * 3] for row in rows[y0:y0 + side]])


def craft(picture):
    _, _, rows = picture
    return sum(max(row[x:x + 3]) - min(row[x:x + 3]) > 60 for row in rows
               for x in range(0, len(row), 3))


wide, tall = middle(frames[True]), middle(frames[False])
same = sum(a == b for wr, tr in zip(wide[2], tall[2]) for a, b in
           zip(zip(*[iter(wr)] * 3), zip(*[iter(tr)] * 3)))
check(frames[False][:2] == (390, 844) and lit(wide)[0] > 5000 and craft(wide) > 200
      and abs(lit(tall)[0] - lit(wide)[0]) <= lit(wide)[0] // 50
      and abs(craft(tall) - craft(wide)) <= craft(wide) // 20 and same >= 390 * 390 * 98 // 100,
      f"390x844 is the middle of 844x390 at its scale: lit {lit(tall)[0]} and {lit(wide)[0]}, "
      f"craft {craft(tall)} and {craft(wide)} pixels, {same} of {390 * 390} pixels the same")

# The web-wallpaper hooks set the panel's settings: with the clouds, the formation and the
# harriers of the address test, frame 12 is the native runner's again. Their property files
# offer the settings table's ranges, words and defaults.
browser = Browser(800, 600)
try:
    plain = address(common)
    browser.open(plain)
    browser.wait_until("tavrik.frames === 12")
    fields, files = browser.evaluate("""Promise.all([
        JSON.parse(Module.ccall("tavrik_fields", "string", [], [])),
        fetch("project.json").then((r) => r.json()),
        fetch("LivelyProperties.json").then((r) => r.json())])
        .then(([fields, engine, lively]) => [fields, [engine.general.properties, lively]])""")
    engine, lively = files
    problems = []
    for field in fields:
        option, words = field["option"], [w for w, _ in field["choices"]]
        default = next((w for w, v in field["choices"] if v == field["default"]), None)
        e, li = engine.get(option, {}), lively.get(option, {})
        if words:
            ok = ([o["value"] for o in e.get("options", [])] == words and e["value"] == default
                  and li.get("items") == words and words[li["value"]] == default)
        else:
            ok = all((p.get("min"), p.get("max"), p.get("value")) ==
                     (field["low"], field["high"], field["default"]) for p in (e, li))
        if not ok:
            problems.append(option)
    check(not problems and "fps" in engine and "fps" in lively,
          f"the property files offer the panel's settings as the table has them {problems}")
    steps = (("wallpaperPropertyListener.applyUserProperties("
              "{harriers: {type: 'slider', value: 7}, clouds: {type: 'combo', value: 'wire'}})",
              "harriers=7&clouds=wire"),
             ("livelyPropertyListener('formation', 2)", "formation=line"))
    before = canvas_picture(browser)
    for call, what in steps:
        browser.evaluate(f"window.restarted = false; {call}")
        browser.wait_until("window.restarted === undefined && tavrik.frames === 12")
        after = canvas_picture(browser)
        check(after != before, f"{call.split('(')[0]}: {what} changes the picture")
        before = after
    check(before == pictures["chosen"], "the hooks' settings draw the native runner's frame 12")

    # The host's frame rate limit: 20 a second over 5 s, whatever the display's refresh.
    browser.open(base + "?seed=2")
    browser.wait_until("tavrik.frames >= 30")
    browser.evaluate("wallpaperPropertyListener.applyGeneralProperties({fps: 20})")
    browser.wait_until("tavrik.frames >= 40")
    first = browser.evaluate("[tavrik.frames, performance.now()]")
    time.sleep(5)
    last = browser.evaluate("[tavrik.frames, performance.now()]")
    rate = (last[0] - first[0]) * 1000 / (last[1] - first[1])
    check(12 <= rate <= 21, f"under a limit of 20 frames a second it drew {rate:.1f} a second")
    errors = browser.console({"error"})
    check(not errors, f"no console errors {errors}")
finally:
    browser.close()
server.shutdown()

# Each cause that keeps the page from starting, named on the page; then the loading state, the
# page's description, and a second visit drawing with the server gone.
server, base = serve(site)
browser = Browser(800, 600)
try:
    causes = (("removed", {"/tavrik.wasm": 404}, base, "tavrik.wasm</code>: the server answered 404"),
              ("refused", {"/tavrik.js": 403}, base, "tavrik.js</code>: the file is missing, or the server refused"),
              ("no-webassembly", {}, base, "it has no WebAssembly"),
              ("file", {}, "file://" + os.path.abspath(os.path.join(site, "index.html")),
               "<code>python3 -m http.server 8000</code>"))
    for name, rules, url, words in causes:
        server.rules = rules
        script = None
        if name == "no-webassembly":
            script = browser.call("Page.addScriptToEvaluateOnNewDocument", session=True,
                                  source="delete window.WebAssembly")["identifier"]
        browser.open(url)
        browser.wait_until("message.className === 'failed'")
        text = browser.evaluate("message.hidden ? '' : message.innerHTML")
        save_screenshot(browser, f"failed-{name}.png")
        check(words in text, f"{name}: the page says {re.sub('<[^>]+>', '', text)!r}")
        if script is not None:
            browser.call("Page.removeScriptToEvaluateOnNewDocument", session=True,
                         identifier=script)

    held = threading.Event()
    server.rules = {"/tavrik.wasm": held}
    browser.call("Page.navigate", session=True, url=base)
    browser.wait_until("document.readyState === 'complete'")
    loading = browser.evaluate("[message.hidden, message.className, message.textContent]")
    save_screenshot(browser, "loading.png")
    held.set()
    browser.wait_until("tavrik.frames >= 30 && message.hidden")
    check(loading == [False, "", "Loading TAVRIK…"], f"while the program loads: {loading}")

    described = browser.evaluate("""(() => {
        const meta = (key) => {
            const tag = document.querySelector(`meta[name="${key}"], meta[property="${key}"]`);
            return tag ? tag.content : "";
        };
        const image = (src) => new Promise((done) => {
            const i = new Image();
            i.onload = () => done([src, i.naturalWidth, i.naturalHeight]);
            i.onerror = () => done([src, 0, 0]);
            i.src = src;
        });
        const icons = [...document.querySelectorAll("link[rel~=icon], link[rel=apple-touch-icon]")]
            .map((l) => l.getAttribute("href"));
        return Promise.all([...icons, meta("og:image")].map(image)).then((loaded) => ({
            title: document.title, description: meta("description"), loaded,
            preview: ["og:title", "og:description", "og:image", "og:type", "twitter:card"]
                .filter((key) => !meta(key))}));
    })()""")
    manifest = browser.call("Page.getAppManifest", session=True)
    parsed = json.loads(manifest.get("data") or "{}")
    sizes = browser.evaluate("""Promise.all(%s.map((icon) => new Promise((done) => {
        const i = new Image();
        i.onload = () => done(`${i.naturalWidth}x${i.naturalHeight}` === icon.sizes);
        i.onerror = () => done(false);
        i.src = icon.src;
    })))""" % json.dumps(parsed.get("icons", [])))
    check(described["title"].startswith("TAVRIK") and len(described["description"]) > 40
          and all(w > 0 and h > 0 for _, w, h in described["loaded"]) and not described["preview"],
          f"title, description, preview tags and icons: {described}")
    check(not manifest["errors"] and parsed.get("name") == "TAVRIK" and len(sizes) >= 2
          and all(sizes), f"the manifest parses, its icons load at their sizes "
          f"({manifest['errors']}, {[i['sizes'] for i in parsed.get('icons', [])]})")

    kept = browser.evaluate("""navigator.serviceWorker.ready.then((registration) =>
        registration.active.state === "activated" ? 0 : new Promise((done) =>
            registration.active.addEventListener("statechange", done)))
        .then(() => caches.keys())""")
    check(kept == [f"tavrik-{version}"], f"the service worker keeps the files in {kept}")
    seen = []
    for served in (True, False):
        if not served:
            server.shutdown()
            server.server_close()
        browser.open(base + "?seed=2&frame-ms=40&frames=300")
        browser.wait_until("tavrik.frames === 300")
        seen.append(canvas_picture(browser))
    online, offline = seen
    check(offline == online and lit(offline)[0] > 10000,
          f"a second visit with the server stopped draws the same frame ({lit(offline)[0]} lit pixels)")
finally:
    browser.close()

if failures:
    sys.exit(f"{len(failures)} checks failed")
print("PASS")
