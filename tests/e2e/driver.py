"""Drives Brisquel.exe under Wine as a person would: starts it in a directory of its own with a prepared
Brisquel.ini, reads its windows through the probe, clicks and types with xdotool, looks at the screen and
reads the settings file back. The names it finds the overlay by come from the build (brisquel_names)."""
import collections
import configparser
import os
import re
import shutil
import subprocess
import tempfile
import time
from pathlib import Path

import brisquel_names as names
from screen import Screen

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_CLIPCHILDREN = 0x00C00000, 0x00080000, 0x00040000, 0x02000000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000
WS_EX_LAYERED, WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE = 0x00080000, 0x8, 0x20, 0x08000000
WM_CLOSE, WM_QUERYENDSESSION, WM_QUIT, WM_ENDSESSION, WM_EXITSIZEMOVE, WM_HOTKEY = 0x10, 0x11, 0x12, 0x16, 0x232, 0x312
WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_TRAY_CALLBACK, WM_CONTEXTMENU, NIN_KEYSELECT = 0x0203, 0x0205, 0x0401, 0x007B, 0x0401
# Row centres below the tray menu's top edge.
MENU_ROWS = {"Click-through": 87, "Alerts": 115, "Start with Windows": 143, "Help": 171, "Exit": 208}
RED, AMBER, GREEN, STALE, ACCENT = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128), (110, 185, 255)
TITLE_TEXT = names.PRODUCT_TITLE
# While data arrive the tray tip names the next event under the title, when there is one (as \n from the probe).
LIVE_TIP = re.compile("^" + re.escape(TITLE_TEXT) + r"(\\nNext: .+)?$")

Control = collections.namedtuple("Control", "visible rect text")
Id = collections.namedtuple("Id", "number cls")  # a child control, as the probe names it
COMBO, ROWS = Id(names.ID_COMBO, names.CLASS_COMBO), Id(names.ID_LIST, names.CLASS_LIST)
OPACITY, SCALE = Id(names.ID_OPACITY_SLIDER, names.CLASS_SLIDER), Id(names.ID_SCALE_SLIDER, names.CLASS_SLIDER)
OPACITY_VALUE, STATUS, TITLE, SCALE_VALUE, COUNTDOWN, CACHE, OPACITY_CAPTION, SCALE_CAPTION = (
    Id(number, names.CLASS_LABEL) for number in (
        names.ID_OPACITY_VALUE, names.ID_STATUS, names.ID_BOSS_TITLE, names.ID_SCALE_VALUE, names.ID_COUNTDOWN,
        names.ID_CACHE_AGE, names.ID_OPACITY_CAPTION, names.ID_SCALE_CAPTION))
CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON, BOSS_MENU_BUTTON = (Id(number, names.CLASS_BUTTON) for number in (
    names.ID_CLICK_THROUGH_BUTTON, names.ID_VISIBILITY_BUTTON, names.ID_BOSS_MENU_BUTTON))
OVERLAY, MENU, CONFIRM, NOTICE, POPUP, HELP = (names.CLASS_OVERLAY, names.CLASS_MENU_TIER, names.CLASS_CONFIRM,
                                               names.CLASS_NOTICE, names.CLASS_COMBO_POPUP, names.CLASS_HELP)
SHOWN, CACHE_READ = (lambda text: text != ""), re.compile(r"^Cache: \d")
CONNECTED = re.compile("^\u25cf Connected \\| \u2193 ")
RECONNECTING = re.compile(r"^Reconnecting\.\.\. \(attempt [1-9]\d*\) \| NTP: ")


class Tools:
    """Where the Wine wrapper, the exe and the probe are; set once by conftest.py."""
    wine = exe = probe = None


def within(read, wanted, seconds):
    """Reads until the value is the one wanted (or satisfies it) or the time is up; returns the last value."""
    done = wanted if callable(wanted) else lambda value: value == wanted
    deadline = time.monotonic() + seconds
    while True:
        value = read()
        if done(value) or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def expect(read, wanted, seconds=0):
    """Awaits a value for up to `seconds`: equal to `wanted`, matching it (a pattern) or satisfying it."""
    done = ((lambda v: bool(wanted.search(v))) if isinstance(wanted, re.Pattern) else
            wanted if callable(wanted) else lambda v: v == wanted)
    value = within(read, done, seconds)
    assert done(value), f"{value!r} is not {wanted!r}"


def elapsed(action):
    started = time.monotonic()
    action()
    return time.monotonic() - started


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def wine(*args, **kwargs):
    return subprocess.run([Tools.wine, *map(str, args)], **kwargs)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def bosses(tracker, real=False):
    return [b for b in tracker.read("/api/collections/mobs/records")["items"]
            if not real or b["type"] != "magical_creature"]


def read_ini(path):
    """A settings file as [(section, key, value)] in file order (Brisquel writes it as UTF-16); [] when absent."""
    if not os.path.exists(path):
        return []
    data, parser = Path(path).read_bytes(), configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read_string(data.decode("utf-16" if data.startswith(b"\xff\xfe") else "utf-8"))
    return [(section, key, value) for section in parser.sections() for key, value in parser[section].items()]


