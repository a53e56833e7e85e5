# player.py -- plays Cragmoor through its window as a careful player would: reads the map
# off the screen, walks by the shortest way, picks up a rock and crushes the monsters with it.
import collections
import os
import time

import screen
from screen import COLOUR, Level
from session import Failure, expect

# Each move as a letter key and as an arrow key; the player uses both in turn.
MOVES = [((0, -1), "w", "Up"), ((0, 1), "s", "Down"), ((-1, 0), "a", "Left"),
         ((1, 0), "d", "Right")]

# The captions that teach the controls, where they stand and in which colour.
CAPTIONS = [
    (2, 12, "WASD/ARROWS TO MOVE", "white"),
    (2, 14, "PICK UP ROCK BY", "light_grey"),
    (2, 15, "MOVING INTO IT", "light_grey"),
    (2, 17, "CRUSH ENEMY BY", "white"),
    (2, 18, "CARRYING ROCK AND", "white"),
    (2, 19, "MOVING INTO IT", "white"),
    (2, 21, "PRESS 1 TO QUAFF A", "light_grey"),
    (2, 22, "POTION TO HEAL", "light_grey"),
]
CREDIT_ROW, CREDIT_COLUMN, CREDIT_LENGTH = 10, 1, 19


class TitlePicture:
    """title.png as the title screen shows it: one pixel per cell, one row up."""

    def __init__(self, data_dir):
        self.colours = None
        path = os.path.join(data_dir, "title.png")
        try:
            width, height, channels, rows = screen.read_png(path)
        except Exception:  # a damaged picture: the game shows none, so black is expected
            return
        if (width, height) != (screen.COLUMNS, screen.ROWS) or channels < 3:
            return
        self.colours = [[tuple(rows[y][x * channels:x * channels + 3]) for x in range(width)]
                        for y in range(height)]

    def behind(self, x, y):
        """The background the picture gives cell (x, y); black where it shows nothing."""
        if self.colours is None or y + 1 >= screen.ROWS:
            return COLOUR["black"]
        return self.colours[y + 1][x]


def title_problems(shot, picture):
    """What is wrong with the title screen on shot, as a list of sentences."""
    problems = []
    if (shot.columns, shot.rows) != (screen.COLUMNS, screen.ROWS):
        return ["the window holds %d x %d cells" % (shot.columns, shot.rows)]
    plain = 0
    for y in range(screen.ROWS):
        for x in range(screen.COLUMNS):
            colour = shot.cell(x, y).uniform()
            if colour is None:
                continue
            plain += 1
            if colour != picture.behind(x, y):
                problems.append("cell (%d, %d) is %s, the picture has %s there"
                                % (x, y, colour, picture.behind(x, y)))
    if plain < 800:
        problems.append("only %d cells show the plain picture" % plain)
    for column, row, text, ink in CAPTIONS:
        shown = "".join(shot.text(x, row, 1, COLOUR[ink], picture.behind(x, row))
                        for x in range(column, column + len(text)))
        if shown != text:
            problems.append("row %d reads %r, not %r" % (row, shown, text))
    credit = "".join(shot.text(x, CREDIT_ROW, 1, COLOUR["dark_purple"],
                               picture.behind(x, CREDIT_ROW))
                     for x in range(CREDIT_COLUMN, CREDIT_COLUMN + CREDIT_LENGTH))
    if "?" in credit or credit != credit.strip() or len(credit.strip()) != CREDIT_LENGTH:
        problems.append("the credit on row %d reads %r" % (CREDIT_ROW, credit))
    for eye in ((28, 11), (30, 11)):
        if not shot.shows(eye[0], eye[1], 167, (252, 255, 0)):
            problems.append("no yellow eye at %s" % (eye,))
    heart = (30, 15)
    if not shot.shows(heart[0], heart[1], screen.HEART, COLOUR["black"], picture.behind(*heart)):
        problems.append("no black heart on the picture at %s" % (heart,))
    return problems


def wait_for_title(game, picture, timeout=15.0):
    shot = game.settled(lambda s: not title_problems(s, picture), "the title screen", timeout)
    return shot


def describe_title(game, picture):
    shot = game.last_screen
    return "; ".join(title_problems(shot, picture)[:6]) if shot else "no screenshot"


def level_ready(shot, hearts=None, status=None):
    level = Level(shot)
    if not level.complete():
        return None
    if hearts is not None and shot.hearts() != hearts:
        return None
    if status is not None and shot.status() != status:
        return None
    return level


def wait_for_level(game, what, hearts=None, status=None, timeout=20.0):
    shot = game.settled(lambda s: level_ready(s, hearts, status) is not None, what, timeout)
    return Level(shot)


def check_new_level(level, monsters):
    """What a player sees on a level just drawn."""
    x, y, carrying = level.player()
    expect(not carrying, "the player starts a level carrying a rock")
    expect(x in (2, 37) or y in (2, 21), "the player starts at (%d, %d), not two cells in "
           "from an edge" % (x, y))
    for (dx, dy), _, _ in MOVES:
        expect(level.cells.get((x + dx, y + dy)) == "floor",
               "the start's neighbour (%d, %d) is not clear floor" % (x + dx, y + dy))
    stairs = level.all("stairs")
    expect(len(stairs) <= 1, "%d staircases on the map" % len(stairs))
    shown = level.all("monster")
    expect(1 <= len(shown) <= monsters, "%d monsters shown, the level has %d"
           % (len(shown), monsters))
    for mx, my in shown:
        expect(abs(mx - x) >= 10 and abs(my - y) >= 10,
               "a monster at (%d, %d) starts too near the player at (%d, %d)" % (mx, my, x, y))
    potions = level.all("potion")
    expect(len(potions) <= 1, "%d potions on a new level" % len(potions))
    for px, py in potions:
        expect(5 <= px <= 34 and 5 <= py <= 18, "the potion lies at (%d, %d)" % (px, py))


