#!/usr/bin/python3
# page.py RELEASE -- the web release (out/web) in headless Chromium, served from 127.0.0.1 and
# typed at through chromedriver: the end-to-end table's games and window changes, read back
# from screenshots pixel for pixel, heard through the samples SDL hands Web Audio.
import base64, collections, io, json, os, re, shutil, subprocess, sys, tempfile, time
import numpy as np
from PIL import Image
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys
from table import (CHANGES, DATA, GAMES, console_of, first_step, heard, prepare, shows,
                   title_as_readme, until)
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
from headless_chromium import chromium, served

RELEASE = os.path.abspath(sys.argv[1])
FOLDERS = tempfile.TemporaryDirectory(prefix="cragmoor-page-")
PACKER = "/usr/share/emscripten/tools/file_packager.py"
WINDOW = (1000, 700)  # the browser's window at the start of every game: the console at scale 2

# Run in the page before its own scripts. SDL's device then runs at the clips' own rate and
# channels (22050 Hz mono) and converts their 16-bit samples to floats exactly; every buffer
# SDL hands Web Audio is kept, as 16-bit samples again, for the test to compare with the files.
RECORDER = """
(() => {
  const Base = window.AudioContext;
  window.AudioContext = function (options) {
    return new Base(Object.assign({}, options, { sampleRate: 22050 }));
  };
  window.AudioContext.prototype = Base.prototype;
  window.heard = [];
  const create = Base.prototype.createScriptProcessor;
  Base.prototype.createScriptProcessor = function (...args) {
    const node = create.apply(this, args);
    let handler = null;
    Object.defineProperty(node, "onaudioprocess", { set(f) { handler = f; }, get() { return handler; } });
    node.addEventListener("audioprocess", (event) => {
      if (handler) handler(event);
      const floats = event.outputBuffer.getChannelData(0), samples = new Int16Array(floats.length);
      for (let i = 0; i < floats.length; i++)
        samples[i] = Math.max(-32768, Math.min(32767, Math.round(floats[i] * 32768)));
      window.heard.push(samples);
    });
    return node;
  };
})();
"""
TAKE_HEARD = """
const bytes = [];
for (const samples of window.heard.splice(0)) bytes.push(...new Uint8Array(samples.buffer));
let text = "";
for (let i = 0; i < bytes.length; i += 8192) text += String.fromCharCode(...bytes.slice(i, i + 8192));
return btoa(text);
"""
# A browser without Web Audio: SDL's audio cannot start.
NO_AUDIO = "delete window.AudioContext; delete window.webkitAudioContext;"

# The table's window changes as a page meets them: the browser's window resized, fullscreen
# on and off, minimised and restored, modifier keys alone.
PAGE_CHANGES = {"windowsize": lambda driver, width, height: driver.set_window_size(int(width), int(height)),
                "key": lambda driver, *keys: type_keys(driver, *keys)}
KEY_NAMES = {"F11": Keys.F11, "alt+Return": (Keys.ALT, Keys.ENTER), "Return": Keys.ENTER,
             "Shift_L": Keys.SHIFT, "Control_R": Keys.CONTROL, "Alt_L": Keys.ALT, "Super_L": Keys.META,
             "Caps_Lock": None, "shift+y": (Keys.SHIFT, "y"), "Escape": Keys.ESCAPE, "space": " "}
MOVES = {(0, -1): "w", (0, 1): "s", (-1, 0): "a", (1, 0): "d"}
# libtcod's colours of rocks, monsters, the player and a heart left
ORANGE, GREEN, WHITE, RED = (255, 127, 0), (0, 255, 0), (255, 255, 255), (255, 0, 0)


def type_keys(driver, *names):
    for name in names:
        if name.startswith("--") or name.isdigit():  # xdotool's options: a page needs none
            continue
        key = KEY_NAMES.get(name, name)
        if key is None:  # Caps Lock cannot be typed through chromedriver
            continue
        actions = ActionChains(driver)
        if isinstance(key, tuple):
            actions.key_down(key[0]).send_keys(key[1]).key_up(key[0])
        else:
            actions.send_keys(key)
        actions.perform()


def change_window(driver, change):
    verb, *arguments = change.split()
    if verb == "windowminimize":
        driver.minimize_window()
        driver.set_window_size(*WINDOW)
    else:
        PAGE_CHANGES[verb](driver, *arguments)


