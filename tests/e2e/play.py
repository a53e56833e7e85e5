#!/usr/bin/env python3
# play.py -- the built game in a real X window (run it under xvfb-run): typed at with
# xdotool, its window read back against the game's own font, its sound from SDL's disk
# driver. What only a real window and keyboard show; the rules are the unit tests' part.
import os, shutil, signal, subprocess, sys, tempfile, time

GAME, DATA = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
FONT = subprocess.run(["convert", DATA + "/terminal.png", "-depth", "8", "gray:-"], capture_output=True, check=True).stdout
TILE = int((len(FONT)) ** 0.5) // 16
GLYPHS = {bytes(FONT[(c % 16 * TILE + y) * 16 * TILE + c // 16 * TILE + x] > 127 for y in range(TILE) for x in range(TILE)): c
          for c in list(range(126, 31, -1)) + [179]}


class Game:
    def __init__(self, damage=lambda folder: None, audio="disk"):
        self.dir = tempfile.mkdtemp(prefix="cragmoor-e2e-")
        shutil.copytree(DATA, self.dir, dirs_exist_ok=True)
        damage(self.dir)
        env = dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER=audio, SDL_DISKAUDIOFILE=self.dir + "/audio.raw")
        self.process = subprocess.Popen([GAME], cwd=self.dir, env=env, stdout=subprocess.PIPE)
        self.window = None
        for _ in range(100 if audio != "bogus" else 0):
            found = subprocess.run(["xdotool", "search", "--name", "^Cragmoor$"], capture_output=True, text=True).stdout.split()
            if found:
                self.window = found[0]
                subprocess.run(["xdotool", "windowfocus", "--sync", self.window])
                return
            time.sleep(0.1)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "100"] + list(names), check=True)

    def screen(self):
        return subprocess.run(["import", "-window", self.window, "-depth", "8", "rgb:-"], capture_output=True).stdout

    def text(self, shot, column, row, length):
        def read(x):
            pixels = [shot[((row * TILE + y) * 40 * TILE + x * TILE + i) * 3:][:3] for y in range(TILE) for i in range(TILE)]
            ground = max(set(pixels), key=pixels.count)
            ink = [p != ground for p in pixels]  # the nearest glyph: edges blend into the ground
            return chr(min(GLYPHS.items(), key=lambda g: sum(a != b for a, b in zip(g[0], ink)))[1])
        return "".join(read(x) for x in range(column, column + length)) if len(shot) == 40 * 25 * TILE * TILE * 3 else ""

    def wait_for(self, column, row, words, seconds=10):
        for _ in range(int(seconds * 10)):
            shot = self.screen()
            shown = self.text(shot, column, row, 40 - column)
            if sum(a == b for a, b in zip(shown, words)) >= 0.8 * len(words):
                return shot  # a letter or two of another font may read as a neighbour
            if words in shown:
                return shot
            time.sleep(0.1)
        raise AssertionError("the window never showed %r; it shows %r" % (words, self.text(self.screen(), column, row, 40 - column)))

    def close(self):
        assert self.process.poll() is None, "the game ended before its window was closed"
        self.process.send_signal(signal.SIGTERM)  # SDL takes it as the window's close button
        assert self.process.wait(2) == 0, "closing the window ended the game with %d" % self.process.returncode
        return self.process.stdout.read().decode()


def whole_game():
    game = Game()
    game.wait_for(2, 14, "PICK UP ROCK BY")
    time.sleep(0.5)
    title = game.screen()
    game.keys("Return")
    game.wait_for(3, 24, "pots:0 dlvl:1")
    assert not os.path.exists(game.dir + "/audio.raw"), "a sound was played before the first step"
    game.keys("q")
    game.wait_for(20, 24, "give up?")
    game.keys("n")  # with text input left on, the q would answer its own question
    game.wait_for(20, 24, "nevermind")
    game.keys("d", "a")
    time.sleep(0.5)
    with open(game.dir + "/step0.wav", "rb") as clip, open(game.dir + "/audio.raw", "rb") as heard:
        assert clip.read()[44:2092] in heard.read(), "the first footstep never reached the speakers"
    game.keys("q", "y")
    game.wait_for(2, 14, "PICK UP ROCK BY")
    time.sleep(0.5)
    assert game.screen() == title, "giving up showed another title screen"
    game.keys("Return")
    game.wait_for(3, 24, "pots:0 dlvl:1")
    game.keys("q")
    game.wait_for(20, 24, "give up?")
    assert game.close().startswith("caching sound [step0.wav]\n")


# Damaged data files: the game starts, plays a step and ends when its window closes.
def spoil(name, how):
    def damage(folder):
        for path in [os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(name)]:
            with open(path, "r+b") as f:
                f.truncate(0 if how == "empty" else os.path.getsize(path) // 2)
                f.seek(4 if how == "garbage" else 0)
                f.write(os.urandom(300) if how == "garbage" else b"")
            if how == "missing":
                os.remove(path)
    return damage


DAMAGES = [("title.png", "missing"), ("title.png", "garbage"), ("terminal.png", "missing"),
           ("step0.wav", "garbage"), ("step0.wav", "truncated"), (".wav", "empty")]


def damaged_files():
    for name, how in DAMAGES:
        game = Game(spoil(name, how))
        time.sleep(1.5)
        game.keys("Return")
        time.sleep(1.5)
        game.keys("d", "a")
        time.sleep(0.3)
        out = game.close()
        if how != "truncated" and name.endswith(".wav"):
            assert "caching sound [step0.wav]" not in out, "a broken step0.wav was played: %r" % out


def no_audio():
    game = Game(audio="bogus")
    assert game.process.wait(10) == 1 and game.process.stdout.read() == b"audio init fail"


for check in (whole_game, no_audio, damaged_files):
    print(check.__name__)
    check()
