"""The page in headless Chromium, served from 127.0.0.1: a lit scene at two window sizes, the
frame counter advancing with the heap unchanged, the readout, the pause while hidden, the
address's settings drawing what the native runner draws (640x480 between black bars), the panel,
the cursor and full screen, a bad value logged once, and no console errors.
    page_test.py SITE_DIR TAVRIK_BIN WORK_DIR"""
import base64
import os
import subprocess
import sys
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
        data = browser.evaluate("picture.toDataURL('image/png')")
        pictures[name] = read_png(base64.b64decode(data.split(",", 1)[1]))
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
    errors = browser.console({"error"})
    check(not errors, f"no console errors {errors}")
finally:
    browser.close()
server.shutdown()

if failures:
    sys.exit(f"{len(failures)} checks failed")
print("PASS")
