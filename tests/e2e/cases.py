# cases.py -- the end-to-end cases: each starts the game once and follows a player
# through it, from the window opening to the process ending.
import os
import random
import struct
import time
import wave

import player
import screen
from player import Player, TitlePicture
from session import Failure, expect

Level = screen.Level

CASES = {}


class Case:
    def __init__(self, run, session):
        self.run = run
        self.session = session


def case(name, **session):
    def register(run):
        CASES[name] = Case(run, session)
        return run
    return register


def open_title(game):
    """Starts the game and waits for its title screen."""
    game.start()
    picture = TitlePicture(game.game_dir)
    try:
        shot = player.wait_for_title(game, picture)
    except Failure:
        raise Failure("the title screen is wrong: %s" % player.describe_title(game, picture))
    return shot


def start_level_one(game):
    game.keys("Return")
    level = player.wait_for_level(game, "level 1 with three red hearts and 'pots:0 dlvl:1'",
                                  hearts="rrr", status="pots:0 dlvl:1")
    player.check_new_level(level, monsters=1)
    return level


@case("title_screen")
def title_screen(game):
    open_title(game)
    expect(game.window_name() == "Cragmoor", "the window is named %r" % game.window_name())
    width, height = game.window_size()
    tile_w, tile_h = game.font.tile_width, game.font.tile_height
    expect((width, height) == (40 * tile_w, 25 * tile_h),
           "the window is %d x %d pixels, not 40 x 25 tiles of %d x %d"
           % (width, height, tile_w, tile_h))
    time.sleep(0.5)
    expect(game.running(), "the title screen did not wait for a key")
    expect(game.close_window() == 0, "closing the window on the title screen: status %d"
           % game.process.returncode)


@case("title_q_quits")
def title_q_quits(game):
    open_title(game)
    game.keys("q")
    status, seconds = game.wait_for_exit(3.0)
    expect(status == 0, "q on the title screen ended the game with status %d" % status)
    expect("caching sound" not in game.output(), "a sound played on the title screen")


@case("walk")
def walk(game):
    """Level 1 as a player first meets it, a few steps by letters and arrows, then the
    window closed in the middle of the game."""
    open_title(game)
    level = start_level_one(game)
    me = Player(game)
    me.look(level)
    start, _ = me.where()
    for (dx, dy), letter, arrow in player.MOVES:
        there = (start[0] + dx, start[1] + dy)
        for key in (letter, arrow):
            game.keys(key)
            shot = game.settled(lambda s: Level(s).player() == there + (False,),
                                "one step %s to %s" % (key, there))
            me.look(Level(shot))
            expect(me.level.cells[start] == "floor", "the cell left behind is not floor again")
            back = player.key_toward(there, start, arrows=key == letter)
            game.keys(back)
            game.settled(lambda s: Level(s).player() == start + (False,),
                         "the step %s back to %s" % (back, start))
    shot = game.last_screen
    expect(shot.hearts() == "rrr", "hearts %s after walking about" % shot.hearts())
    expect(game.close_window() == 0, "closing the window in the game: status %d"
           % game.process.returncode)



def play_level_one(game, attempts=4):
    """Plays level 1 up to the moment its monster is crushed: a rock picked up on the way,
    the potion key tried with no potion. A level on which no rock or monster is near
    enough is given up, back to the title screen, and a new game is tried; so is one in
    which the player dies."""
    picture = TitlePicture(game.game_dir)
    first_title = open_title(game)
    game.keys("Return")
    for _ in range(attempts):
        me = Player(game)
        me.look(player.wait_for_level(game, "level 1 with three red hearts and "
                                      "'pots:0 dlvl:1'", hearts="rrr", status="pots:0 dlvl:1"))
        player.check_new_level(me.level, monsters=1)
        game.keys("1")
        game.settled(lambda s: s.message() == "no potion!", "'no potion!' on the bottom row")
        try:
            rock = me.pick_up_rock()
            if rock is not None:
                # A monster's hit in the same turn replaces the message at once.
                expect(game.last_screen.message() in ("got rock", "monster hit!"),
                       "picking up the rock says %r" % game.last_screen.message())
                if me.hunt() is not None:
                    return me, first_title
        except player.Died:
            game.keys("space")
            continue
        player.give_up(game)
        again = player.wait_for_title(game, picture)
        expect(again.same_picture(first_title), "giving up shows another title screen")
        game.keys("Return")
    raise Failure("no level out of %d let the player crush its monster" % attempts)


