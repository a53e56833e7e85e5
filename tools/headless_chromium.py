# headless_chromium.py -- a folder served on 127.0.0.1 and Debian's Chromium, headless, driven
# through chromedriver: what the web page's tests and benchmark open the page with.
import contextlib, functools, http.server, socketserver, tempfile, threading
from selenium import webdriver
from selenium.webdriver.chrome.service import Service

# Headless with software WebGL; the rest keeps a closed network's Chromium from calling home.
# No autoplay flag: the page must start its sound the way a browser allows.
FLAGS = ["--headless=new", "--no-sandbox", "--disable-gpu", "--enable-unsafe-swiftshader",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--no-first-run"]


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    # The page is read afresh on every load, as a player's browser would after a new release.
    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


@contextlib.contextmanager
def served(folder):
    """The folder on a free port of 127.0.0.1, as python3 -m http.server serves it: its URL."""
    handler = functools.partial(QuietHandler, directory=folder)
    with socketserver.ThreadingTCPServer(("127.0.0.1", 0), handler) as server:
        thread = threading.Thread(target=server.serve_forever, daemon=True)
        thread.start()
        try:
            yield "http://127.0.0.1:%d/" % server.server_address[1]
        finally:
            server.shutdown()


@contextlib.contextmanager
def chromium(width=1000, height=700, before_page=None, scale=1):
    """A fresh headless Chromium whose window is width x height, on a screen scaled by scale;
    before_page is JavaScript run in every page before the page's own scripts. The browser's
    console is kept for reading."""
    with tempfile.TemporaryDirectory(prefix="cragmoor-chromium-") as profile:
        options = webdriver.ChromeOptions()
        for flag in FLAGS + ["--window-size=%d,%d" % (width, height), "--user-data-dir=" + profile,
                             "--force-device-scale-factor=%g" % scale]:
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        try:
            if before_page:
                driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": before_page})
            yield driver
        finally:
            driver.quit()
