# session.py -- one run of the built game as a player meets it: a process in its own copy
# of data/, a real X window under Xvfb, keys typed with xdotool, the window read back.
import os
import shutil
import signal
import subprocess
import time

import screen

WINDOW_TIMEOUT = 10.0  # seconds for the window to appear
SETTLE_GAP = 0.12      # seconds between the two screenshots that must agree
TURN_TIMEOUT = 15.0    # seconds for the screen to show what a key press should lead to


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


class Session:
    def __init__(self, exe, data_dir, work_dir, environment=None, damage=None):
        self.exe = exe
        self.work_dir = work_dir
        self.game_dir = os.path.join(work_dir, "data")
        shutil.copytree(data_dir, self.game_dir)
        if damage:
            damage(self.game_dir)
        # Screens are read with the game's own font, whatever the copy's font has become.
        self.font = screen.Font(os.path.join(data_dir, "terminal.png"))
        self.environment = dict(os.environ)
        self.environment.update({"SDL_VIDEODRIVER": "x11", "SDL_AUDIODRIVER": "dummy"})
        self.environment.update(environment or {})
        self.process = None
        self.window = None
        self.last_screen = None
        self.output_path = os.path.join(work_dir, "stdout.txt")

    # The process

    def start(self, want_window=True):
        # The window search connects to the X server before the game does: Xvfb refuses a
        # connection now and then when two clients connect at the same moment.
        search = None
        if want_window:
            search = subprocess.Popen(["xdotool", "search", "--sync", "--onlyvisible",
                                       "--name", "^Cragmoor$"],
                                      stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
            time.sleep(0.3)
        with open(self.output_path, "wb") as out, open(self.output_path + ".err", "wb") as err:
            self.process = subprocess.Popen([self.exe], cwd=self.game_dir, env=self.environment,
                                            stdout=out, stderr=err)
        if not want_window:
            return
        deadline = time.monotonic() + WINDOW_TIMEOUT
        while search.poll() is None and time.monotonic() < deadline:
            if self.process.poll() is not None:
                search.kill()
                raise Failure("the game ended before its window opened, status %d: %s"
                              % (self.process.returncode, self.output() + self.errors()))
            time.sleep(0.05)
        if search.poll() is None:
            search.kill()
            raise Failure("no window named Cragmoor appeared")
        self.window = search.stdout.read().split()[0]
        self.x_tool(["xdotool", "windowfocus", "--sync", self.window])

    def output(self):
        with open(self.output_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    def errors(self):
        with open(self.output_path + ".err", "rb") as f:
            return f.read().decode("utf-8", "replace")

    def running(self):
        return self.process.poll() is None

    def wait_for_exit(self, timeout):
        """The exit status and the seconds it took; a signal shows as a negative status."""
        started = time.monotonic()
        try:
            status = self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the game did not end within %.1f s" % timeout)
        return status, time.monotonic() - started

    def close_window(self, timeout=1.0):
        """SIGTERM, which SDL turns into a window close, as the close button does."""
        expect(self.running(), "the game had already ended, status %s" % self.process.returncode)
        self.process.send_signal(signal.SIGTERM)
        status, seconds = self.wait_for_exit(5.0)
        expect(seconds <= timeout, "the game took %.2f s to end after the window closed" % seconds)
        return status

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    # The X window

    def x_tool(self, command, attempts=3, allow_failure=False):
        for attempt in range(attempts):
            result = subprocess.run(command, capture_output=True, timeout=20)
            if result.returncode == 0:
                return result.stdout
            time.sleep(0.1 * (attempt + 1))
        if allow_failure:
            return result.stdout
        raise Failure("%s failed: %s" % (" ".join(command), result.stderr.decode(errors="replace")))

    def watch_windows(self):
        """Starts recording every window created on the screen from now on."""
        watcher = subprocess.Popen(["xev", "-root", "-event", "substructure"],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        time.sleep(0.3)
        return watcher

    def windows_created(self, watcher):
        time.sleep(0.3)
        watcher.terminate()
        out, _ = watcher.communicate()
        return [line.strip() for line in out.splitlines() if "CreateNotify" in line]

    def window_name(self):
        return self.x_tool(["xdotool", "getwindowname", self.window]).decode().strip()

    def window_size(self):
        out = self.x_tool(["xdotool", "getwindowgeometry", "--shell", self.window]).decode()
        values = dict(line.split("=", 1) for line in out.split())
        return int(values["WIDTH"]), int(values["HEIGHT"])

    def keys(self, *names):
        """Types the keys one after another on the X keyboard, as a player does."""
        expect(self.running(), "the game ended, status %s" % self.process.returncode)
        self.x_tool(["xdotool", "key", "--delay", "60"] + list(names))

    def screenshot(self):
        data = self.x_tool(["import", "-window", self.window, "-depth", "8", "ppm:-"])
        width, height, pixels = screen.read_ppm(data)
        self.last_screen = screen.Screen(self.font, width, height, pixels)
        return self.last_screen

    def settled(self, predicate, what, timeout=TURN_TIMEOUT):
        """Waits until two screenshots a moment apart agree and predicate holds for them."""
        deadline = time.monotonic() + timeout
        previous = None
        while time.monotonic() < deadline:
            if not self.running():
                raise Failure("the game ended, status %d, while waiting for %s"
                              % (self.process.returncode, what))
            current = self.screenshot()
            if current.same_picture(previous) and predicate(current):
                return current
            previous = current
            time.sleep(SETTLE_GAP)
        raise Failure("the screen never showed %s" % what)

    def save_last_screen(self, path):
        if self.last_screen is None:
            return None
        s = self.last_screen
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (s.width, s.height) + s.pixels)
        return path
