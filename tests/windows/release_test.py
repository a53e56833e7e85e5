#!/usr/bin/python3
# release_test.py ZIP SETUP -- the Windows release as a player gets it: every binary imports
# only DLLs the zip or Windows itself holds, cragmoor.exe is a windowed program with the
# icon, version and manifest, and the installer, run silently in a fresh Wine prefix,
# installs a game that starts from its Start-menu shortcut and leaves nothing behind.
# Run in an X server (xvfb-run).
import os, pathlib, re, subprocess, sys, tempfile, time, zipfile
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from table import DATA, console_of, run, shows, start_openbox, until, x_window

ZIP, SETUP = map(os.path.abspath, sys.argv[1:3])
HERE = os.path.dirname(os.path.abspath(__file__))
WORK = tempfile.TemporaryDirectory(prefix="cragmoor-release-")
OBJDUMP = "x86_64-w64-mingw32-objdump"
# DLLs every 64-bit Windows 10 and 11 has in System32.
WINDOWS_DLLS = {"advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll",
                "kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll", "setupapi.dll",
                "shell32.dll", "shlwapi.dll", "user32.dll", "uxtheme.dll", "version.dll",
                "winmm.dll"}
UNINSTALL_KEY = r"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Cragmoor"
WANTED_VALUES = {"DisplayName": '"Cragmoor"', "DisplayVersion": '"1.0.0"',
                 "Publisher": '"The Cragmoor developers"', "NoModify": "dword:00000001",
                 "NoRepair": "dword:00000001"}
