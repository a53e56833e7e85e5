#!/usr/bin/python3
# wine.py RELEASE_FOLDER -- the Windows release's cragmoor.exe under Wine in a real X window
# under openbox (run in xvfb-run's 1920x1200 screen), played through the shared table with
# xdotool's X keys, read back pixel for pixel, heard through SDL's disk driver; its errors
# must reach the player in a message box as well as on standard output.
import os, pathlib, shutil, subprocess, sys, tempfile, numpy as np
from table import (CHANGES, GAMES, OPENED, console_of, first_step, heard, prepare, run, shows,
                   start_openbox, title_as_readme, until, x_window)

RELEASE = os.path.abspath(sys.argv[1])  # the unpacked zip: cragmoor.exe, SDL2.dll, the data
FOLDERS = tempfile.TemporaryDirectory(prefix="cragmoor-wine-")
FIND = ("xdotool", "search", "--name", "^Cragmoor$")
# Wine gives the X window manager no minimum size for the window (WM_NORMAL_HINTS holds
# none), so an X-side resize below one whole scale goes through; on Windows the frame stops
# the player's drag there. That one change is left out.
BELOW_MINIMUM = "windowsize 250 150"
QUIET = dict(WINEDEBUG="-all", WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=")


def screen():
    return console_of(x_window())


def shows_after(command, column, row, words):
    run("xdotool", *command.split())
    until(lambda: shows(screen(), column, row, words), "%r did not show %r" % (command, words))


def start(folder, exe=RELEASE + "/cragmoor.exe", **env):  # Wine maps the Unix paths to Z:
    env = dict(os.environ, **QUIET, SDL_VIDEODRIVER="windows", **env)  # not a test run's dummy
    return subprocess.Popen(["wine", exe], cwd=folder, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)


def close(game):  # as the frame's close button does: there is no SIGTERM on Windows
    # Not Alt+F4: openbox takes it, and Wine, which saw Alt go down but never come up, would
    # hold Alt down in the next game.
    window = run(*FIND).split()[0].decode()
    run("wmctrl", "-i", "-c", window)
    return lines(game)


def lines(game):  # Windows' C runtime ends the lines of standard output with CR LF
    return game.communicate(timeout=30)[0].replace(b"\r\n", b"\n")


def play(name, how, played):
    # The working directory holds the damaged copy; the .exe's folder, where Windows players
    # keep the data, is the fallback for a missing or unusable font.
    folder = prepare(FOLDERS.name, name, how)
    audio = pathlib.Path(folder, "audio.raw")
    game = start(folder, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=str(audio))
    until(lambda: game.poll() is not None or run(*FIND), "no window opened")
    shows_after("search --name ^Cragmoor$ windowactivate --sync", 2, 14, "PICK UP ROCK BY")
    title = screen()
    if not how:
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == OPENED.encode(),
              "not opened at %s but %s" % (OPENED, run(*FIND, "getwindowgeometry")))
        assert title_as_readme(title), "the title differs from the README's picture"
    for size, change in [row for row in CHANGES if row[1] != BELOW_MINIMUM] if not how else []:
        run(*FIND, *change.split())
        until(lambda: run(*FIND, "getwindowgeometry").split()[-1] == size.encode() and
              np.array_equal(screen(), title), f"{change} {size}: not the title")
    # Now and then openbox leaves the window unfocused after the lone modifiers; a player
    # would click it: the key goes to the window, whichever has the focus.
    shows_after("search --name ^Cragmoor$ windowactivate --sync key Return", 4, 24, "pots:0 dlvl:1")
    assert not audio.exists(), "a sound was played before the first step"
    shows_after("key q", 32, 24, "give up?")
    shows_after("key shift+y", 31, 24, "nevermind")
    run("xdotool", "key", "d")
    until(lambda: not played or audio.exists() and heard(audio.read_bytes(), first_step()),
          "no footstep heard")
    run("xdotool", "key", "--delay", "100", "q", "y")
    until(lambda: np.array_equal(screen(), title), "giving up did not show the title again")
    out = close(game)
    assert (game.returncode, out.startswith(b"caching sound [step0.wav]\n")) == (0, played), out


def told(game, line):  # the line in a message box, its OK pressed; then status 1
    until(lambda: game.poll() is not None or run(*FIND), "no message box")
    assert game.poll() is None, "ended without showing %r: %r" % (line, game.communicate())
    # Space, not Return: a button is pressed when space comes up, so the box takes both
    # halves of the key; after Return Wine would still hold the key down in the next game.
    run(*FIND, "windowactivate", "--sync", "key", "space")
    out = lines(game)
    assert (game.returncode, out) == (1, line), (game.returncode, out)


start_openbox()
print("left out under Wine: %s (Wine sets no minimum window size for X)" % BELOW_MINIMUM)
told(start(RELEASE, SDL_AUDIODRIVER="bogus"), b"audio init fail")
# A copy of the .exe alone, started in an empty folder: the font is nowhere.
alone = tempfile.mkdtemp(dir=FOLDERS.name)
for name in ("cragmoor.exe", "SDL2.dll"):
    shutil.copy(os.path.join(RELEASE, name), alone)
windows_alone = run("winepath", "-w", alone).strip()
told(start(alone, alone + "/cragmoor.exe"),
     b"cannot find a usable terminal.png in ., " + windows_alone + b"\n")
# No device: the first sound's line is told in a box while the game waits, then play goes on.
game = start(RELEASE, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=FOLDERS.name + "/none/audio.raw")
until(lambda: run(*FIND), "no window opened")
# A key sent before the title is drawn can be lost while Wine is still mapping the window.
shows_after("search --name ^Cragmoor$ windowactivate --sync", 2, 14, "PICK UP ROCK BY")
shows_after("search --name ^Cragmoor$ windowactivate --sync key Return", 4, 24, "pots:0 dlvl:1")
run("xdotool", "key", "d")
until(lambda: len(run(*FIND).split()) == 2, "no message box beside the game")
run("xdotool", "key", "space")  # to the box, which took the focus when it opened
until(lambda: len(run(*FIND).split()) == 1, "the message box stayed")
out = close(game)
assert game.returncode == 0 and b"\nCouldn't open audio: " in out, (game.returncode, out)
for game in GAMES:
    play(*game)
    print("played under Wine:", game[0] or "all data sound", game[1])
