#!/usr/bin/env python3
"""End-to-end tests of Brisquel.exe under Wine: start it as a user would, in a directory of its own with a prepared
Brisquel.ini, drive it with xdotool and the probe, look at the window, close it, read the file back. A case walks a
list of steps; cases that start the overlay the same way share one run, as each start costs seconds.

    overlay_e2e.py --wine build/win64/wine-run.sh --exe Brisquel.exe --probe probe.exe
The demo tracker's port comes from BRISQUEL_TRACKER_PORT (tests/fixtures/with_fixtures.py).
"""
import argparse
import collections
import configparser
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from screen import Screen  # noqa: E402
from tracker_process import Tracker, TrackerProcess  # noqa: E402

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_CLIPCHILDREN = 0x00C00000, 0x00080000, 0x00040000, 0x02000000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000
WS_EX_LAYERED, WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE = 0x00080000, 0x8, 0x20, 0x08000000
WM_QUIT, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_TRAY_CALLBACK = 0x0012, 0x0203, 0x0205, 0x0401
# Row centres below a tier's top edge: the tray menu's, then its Alerts submenu's, which opens beside the Alerts row.
MENU_ROWS = {"Click-through": 87, "Alerts": 115, "Help": 143, "Exit": 180}
ALERTS_ROW_TOP, ALERT_ROWS = 101, {"dying": 22, "respawn": 50, "sound": 78}
INTEGER_KEYS = [("Window", k) for k in ("Left", "Top", "Right", "Bottom", "Opacity", "TextScale", "ClickThroughMode")] + [
    ("Hotkeys", k) for k in ("ClickThrough", "ClickThroughMods", "Visibility", "VisibilityMods", "BossMenu",
                             "BossMenuMods")] + [
    ("Alerts", k) for k in ("Dying", "DyingSeconds", "Respawn", "RespawnSeconds", "Sound")]
RED, AMBER, GREEN, STALE, ACCENT = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128), (110, 185, 255)
ARGS = None
TRACKER = Tracker(int(os.environ["BRISQUEL_TRACKER_PORT"]))  # tests/fixtures/with_fixtures.py starts it
Control = collections.namedtuple("Control", "visible rect text")
Id = collections.namedtuple("Id", "number cls")  # a child control, as the probe names it
COMBO, ROWS, OPACITY, SCALE = Id(1001, "OrlixComboBox"), Id(1002, "ZentrikProgressList"), *(
    Id(i, "OrlixCustomSlider") for i in (1003, 1006))
OPACITY_VALUE, STATUS, TITLE, SCALE_VALUE, COUNTDOWN, CACHE = (
    Id(i, "OrlixCustomLabel") for i in (1004, 1005, 1006, 1007, 1012, 1013))
CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON, BOSS_MENU_BUTTON = (Id(i, "OrlixButton") for i in (1010, 1011, 1014))
OVERLAY, MENU, CONFIRM, NOTICE, POPUP, HELP = ("ZentrikMainDialog",
    "OrlixDarkPopupMenuTier", "OrlixConfirmDialog", "OrlixNotification", "OrlixComboBoxPopup", "OrlixHelpDialog")
SHOWN, CACHE_READ = (lambda text: text != ""), re.compile(r"^Cache: \d")
CONNECTED = re.compile("^\u25cf Connected \\| \u2193 ")
RECONNECTING = re.compile(r"^Reconnecting\.\.\. \(attempt [1-9]\d*\) \| NTP: ")


def within(read, wanted, seconds):
    """Reads until the value is the one wanted (or satisfies it) or the time is up; returns the last value."""
    done = wanted if callable(wanted) else lambda value: value == wanted
    deadline = time.monotonic() + seconds
    while True:
        value = read()
        if done(value) or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def elapsed(action):
    """Seconds the action took."""
    started = time.monotonic()
    action()
    return time.monotonic() - started


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def wine_reg_add(key, name, value):
    """Sets a DWORD in the test prefix's registry. Wine occasionally fails to start a process on a loaded
    machine, so a failed start is tried again; a value that never lands still fails the test."""
    command = [ARGS.wine, "reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"]
    for _ in range(2):
        if subprocess.run(command, capture_output=True).returncode == 0:
            return
        time.sleep(1)
    subprocess.run(command, check=True, capture_output=True)


def count_rows(rect):
    """Rows drawn in the list: runs of lines with label text ("Ch.") at the list's left."""
    screen = Screen()
    lines = [any(min(p) >= 150 for p in screen.line(y, rect[0] + 4, rect[0] + 30)) for y in range(rect[1], rect[3])]
    return sum(1 for above, here in zip([False] + lines, lines) if here and not above)


def text_box(screen, rect, skip_left=0, skip_right=0):
    """The bounding box of the bright (text) pixels inside rect, or None."""
    points = [(x, y) for y in range(rect[1], rect[3]) for x in range(rect[0] + skip_left, rect[2] - skip_right)
              if max(screen.pixel(x, y)) > 140]
    xs, ys = [x for x, _ in points], [y for _, y in points]
    return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if points else None


def bosses(tracker=TRACKER, real=False):
    return [b for b in tracker.read("/api/collections/mobs/records")["items"]
            if not real or b["type"] != "magical_creature"]


# Readers of what a step expects, as functions of the overlay.
def bits(field, mask):
    return lambda o: o.state()[field] & mask


def extent(control, axis):
    """A control's width (axis 0) or height (axis 1)."""
    return lambda o: (lambda r: r[axis + 2] - r[axis])(o.controls()[control].rect)


def colours(wanted=(RED, AMBER, GREEN, STALE)):
    """The bar colours found in the row list, of those wanted."""
    return lambda o: {p for p in Screen().region(*o.controls()[ROWS].rect, step=3) if p in wanted}


def stale_pixels(o, controls):
    """Per control, the pixels on screen that a whole repaint changes by more than an anti-aliasing shade."""
    regions = [o.controls()[c].rect for c in controls]
    seen = [Screen().region(*r) for r in regions]
    o.probe("redraw")
    time.sleep(0.3)
    return {c: sum(max(abs(p - q) for p, q in zip(a, b)) > 48 for a, b in zip(before, Screen().region(*r)))
            for c, r, before in zip(controls, regions, seen)}