FILLED_VALUES = ("DisplayIcon", "UninstallString", "QuietUninstallString", "EstimatedSize")
WINE = dict(os.environ, SDL_VIDEODRIVER="windows", WINEDEBUG="-all",  # not a test run's dummy
            WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=")


def unpacked():
    folder = os.path.join(WORK.name, "zip")
    zipfile.ZipFile(ZIP).extractall(folder)
    return os.path.join(folder, "Cragmoor")


def check_imports(folder):
    shipped = {name.lower() for name in os.listdir(folder)}
    binaries = [(os.path.join(folder, name), shipped | WINDOWS_DLLS)
                for name in sorted(os.listdir(folder)) if name.lower().endswith((".exe", ".dll"))]
    for path, found in binaries + [(SETUP, WINDOWS_DLLS)]:  # the installer runs on its own
        imports = {dll.lower() for dll in re.findall(r"DLL Name: (\S+)", run(OBJDUMP, "-p", path).decode())}
        assert imports, path + ": no imports read"
        assert imports <= found, "%s needs %s, which Windows lacks" % (path, imports - found)


def check_program(folder):
    exe = os.path.join(folder, "cragmoor.exe")
    assert "(Windows GUI)" in run(OBJDUMP, "-p", exe).decode(), "cragmoor.exe opens a console"
    resources = run("x86_64-w64-mingw32-windres", "-i", exe, "-O", "rc").decode("latin-1")
    for wanted in ("RT_GROUP_ICON", "RT_MANIFEST", "FILEVERSION 1, 0, 0, 0",
                   'VALUE "ProductVersion", "1.0.0"'):
        assert wanted in resources, "cragmoor.exe's resources lack " + wanted
    for wanted in (b"<dpiAwareness", b"PerMonitorV2", b"<activeCodePage"):  # the manifest's text
        assert wanted in pathlib.Path(exe).read_bytes(), "cragmoor.exe's manifest lacks %r" % wanted
    for name in os.listdir(DATA):  # the game's files, whole
        if name.endswith((".png", ".wav")):
            assert pathlib.Path(folder, name).read_bytes() == pathlib.Path(DATA, name).read_bytes(), name
    icon = os.path.join(WORK.name, "cragmoor.ico")
    run("/usr/bin/python3", os.path.join(HERE, "..", "..", "tools", "make_icon.py"),
        os.path.join(WORK.name, "icons"), os.path.join(WORK.name, "icon.png"), icon)
    ico = os.path.join(HERE, "..", "..", "src", "platform", "windows", "cragmoor.ico")
    assert pathlib.Path(icon).read_bytes() == pathlib.Path(ico).read_bytes(), "the .ico is stale"


def check_licences(folder):  # the game, its font, and everything linked into what it ships
    wanted = {"SDL2.txt", "font.txt", "gcc-runtime.txt", "libtcod.txt", "lodepng.txt",
              "mingw-w64-runtime.txt", "stb_ds.txt", "stb_truetype.txt", "utf8proc.txt", "zlib.txt"}
    assert os.path.getsize(os.path.join(folder, "LICENSE.txt")) > 0, "no licence of the game"
    assert set(os.listdir(os.path.join(folder, "licences"))) == wanted, "licences differ"


def wine(prefix, *command, cwd=None):
    env = dict(WINE, WINEPREFIX=prefix)
    result = subprocess.run(["wine", *command], cwd=cwd, env=env, capture_output=True, timeout=120)
    subprocess.run(["wineserver", "-w"], env=env, timeout=120)  # the registry is on disk then
    return result


def files(prefix):  # Wine's own folders and the temporary files aside
    drive = pathlib.Path(prefix, "drive_c")
    return {str(path.relative_to(drive)) for path in drive.rglob("*")
            if not str(path.relative_to(drive)).lower().startswith("windows")
            and "/temp" not in str(path).lower()}


def registry(prefix):
    return "".join(pathlib.Path(prefix, name).read_text(errors="replace")
                   for name in ("user.reg", "system.reg"))


def uninstall_entry(text):
    section = text.split("[%s]" % UNINSTALL_KEY, 1)
    assert len(section) == 2, "no Apps & features entry"
    values = dict(re.findall(r'^"(\w+)"=(.*)$', section[1].split("\n[", 1)[0], re.M))
    for name, value in WANTED_VALUES.items():
        assert values.get(name) == value, (name, values.get(name))
    for name in FILLED_VALUES:
        assert values.get(name), name + " is not set"
    return values


def start_from_shortcut(prefix, target):
    # Started in a folder without the game's files, as a shortcut may: the data is found
    # beside the .exe.
    elsewhere = tempfile.mkdtemp(dir=WORK.name)
    game = subprocess.Popen(["wine", target], cwd=elsewhere, env=dict(WINE, WINEPREFIX=prefix),
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    find = ("xdotool", "search", "--name", "^Cragmoor$")
    until(lambda: game.poll() is not None or run(*find), "the installed game opened no window")
    until(lambda: shows(console_of(x_window()), 2, 14, "PICK UP ROCK BY"),
          "the installed game did not show its title")
    run("wmctrl", "-i", "-c", run(*find).split()[0].decode())
    game.communicate(timeout=30)
    assert game.returncode == 0, "the installed game ended with %d" % game.returncode


def check_installer():
    prefix = os.path.join(WORK.name, "prefix")
    wine(prefix, "wineboot", "-i")
    before_files = files(prefix)
    assert wine(prefix, SETUP, "/S").returncode == 0, "the silent install failed"
    added = files(prefix) - before_files
    folder = [path for path in added if path.endswith("Programs/Cragmoor")]
    assert folder, "nothing installed under %LOCALAPPDATA%\\Programs\\Cragmoor"
    installed = {path[len(folder[0]) + 1:] for path in added if path.startswith(folder[0] + "/")}
    shipped = {name[len("Cragmoor/"):].rstrip("/") for name in zipfile.ZipFile(ZIP).namelist()}
    assert installed - {"licences"} == shipped | {"uninstall.exe"}, installed ^ shipped
    links = [path for path in added if path.endswith("Start Menu/Programs/Cragmoor.lnk")]
    assert links, "no Start-menu shortcut"
    link = pathlib.Path(prefix, "drive_c", links[0]).read_bytes()
    target = re.search(rb"[A-Z]:\\[ -~]*?\\cragmoor\.exe", link)
    assert target, "the shortcut names no cragmoor.exe"
    start_from_shortcut(prefix, target.group().decode())
    quiet = uninstall_entry(registry(prefix))["QuietUninstallString"]
    uninstaller = re.match(r'"\\"(.*?)\\"', quiet).group(1).replace("\\\\", "\\")
    assert wine(prefix, uninstaller, "/S").returncode == 0, "the silent uninstall failed"
    # The uninstaller runs on from a copy of itself in the temporary folder.
    until(lambda: not pathlib.Path(prefix, "drive_c", folder[0]).exists(), "the game stays installed")
    wine(prefix, "wineboot", "--end-session")
    assert files(prefix) == before_files, "left behind: %s" % (files(prefix) ^ before_files)
    assert "cragmoor" not in registry(prefix).lower(), "keys of the game are left in the registry"


start_openbox()  # wmctrl closes windows through it
folder = unpacked()
check_imports(folder)
check_program(folder)
check_licences(folder)
check_installer()
print("release checked: imports, program resources, licences, install, shortcut, uninstall")