def wait_for_prompt(game):
    game.settled(lambda s: s.message() == "press space!" and Level(s).player() is None,
                 "the space-bar prompt", timeout=10)
    game.settled(lambda s: s.message() == "next level...", "'next level...' blinking with "
                 "'press space!'", timeout=10)


@case("play")
def play(game):
    """A whole visit: title, level 1 played to its end, level 2, a potion drunk, then the
    game given up back to the very same title screen, and Escape there."""
    me, first_title = play_level_one(game)
    wait_for_prompt(game)
    game.keys("space")
    level = player.wait_for_level(game, "level 2 with the potion of level 1 carried",
                                  status="pots:1 dlvl:2")
    player.check_new_level(level, monsters=2)
    hearts = game.last_screen.hearts()
    expect(hearts in ("rrr", "rrg", "rgg"), "hearts %s on level 2" % hearts)
    game.keys("1")
    if hearts == "rrr":
        shot = game.settled(lambda s: s.message() == "no effect!" and s.status() == "pots:0 dlvl:2"
                            and Level(s).complete(), "'no effect!' and no potion left")
    else:
        healed = hearts.replace("g", "r", 1)
        shot = game.settled(lambda s: s.message() in ("healed!", "monster hit!")
                            and s.status() == "pots:0 dlvl:2" and Level(s).complete(),
                            "'healed!' and no potion left")
        expect(shot.hearts() in (healed, hearts), "hearts %s after drinking at %s"
               % (shot.hearts(), hearts))
    player.give_up(game)
    again = player.wait_for_title(game, TitlePicture(game.game_dir))
    expect(again.same_picture(first_title), "giving up shows another title screen")
    game.keys("Escape")
    status, _ = game.wait_for_exit(3.0)
    expect(status == 0, "Escape on the title screen ended the game with status %d" % status)


@case("give_up_question")
def give_up_question(game):
    """q asks; the second key answers and anything but y goes on; the window closed
    while the question waits ends the game at once."""
    open_title(game)
    level = start_level_one(game)
    game.keys("q")
    game.settled(lambda s: s.message() == "give up?", "the give-up question")
    time.sleep(0.2)
    game.keys("y")
    time.sleep(0.3)
    game.keys("n")
    shot = game.settled(lambda s: s.message() == "nevermind", "'nevermind'")
    expect(Level(shot).player() == level.player(), "answering the question moved the player")
    game.keys("q")
    game.settled(lambda s: s.message() == "give up?", "the give-up question again")
    time.sleep(0.3)
    expect(game.close_window() == 0, "closing the window at the question: status %d"
           % game.process.returncode)