def lit(shot, x, y):
    """Whether a button's accent border crosses (x, y); under Wine's GDI+ the top edge may land a row lower."""
    return any(all(abs(a - e) <= 30 for a, e in zip(shot.pixel(x, row), ACCENT)) for row in (y, y + 1))


def alerts(o):
    """Notifications raised so far and the last one's text; counted when the test hook is on."""
    raised = o.probe("alerts")
    return int(raised["alerts"]), raised["alert"]


def resident_mib(o):
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


def running(o):
    return o.process.poll() is None


# Where a click lands in a rectangle.
def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def menu_row(name):
    return lambda rect: (rect[0] + 40, rect[1] + MENU_ROWS[name])


class Overlay:
    """One run of Brisquel.exe in a temporary directory, with the given Brisquel.ini (none if None)."""

    def __init__(self, ini_text):
        self.dir = tempfile.mkdtemp(prefix="brisquel-e2e-")
        shutil.copy(ARGS.exe, os.path.join(self.dir, "Brisquel.exe"))
        self.ini = os.path.join(self.dir, "Brisquel.ini")
        if ini_text is not None:
            with open(self.ini, "w", newline="\r\n") as f:
                f.write(ini_text)
        self.launch()

    def launch(self):
        self.process = subprocess.Popen([ARGS.wine, "Brisquel.exe"], cwd=self.dir)

    def probe(self, *args):
        """The probe's `name=value` lines as a dict; for the listings (children, paints) the values in order."""
        # Wine occasionally fails to start a process on a loaded machine; the probe itself only returns
        # 1 for bad arguments, which a second start does not mend.
        for _ in range(2):
            result = subprocess.run([ARGS.wine, ARGS.probe, *map(str, args)], capture_output=True, encoding="utf-8",
                                    timeout=30)
            if result.returncode != 1 or result.stdout:
                break
        if result.returncode != 0:
            raise AssertionError(f"probe {args} failed with {result.returncode}")
        lines = [line.split("=", 1) for line in result.stdout.splitlines() if "=" in line]
        return [value for _, value in lines] if args[0] in ("children", "paints") else dict(lines)

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

    def open_tray_menu(self):
        """Right-clicks the tray icon, as the system reports it; returns the menu's rectangle once it shows."""
        self.probe("post", WM_TRAY_CALLBACK, 1, WM_RBUTTONUP)
        return self.rect(MENU, 5000)

    def open_panel(self):
        """Clicks the overlay's background, which brings the settings panel; returns the controls."""
        left, _, _, bottom = self.rect()
        xdotool("mousemove", left + 5, bottom - 5, "click", 1)
        within(lambda: self.controls()[OPACITY].visible, True, 5)
        return self.controls()

    def pick_boss(self, boss):
        """Opens the boss list and clicks the boss's row."""
        xdotool("mousemove", *centre(self.controls()[COMBO].rect), "click", 1)
        x, y = map(int, self.state(POPUP, 5000)["client"].split()[:2])
        xdotool("mousemove", x + 30, y + 28 * [b["id"] for b in bosses()].index(boss["id"]) + 14, "click", 1)

    def saved(self):
        """The settings file as [(section, key, value)] in file order (Brisquel writes it as UTF-16)."""
        with open(self.ini, "rb") as f:
            data = f.read()
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read_string(data[2:].decode("utf-16-le") if data.startswith(b"\xff\xfe") else data.decode())
        return [(section, key, value) for section in parser.sections() for key, value in parser[section].items()]

    def kill(self):
        """Ends the overlay as a crash would: no window message, no chance to save."""
        self.process.kill()
        self.process.wait()

    def close(self):
        if self.process.poll() is None:
            self.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


