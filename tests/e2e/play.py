#!/usr/bin/python3
# play.py GAME DATA -- the built game in a real X window under openbox, in xvfb-run's 1920x1200
# screen, typed at with xdotool, read back pixel for pixel, heard through SDL's disk driver;
# then once under Wayland, in sway's headless compositor, typed at with wtype.
import glob, json, os, pathlib, shutil, signal, subprocess, sys, tempfile, time, numpy as np

GAME, DATA = map(os.path.abspath, sys.argv[1:3])
FOLDERS = tempfile.TemporaryDirectory(prefix="cragmoor-e2e-")
FIND = ("xdotool", "search", "--name", "^Cragmoor$")
TITLE_PNG = os.path.join(DATA, "..", "docs", "title.png")  # the README's picture of the title
OPENED = "1600x1000"  # the largest multiple of 320x200 that fits 1920x1200 with a window frame


def run(*command, data=None, timeout=60):
    return subprocess.run(command, input=data, capture_output=True, timeout=timeout).stdout


def until(shown, what):
    deadline = time.time() + 30  # a busy machine shows a window slowly
    while not shown():
        assert time.time() < deadline, what
        time.sleep(0.1)


# The font's 8 x 8 pixel tiles run down its columns: character c is row c % 16, column c // 16.
FONT = np.frombuffer(run("convert", DATA + "/terminal.png", "-depth", "8", "gray:-"), np.uint8)
GLYPHS = (FONT.reshape(16, 8, 16, 8) > 127).transpose(2, 0, 1, 3).reshape(256, 8, 8)


def x_window():  # import now and then hangs on a window just mapped: the next try takes it
    try:
        return run("import", "-window", "Cragmoor", "-depth", "8", "ppm:-", timeout=5)
    except subprocess.TimeoutExpired:
        return b""


SHOOT = [x_window]  # how the game's window is taken as a PPM picture


