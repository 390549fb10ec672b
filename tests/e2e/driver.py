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

import brisquel_names as names
from screen import Screen

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_CLIPCHILDREN = 0x00C00000, 0x00080000, 0x00040000, 0x02000000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000
WS_EX_LAYERED, WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE = 0x00080000, 0x8, 0x20, 0x08000000
WM_CLOSE, WM_QUERYENDSESSION, WM_QUIT, WM_ENDSESSION, WM_EXITSIZEMOVE, WM_HOTKEY = 0x10, 0x11, 0x12, 0x16, 0x232, 0x312
WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_TRAY_CALLBACK = 0x0203, 0x0205, 0x0401
WM_CONTEXTMENU, NIN_KEYSELECT = 0x007B, 0x0401
# Row centres below a tier's top edge: the tray menu's, then its Alerts submenu's, which opens beside the Alerts row.
MENU_ROWS = {"Click-through": 87, "Alerts": 115, "Start with Windows": 143, "Help": 171, "Exit": 208}
ALERTS_ROW_TOP, ALERT_ROWS = 101, {"dying": 22, "respawn": 50, "sound": 78}
INTEGER_KEYS = [("Window", k) for k in ("Left", "Top", "Right", "Bottom", "Opacity", "TextScale", "ClickThroughMode")] + [
    ("Hotkeys", k) for k in ("ClickThrough", "ClickThroughMods", "Visibility", "VisibilityMods", "BossMenu",
                             "BossMenuMods")] + [
    ("Alerts", k) for k in ("Dying", "DyingSeconds", "Respawn", "RespawnSeconds", "Sound")]
RED, AMBER, GREEN, STALE, ACCENT = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128), (110, 185, 255)
TITLE_TEXT = names.PRODUCT_TITLE

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


def wine_reg_add(key, name, value):
    """Sets a DWORD in the test prefix's registry. Wine occasionally fails to start a process on a loaded
    machine, so a failed start is tried again; a value that never lands still fails the test."""
    command = ["reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", value, "/f"]
    for _ in range(2):
        if wine(*command, capture_output=True).returncode == 0:
            return
        time.sleep(1)
    wine(*command, check=True, capture_output=True)


def hold_hotkey(modifiers, key):
    """Another program holding a combination for 30 s; the caller kills it."""
    holder = subprocess.Popen([Tools.wine, Tools.probe, "hold", modifiers, key, "30000"], stdout=subprocess.PIPE,
                              text=True)
    assert holder.stdout.readline().strip() == "held=1"
    return holder


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def menu_row(name):
    return lambda rect: (rect[0] + 40, rect[1] + MENU_ROWS[name])


def bosses(tracker, real=False):
    return [b for b in tracker.read("/api/collections/mobs/records")["items"]
            if not real or b["type"] != "magical_creature"]


def text_box(screen, rect, skip_left=0, skip_right=0):
    """The bounding box of the bright (text) pixels inside rect, or None."""
    points = [(x, y) for y in range(rect[1], rect[3]) for x in range(rect[0] + skip_left, rect[2] - skip_right)
              if max(screen.pixel(x, y)) > 140]
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if points else None


def lit(shot, x, y):
    """Whether a button's accent border crosses (x, y); under Wine's GDI+ the top edge may land a row lower."""
    return any(all(abs(a - e) <= 30 for a, e in zip(shot.pixel(x, row), ACCENT)) for row in (y, y + 1))


def read_ini(path):
    """A settings file as [(section, key, value)] in file order (Brisquel writes it as UTF-16); [] when absent."""
    if not os.path.exists(path):
        return []
    with open(path, "rb") as f:
        data = f.read()
    parser = configparser.ConfigParser(interpolation=None)
    parser.optionxform = str
    parser.read_string(data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode())
    return [(section, key, value) for section in parser.sections() for key, value in parser[section].items()]


def assert_ini_holds(path, *entries):
    """Within the half second the overlay waits for changes to pause, and some slack."""
    expect(lambda: [entry for entry in entries if entry not in read_ini(path)], [], 2)