def adjacent(a, b):
    return abs(a[0] - b[0]) + abs(a[1] - b[1]) == 1


def key_toward(start, end, arrows):
    for (dx, dy), letter, arrow in MOVES:
        if (start[0] + dx, start[1] + dy) == end:
            return arrow if arrows else letter
    raise ValueError("%s is not next to %s" % (end, start))


def shortest_path(level, start, goals, limit=60):
    """The cells from start to the nearest goal over open floor, or None."""
    came_from = {start: None}
    queue = collections.deque([start])
    while queue:
        cell = queue.popleft()
        if cell in goals:
            path = []
            while cell != start:
                path.append(cell)
                cell = came_from[cell]
            return path[::-1] if len(path) <= limit else None
        for (dx, dy), _, _ in MOVES:
            nxt = (cell[0] + dx, cell[1] + dy)
            if nxt not in came_from and level.passable(*nxt):
                came_from[nxt] = cell
                queue.append(nxt)
    return None


class Died(Exception):
    """The player was killed on the way: the game waits at "you died!!!"."""


def dead(shot):
    return shot.hearts() == "ggg" and shot.message() in ("you died!!!", "press space!")


class Player:
    """Plays through the window, remembering what it last saw."""

    def __init__(self, game):
        self.game = game
        self.level = None
        self.moves = 0

    def look(self, level):
        self.level = level
        return level

    def where(self):
        x, y, carrying = self.level.player()
        return (x, y), carrying

    def step_to(self, target, carrying):
        """One move toward a free cell next to the player. Returns False when a monster
        stepped into the way first and the player stayed."""
        here, before = self.where()
        key = key_toward(here, target, arrows=self.moves % 2 == 1)
        self.moves += 1
        self.game.keys(key)

        def turn_over(shot):
            level = Level(shot)
            if dead(shot):
                return True
            if not level.complete():
                return False
            return level.player() == target + (carrying,) or \
                (level.player() == here + (before,) and shot.message() == "blocked.")
        shot = self.game.settled(turn_over, "the player at %s after %s" % (target, key))
        if dead(shot):
            raise Died()
        self.look(Level(shot))
        return self.where()[0] == target

    def pick_up_rock(self, limit=12):
        """Walks to the nearest rock and into it; the rock's cell, or None when no rock is
        near enough."""
        for _ in range(limit):
            here, carrying = self.where()
            expect(not carrying, "the player already carries a rock")
            near = [cell for cell in self.level.all("rock") if adjacent(cell, here)]
            if near:
                if self.step_to(near[0], carrying=True):
                    return near[0]
                continue
            rocks = self.level.all("rock")
            beside = {(x + dx, y + dy) for x, y in rocks for (dx, dy), _, _ in MOVES}
            path = shortest_path(self.level, here, beside, limit)
            if path is None:
                return None
            self.step_to(path[0], carrying=False)
        return None

    def hunt(self, turns=60):
        """Carrying a rock, goes for the nearest monster and crushes it. Returns the cell
        of the crushed monster, or None when none could be reached."""
        for _ in range(turns):
            here, carrying = self.where()
            expect(carrying, "the player hunts without a rock")
            monsters = self.level.all("monster")
            near = [m for m in monsters if adjacent(m, here)]
            if near:
                return self.crush(near[0])
            goals = {(x + dx, y + dy) for x, y in monsters for (dx, dy), _, _ in MOVES}
            path = shortest_path(self.level, here, goals)
            if path:
                self.step_to(path[0], carrying=True)
                continue
            free = [(here[0] + dx, here[1] + dy) for (dx, dy), _, _ in MOVES
                    if self.level.passable(here[0] + dx, here[1] + dy)]
            if not free:
                return None
            self.step_to(free[self.moves % len(free)], carrying=True)
        return None

    def crush(self, monster):
        here, _ = self.where()
        others = len(self.level.all("monster")) - 1
        self.game.keys(key_toward(here, monster, arrows=False))

        def crushed(shot):
            level = Level(shot)
            if dead(shot):
                return True
            # The rock stays on the monster's cell; a potion lying there shows over it.
            if level.cells[monster] not in ("rock", "potion") or shot.message() not in \
                    ("squashed!", "press space!", "next level...", "monster hit!"):
                return False
            return (level.player() == here + (False,) and level.complete()) or \
                (others == 0 and shot.message() == "press space!")
        shot = self.game.settled(crushed, "the monster at %s crushed" % (monster,))
        if dead(shot):
            raise Died()
        self.level = Level(shot)
        return monster


def give_up(game):
    """q, a key that is thrown away, then y: the question is answered."""
    game.keys("q")
    game.settled(lambda s: s.message() == "give up?", "the give-up question")
    time.sleep(0.2)
    game.keys("x")
    time.sleep(0.3)
    game.keys("y")
