#!/usr/bin/python3
# measure.py -- the web page's speed in headless Chromium: the desktop benchmark's level and
# turn of 25 monsters inside the page (bench.html), and how long the release's own page takes
# from opening to the title screen. Run by hand: python3 bench/web/measure.py; prints Markdown.
import os, subprocess, sys, time
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools"))
from headless_chromium import chromium, served

OPENINGS = 5  # times the release page is opened afresh
# Every WebGL draw is timed from the page's opening: the first is the title screen, since the
# game presents nothing before it.
# The timers the page sets are counted too: at the title the game does nothing but wait for a
# key, one 1 ms pause per poll, so their rate is the game's polls a second.
DRAWS = """
(() => {
  window.timers = 0;
  const set_timer = window.setTimeout;
  window.setTimeout = function (...args) { window.timers++; return set_timer.apply(this, args); };
  window.draws = [];
  for (const kind of [WebGLRenderingContext, WebGL2RenderingContext])
    for (const name of ["drawArrays", "drawElements"]) {
      const draw = kind.prototype[name];
      kind.prototype[name] = function (...args) { window.draws.push(performance.now()); return draw.apply(this, args); };
    }
})();
"""


def until(condition, seconds=60):
    deadline = time.time() + seconds
    while not condition():
        if time.time() > deadline:
            sys.exit("measure.py: timed out")
        time.sleep(0.05)


# Chromium windows whose pages show 320 x 200 at scales 2, 3 and 5, as the default headless
# window and the desktop's X columns of 960 x 600 and 1600 x 1000 do.
WINDOWS = ((800, 600), (1000, 800), (1700, 1300))


def benchmark_figures(width, height):
    with served(os.path.join(ROOT, "build", "web")) as url, chromium(width, height) as driver:
        driver.get(url + "bench.html")
        until(lambda: driver.title.startswith("done"))
        assert driver.title == "done 0", driver.title
        text = driver.find_element("id", "figures").text
        shown = driver.execute_script("return canvas.style.width + 'x' + canvas.style.height")
    figures = dict(line[2:].split(" ", 1) for line in text.splitlines() if line.startswith("= "))
    figures["shown"] = shown.replace("px", "")
    return figures


COUNT = "return [window.timers, performance.now()]"


def title_ms():
    times, polls = [], []
    with served(os.path.join(ROOT, "out", "web")) as url:
        for _ in range(OPENINGS):
            with chromium(before_page=DRAWS) as driver:
                driver.get(url)
                until(lambda: driver.execute_script("return window.draws.length") > 0)
                times.append(driver.execute_script("return window.draws[0]"))
                (timers, start), _, (later, end) = (driver.execute_script(COUNT), time.sleep(2),
                                                    driver.execute_script(COUNT))
                polls.append((later - timers) * 1000 / (end - start))
    return sorted(times)[len(times) // 2], max(times), sorted(polls)[len(polls) // 2]


subprocess.run(["sh", os.path.join(ROOT, "tools", "release-web.sh"), "cragmoor_web_bench"],
               check=True, stdout=subprocess.DEVNULL)
columns = [benchmark_figures(*window) for window in WINDOWS]
median_title, slowest_title, polls = title_ms()
ROWS = [("Game's window (canvas pixels)", "window", "%s", ""),
        ("Shown at (scale, CSS pixels)", "shown", "%s", ""), ("SDL video driver / renderer", "drawing", "%s", ""),
        ("Flushes in level 1", "level_flushes", "%s", ""),
        ("Presents in level 1", "level_presents", "%s", ""),
        ("Key to the last picture of level 1 (ms)", "level_ms", "%.1f", "<= 100"),
        ("Flushes in a turn of 25 monsters", "key_flushes", "%s", ""),
        ("Presents in the turn", "key_presents", "%s", ""),
        ("Key to the last picture of the turn (ms)", "key_ms", "%.2f", "<= 16.7"),
        ("One present of the whole canvas, median (ms)", "present_ms", "%.2f", "")]
print("| Figure |" + "".join(" Chromium window %dx%d |" % w for w in WINDOWS) + " Goal |")
print("|---|" + "---|" * (len(WINDOWS) + 1))
for label, name, form, goal in ROWS:
    values = [form % (float(c[name]) if form != "%s" else c[name]) for c in columns]
    print("| %s | %s | %s |" % (label, " | ".join(values), goal))
print("\nOpening the release page to the title's first draw (ms), median of %d: %.0f, "
      "slowest: %.0f (goal <= 2000)" % (OPENINGS, median_title, slowest_title))
print("The game's polls for a key at the title, a second, median of %d: %.0f "
      "(one 1 ms pause each: at most 1000)" % (OPENINGS, polls))
