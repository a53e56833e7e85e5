#!/usr/bin/env python3
# play.py GAME DATA -- the built game in a real X window under openbox (run it in xvfb-run's
# 1920 x 1200 screen): typed at with xdotool, its window read back against the game's own
# font, its sound from SDL's disk driver. What only a real window and keyboard show.
import glob, os, shutil, signal, subprocess, sys, tempfile, time

GAME, DATA = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
FONT = subprocess.run(["convert", DATA + "/terminal.png", "-depth", "8", "gray:-"],
                      capture_output=True, check=True).stdout
TILE = int(len(FONT) ** 0.5) // 16
GLYPHS = {c: [FONT[(c % 16 * TILE + y) * 16 * TILE + c // 16 * TILE + x] > 127
              for y in range(TILE) for x in range(TILE)] for c in [179] + list(range(32, 127))}


def start(damage=lambda folder: None, renderer="sdl"):
    folder = tempfile.mkdtemp(prefix="cragmoor-e2e-")
    shutil.copytree(DATA, folder, dirs_exist_ok=True)
    damage(folder)
    env = dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="disk", TCOD_RENDERER=renderer,
               SDL_DISKAUDIOFILE=folder + "/audio.raw")
    search = ["xdotool", "search", "--name", "^Cragmoor$"]
    for _ in range(3):  # a busy Xvfb may refuse a connection: SDL then finds no X and gives up
        game = subprocess.Popen([GAME], cwd=folder, env=env, stdout=subprocess.PIPE)
        until(lambda: game.poll() or subprocess.run(search, capture_output=True).stdout,
              "no window opened")
        if game.poll() is None:
            break
    window = subprocess.run(search, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowactivate", "--sync", window])
    return game, folder, window


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "100"] + list(names), check=True)


def screen(window):  # the console's pixels, b"" unless at the largest whole scale, centred
    ppm = subprocess.run(["import", "-window", window, "-depth", "8", "ppm:-"],
                         capture_output=True).stdout
    _, size, _, shot = ppm.split(b"\n", 3)
    width, height = map(int, size.split())
    scale = max(1, min(width // 640, height // 400))
    left, top = (width - 640 * scale) // 2, (height - 400 * scale) // 2
    lines = [shot[((top + y * scale) * width + left) * 3:][:1920 * scale] for y in range(400)]
    picture = [b"".join(line[x:x + 3] for x in range(0, 1920 * scale, 3 * scale)) for line in lines]
    scaled = [b"".join(row[x:x + 3] * scale for x in range(0, 1920, 3)) for row in picture]
    right = bytes((width - left - 640 * scale) * 3)
    frame = [bytes(width * 3)] * top + [bytes(left * 3) + row + right for row in scaled
                                        for _ in range(scale)]
    frame += [bytes(width * 3)] * (height - top - 400 * scale)
    return b"".join(picture) if b"".join(frame) == shot else b""


def text(shot, column, row, length):
    def read(x):
        pixels = [shot[((row * TILE + y) * 640 + x * TILE + i) * 3:][:3]
                  for y in range(TILE) for i in range(TILE)]
        ground = max(set(pixels), key=pixels.count)
        ink = [p != ground for p in pixels]  # the nearest glyph: edges blend into the ground
        return chr(min(GLYPHS, key=lambda c: sum(a != b for a, b in zip(GLYPHS[c], ink))))
    return "".join(read(x) for x in range(column, column + length)) if shot else ""


def until(shown, what):
    for _ in range(100):
        if shown():
            return
        time.sleep(0.1)
    raise AssertionError(what)


def wait_for(window, column, row, words):
    def matches():  # a letter or two of another font may read as a neighbour
        shown = text(screen(window), column, row, 40 - column)
        return words in shown or sum(a == b for a, b in zip(shown, words)) >= 0.8 * len(words)
    until(matches, "the window never showed %r" % words)


def close(game):
    assert game.poll() is None, "the game ended before its window was closed"
    game.send_signal(signal.SIGTERM)  # SDL takes it as the window's close button
    assert game.wait(5) == 0, "closing the window ended the game with %d" % game.returncode
    return game.stdout.read().decode()


# Each change of the window and its size after: the title as it was, at the new scale.
CHANGES = [("640x400", ["windowsize", "%1", "640", "400"]),
           ("1000x450", ["windowsize", "%1", "1000", "450"]), ("1920x1200", ["key", "F11"]),
           ("1000x450", ["key", "alt+Return"]),
           ("1000x450", ["windowminimize", "--sync", "%1", "windowactivate", "--sync", "%1"]),
           ("1400x900", ["windowsize", "%1", "1400", "900"]),
           ("1400x900", ["key", "Shift_L", "Control_R", "Alt_L", "Super_L", "Caps_Lock",
                         "Caps_Lock"])]


def whole_game(renderer):
    game, folder, window = start(renderer=renderer)
    wait_for(window, 2, 14, "PICK UP ROCK BY")
    title = screen(window)
    for size, change in CHANGES:  # the title draws nothing more until the window changes
        subprocess.run(["xdotool", "search", "--name", "^Cragmoor$"] + change, check=True)
        until(lambda: subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True,
                                     text=True).stdout.split()[-1] == size and
              screen(window) == title, "%s %s: not the title at %s" % (renderer, change, size))
    keys("Return")
    wait_for(window, 3, 24, "pots:0 dlvl:1")
    assert not os.path.exists(folder + "/audio.raw"), "a sound was played before the first step"
    keys("q")
    wait_for(window, 20, 24, "give up?")
    # Only y gives up, not Y; with text input left on, the q would answer its own question.
    keys("shift+y")
    wait_for(window, 20, 24, "nevermind")
    keys("d")  # heard before the next step cuts it off, however busy the machine
    with open(folder + "/step0.wav", "rb") as clip:
        step = clip.read()[44:2092]
    until(lambda: step in open(folder + "/audio.raw", "rb").read(), "the footstep was not heard")
    keys("a")
    keys("q", "y")
    wait_for(window, 2, 14, "PICK UP ROCK BY")
    assert close(game).startswith("caching sound [step0.wav]\n")


# Damaged data files: the game starts, plays a step and ends when its window closes.
DAMAGES = [("title.png", "missing"), ("title.png", "garbage"), ("terminal.png", "missing"),
           ("step0.wav", "garbage"), ("step0.wav", "truncated"), (".wav", "empty")]


def damage(folder, name, how):
    for path in glob.glob(folder + "/*" + name):
        data = open(path, "rb").read()
        os.remove(path)
        kept = {"garbage": data[:4] + os.urandom(300), "truncated": data[:len(data) // 2]}
        if how != "missing":
            open(path, "wb").write(kept.get(how, b""))


def damaged_files():
    for name, how in DAMAGES:
        game, folder, window = start(lambda folder: damage(folder, name, how))
        time.sleep(0.5)
        keys("Return", "d", "a")
        time.sleep(1)
        out = close(game)
        if how != "truncated" and name.endswith(".wav"):
            assert "caching sound [step0.wav]" not in out, "a broken step0.wav was played"


def no_audio():
    game = subprocess.run([GAME], env=dict(os.environ, SDL_AUDIODRIVER="bogus"),
                          capture_output=True, timeout=10)
    assert game.returncode == 1 and game.stdout == b"audio init fail"


subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL)
until(lambda: b"window id" in subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                             capture_output=True).stdout, "no window manager")
for check in (lambda: whole_game("sdl"), lambda: whole_game("sdl2"), no_audio, damaged_files):
    check()