def clip_start(game, name, length=2048):
    """The first bytes of a sound's samples, as the game's data folder holds it."""
    with wave.open(os.path.join(game.game_dir, name), "rb") as clip:
        return clip.readframes(length // clip.getsampwidth())[:length]


def played(game, path, names, timeout=5.0):
    """Waits until the start of each named sound is in the recorded output."""
    deadline = time.monotonic() + timeout
    missing = names
    while time.monotonic() < deadline:
        recorded = open(path, "rb").read() if os.path.exists(path) else b""
        missing = [name for name in names if clip_start(game, name) not in recorded]
        if not missing:
            return recorded
        time.sleep(0.1)
    raise Failure("the speakers never got %s" % ", ".join(missing))


def caching_lines(game):
    return [line for line in game.output().splitlines() if line.startswith("caching sound")]


@case("sound", environment={"SDL_AUDIODRIVER": "disk"})
def sound(game):
    """What reaches the speakers: nothing until the first footstep, then every footstep and
    effect of a level played to its end; the window closed at the space-bar prompt."""
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    me, _ = play_level_one(game)
    wait_for_prompt(game)
    recorded = played(game, audio, ["step0.wav", "getrock.wav", "squash.wav", "escape.wav"])
    expect(game.close_window() == 0, "closing the window at the prompt: status %d"
           % game.process.returncode)
    # The game's standard output is a file here, written out when the game ends.
    names = [line[len("caching sound ["):-1] for line in caching_lines(game)]
    expect(names and names[0] == "step0.wav", "the sounds cached: %s" % names)
    expect(len(names) == len(set(names)), "a sound was cached twice: %s" % names)
    for effect in ("getrock.wav", "squash.wav", "escape.wav"):
        expect(effect in names, "%s was never played; cached: %s" % (effect, names))
    steps = [name for name in names if name.startswith("step") and name != "step0.wav"]
    expect(steps, "only step0.wav was heard, after %d moves" % me.moves)
    # The footstep into the rock is cut off at once by the rock's sound; the others play.
    heard = [name for name in steps if clip_start(game, name) in recorded]
    expect(heard, "none of the footsteps %s was heard" % steps)


@case("sound_starts_at_the_first_step", environment={"SDL_AUDIODRIVER": "disk"})
def sound_starts_at_the_first_step(game):
    """The title and a level's drawing make no sound; the first footstep opens the device
    and is heard from its first sample."""
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    open_title(game)
    level = start_level_one(game)
    expect(not caching_lines(game), "sounds before the first step: %s" % caching_lines(game))
    expect(not os.path.exists(audio), "the audio device was opened before any sound")
    me = Player(game)
    me.look(level)
    start, _ = me.where()
    right = (start[0] + 1, start[1]) if start[0] < 39 else (start[0] - 1, start[1])
    me.step_to(right, carrying=False)
    recorded = played(game, audio, ["step0.wav"])
    first = recorded.index(clip_start(game, "step0.wav"))
    expect(recorded[:first].count(0) == first, "something was heard before the footstep")
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    expect(caching_lines(game) == ["caching sound [step0.wav]"],
           "after one step the game printed %r" % game.output())


@case("no_audio", environment={"SDL_AUDIODRIVER": "bogus"})
def no_audio(game):
    """Without audio the game says so and ends with status 1, without opening a window."""
    watcher = game.watch_windows()
    game.start(want_window=False)
    status, _ = game.wait_for_exit(10.0)
    expect(status == 1, "the game ended with status %d" % status)
    expect(game.output() == "audio init fail", "the game printed %r" % game.output())
    created = game.windows_created(watcher)
    expect(not created, "the game opened a window: %s" % created)


# Damaged data files: the game must still start and play, silently where a sound cannot
# be loaded, and end cleanly when its window is closed.

def damage(name, how):
    def spoil(folder):
        path = os.path.join(folder, name)
        with open(path, "rb") as f:
            good = f.read()
        if how == "missing":
            os.remove(path)
            return
        spoilt = {
            "empty": b"",
            "truncated": good[:len(good) // 2],
            # The file's own signature, then noise: the loader gets past its first check.
            "garbage": good[:4] + random.Random(name).randbytes(len(good) - 4),
        }[how]
        with open(path, "wb") as f:
            f.write(spoilt)
    return spoil


def walk_back_and_forth(game, level, steps, me=None):
    """Steps between the level's start and its right-hand neighbour (left at the right
    edge), each step seen on screen; a player given continues where it stands."""
    if me is None:
        me = Player(game)
        me.look(level)
        me.shuttle = [me.where()[0]]
        start = me.shuttle[0]
        me.shuttle.append((start[0] + 1, start[1]) if start[0] < 39 else (start[0] - 1, start[1]))
    for _ in range(steps):
        here, _ = me.where()
        me.step_to(me.shuttle[1] if here == me.shuttle[0] else me.shuttle[0], carrying=False)
    return me


def plays_with_damaged_picture(game):
    open_title(game)
    walk_back_and_forth(game, start_level_one(game), 4)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)


def plays_with_damaged_font(game):
    # Without its own font libtcod draws with a font of the system whose cells are not the
    # game's: the screen cannot be read here, but the footsteps show that the game plays.
    game.start()
    time.sleep(1.0)
    game.keys("Return")
    time.sleep(6.0)
    for key in ("d", "a", "d", "a"):
        game.keys(key)
        time.sleep(0.3)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    expect("caching sound [step0.wav]" in game.output(), "no footstep was played: %r"
           % game.output())


def plays_with_damaged_first_sound(game, how):
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    open_title(game)
    me = walk_back_and_forth(game, start_level_one(game), 1)
    if how != "truncated":
        time.sleep(0.3)
        expect(not os.path.exists(audio), "the broken first footstep opened the device")
    walk_back_and_forth(game, None, 7, me)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    cached = caching_lines(game)
    if how != "truncated":
        expect("caching sound [step0.wav]" not in cached, "a broken step0.wav was cached")
    later = [line[len("caching sound ["):-1] for line in cached if "step0" not in line]
    expect(later, "no footstep at all was cached: %r" % game.output())
    played(game, audio, later[:1])


for _how in ("missing", "empty", "truncated", "garbage"):
    case("bad_title_png_" + _how, damage=damage("title.png", _how))(plays_with_damaged_picture)
    case("bad_terminal_png_" + _how, damage=damage("terminal.png", _how))(plays_with_damaged_font)
    case("bad_step0_wav_" + _how, damage=damage("step0.wav", _how),
         environment={"SDL_AUDIODRIVER": "disk"})(
        lambda game, how=_how: plays_with_damaged_first_sound(game, how))


def spoil_every_sound(folder):
    for name in os.listdir(folder):
        if name.endswith(".wav"):
            damage(name, "garbage")(folder)


@case("bad_every_wav", damage=spoil_every_sound, environment={"SDL_AUDIODRIVER": "disk"})
def bad_every_wav(game):
    """Not one sound loads: the game plays in silence and never opens the device."""
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    open_title(game)
    walk_back_and_forth(game, start_level_one(game), 8)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    expect(not caching_lines(game), "garbage was cached: %s" % caching_lines(game))
    expect(not os.path.exists(audio), "the device was opened with no sound to play")


def write_wav(path, samples, rate, channels, width, format_tag=1):
    """A RIFF file: PCM (format 1) or IEEE float (format 3), interleaved samples."""
    data = b"".join(samples)
    block = channels * width
    fmt = struct.pack("<HHIIHH", format_tag, channels, rate, rate * block, block, width * 8)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + \
        b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def shipped_samples(path):
    with wave.open(path, "rb") as clip:
        frames = clip.readframes(clip.getnframes())
    return struct.unpack("<%dh" % (len(frames) // 2), frames)


def as_unsigned_8_bit_stereo(folder, name):
    path = os.path.join(folder, name)
    samples = [bytes([(s >> 8) + 128]) * 2 for s in shipped_samples(path)]
    write_wav(path, samples, 11025, 2, 1)


def as_float_stereo(folder, name):
    path = os.path.join(folder, name)
    samples = [struct.pack("<f", s / 32768.0) * 2 for s in shipped_samples(path)]
    write_wav(path, samples, 44100, 2, 4, format_tag=3)


def later_sounds_in_another_format(folder):
    for name in os.listdir(folder):
        if name.endswith(".wav") and name != "step0.wav":
            as_unsigned_8_bit_stereo(folder, name)


@case("wav_formats_after_the_first", damage=later_sounds_in_another_format,
      environment={"SDL_AUDIODRIVER": "disk"})
def wav_formats_after_the_first(game):
    """The device keeps the first clip's format: later clips in another format are played
    byte for byte as if they were in it, and nothing breaks."""
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    open_title(game)
    walk_back_and_forth(game, start_level_one(game), 8)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    cached = [line[len("caching sound ["):-1] for line in caching_lines(game)]
    expect(cached[0] == "step0.wav" and len(cached) >= 3, "cached: %s" % cached)
    recorded = open(audio, "rb").read()
    for name in cached[1:]:
        with wave.open(os.path.join(game.game_dir, name), "rb") as clip:
            raw = clip.readframes(1024)
        expect(raw in recorded, "%s did not reach the speakers unconverted" % name)


def first_sound_in_float(folder):
    as_float_stereo(folder, "step0.wav")


@case("wav_first_in_float", damage=first_sound_in_float, environment={"SDL_AUDIODRIVER": "disk"})
def wav_first_in_float(game):
    """The first clip loaded is 32-bit float stereo: the device opens in that format and
    the game's own clips play through it without harm."""
    audio = os.path.join(game.work_dir, "audio.raw")
    game.environment["SDL_DISKAUDIOFILE"] = audio
    open_title(game)
    walk_back_and_forth(game, start_level_one(game), 8)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    cached = caching_lines(game)
    expect(cached and cached[0] == "caching sound [step0.wav]" and len(cached) >= 3,
           "cached: %s" % cached)
    expect(os.path.getsize(audio) > 0, "nothing reached the speakers")


@case("audio_device_fails", environment={"SDL_AUDIODRIVER": "disk"})
def audio_device_fails(game):
    """A device that cannot be opened is reported once; the game plays on in silence."""
    game.environment["SDL_DISKAUDIOFILE"] = os.path.join(game.work_dir, "no-such-folder", "a")
    open_title(game)
    walk_back_and_forth(game, start_level_one(game), 8)
    expect(game.close_window() == 0, "closing the window: status %d" % game.process.returncode)
    lines = game.output().splitlines()
    failures = [line for line in lines if line.startswith("Couldn't open audio: ")]
    expect(len(failures) == 1, "the failed device was reported %d times: %r"
           % (len(failures), game.output()))
    expect(lines[0] == "caching sound [step0.wav]" and lines[1] == failures[0],
           "the report does not follow the first sound: %r" % game.output())
    expect(len(caching_lines(game)) >= 3, "sounds stopped loading: %r" % game.output())