def resident_mib():
    """The overlay process's resident memory, read from outside as the system counts it."""
    for entry in os.listdir("/proc"):
        try:
            with open(f"/proc/{entry}/comm") as f:
                if f.read().strip().lower() != "brisquel.exe":
                    continue
            with open(f"/proc/{entry}/environ", "rb") as f:
                if f"WINEPREFIX={os.environ.get('WINEPREFIX', '')}".encode() not in f.read().split(b"\0"):
                    continue
            with open(f"/proc/{entry}/status") as f:
                return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:")) / 1024
        except (OSError, ValueError):
            continue
    raise AssertionError("no overlay process")


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

    def probe(self, *args):
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
        assert self.state(cls, ms)["title"] == title

    def gone(self, cls):
        self.probe("wait-gone", 5000, cls)  # the probe fails while it is still open

    def click(self, target=OVERLAY, at=centre):
        """Clicks a child control (an Id) or a top-level window (a class) at a point of its rectangle."""
        xdotool("mousemove", *at(self.controls()[target].rect if isinstance(target, Id) else self.rect(target)),
                "click", 1)

    def shot(self, name, cls=OVERLAY, margin=0):
        return Screen(name, crop=tuple(edge + step for edge, step in zip(self.rect(cls), (-margin, -margin,
                                                                                           margin, margin))))

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
        self.click(MENU, menu_row(row))
        self.gone(MENU)

    def open_panel(self):
        """Clicks the overlay's background, which brings the settings panel; returns the controls."""
        left, _, _, bottom = self.rect()
        xdotool("mousemove", left + 5, bottom - 5, "click", 1)
        within(lambda: self.controls()[OPACITY].visible, True, 5)
        return self.controls()

    def pick_boss(self, tracker, boss):
        """Opens the boss list and clicks the boss's row."""
        self.click(COMBO)
        x, y = map(int, self.state(POPUP, 5000)["client"].split()[:2])
        xdotool("mousemove", x + 30, y + 28 * [b["id"] for b in bosses(tracker)].index(boss["id"]) + 14, "click", 1)

    def saved(self):
        return read_ini(self.ini)

    def assert_saved(self, *entries):
        assert_ini_holds(self.ini, *entries)

    def answer_exit_question(self, answer):
        """Waits for "Are you sure you want to exit?" and clicks Yes or No, as a person would; the answer under the
        mouse, and only that one, lights up."""
        question = self.state(CONFIRM, 10000)
        assert question["title"] == "Confirm Exit"
        assert self.state()["enabled"] == "0", "the overlay waits for the answer"
        x, y, width, height = map(int, question["client"].split())
        # Yes and No sit side by side, centred 34 px above the client's bottom, their top edges 47 px above it.
        xdotool("mousemove", x + width // 2 + (-40 if answer == "Yes" else 40), y + height - 34)
        time.sleep(0.3)
        shot = Screen()
        assert [lit(shot, x + width // 2 + dx, y + height - 47) for dx in (-40, 40)] == [answer == "Yes",
                                                                                          answer == "No"]
        xdotool("click", 1)

    def exit(self, *message, keys=()):
        """Seconds from the close request (once the question it asks is answered Yes, by a click or the keys) to a
        clean exit."""
        self.post(*(message or (WM_CLOSE,)))
        if keys:
            self.state(CONFIRM, 10000)
            for key in keys:
                xdotool("key", key)
        elif not message:
            self.answer_exit_question("Yes")
            self.probe("wait-gone", 10000, CONFIRM)
        return elapsed(lambda: self.expect_exit_code(0))

    def quit(self, code):
        self.post(WM_QUIT, code)
        self.expect_exit_code(code)

    def expect_exit_code(self, code):
        assert self.process.wait(timeout=20) == code

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


def extent(control, axis):
    """A control's width (axis 0) or height (axis 1)."""
    return lambda o: (lambda r: r[axis + 2] - r[axis])(o.controls()[control].rect)


def visible(control):
    return lambda o: o.controls()[control].visible


def colours(wanted=(RED, AMBER, GREEN, STALE)):
    """The bar colours found in the row list, of those wanted."""
    return lambda o: {p for p in Screen().region(*o.controls()[ROWS].rect, step=3) if p in wanted}


def rows(o):
    """Rows drawn in the list: runs of lines with label text ("Ch.") at the list's left."""
    rect, screen = o.controls()[ROWS].rect, Screen()
    lines = [any(min(p) >= 150 for p in screen.line(y, rect[0] + 4, rect[0] + 30)) for y in range(rect[1], rect[3])]
    return sum(1 for above, here in zip([False] + lines, lines) if here and not above)


def alerts(o):
    """Notifications raised so far and the last one's text; counted when the test hook is on."""
    raised = o.probe("alerts")
    return int(raised["alerts"]), raised["alert"]


def stale_pixels(o, controls):
    """Per control, the pixels on screen that a whole repaint changes by more than an anti-aliasing shade."""
    regions = [o.controls()[c].rect for c in controls]
    seen = [Screen().region(*r) for r in regions]
    o.probe("redraw")
    time.sleep(0.3)
    return {c: sum(max(abs(p - q) for p, q in zip(a, b)) > 48 for a, b in zip(before, Screen().region(*r)))
            for c, r, before in zip(controls, regions, seen)}


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