class Page:
    """One opening of the page: its screen, its keys, what it printed and what it played."""

    def __init__(self, driver):
        self.driver, self.printed, self.stream = driver, [], b""

    def shot(self):
        return Image.open(io.BytesIO(self.driver.get_screenshot_as_png())).convert("RGB")

    def screen(self):
        shot = self.shot()
        return console_of(b"P6\n%d %d\n255\n" % shot.size + shot.tobytes())

    def canvas_brightest(self):  # the brightest channel of any pixel where the canvas is
        box = self.driver.execute_script("const r = canvas.getBoundingClientRect(); "
                                         "return [r.left, r.top, r.right, r.bottom]")
        return int(np.asarray(self.shot().crop(tuple(map(int, box)))).max())

    def shows_after(self, keys, column, row, words):
        type_keys(self.driver, *keys.split())
        until(lambda: shows(self.screen(), column, row, words), "%r did not show %r" % (keys, words))

    def heard(self):
        self.stream += base64.b64decode(self.driver.execute_script(TAKE_HEARD))
        return self.stream

    def output(self):  # the lines the game printed, taken from the browser's console
        for entry in self.driver.get_log("browser"):
            line = re.search(r'\d+:\d+ (".*")$', entry["message"])
            if entry["source"] == "console-api" and line:
                self.printed.append(json.loads(line.group(1)))
        return "".join(line + "\n" for line in self.printed)

    def lines(self):  # the page's own line: loading, what the game told, the end
        return self.driver.execute_script(
            "const lines = document.getElementById('lines'); return lines.hidden ? '' : lines.innerText")


def page_folder(data):  # the release with the given data folder packed in place of its own
    folder = tempfile.mkdtemp(dir=FOLDERS.name)
    shutil.copytree(RELEASE, folder, dirs_exist_ok=True)
    files = sorted(name for name in os.listdir(data) if name.endswith((".png", ".wav")))
    subprocess.run(["/usr/bin/python3", PACKER, "cragmoor.data", "--preload"] +
                   ["%s/%s@/data/%s" % (data, name, name) for name in files] +
                   ["--js-output=cragmoor-data.js", "--no-node"], cwd=folder, check=True,
                   capture_output=True)
    return folder


def colours_of(picture, x, y):
    return {tuple(c) for c in picture[y * 8:(y + 1) * 8, x * 8:(x + 1) * 8].reshape(-1, 3)}


def map_of(picture):  # the player, whether it carries a rock, the rocks and the monsters
    player, carrying, rocks, monsters = None, False, set(), set()
    for x in range(40):
        for y in range(24):
            colours = colours_of(picture, x, y)
            if shows(picture, x, y, "@") or (shows(picture, x, y, "*") and WHITE in colours):
                player, carrying = (x, y), WHITE in colours and not shows(picture, x, y, "@")
            elif ORANGE in colours:
                rocks.add((x, y))
            elif GREEN in colours:
                monsters.add((x, y))
    return player, carrying, rocks, monsters


def next_step(player, goals, blocked):  # the first step of a shortest way to a goal, or None
    came = {player: None}
    queue = collections.deque([player])
    while queue:
        cell = queue.popleft()
        if cell in goals:
            while came[cell] != player:
                cell = came[cell]
            return MOVES[(cell[0] - player[0], cell[1] - player[1])]
        for dx, dy in MOVES:
            near = (cell[0] + dx, cell[1] + dy)
            if 0 <= near[0] < 40 and 0 <= near[1] < 24 and near not in came and near not in blocked:
                came[near] = cell
                queue.append(near)
    return None


def walk_to_a_prompt(page):
    """Takes the nearest rock and crushes the level's one monster with it, which leads down;
    the monster may kill the player first. Either ends at the space prompt: returns its
    message and sound."""
    for step in range(600):
        picture = page.screen()
        if shows(picture, 28, 24, "press space!"):
            if RED in colours_of(picture, 0, 24):  # a heart left
                return "next level...", "escape.wav"
            return "you died!!!", "gameover.wav"
        player, carrying, rocks, monsters = map_of(picture)
        if player is None:  # flashing red under a hit, or gone down: the game goes on
            time.sleep(0.1)
            continue
        goals, blocked = (monsters, rocks) if carrying else (rocks, monsters)
        key = next_step(player, goals, blocked - goals)
        type_keys(page.driver, key or "ad"[step % 2])
        # The next step is planned on the picture this one made; a step into a wall makes none.
        for _ in range(10):
            if not np.array_equal(page.screen(), picture):
                break
    raise AssertionError("no prompt after 600 looks at the map")