def assert_ini_holds(path, *entries):
    """Within the half second the overlay waits for changes to pause, and some slack."""
    expect(lambda: [entry for entry in entries if entry not in read_ini(path)], [], 2)


def probe(*args):
    """The probe's `name=value` lines as a dict; for the listings (children, paints) the values in order."""
    # Wine occasionally fails to start a process on a loaded machine; the probe itself only returns
    # 1 for bad arguments, which a second start does not mend.
    for _ in range(2):
        result = wine(Tools.probe, *args, capture_output=True, encoding="utf-8", timeout=30)
        if result.returncode != 1 or result.stdout:
            break
    assert result.returncode == 0, f"probe {args} failed with {result.returncode}"
    lines = [line.split("=", 1) for line in result.stdout.splitlines() if "=" in line]
    return [value for _, value in lines] if args[0] in ("children", "paints") else dict(lines)


class Overlay:
    """One run of Brisquel.exe in a temporary directory, with the given Brisquel.ini (none if None)."""

    def __init__(self, ini_text, launch=True):
        self.dir = tempfile.mkdtemp(prefix="brisquel-e2e-")
        shutil.copy(Tools.exe, os.path.join(self.dir, "Brisquel.exe"))
        self.ini = os.path.join(self.dir, "Brisquel.ini")
        if ini_text is not None:
            with open(self.ini, "w", newline="\r\n") as f:
                f.write(ini_text)
        if launch:
            self.launch()

    def launch(self):
        self.process = subprocess.Popen([Tools.wine, "Brisquel.exe"], cwd=self.dir)

    def running(self):
        return self.process.poll() is None

    probe = staticmethod(probe)

    def post(self, *message):
        self.probe("post", *message)

    def hotkey(self, number):
        self.post(WM_HOTKEY, number)

    def tray(self, *events):
        """The tray icon's callbacks, as the shell sends them (version 4: the event and the icon's id in lParam)."""
        for event in events:
            self.post(WM_TRAY_CALLBACK, 0, 1 << 16 | event)

    def controls(self):
        """The child controls by Id: visible, screen rectangle and text."""
        return {Id(int(f[0]), f[1]): Control(f[2] == "1", tuple(map(int, f[3:7])), " ".join(f[7:]))
                for f in (line.split(" ") for line in self.probe("children"))}

    def paints(self):
        """Paints counted so far by control; zero unless the overlay counts them."""
        return {Id(int(f[0]), f[1]): int(f[2]) for f in (line.split(" ") for line in self.probe("paints"))}

    def text(self, control):
        return self.controls()[control].text

    def state(self, cls=OVERLAY, ms=20000):
        """The overlay's state, or another of its top-level windows' once it shows (the probe fails if not)."""
        s = self.probe("find", ms, cls)
        s["style"], s["exstyle"] = int(s["style"], 16), int(s["exstyle"], 16)
        return s

    def rect(self, cls=OVERLAY, ms=20000):
        return tuple(map(int, self.state(cls, ms)["rect"].split()))

    def find(self, cls, title, ms=10000):
        found = self.state(cls, ms)
        assert found["title"] == title
        return found

    def gone(self, cls):
        self.probe("wait-gone", 5000, cls)  # the probe fails while it is still open

    def press(self, key, closes):
        xdotool("key", key)
        self.gone(closes)

    def ask_exit(self, alt_f4=False):
        """Asks to close as the system does (WM_CLOSE) or as a person does, with Alt+F4 on the overlay."""
        if alt_f4:
            xdotool("search", "--onlyvisible", "--name", f"^{TITLE_TEXT}$", "key", "--window", "%1", "alt+F4")
        else:
            self.post(WM_CLOSE)
        return self.find(CONFIRM, "Confirm Exit")

    def click(self, target=OVERLAY, at=centre):
        """Clicks a child control (an Id) or a top-level window (a class) at a point of its rectangle."""
        xdotool("mousemove", *at(self.controls()[target].rect if isinstance(target, Id) else self.rect(target)),
                "click", 1)

    def shot(self, name, cls=OVERLAY, margin=0):
        left, top, right, bottom = self.rect(cls)
        return Screen(name, crop=(left - margin, top - margin, right + margin, bottom + margin))

    def expect(self, what, wanted, seconds=0):
        """what: a control's text (an Id), a function of the overlay, or the overlay's state field (or a tuple of
        them); wanted: the value, a pattern or a predicate, awaited for up to `seconds`."""
        def read():
            if isinstance(what, Id):
                return self.text(what)
            if callable(what):
                return what(self)
            s = self.state()
            return tuple(s[field] for field in what) if isinstance(what, tuple) else s[what]
        expect(read, wanted, seconds)

    def open_tray_menu(self):
        """Right-clicks the tray icon, as the system reports it; returns the menu's rectangle once it shows."""
        self.tray(WM_RBUTTONUP, WM_CONTEXTMENU)
        return self.rect(MENU, 5000)

    def choose_in_tray_menu(self, row):
        self.open_tray_menu()
        self.click(MENU, lambda rect: (rect[0] + 40, rect[1] + MENU_ROWS[row]))
        self.gone(MENU)

    def open_panel(self):
        """Clicks the overlay's background, which brings the settings panel; returns the controls."""
        left, _, _, bottom = self.rect()
        xdotool("mousemove", left + 5, bottom - 5, "click", 1)
        within(lambda: self.controls()[OPACITY].visible, True, 5)
        return self.controls()

    def pick_boss(self, tracker, boss):
        self.click(COMBO)
        x, y = map(int, self.state(POPUP, 5000)["client"].split()[:2])
        xdotool("mousemove", x + 30, y + 28 * [b["id"] for b in bosses(tracker)].index(boss["id"]) + 14, "click", 1)

    def saved(self):
        return read_ini(self.ini)

    def assert_saved(self, *entries):
        assert_ini_holds(self.ini, *entries)

    def answer_exit_question(self, answer):
        """Waits for "Are you sure you want to exit?" and clicks Yes or No, as a person would; the answer under the
        mouse, and only that one, lights up: its accent border (under Wine's GDI+ the top edge may land a row lower)."""
        x, y, width, height = map(int, self.find(CONFIRM, "Confirm Exit")["client"].split())
        assert self.state()["enabled"] == "0", "the overlay waits for the answer"
        # Yes and No sit side by side, centred 34 px above the client's bottom, their top edges 47 px above it.
        xdotool("mousemove", x + width // 2 + (-40 if answer == "Yes" else 40), y + height - 34)
        time.sleep(0.3)
        shot = Screen()
        lit = [any(all(abs(a - e) <= 30 for a, e in zip(shot.pixel(x + width // 2 + dx, y + height - row), ACCENT))
                   for row in (47, 46)) for dx in (-40, 40)]
        assert lit == [answer == "Yes", answer == "No"]
        xdotool("click", 1)

    def exit(self, *message, keys=()):
        """Seconds from the close request (its question answered Yes by a click or the keys) to a clean exit."""
        if message:
            self.post(*message)
        elif keys:
            self.ask_exit()
            xdotool("key", *keys)
        else:
            self.post(WM_CLOSE)
            self.answer_exit_question("Yes")
            self.probe("wait-gone", 10000, CONFIRM)
        started = time.monotonic()
        assert self.process.wait(timeout=20) == 0
        return time.monotonic() - started

    def quit(self, code):
        self.post(WM_QUIT, code)
        assert self.process.wait(timeout=20) == code

    def resident_mib(self):
        """Resident memory as the system counts it: Wine runs the exe in the process it was started as."""
        with open(f"/proc/{self.process.pid}/status") as f:
            status = dict(line.split(":", 1) for line in f)
        assert status["Name"].strip() == "Brisquel.exe"
        return int(status["VmRSS"].split()[0]) / 1024

    def kill(self):
        """Ends the overlay as a crash would: no window message, no chance to save."""
        self.process.kill()
        self.process.wait()

    def close(self):
        if self.running():
            self.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


# Readers of what a test expects, as functions of the overlay.
def bits(field, mask):
    return lambda o: o.state()[field] & mask


def visible(control):
    return lambda o: o.controls()[control].visible


def colours(wanted=(RED, AMBER, GREEN, STALE)):
    """The bar colours found in the row list, of those wanted."""
    return lambda o: {p for p in Screen().region(*o.controls()[ROWS].rect, step=3) if p in wanted}


def rows(o):
    """Rows drawn in the list: runs of lines with label text ("Ch.") at the list's left."""
    rect, screen = o.controls()[ROWS].rect, Screen()
    lines = [any(min(p) >= 150 for p in screen.region(rect[0] + 4, y, rect[0] + 30, y + 1))
             for y in range(rect[1], rect[3])]
    return sum(1 for above, here in zip([False] + lines, lines) if here and not above)


def expect_click_through(o, on, saved=True):
    """The frame, styles, rectangle and hit-testing in or out of click-through mode, and the mode in the file."""
    framed, through, rect = WS_CAPTION | WS_THICKFRAME, WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, "100 100 550 800"
    o.expect(bits("style", framed | WS_POPUP), WS_POPUP if on else framed)
    o.expect(bits("exstyle", through if on else WS_EX_TRANSPARENT), through if on else 0)
    o.expect("rect", rect)
    if on:
        o.expect(lambda o: (o.controls()[TITLE].visible, o.controls()[STATUS].visible), (True, False))
    # Clicks pass through only in click-through mode.
    o.expect(lambda o: o.probe("at", *centre(list(map(int, rect.split()))))["at"] == OVERLAY, not on)
    if saved:
        o.assert_saved(("Window", "ClickThroughMode", str(int(on))))