class OverlayTest(unittest.TestCase):
    def start(self, ini_text="", connected=False, origin=None):
        overlay = Overlay(None if ini_text is None else f"[Server]\nBaseUrl={origin or TRACKER.origin}/\n" + ini_text)
        self.addCleanup(overlay.close)
        try:
            overlay.state()
        except AssertionError:
            # Wine occasionally fails to start a process on a loaded machine: a start that ended without a
            # window is tried once more, and said so. One still running without a window fails the test.
            if overlay.process.poll() is None:
                raise
            print(f"the overlay ended with {overlay.process.returncode} before its window showed; again",
                  file=sys.stderr)
            overlay.launch()
            overlay.state()
        if connected:
            self.expect(overlay, STATUS, CONNECTED, 30)
        return overlay

    def start_with_private_tracker(self, ini_text="", prepare=lambda tracker: None):
        """A connected overlay showing a boss, on a tracker the test may stop or change the world of (also
        before the overlay starts, in `prepare`)."""
        tracker = TrackerProcess()
        self.addCleanup(tracker.stop)
        prepare(tracker)
        overlay = self.start(ini_text, connected=True, origin=tracker.origin)
        self.expect(overlay, TITLE, SHOWN, 10)
        return tracker, overlay

    def switch_on_test_hook(self, name):
        """Test hooks are read from the registry as the overlay starts; what they count goes there too."""
        registry = r"HKCU\Software\Brisquel"
        subprocess.run([ARGS.wine, "reg", "delete", registry, "/f"], capture_output=True)
        wine_reg_add(registry, name, 1)
        self.addCleanup(subprocess.run, [ARGS.wine, "reg", "delete", registry, "/f"], capture_output=True)

    def walk(self, o, steps):
        """Walks (verb, args...) steps; a verb is one of the names below or a function of the overlay."""
        verbs = {
            "post": lambda *message: o.probe("post", *message),
            "hotkey": lambda number: o.probe("post", "WM_HOTKEY", number),
            "tray": lambda event: o.probe("post", WM_TRAY_CALLBACK, 1, event),
            "menu": o.open_tray_menu,
            "probe": o.probe, "xdotool": xdotool, "sleep": time.sleep, "panel": o.open_panel,
            "key": lambda name: xdotool("key", name),
            "click": lambda target=OVERLAY, at=centre: xdotool("mousemove", *at(
                o.controls()[target].rect if isinstance(target, Id) else o.rect(target)), "click", 1),
            "control": lambda tracker, command: tracker.control(command),
            "expect": lambda *args: self.expect(o, *args),
            # Within the half second the overlay waits for changes to pause, and some slack.
            "saved": lambda *entries: self.expect(o, lambda o: [e for e in entries if e not in o.saved()], [], 2),
            "find": lambda cls, title, ms=10000: self.assertEqual(o.state(cls, ms)["title"], title),
            "gone": lambda cls: o.probe("wait-gone", 5000, cls),  # the probe fails while it is still open
            "shot": lambda name, cls=OVERLAY, margin=0: Screen(name, crop=tuple(
                edge + step for edge, step in zip(o.rect(cls), (-margin, -margin, margin, margin)))),
            "answer": lambda answer: self.answer_exit_question(o, answer),
            "exit": lambda *message: self.close_and_expect_exit(o, *message),
            "exit by key": lambda key: self.close_and_expect_exit(o, key=key),
            "quit": lambda code: (o.probe("post", WM_QUIT, code), self.assertEqual(o.process.wait(timeout=20), code)),
            "exit within": lambda seconds: self.assertLess(self.close_and_expect_exit(o), seconds),
            "in under": lambda seconds, *steps: self.assertLess(elapsed(lambda: self.walk(o, steps)), seconds),
        }
        for verb, *args in steps:
            try:
                verb(o, *args) if callable(verb) else verbs[verb](*args)
            except AssertionError as failure:
                raise AssertionError(f"{getattr(verb, '__name__', verb)} {args}: {failure}") from None

    def expect(self, o, what, wanted, seconds=0):
        """what: a control's text, a function of the overlay, or the overlay's state field (or a tuple of them);
        wanted: the value, a pattern or a predicate, awaited for up to `seconds`."""
        def read():
            if isinstance(what, Id) or callable(what):
                return o.text(what) if isinstance(what, Id) else what(o)
            s = o.state()
            return tuple(s[field] for field in what) if isinstance(what, tuple) else s[what]
        if isinstance(wanted, re.Pattern):
            self.assertRegex(within(read, lambda value: bool(wanted.search(value)), seconds), wanted)
        elif callable(wanted):
            value = within(read, wanted, seconds)
            self.assertTrue(wanted(value), value)
        else:
            self.assertEqual(within(read, wanted, seconds), wanted)

    def answer_exit_question(self, o, answer):
        """Waits for "Are you sure you want to exit?" and clicks Yes or No, as a person would; the answer under the
        mouse, and only that one, lights up."""
        question = o.state(CONFIRM, 10000)
        self.assertEqual(question["title"], "Confirm Exit")
        self.assertEqual(o.state()["enabled"], "0", "the overlay waits for the answer")
        x, y, width, height = map(int, question["client"].split())
        # Yes and No sit side by side, centred 34 px above the client's bottom, their top edges 47 px above it.
        xdotool("mousemove", x + width // 2 + (-40 if answer == "Yes" else 40), y + height - 34)
        time.sleep(0.3)
        shot = Screen()
        self.assertEqual([lit(shot, x + width // 2 + dx, y + height - 47) for dx in (-40, 40)],
                         [answer == "Yes", answer == "No"])
        xdotool("click", 1)

    def close_and_expect_exit(self, o, *message, key=None):
        """Seconds from the close request (once the question it asks is answered Yes, by a click or the key) to a
        clean exit."""
        o.probe("post", *(message or ("WM_CLOSE",)))
        if key:
            o.state(CONFIRM, 10000)
            xdotool("key", key)
        elif not message:
            self.answer_exit_question(o, "Yes")
            o.probe("wait-gone", 10000, CONFIRM)
        return elapsed(lambda: self.assertEqual(o.process.wait(timeout=20), 0))

    def wait_for_requests(self, predicate):
        requests = within(lambda: TRACKER.control("requests")["requests"], predicate, 30)
        self.assertTrue(predicate(requests), f"the tracker never saw the expected requests: {requests[-10:]}")
        return requests


def click_through(on):
    """The frame, styles, rectangle and hit-testing in or out of click-through mode, and the mode in the file."""
    framed, through, rect = WS_CAPTION | WS_THICKFRAME, WS_EX_TRANSPARENT | WS_EX_NOACTIVATE, "100 100 550 800"
    reached = lambda o: o.probe("at", *centre(list(map(int, rect.split()))))["at"]  # noqa: E731
    return [("expect", bits("style", framed | WS_POPUP), WS_POPUP if on else framed),
            ("expect", bits("exstyle", through if on else WS_EX_TRANSPARENT), through if on else 0),
            ("expect", "rect", rect),
            *([("expect", lambda o: (o.controls()[TITLE].visible, o.controls()[STATUS].visible), (True, False))]
              if on else []),
            ("expect", lambda o: reached(o) == OVERLAY, not on),  # clicks pass through only in click-through mode
            ("saved", ("Window", "ClickThroughMode", str(int(on))))]


class OverlayLifecycle(OverlayTest):
    def test_window_from_saved_settings_kept_on_screen_and_settings_written_back(self):
        overlay = self.start("[Window]\nLeft=5000\nTop=5000\nRight=5450\nBottom=5700\nOpacity=40\n")
        width, height = map(int, overlay.state()["screen"].split())
        clamped = f"{width - 450} {height - 700} {width} {height}"
        frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN
        values = [*clamped.split(), "40", "100", "0", "66", "6", "66", "2", "65", "2", "0", "60", "0", "60", "1"]
        self.walk(overlay, [
            ("expect", ("class", "title"), (OVERLAY, "Brisquel v1.6.3")),
            ("expect", bits("style", frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), frame),
            ("expect", bits("exstyle", WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TRANSPARENT),
             WS_EX_LAYERED | WS_EX_TOPMOST),
            ("expect", "alpha", "102"),  # 40 * 255 / 100, truncated
            # Off-screen and too far: moved back into the monitor without shrinking, at the start and after a move.
            ("expect", "rect", clamped),
            ("probe", "move", width - 100, height - 50), ("post", "WM_EXITSIZEMOVE"), ("expect", "rect", clamped, 2),
            ("exit",),
            # When the boss list arrived before the close, the first boss was chosen and saved as well.
            ("expect", lambda o: [entry for entry in o.saved() if entry[0] != "Selection"],
             [("Server", "BaseUrl", TRACKER.origin + "/")] + [(*key, v) for key, v in zip(INTEGER_KEYS, values)])])

    def test_no_settings_file_opens_at_defaults_and_a_session_end_saves_without_asking(self):
        self.walk(self.start(None), [
            ("expect", ("rect", "alpha"), ("100 100 550 800", "191")),
            ("post", "WM_QUERYENDSESSION"), ("post", "WM_ENDSESSION", 0), ("sleep", 1),
            ("expect", running, True),  # a cancelled session end must not close the overlay
            ("exit", "WM_ENDSESSION", 1),
            ("expect", lambda o: [(section, key) for section, key, _ in o.saved()], INTEGER_KEYS),
            ("saved", ("Window", "Left", "100"))])

    def test_click_through_from_the_file_and_by_hotkey_saved_at_once(self):
        toggle = [("hotkey", 1), ("sleep", 1)]
        self.walk(self.start("[Window]\nClickThroughMode=1\n"), [
            *click_through(True), *toggle, *click_through(False), *toggle, *click_through(True),
            ("exit",), ("saved", ("Window", "ClickThroughMode", "1"))])

    def test_the_exe_carries_its_icon_and_version(self):
        with tempfile.TemporaryDirectory() as directory:
            icon = os.path.join(directory, "group.ico")
            with open(icon, "wb") as f:
                f.write(subprocess.run(["wrestool", "-x", "-t14", ARGS.exe], capture_output=True, check=True).stdout)
            # Each image decodes at its size, as a disc: opaque in the middle, clear in the corner.
            subprocess.run(["icotool", "-x", "-o", directory, icon], check=True)
            decoded = subprocess.run(["identify", "-format", r"%w %h %[fx:p{w/2,h/2}.a] %[fx:p{0,0}.a]\n",
                                      *sorted(glob.glob(os.path.join(directory, "*.png")))],
                                     capture_output=True, text=True, check=True).stdout
        self.assertEqual(decoded.splitlines(), [f"{size} {size} 1 0" for size in (16, 24, 32, 48, 256)])
        # As Windows' version API (here Wine's) reads it for Explorer's Details tab.
        result = subprocess.run([ARGS.wine, ARGS.probe, "version", "Z:" + os.path.abspath(ARGS.exe).replace("/", "\\")],
                                capture_output=True, encoding="utf-8", timeout=30, check=True)
        self.assertEqual(dict(line.split("=", 1) for line in result.stdout.splitlines()), {
            "fileversion": "1.6.3.0", "ProductName": "Brisquel", "ProductVersion": "1.6.3",
            "FileDescription": "Brisquel world-boss overlay",
            "LegalCopyright": "Copyright (c) 2026 the Brisquel developers (MIT licence)"})

    def test_a_hotkey_held_by_another_program_is_reported(self):
        switch = [("menu",), ("click", MENU, menu_row("Click-through")), ("gone", MENU)]
        for modifiers, ini_text, steps in (
                # A quit while the tray menu is open ends the program with its code.
                ("2", "", [("expect", VISIBILITY_BUTTON, "Show/Hide: Ctrl+B (not active)"),
                           ("expect", CLICK_THROUGH_BUTTON, "Click-through: Ctrl+Shift+B"), ("menu",), ("quit", 3)]),
                # Without its hotkey, click-through from the file would leave the mouse no way in: the overlay
                # starts framed, keeps the saved mode for a later run, and the tray menu switches it.
                ("6", "[Window]\nClickThroughMode=1\n", [
                    *click_through(False)[:-1], ("saved", ("Window", "ClickThroughMode", "1")),
                    *switch, *click_through(True), *switch, *click_through(False), ("exit",)])):
            with self.subTest(modifiers):
                holder = subprocess.Popen([ARGS.wine, ARGS.probe, "hold", modifiers, "0x42", "30000"],
                                          stdout=subprocess.PIPE, text=True)
                self.addCleanup(holder.kill)
                self.assertEqual(holder.stdout.readline().strip(), "held=1")
                self.walk(self.start(ini_text), [("find", NOTICE, "Warning", 20000), ("key", "Return"),
                                                 ("gone", NOTICE), *steps])
                holder.kill()
                holder.wait()


class OverlaySession(OverlayTest):
    """One run from the default settings through what a player does in a session. Global hotkeys reach a Wine
    program only in some setups, so they arrive as WM_HOTKEY posted by the probe, as the system would send them."""

    def test_a_session_from_the_default_settings(self):
        seen = len(TRACKER.control("requests")["requests"])  # the log spans the run
        overlay = self.start()
        self.check_the_first_reads(seen)
        self.walk(overlay, [("expect", STATUS, CONNECTED, 30), ("expect", TITLE, SHOWN, 10)] + [
            # The hotkey and a double click on the tray icon hide and show the overlay, which stays on top.
            step for toggle in (("hotkey", 2), ("tray", WM_LBUTTONDBLCLK)) for visible in "01"
            for step in (toggle, ("sleep", 0.5), ("expect", ("visible", "topmost"), (visible, "1")))] + [
            # The boss list opens with the keyboard focus: Escape closes it.
            ("hotkey", 3), ("probe", "find", 5000, POPUP), ("key", "Escape"), ("gone", POPUP),
            ("hotkey", 2), ("expect", "visible", "0", 3), (self.start_again,),
            # The tray menu opens at the mouse (which Wine follows over its own windows), leftwards in the
            # screen's right 30 %. Keys do not close it; a click elsewhere does and reaches what it lands on, and
            # so does another window taking the foreground. Help shows the help until its OK.
            ("probe", "move", 820, 100), ("xdotool", "mousemove", 1000, 300), ("menu",),
            ("shot", "tray-menu", MENU, 10), ("expect", lambda o: o.rect(MENU)[2], 1000),
            ("key", "Escape"), ("sleep", 0.5), ("probe", "find", 1000, MENU), ("click", COMBO), ("gone", MENU),
            ("probe", "find", 5000, POPUP), ("key", "Escape"), ("gone", POPUP),
            ("menu",), ("hotkey", 3), ("gone", MENU), ("key", "Escape"), ("gone", POPUP),
            ("menu",), ("click", MENU, menu_row("Help")), ("find", HELP, "Brisquel v1.6.3 - Help"),
            ("shot", "help", HELP), ("click", HELP, lambda r: ((r[0] + r[2]) // 2, r[3] - 32)), ("gone", HELP)] + [
            # Exit in the menu and a close ask first; No and Escape leave the overlay running and usable.
            step for decline in ([("menu",), ("click", MENU, menu_row("Exit")), ("answer", "No")],
                                 [("post", "WM_CLOSE"), ("find", CONFIRM, "Confirm Exit"), ("key", "Escape")])
            for step in (*decline, ("gone", CONFIRM), ("expect", running, True), ("expect", "enabled", "1"))] + [
            # Rebinding (what each key means is HotkeyRebindTest's): a hotkey that arrives meanwhile is refused
            # with a notice and not run, another one while the notice is up brings no second notice and ends
            # nothing, and the next combination is saved and shown.
            ("panel",), ("click", VISIBILITY_BUTTON),  # the panel shows while the overlay has the focus
            ("expect", VISIBILITY_BUTTON, "Show/Hide: [Press modifier + key...]"),
            ("hotkey", 1), ("find", NOTICE, "Duplicate Hotkey", 5000), ("shot", "notice-duplicate", NOTICE),
            ("hotkey", 1), ("sleep", 0.5), ("find", NOTICE, "Duplicate Hotkey", 1000), ("key", "Return"),
            ("gone", NOTICE), ("expect", bits("style", WS_POPUP), 0),  # the refused hotkey's action did not run
            ("key", "ctrl+alt+k"), ("expect", VISIBILITY_BUTTON, "Show/Hide: Ctrl+Alt+K", 3),
            ("saved", ("Hotkeys", "Visibility", "75"), ("Hotkeys", "VisibilityMods", "3")),
            (self.resize_drag_and_move_to_200_percent,), ("exit by key", "Return")])

    def check_the_first_reads(self, seen):
        """The boss list, every boss's channels, then the summary poll, each summary followed by a status probe."""
        new = self.wait_for_requests(lambda requests: sum(
            r["path"] == "/api/all_status" for r in requests[seen:]) >= 2)[seen:]
        paths = [r["path"] for r in new]
        self.assertEqual(paths[0], "/api/collections/mobs/records")
        channel_reads = [p for p in paths if p.startswith("/api/collections/mob_channel_status/records?")]
        self.assertEqual(channel_reads, [
            f"/api/collections/mob_channel_status/records?filter=(mob='{b['id']}')&perPage=500&sort=-last_update"
            for b in bosses()])
        # The summary poll starts only once the boss list is in: the window's client has no base URL before.
        self.assertGreater(paths.index("/api/all_status"), paths.index(channel_reads[-1]))
        self.assertEqual(paths[paths.index("/api/all_status") + 1], "/api/status")
        agents = {r["path"].split("?")[0]: r["agent"] for r in new}
        self.assertEqual((agents["/api/all_status"], agents["/api/status"]), ("Zentrik/1.0", "Zentrik/1.1"))

    def start_again(self, overlay):
        """A second start from the same folder brings the hidden first back and leaves at once, changing nothing;
        a copy in another folder has settings of its own and runs beside it."""
        def overlays(_=None):
            return len(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Brisquel v1.6.3$"],
                                      capture_output=True, text=True).stdout.split())

        def ini(o):
            with open(o.ini, "rb") as f:
                return f.read()

        before, started = ini(overlay), time.monotonic()
        self.assertEqual(subprocess.run([ARGS.wine, "Brisquel.exe"], cwd=overlay.dir, timeout=30).returncode, 0)
        seconds = time.monotonic() - started
        self.assertLess(seconds, 2.0)
        print(f"a second start ended after {seconds:.2f} s", file=sys.stderr)
        self.walk(overlay, [("expect", "visible", "1"), ("expect", overlays, 1), ("probe", "wait-gone", 0, NOTICE),
                            ("expect", ini, before)])
        beside = self.start()
        self.assertEqual(within(overlays, 2, 10), 2)
        beside.kill()  # it would stand over the exit question

    def resize_drag_and_move_to_200_percent(self, overlay):
        overlay.open_panel()
        # Resized wider and narrower, the combo box and the sliders show what a fresh paint shows.
        for width in (600, 380):
            left, top = overlay.rect()[:2]
            overlay.probe("move", left, top, width, 700)
            time.sleep(0.5)
            self.assertEqual(stale_pixels(overlay, (COMBO, OPACITY, SCALE)), {COMBO: 0, OPACITY: 0, SCALE: 0}, width)
        controls = overlay.controls()
        # Thumb drag, then the click-through hotkey: the list lets go of the mouse. Then a move to a 200 % monitor:
        # the suggested rectangle, and the layout at twice the size.
        rows, combo = controls[ROWS].rect, controls[COMBO].rect[3] - controls[COMBO].rect[1]
        self.addCleanup(subprocess.run, ["xdotool", "mouseup", "1"])
        self.walk(overlay, [
            ("xdotool", "mousemove", rows[2] - 6, rows[1] + 10, "mousedown", 1),
            ("expect", "capture", "ZentrikProgressList", 3), ("hotkey", 1), ("expect", "capture", "", 3),
            ("xdotool", "mouseup", 1), ("hotkey", 1),
            ("probe", "dpi-changed", 192, 60, 40, 960, 1000), ("expect", "rect", "60 40 960 1000"),
            ("expect", extent(COMBO, 1), 2 * combo), ("expect", extent(COUNTDOWN, 0), 200)])


class OverlayAndTracker(OverlayTest):
    def test_exits_promptly_while_requests_hang(self):
        TRACKER.control("stall")
        self.addCleanup(TRACKER.control, "resume")
        seen = len(TRACKER.control("requests")["requests"])
        overlay = self.start()
        self.wait_for_requests(lambda requests: len(requests) > seen)
        # The loader is now inside a request that will not be answered; the shutdown waits for the workers for at
        # most five seconds, then leaves.
        self.walk(overlay, [("sleep", 1), ("exit within", 8.0), ("saved", ("Window", "Left", "100"))])

    def test_a_private_tracker_loses_channels_fails_stops_and_ages(self):
        tracker, overlay = self.start_with_private_tracker()
        title = overlay.text(TITLE)
        boss = next(b["id"] for b in bosses(tracker) if b["name"] == title)
        rows = lambda o: count_rows(o.controls()[ROWS].rect)  # noqa: E731
        self.walk(overlay, [("expect", "tray", "2", 5), ("control", tracker, "freeze")])
        live = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss]
                if c["last_hp"] > 0]
        # Three rows left, so that the whole list shows and its rows can be counted on the screen; one dies.
        self.walk(overlay, [("control", tracker, f"kill/{boss}/{number}") for number in live[3:]] + [
            ("expect", rows, 3, 5), ("control", tracker, f"kill/{boss}/{live[0]}"), ("expect", rows, 2, 3),
            ("control", tracker, "thaw")])
        # Not JSON; a gzip body past the inflate limit; no answer until the client's 10 s time-out.
        for fault, seconds in (("garbage", 5), ("bomb", 5), ("stall", 15)):
            with self.subTest(fault):
                tracker.control(f"fault/{fault}")
                # The failure shows only until the next summary, about 1.5 s later: the probe watches closely.
                noticed = overlay.probe("wait-text", STATUS.number, "Reconnecting", seconds * 1000)["text"]
                self.assertRegex(noticed, r"^Reconnecting\.\.\. \(attempt 1\) \| NTP: ")
                self.walk(overlay, [("expect", running, True), ("expect", STATUS, CONNECTED, 4),
                                    ("expect", colours(), bool)])  # the rows stay
        self.walk(overlay, [
            (lambda o: tracker.stop(),), ("in under", 4, ("expect", STATUS, RECONNECTING, 3)),
            ("expect", "tray", "1", 3),
            (lambda o: tracker.start(),), ("in under", 4, ("expect", STATUS, CONNECTED, 3)),
            ("expect", "tray", "2", 5)])
        # Every report ten minutes old: all rows grey.
        self.walk(overlay, [("control", tracker, "age/600"), ("expect", colours((RED, GREEN, STALE)), {STALE}, 5),
                            ("exit",)])

    def test_oversized_answers_cost_bounded_work_and_a_hostile_boss_id_never_reaches_the_settings(self):
        # Listed first with fresh channels, the boss whose id holds CR LF would be the one chosen, and saved.
        tracker, overlay = self.start_with_private_tracker(prepare=lambda t: t.control("hostile-boss"))
        boss = next(b["id"] for b in bosses(tracker) if b["name"] == overlay.text(TITLE))
        refused = "Brisquel v1.6.3\\n127.0.0.1: answer is not tracker data"
        for flood in (f"flood/records/{boss}", "flood/ids"):
            with self.subTest(flood):
                tracker.control(flood)
                # While the floods last the rows stay as they were and the window keeps answering at once.
                self.walk(overlay, [("expect", "tip", refused, 15), ("expect", colours(), bool),
                                    ("probe", "responds", 1000), ("sleep", 3), ("probe", "responds", 1000),
                                    ("expect", resident_mib, lambda mib: mib < 200)])
                tracker.control("resume")
                self.walk(overlay, [("expect", "tip", "Brisquel v1.6.3", 10), ("expect", "tray", "2", 5)])
        self.walk(overlay, [("exit",)])
        self.assertEqual([(key, value) for section, key, value in overlay.saved() if section == "Server"],
                         [("BaseUrl", tracker.origin + "/")])
        with open(overlay.ini, "rb") as f:
            self.assertNotIn("127.0.0.1:1/", f.read().decode("utf-16-le", "replace"))

    def test_an_unreadable_tracker_says_why_until_it_answers_again(self):
        tracker = TrackerProcess()
        self.addCleanup(tracker.stop)
        # Under "Unknown" and in the red tray icon's tip, as the probe prints them (a line break as \n). Each
        # reason's text is HttpGet's table; here the way it reaches the player, and a stall that stays one.
        for control, reason in (("outage/503", "127.0.0.1: HTTP status 503"),
                                ("stall", "127.0.0.1: no answer in time")):
            with self.subTest(reason):
                tracker.control(control)
                overlay = self.start(origin=tracker.origin)
                self.walk(overlay, [("expect", ROWS, "Unknown\\n" + reason, 20),
                                    ("expect", "tip", "Brisquel v1.6.3\\n" + reason, 3), ("expect", "tray", "1")] + [
                    ("shot", "unreadable-tracker")] * (control == "outage/503"))
                if control != "stall":
                    overlay.close()
        # The tracker answers again: the reason goes, rows show and the tip is the title alone.
        self.walk(overlay, [("control", tracker, "resume"), ("expect", ROWS, "", 30), ("expect", colours(), bool),
                            ("expect", "tip", "Brisquel v1.6.3", 5), ("exit",)])


class OverlayLive(OverlayTest):
    """The overlay as a player uses it against the demo tracker: bosses, rows, settings, modes."""

    def test_the_saved_boss_counts_down_paints_only_changes_and_another_boss_is_chosen(self):
        self.switch_on_test_hook("CountPaints")
        saved, chosen = bosses(real=True)[2:4]
        overlay = self.start(f"[Selection]\nLastBoss={saved['id']}\n", connected=True)
        self.walk(overlay, [
            ("expect", TITLE, saved["name"], 10), (self.counts_down,), ("expect", CACHE, CACHE_READ, 10),
            ("expect", lambda o: (o.controls()[COMBO].visible, o.controls()[ROWS].visible), (True, True)),
            ("expect", colours((RED, AMBER, GREEN)), bool), (self.paints_only_changes,),
            (self.leaves_no_objects_behind,),
            # Rows repainted a few at a time as the data changes look as a whole repaint does.
            ("control", TRACKER, "thaw"), ("sleep", 3), ("control", TRACKER, "freeze"), ("sleep", 2),
            ("expect", lambda o: stale_pixels(o, (ROWS,)), {ROWS: 0}), ("control", TRACKER, "thaw"),
            # A player opens the list and clicks another boss: its rows show and the choice is saved at once.
            (lambda o: o.pick_boss(chosen),), ("expect", TITLE, chosen["name"], 3),
            ("saved", ("Selection", "LastBoss", chosen["id"])), ("expect", colours(), bool),
            # A quit while the exit question is open closes it and ends the program with its code.
            ("post", "WM_CLOSE"), ("find", CONFIRM, "Confirm Exit"), ("quit", 7)])

    def leaves_no_objects_behind(self, overlay):
        """Painting every control and opening the tray menu give back every GDI object they take."""
        def paint_and_open_menus():
            overlay.probe("redraw", 20)
            for _ in range(3):  # the menu opens at the mouse, over the rows; a click on the countdown closes it
                xdotool("mousemove", *centre(overlay.controls()[ROWS].rect))
                overlay.open_tray_menu()
                xdotool("mousemove", *centre(overlay.controls()[COUNTDOWN].rect), "click", 1)
                overlay.probe("wait-gone", 5000, MENU)
        paint_and_open_menus()
        before = overlay.probe("counts")["gdi"]
        paint_and_open_menus()
        self.assertEqual(overlay.probe("counts")["gdi"], before)

    def counts_down(self, overlay):
        """The countdown to the next respawn counts down, wrapping to the hour after it."""
        def seconds():
            minutes, rest = re.fullmatch(r"(?:(\d+)m )?(\d+)s", overlay.text(COUNTDOWN)).groups()
            return int(minutes or 0) * 60 + int(rest)
        before = seconds()
        time.sleep(2.2)
        step = before - seconds()
        self.assertTrue(step in (1, 2, 3) or step < -3500, step)

    def paints_only_changes(self, overlay):
        """While the tracker's channels lose HP the rows are painted again; unchanged data repaints no rows and
        each label once a second at most."""
        live = overlay.paints()[ROWS]
        time.sleep(3)
        self.assertGreater(overlay.paints()[ROWS], live, "the rows follow the data")
        TRACKER.control("freeze")
        self.addCleanup(TRACKER.control, "thaw")
        time.sleep(2)  # answers read before the freeze have landed
        before = overlay.paints()
        time.sleep(10)
        painted = {control: count - before[control] for control, count in overlay.paints().items()}
        print(f"paints in 10 s of unchanged data: {painted}", file=sys.stderr)
        self.assertGreater(before[ROWS], 0, "the rows were painted before")
        self.assertIn(painted[COUNTDOWN], range(9, 12), "one paint per second")
        # The status line's activity dots step with every poll cycle, about twice a second, by design.
        self.assertLessEqual(painted[STATUS], 25)
        for control, count in painted.items():
            if control not in (STATUS, COUNTDOWN):
                self.assertEqual(count, 0, control)

    def a_button_clicks_only_when_released_on_it(self, overlay):
        """Under the mouse a button's face lightens, pressed it darkens, and released elsewhere it does nothing."""
        rect = overlay.controls()[CLICK_THROUGH_BUTTON].rect
        x, y = centre(rect)
        faces = []
        for action in (("mousemove", x, y), ("mousedown", 1)):
            xdotool(*action)
            time.sleep(0.3)
            faces.append(Screen().pixel(rect[2] - 6, y)[0])
        xdotool("mousemove", x, rect[3] + 150, "mouseup", 1)
        self.assertTrue(faces[0] >= 75 and faces[1] <= 55, faces)
        self.assertEqual(overlay.text(CLICK_THROUGH_BUTTON), "Click-through: Ctrl+Shift+B")

    def test_settings_panel_applies_and_saves_at_once_and_the_next_run_shows_every_setting(self):
        overlay = self.start("[Window]\nOpacity=75\n", connected=True)
        _, top, right, _ = overlay.rect()
        # Another program in front, beside the overlay as a game would be: the panel hides, the normal layout shows.
        other = subprocess.Popen([ARGS.wine, "notepad"])
        self.addCleanup(other.kill)
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "Notepad"], capture_output=True, text=True,
                               timeout=30).stdout.split()
        xdotool("windowmove", found[-1], right + 20, top)
        visible = lambda control: lambda o: o.controls()[control].visible  # noqa: E731
        self.walk(overlay, [("sleep", 1.5), ("expect", visible(OPACITY), False), ("shot", "overlay-normal"),
                            ("panel",)] + [
            ("expect", visible(c), True) for c in (OPACITY, SCALE, CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON,
                                                   BOSS_MENU_BUTTON)] + [
            ("expect", VISIBILITY_BUTTON, "Show/Hide: Ctrl+B"), ("expect", OPACITY_VALUE, "75%"),
            ("shot", "overlay-settings"), (self.a_button_clicks_only_when_released_on_it,)])
        rows, boss = (lambda o: count_rows(o.controls()[ROWS].rect)), bosses(real=True)[1]  # noqa: E731
        rows_before = rows(overlay)
        self.walk(overlay, [
            # The left end of the opacity slider: the lowest opacity, on screen and in the file at once.
            ("click", OPACITY, lambda r: (r[0] + 1, (r[1] + r[3]) // 2)), ("sleep", 0.5), ("expect", "alpha", "25"),
            ("saved", ("Window", "Opacity", "10")), ("expect", OPACITY_VALUE, "10%"),
            # The right end of the text-scale slider: rows twice as tall, and saved.
            ("click", SCALE, lambda r: (r[2] - 2, (r[1] + r[3]) // 2)), ("sleep", 0.5),
            ("saved", ("Window", "TextScale", "200")), ("expect", rows, lambda count: count < rows_before),
            ("click", BOSS_MENU_BUTTON), ("key", "ctrl+shift+m"), ("sleep", 0.3),
            ("saved", ("Hotkeys", "BossMenu", "77"), ("Hotkeys", "BossMenuMods", "6")),
            (lambda o: o.pick_boss(boss),), ("sleep", 1),
            # Killed a second after the changes, as a crash would: the next run shows them all.
            (lambda o: o.kill(),), (lambda o: o.launch(),), ("expect", "alpha", "25"),
            ("expect", TITLE, boss["name"], 30),
            ("expect", lambda o: [o.controls()[c].text for c in (OPACITY_VALUE, SCALE_VALUE, BOSS_MENU_BUTTON, TITLE)],
             ["10%", "200%", "Boss menu: Ctrl+Shift+M", boss["name"]]),
            # Moved and resized, then closed as a person would: the window is saved where it was left.
            ("probe", "move", 200, 150, 500, 600), ("exit",),
            ("expect", lambda o: [v for _, k, v in o.saved() if k in ("Left", "Top", "Right", "Bottom")],
             ["200", "150", "700", "750"])])


class OverlayDisplayScale(OverlayTest):
    """The overlay at 100, 125, 150 and 200 % display scale (the prefix's LogPixels), as on a laptop or a 4K
    screen: the 96 dpi overlay made larger, with every text inside its box. Where each control goes at a scale
    is MainLayoutTest's; here the window and the texts (the session test moves it to another scale)."""

    LABELS = (COUNTDOWN, CACHE, STATUS, OPACITY_VALUE, SCALE_VALUE) + tuple(
        Id(i, "OrlixCustomLabel") for i in (1008, 1009))

    def test_every_control_and_text_grows_with_the_display_scale(self):
        self.addCleanup(wine_reg_add, r"HKCU\Control Panel\Desktop", "LogPixels", 96)
        base = {}
        for dpi in (96, 120, 144, 192):
            with self.subTest(dpi=dpi):
                wine_reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", dpi)
                overlay, scale = self.start(connected=True), dpi / 96
                self.expect(overlay, CACHE, CACHE_READ, 10)
                controls = overlay.open_panel()
                left, top, right, bottom = overlay.rect()
                screen_height = int(overlay.state()["screen"].split()[1])
                # A fresh settings file's 450 x 700 window, scaled and kept on the 1280 x 1024 screen.
                self.assertLessEqual(abs(right - left - round(450 * scale)), 1)
                self.assertLessEqual(abs(bottom - top - min(round(700 * scale), screen_height)), 1)
                screen = Screen(f"overlay-{dpi}dpi", crop=(left, top, right, bottom))
                overlay.kill()
                # The labels, the button's caption (right of its gear) and the combo box's boss name (left of its
                # chevron).
                places = {c: (controls[c].rect, 0, 0) for c in self.LABELS}
                places["button"] = (controls[CLICK_THROUGH_BUTTON].rect, round(40 * scale), 0)
                places["combo"] = (controls[COMBO].rect, 0, round(30 * scale))
                heights = {}
                for name, (r, skip_left, skip_right) in places.items():
                    box = text_box(screen, r, skip_left, skip_right)
                    self.assertIsNotNone(box, name)
                    if name in self.LABELS:  # never cut or touching: a free column and row on every side
                        self.assertTrue(box[0] > r[0] and box[2] < r[2] and box[1] > r[1] and box[3] < r[3],
                                        f"{controls[name].text!r} of {name} at {box} in {r}")
                    heights[name] = box[3] - box[1]
                base = base or heights
                for name, height in heights.items():
                    # Glyph heights round to whole pixels at each size.
                    self.assertLessEqual(abs(height - base[name] * scale), 2 + base[name] * scale / 8,
                                         f"{name}: {height} px against {base[name]} px at 96 dpi")


class OverlayAlerts(OverlayTest):
    """The alerts against a frozen world, where only the channels the test sets cross a threshold. The raised
    notifications are counted by a test hook and read through the probe."""

    def test_a_channel_about_to_die_and_the_respawn_raise_one_notification_each_switched_in_the_tray_menu(self):
        self.switch_on_test_hook("CountAlerts")
        # The chosen boss respawns two to three minutes from now: its alert is due about 45 s from now.
        minute = (time.gmtime().tm_min + 3) % 60
        respawn_seconds = (minute * 60 - int(time.time()) % 3600) % 3600 - 45
        boss, other = bosses(real=True)[2:4]

        def prepare(tracker):
            tracker.control(f"respawn/{boss['id']}/{minute}")
            tracker.control("freeze")

        tracker, overlay = self.start_with_private_tracker(
            f"[Selection]\nLastBoss={boss['id']}\n[Alerts]\nDying=1\nRespawnSeconds={respawn_seconds}\nSound=0\n",
            prepare)
        self.expect(overlay, TITLE, boss["name"], 10)
        calm = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss["id"]]
                if not 0 < c["etd"] <= 120]
        dying, respawn = f"{boss['name']}: Ch. {calm[0]} in 45 s", f"{boss['name']}: respawn in {respawn_seconds} s"
        self.walk(overlay, [
            # Switched on in the menu, saved at once, and checked on the next open.
            (self.choose_alert, "respawn", {"dying"}), ("saved", ("Alerts", "Respawn", "1")),
            ("expect", alerts, (0, "")),  # channels already low when the boss was chosen stay quiet
            # A channel of the chosen boss 45 s from death: one notification. Staying low, and another boss's
            # channel going low, raise none.
            ("control", tracker, f"etd/{boss['id']}/{calm[0]}/45"), ("expect", alerts, (1, dying), 5),
            ("control", tracker, f"etd/{other['id']}/1/30"), ("sleep", 4), ("expect", alerts, (1, dying)),
            # Switched off, the next channel going low raises nothing.
            (self.choose_alert, "dying", {"dying", "respawn"}, "tray-menu-alerts"), ("saved", ("Alerts", "Dying", "0")),
            ("control", tracker, f"etd/{boss['id']}/{calm[1]}/40"), ("sleep", 4), ("expect", alerts, (1, dying)),
            ("expect", alerts, (2, respawn), 60), ("exit",)])

    def choose_alert(self, overlay, row, checked, shot=None):
        """Opens the tray menu at (400, 300), points at Alerts and chooses a row of the submenu, which opens to the
        right; the rows that showed a check mark before are the ones expected."""
        xdotool("mousemove", 400, 300)
        menu = overlay.open_tray_menu()
        xdotool("mousemove", menu[0] + 40, menu[1] + MENU_ROWS["Alerts"])
        time.sleep(0.5)
        left, top = menu[2], menu[1] + ALERTS_ROW_TOP
        screen = Screen(shot, crop=(menu[0] - 10, menu[1] - 10, left + 320, menu[3] + 40))
        blue = lambda p: p[2] > 150 and p[2] - p[0] > 80  # noqa: E731
        self.assertEqual({name for name, y in ALERT_ROWS.items()
                          if screen.count(left + 8, top + y - 8, left + 24, top + y + 8, blue) > 5}, checked)
        xdotool("mousemove", left + 40, top + ALERT_ROWS[row], "click", 1)
        overlay.probe("wait-gone", 5000, MENU)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe", "--probe"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
