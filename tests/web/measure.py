"""The page's speed in headless Chromium: milliseconds per frame (simulation, drawing, showing)
over a fixed run (seed 1998, 600 frames on a 16 ms clock, default settings), and the frames per
second it shows at the screen's refresh. Not a test: it prints the figures for the README.
    measure.py SITE_DIR"""
import sys
import time

from devtools import Browser, serve

server, base = serve(sys.argv[1])

print("size        ms/frame  of which shown  fps shown")
for width, height in ((1280, 720), (1920, 1080)):
    browser = Browser(width, height + 143)  # headless Chromium's window keeps 143 rows for itself
    try:
        browser.open(base + f"?seed=1998&frame-ms=16&frames=600&resolution={width}x{height}")
        browser.wait_until("tavrik.frames === 600", timeout=300)
        ms, shown = browser.evaluate("[tavrik.frameMs, tavrik.showMs]")
        browser.open(base + "?seed=1998")
        browser.wait_until("tavrik.frames >= 60")
        first = browser.evaluate("[tavrik.frames, performance.now()]")
        time.sleep(5)
        last = browser.evaluate("[tavrik.frames, performance.now(), [innerWidth, innerHeight]]")
        fps = (last[0] - first[0]) * 1000 / (last[1] - first[1])
        print(f"{width}x{height}  {ms:8.2f}  {shown:14.2f}  {fps:9.1f}  (window {last[2][0]}x{last[2][1]})")
    finally:
        browser.close()
server.shutdown()