def screen():  # the console at scale 1; all black unless at the largest whole scale, centred
    ppm = SHOOT[0]().split(b"\n", 3)
    if len(ppm) < 4:
        return np.zeros((200, 320, 3), np.uint8)
    width, height = map(int, ppm[1].split())
    shot = np.frombuffer(ppm[3], np.uint8).reshape(height, width, 3)
    scale = max(1, min(width // 320, height // 200))
    left, top = (width - 320 * scale) // 2, (height - 200 * scale) // 2
    inside = shot[top:top + 200 * scale, left:left + 320 * scale]
    picture = inside[::scale, ::scale]
    whole = np.array_equal(inside, picture.repeat(scale, 0).repeat(scale, 1))
    return picture if whole and shot.sum() == inside.sum() else np.zeros_like(picture)  # margins


def heard(stream, clip):  # classic SDL writes the clip's own format, SDL3 44.1 kHz stereo
    samples = np.frombuffer(stream[:len(stream) // 2 * 2], "<i2")
    return clip in stream or any(clip in samples[start::4].tobytes() for start in (0, 2))


def shows_after(command, column, row, words, typist=("xdotool",)):  # the words in one colour there
    run(*typist, *command.split())
    strokes = np.hstack([GLYPHS[ord(c)] for c in words])
    def shown():
        cells = screen()[row * 8:(row + 1) * 8, column * 8:][:, :strokes.shape[1]]
        return np.array_equal((cells == cells[strokes][0]).all(axis=2), strokes)
    until(shown, "%r did not show %r" % (command, words))


# Changes of the window at the title, which draws nothing by itself, and the sizes they make:
# never smaller than the console at scale 1.
CHANGES = [("320x200", "windowsize 250 150"), ("1000x450", "windowsize 1000 450"),
           ("1920x1200", "key F11"), ("1000x450", "key alt+Return"),
           ("1000x450", "windowminimize --sync windowactivate --sync"),
           ("1400x900", "windowsize 1400 900"),
           ("1400x900", "key --delay 100 Shift_L Control_R Alt_L Super_L Caps_Lock Caps_Lock")]
# The games: a damaged data file and how ("tiny": a font of 3-pixel tiles), whether the first
# step plays step0.wav.
GAMES = [("", "", True), ("title.png", "garbage", True), ("terminal.png", "missing", True),
         ("terminal.png", "garbage", True), ("terminal.png", "tiny", True),
         ("step0.wav", "garbage", False), ("step0.wav", "truncated", True), ("*.wav", "empty", False)]
DAMAGED = {"garbage": lambda data: data[:4] + os.urandom(300),
           "truncated": lambda data: data[:len(data) // 2], "empty": lambda data: b"",
           "tiny": lambda data: run("convert", "-size", "48x48", "xc:white", "png:-")}


def play(name, how, played):
    folder = tempfile.mkdtemp(dir=FOLDERS.name)
    shutil.copytree(DATA, folder, dirs_exist_ok=True,
                    ignore=shutil.ignore_patterns(name) if how == "missing" else None)
    for path in pathlib.Path(folder).glob(name) if how in DAMAGED else []:
        path.write_bytes(DAMAGED[how](path.read_bytes()))
    audio = pathlib.Path(folder, "audio.raw")
    env = dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=str(audio))
    for _ in range(3):  # a busy Xvfb may refuse a connection: SDL then finds no X and gives up
        game = subprocess.Popen([GAME], cwd=folder, env=env, stdout=subprocess.PIPE)
        until(lambda: game.poll() is not None or run(*FIND), "no window opened")
        if game.poll() is None:
            break
    shows_after("search --name ^Cragmoor$ windowactivate --sync", 2, 14, "PICK UP ROCK BY")
    title = screen()
    if not how:  # CRAGMOOR_UPDATE=1 takes the title shown as the picture
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == OPENED.encode(),
              "not opened at " + OPENED)
        doubled = title.repeat(2, 0).repeat(2, 1)  # the README shows it at twice the font's size
        if os.environ.get("CRAGMOOR_UPDATE"):
            run("convert", "-size", "640x400", "-depth", "8", "rgb:-", TITLE_PNG,
                data=doubled.tobytes())
        assert doubled.tobytes() == run("convert", TITLE_PNG, "-depth", "8", "rgb:-"), TITLE_PNG
    for size, change in CHANGES if not how else []:
        run(*FIND, *change.split())
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == size.encode() and
              np.array_equal(screen(), title), f"{change} {size}: not the title")
    shows_after("key Return", 4, 24, "pots:0 dlvl:1")
    assert not audio.exists(), "a sound was played before the first step"
    shows_after("key q", 32, 24, "give up?")  # with text input left on, q would answer it
    shows_after("key shift+y", 31, 24, "nevermind")  # only y gives up, not Y
    run("xdotool", "key", "d")  # heard before the next step cuts it off, however busy the machine
    step = open(folder + "/step0.wav", "rb").read()[44:2092]
    until(lambda: not played or audio.exists() and heard(audio.read_bytes(), step), "no footstep heard")
    run("xdotool", "key", "--delay", "100", "q", "y")
    until(lambda: np.array_equal(screen(), title), "giving up did not show the title again")
    game.send_signal(signal.SIGTERM)  # SDL takes it as the window's close button
    out = game.communicate(timeout=5)[0]  # status 0; step0.wav first, unless it is broken
    assert (game.returncode, out.startswith(b"caching sound [step0.wav]\n")) == (0, played), out


def wayland():  # one game under sway's headless Wayland, which will not run as root
    home = tempfile.mkdtemp(dir=FOLDERS.name)
    shutil.copytree(DATA, home + "/data")
    shutil.copy(GAME, home)
    pathlib.Path(home, "sway.cfg").write_text("output HEADLESS-1 resolution 1920x1200\n")
    os.chmod(FOLDERS.name, 0o755)
    run("chown", "-R", "nobody", home)
    user = ["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "env", "HOME=" + home,
            "XDG_RUNTIME_DIR=" + home, "WAYLAND_DISPLAY=wayland-1"]
    sway = subprocess.Popen(user + ["WLR_BACKENDS=headless", "WLR_RENDERER=pixman",
                                    "WLR_LIBINPUT_NO_DEVICES=1", "sway", "-c", home + "/sway.cfg"],
                            stderr=subprocess.DEVNULL)
    until(lambda: glob.glob(home + "/sway-ipc.*.sock"), "no sway")
    user.append("SWAYSOCK=" + glob.glob(home + "/sway-ipc.*.sock")[0])
    game = subprocess.Popen(user + ["SDL_VIDEODRIVER=wayland", "SDL_AUDIODRIVER=dummy",
                                    home + "/cragmoor"], cwd=home + "/data", stdout=subprocess.PIPE)
    def window():  # the inside of the game's window, where sway put it
        nodes = [json.loads(run(*user, "swaymsg", "-t", "get_tree") or b"{}")]
        for node in nodes:
            nodes += node.get("nodes", [])
            if node.get("name") == "Cragmoor":
                box, inside = node["rect"], node["window_rect"]
                where = "%d,%d %dx%d" % (box["x"] + inside["x"], box["y"] + inside["y"],
                                         inside["width"], inside["height"])
                return run(*user, "grim", "-t", "ppm", "-g", where, "-")
        return b""
    SHOOT[0] = window
    # Each wtype is a new virtual keyboard: a key sent before SDL has taken its keymap is lost
    # (SDL 2.26 even crashes on it), so wtype waits first, as no real keyboard needs to.
    wtype = user + ["wtype", "-s", "300"]
    shows_after("-s 1", 2, 14, "PICK UP ROCK BY", wtype)
    shows_after("-k Return", 4, 24, "pots:0 dlvl:1", wtype)
    shows_after("q", 32, 24, "give up?", wtype)
    game.send_signal(signal.SIGTERM)
    assert game.wait(timeout=5) == 0, "the game under Wayland did not end on SIGTERM"
    sway.terminate()


subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL)
until(lambda: b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), "no openbox")
quiet = subprocess.run([GAME], env=dict(os.environ, SDL_AUDIODRIVER="bogus"), capture_output=True)
assert (quiet.returncode, quiet.stdout) == (1, b"audio init fail"), "no audio: %r" % (quiet,)
for game in GAMES:
    play(*game)
wayland()
