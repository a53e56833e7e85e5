#!/usr/bin/python3
# play.py GAME -- the built game in a real X window under openbox, in xvfb-run's 1920x1200
# screen, typed at with xdotool, read back pixel for pixel, heard through SDL's disk driver;
# then once under Wayland, in sway's headless compositor, typed at with wtype.
import glob, json, os, pathlib, shutil, signal, subprocess, sys, tempfile, numpy as np
from table import (CHANGES, DATA, GAMES, OPENED, console_of, first_step, heard, prepare, run,
                   shows, start_openbox, title_as_readme, until, x_window)

GAME = os.path.abspath(sys.argv[1])
FOLDERS = tempfile.TemporaryDirectory(prefix="cragmoor-e2e-")
FIND = ("xdotool", "search", "--name", "^Cragmoor$")


SHOOT = [x_window]  # how the game's window is taken as a PPM picture


def screen():
    return console_of(SHOOT[0]())


def shows_after(command, column, row, words, typist=("xdotool",)):
    run(*typist, *command.split())
    until(lambda: shows(screen(), column, row, words), "%r did not show %r" % (command, words))


def play(name, how, played):
    folder = prepare(FOLDERS.name, name, how)
    audio = pathlib.Path(folder, "audio.raw")
    env = dict(os.environ, SDL_VIDEODRIVER="x11", SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=str(audio))
    for _ in range(3):  # a busy Xvfb may refuse a connection: SDL then finds no X and gives up
        game = subprocess.Popen([GAME], cwd=folder, env=env, stdout=subprocess.PIPE)
        until(lambda: game.poll() is not None or run(*FIND), "no window opened")
        if game.poll() is None:
            break
    shows_after("search --name ^Cragmoor$ windowactivate --sync", 2, 14, "PICK UP ROCK BY")
    title = screen()
    if not how:
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == OPENED.encode(),
              "not opened at " + OPENED)
        assert title_as_readme(title), "the title differs from the README's picture"
    for size, change in CHANGES if not how else []:
        run(*FIND, *change.split())
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == size.encode() and
              np.array_equal(screen(), title), f"{change} {size}: not the title")
    shows_after("key Return", 4, 24, "pots:0 dlvl:1")
    assert not audio.exists(), "a sound was played before the first step"
    shows_after("key q", 32, 24, "give up?")  # with text input left on, q would answer it
    shows_after("key shift+y", 31, 24, "nevermind")  # only y gives up, not Y
    run("xdotool", "key", "d")  # heard before the next step cuts it off, however busy the machine
    until(lambda: not played or audio.exists() and heard(audio.read_bytes(), first_step()),
          "no footstep heard")
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


start_openbox()
quiet = subprocess.run([GAME], env=dict(os.environ, SDL_AUDIODRIVER="bogus"), capture_output=True)
assert (quiet.returncode, quiet.stdout) == (1, b"audio init fail"), "no audio: %r" % (quiet,)
for game in GAMES:
    play(*game)
wayland()
