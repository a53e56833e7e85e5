# table.py -- what every end-to-end run of the game shares, on Linux, under Wine or in a page:
# the games it plays, the changes of window it makes, and the reading of a picture of the
# window, pixel for pixel, against the game's own font.
import os, pathlib, shutil, subprocess, tempfile, time, numpy as np

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "data")
TITLE_PNG = os.path.join(DATA, "..", "docs", "title.png")  # the README's picture of the title


def run(*command, data=None, timeout=60):
    return subprocess.run(command, input=data, capture_output=True, timeout=timeout).stdout


def x_window():  # import now and then hangs on a window just mapped: the next try takes it
    try:
        return run("import", "-window", "Cragmoor", "-depth", "8", "ppm:-", timeout=5)
    except subprocess.TimeoutExpired:
        return b""


def until(shown, what):
    deadline = time.time() + 30  # a busy machine shows a window slowly
    while not shown():
        assert time.time() < deadline, what
        time.sleep(0.1)


def start_openbox():
    # Once in a while, on a busy machine, openbox finds no display just after xvfb-run has
    # started its X server, and ends: it is started again until the root window names it.
    openbox = []
    def running():
        if not openbox or openbox[-1].poll() is not None:
            openbox.append(subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL))
        return b"window id" in run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK")
    until(running, "no openbox")


# The font's 8 x 8 pixel tiles run down its columns: character c is row c % 16, column c // 16.
FONT = np.frombuffer(run("convert", DATA + "/terminal.png", "-depth", "8", "gray:-"), np.uint8)
GLYPHS = (FONT.reshape(16, 8, 16, 8) > 127).transpose(2, 0, 1, 3).reshape(256, 8, 8)


def console_of(ppm):  # the console at scale 1; all black unless at the largest whole scale, centred
    ppm = ppm.split(b"\n", 3)
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


def shows(picture, column, row, words):  # the words there, in one colour
    strokes = np.hstack([GLYPHS[ord(c)] for c in words])
    cells = picture[row * 8:(row + 1) * 8, column * 8:][:, :strokes.shape[1]]
    return cells.shape[1] == strokes.shape[1] and np.array_equal((cells == cells[strokes][0]).all(axis=2), strokes)


def title_as_readme(title):  # the README shows the title at twice the font's size
    doubled = title.repeat(2, 0).repeat(2, 1)
    if os.environ.get("CRAGMOOR_UPDATE"):  # CRAGMOOR_UPDATE=1 takes the title shown as the picture
        run("convert", "-size", "640x400", "-depth", "8", "rgb:-", TITLE_PNG, data=doubled.tobytes())
    return doubled.tobytes() == run("convert", TITLE_PNG, "-depth", "8", "rgb:-")


def heard(stream, clip):  # classic SDL writes the clip's own format, SDL3 44.1 kHz stereo
    samples = np.frombuffer(stream[:len(stream) // 2 * 2], "<i2")
    return clip in stream or any(clip in samples[start::4].tobytes() for start in (0, 2))


def first_step():  # the first 2048 bytes of the first footstep's samples
    return open(DATA + "/step0.wav", "rb").read()[44:2092]


# Changes of the window at the title, which draws nothing by itself, and the sizes they make
# in a 1920x1200 screen with a window manager: never smaller than the console at scale 1.
CHANGES = [("320x200", "windowsize 250 150"), ("1000x450", "windowsize 1000 450"),
           ("1920x1200", "key F11"), ("1000x450", "key alt+Return"),
           ("1000x450", "windowminimize --sync windowactivate --sync"),
           ("1400x900", "windowsize 1400 900"),
           ("1400x900", "key --delay 100 Shift_L Control_R Alt_L Super_L Caps_Lock Caps_Lock")]
OPENED = "1600x1000"  # the largest multiple of 320x200 that fits 1920x1200 with a window frame

# The games: a damaged data file and how ("tiny": a font of 3-pixel tiles), whether the first
# step plays step0.wav. The game finds another data folder for a missing or unusable font.
GAMES = [("", "", True), ("title.png", "garbage", True), ("terminal.png", "missing", True),
         ("terminal.png", "garbage", True), ("terminal.png", "tiny", True),
         ("step0.wav", "garbage", False), ("step0.wav", "truncated", True), ("*.wav", "empty", False)]
DAMAGED = {"garbage": lambda data: data[:4] + os.urandom(300),
           "truncated": lambda data: data[:len(data) // 2], "empty": lambda data: b"",
           "tiny": lambda data: run("convert", "-size", "48x48", "xc:white", "png:-")}


def prepare(parent, name, how):  # a copy of data/ with the game's file damaged as the row says
    folder = tempfile.mkdtemp(dir=parent)
    shutil.copytree(DATA, folder, dirs_exist_ok=True,
                    ignore=shutil.ignore_patterns(name) if how == "missing" else None)
    for path in pathlib.Path(folder).glob(name) if how in DAMAGED else []:
        path.write_bytes(DAMAGED[how](path.read_bytes()))
    return folder