def space_prompt(page):
    message, sound = walk_to_a_prompt(page)
    type_keys(page.driver, "d", "1", "q")  # only space goes on
    until(lambda: shows(page.screen(), 40 - len(message), 24, message), "the prompt went on")
    until(lambda: heard(page.heard(), open(os.path.join(DATA, sound), "rb").read()[44:2092]),
          "%s not heard at the prompt" % sound)
    level = "dlvl:2" if message == "next level..." else "dlvl:1"
    page.shows_after("space", 11, 24, level)


ROOM = "return [document.documentElement.clientWidth, document.documentElement.clientHeight]"


def window_changes(page, title):
    for _, change in CHANGES:
        change_window(page.driver, change)
        width, height = page.driver.execute_script(ROOM)
        # Unlike a desktop window, a browser's can be made smaller than the console: the page
        # then shows it at scale 1, cut off, and the next change must bring it back whole.
        if width < 320 or height < 200:
            continue
        until(lambda: np.array_equal(page.screen(), title), "%s: not the title" % change)
        if change == "key F11":
            assert page.driver.execute_script("return !!document.fullscreenElement"), "F11: no fullscreen"
    page.driver.set_window_size(*WINDOW)


def play(url, name, how, played):
    with chromium(*WINDOW, before_page=RECORDER) as driver:
        page = Page(driver)
        driver.get(url)
        if name == "terminal.png":  # the page's one data folder has no usable font
            line = "cannot find a usable terminal.png in /data"
            until(lambda: line in page.lines() and "Cragmoor has ended" in page.lines(),
                  "%s %s: the page did not say so" % (name, how))
            assert page.output().startswith(line + "\n"), page.output()
            return
        until(lambda: shows(page.screen(), 2, 14, "PICK UP ROCK BY"), "no title")
        title = page.screen()
        if not how:
            assert title_as_readme(title), "the title differs from the README's picture"
            window_changes(page, title)
        page.shows_after("Return", 4, 24, "pots:0 dlvl:1")
        assert page.heard() == b"", "a sound was played before the first step"
        page.shows_after("q", 32, 24, "give up?")
        page.shows_after("shift+y", 31, 24, "nevermind")  # only y gives up, not Y
        page.shows_after("q", 32, 24, "give up?")
        page.shows_after("n", 31, 24, "nevermind")
        type_keys(driver, "d")  # the first key of the page's game to make a sound
        until(lambda: not played or heard(page.heard(), first_step()), "no footstep heard")
        if not how:
            space_prompt(page)
        type_keys(driver, "q", "y")
        until(lambda: np.array_equal(page.screen(), title), "giving up did not show the title again")
        assert page.output().startswith("caching sound [step0.wav]\n") == played, page.output()
        if not how:  # the title's q ends the game; a key starts it again
            type_keys(driver, "q")
            until(lambda: "Cragmoor has ended. Press any key to play again." in page.lines(),
                  "q on the title did not end the game")
            assert 0 < page.canvas_brightest() < 128, "the ended game does not show dimmed"
            type_keys(driver, "x")
            until(lambda: shows(page.screen(), 2, 14, "PICK UP ROCK BY"), "no new game after the end")


def no_audio(url):
    with chromium(*WINDOW, before_page=NO_AUDIO) as driver:
        driver.get(url)
        page = Page(driver)
        until(lambda: "audio init fail" in page.lines(), "no audio: the page did not say so")
        assert page.output() == "audio init fail\n", page.output()


def scaled_screen(url):  # a screen scaled to 150%: the console at a whole scale of its pixels
    with chromium(*WINDOW, scale=1.5) as driver:
        driver.get(url)
        page = Page(driver)
        until(lambda: shows(page.screen(), 2, 14, "PICK UP ROCK BY"), "150%: no title at a whole scale")


def files_missing():  # a page whose data never arrives says so, not "loading" for ever
    folder = tempfile.mkdtemp(dir=FOLDERS.name)
    shutil.copytree(RELEASE, folder, dirs_exist_ok=True)
    os.remove(os.path.join(folder, "cragmoor.data"))
    with served(folder) as url, chromium(*WINDOW) as driver:
        driver.get(url)
        until(lambda: "Cragmoor could not load its files" in Page(driver).lines(),
              "missing data: the page did not say so")


with served(RELEASE) as url:
    no_audio(url)
    scaled_screen(url)
files_missing()
for game in GAMES:
    folder = page_folder(prepare(FOLDERS.name, *game[:2]))
    with served(folder) as url:
        play(url, *game)
    print("page: %-14s %-10s passed" % game[:2])
