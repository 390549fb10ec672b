#!/usr/bin/env python3
"""End-to-end tests of Brisquel.exe under Wine: start it as a user would, in a directory of its own
with a prepared Brisquel.ini, look at the window through the probe, close it, read the file back.

    overlay_e2e.py --wine build/win64/wine-run.sh --exe Brisquel.exe --probe probe.exe
The demo tracker's port comes from BRISQUEL_TRACKER_PORT (tools/with_fixtures.py).
"""
import argparse
import collections
import configparser
import os
import re
import shutil
import socket
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
WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_TRAY_CALLBACK = 0x0203, 0x0205, 0x0401
# Row centres below a tier's top edge: the tray menu's, then its Alerts submenu's, which opens beside the Alerts row.
MENU_ROWS = {"Alerts": 87, "Help": 115, "Exit": 152}
ALERTS_ROW_TOP, ALERT_ROWS = 73, {"dying": 22, "respawn": 50, "sound": 78}
INTEGER_KEYS = [("Window", k) for k in ("Left", "Top", "Right", "Bottom", "Opacity", "TextScale", "ClickThroughMode")] + [
    ("Hotkeys", k) for k in ("ClickThrough", "ClickThroughMods", "Visibility", "VisibilityMods", "BossMenu",
                             "BossMenuMods")] + [
    ("Alerts", k) for k in ("Dying", "DyingSeconds", "Respawn", "RespawnSeconds", "Sound")]
RED, AMBER, GREEN, STALE = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128)
ARGS = None
TRACKER = Tracker(int(os.environ["BRISQUEL_TRACKER_PORT"]))  # tools/with_fixtures.py starts it
Control = collections.namedtuple("Control", "visible rect text")
# Controls by (id, class), as the probe names them.
COMBO, ROWS = (1001, "OrlixComboBox"), (1002, "ZentrikProgressList")
OPACITY, SCALE = (1003, "OrlixCustomSlider"), (1006, "OrlixCustomSlider")
OPACITY_VALUE, STATUS, TITLE, SCALE_VALUE, COUNTDOWN, CACHE = (
    (i, "OrlixCustomLabel") for i in (1004, 1005, 1006, 1007, 1012, 1013))
CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON, BOSS_MENU_BUTTON = ((i, "OrlixButton") for i in (1010, 1011, 1014))


def countdown_seconds(text):
    minutes, seconds = re.fullmatch(r"(?:(\d+)m )?(\d+)s", text).groups()
    return int(minutes or 0) * 60 + int(seconds)


def wine_reg_add(key, name, value):
    """Sets a DWORD in the test prefix's registry. Wine occasionally fails to start a process on a loaded
    machine, so a failed start is tried again; a value that never lands still fails the test."""
    command = [ARGS.wine, "reg", "add", key, "/v", name, "/t", "REG_DWORD", "/d", str(value), "/f"]
    for _ in range(2):
        if subprocess.run(command, capture_output=True).returncode == 0:
            return
        time.sleep(1)
    subprocess.run(command, check=True, capture_output=True)


def within(read, wanted, seconds):
    """Reads until the value is the one wanted (or satisfies it) or the time is up; returns the last value."""
    done = wanted if callable(wanted) else lambda value: value == wanted
    deadline = time.monotonic() + seconds
    while True:
        value = read()
        if done(value) or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


def click_centre(rect):
    click((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def bar_colours(rect):
    """The bar colours found in a rectangle of the screen."""
    return {p for p in Screen().region(*rect, step=3) if p in (RED, AMBER, GREEN, STALE)}


def count_rows(rect):
    """Rows drawn in the list: runs of lines with label text ("Ch.") at the list's left."""
    screen = Screen()
    lines = [any(min(p) >= 150 for p in screen.line(y, rect[0] + 4, rect[0] + 30)) for y in range(rect[1], rect[3])]
    return sum(1 for above, here in zip([False] + lines, lines) if here and not above)


def bosses():
    return TRACKER.read("/api/collections/mobs/records")["items"]


def real_bosses():
    return [b for b in bosses() if b["type"] != "magical_creature"]


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

    def probe_lines(self, *args):
        # Wine occasionally fails to start a process on a loaded machine; the probe itself only returns
        # 1 for bad arguments, which a second start does not mend.
        for _ in range(2):
            result = subprocess.run([ARGS.wine, ARGS.probe, *args], capture_output=True, encoding="utf-8", timeout=30)
            if result.returncode != 1 or result.stdout:
                break
        if result.returncode != 0:
            raise AssertionError(f"probe {args} failed with {result.returncode}")
        return result.stdout.splitlines()

    def probe(self, *args):
        return dict(line.split("=", 1) for line in self.probe_lines(*args) if "=" in line)

    def probe_rows(self, command, prefix):
        """The probe's `prefix=id class fields...` lines by (id, class)."""
        lines = [line[len(prefix):].split(" ") for line in self.probe_lines(command) if line.startswith(prefix)]
        return {(int(fields[0]), fields[1]): fields[2:] for fields in lines}

    def controls(self):
        """The child controls by (id, class): visible, screen rectangle and text."""
        return {control: Control(f[0] == "1", tuple(map(int, f[1:5])), " ".join(f[5:]))
                for control, f in self.probe_rows("children", "child=").items()}

    def paints(self):
        """Paints counted so far by (id, class); zero unless the overlay counts them."""
        return {control: int(f[0]) for control, f in self.probe_rows("paints", "paints=").items()}

    def text(self, control):
        return self.controls()[control].text

    def wait_text(self, control, wanted, timeout=10):
        return within(lambda: self.text(control), wanted, timeout)

    def state(self):
        s = self.probe("find", "20000")
        s["style"], s["exstyle"] = int(s["style"], 16), int(s["exstyle"], 16)
        return s

    def rect(self):
        return tuple(map(int, self.state()["rect"].split()))

    def post(self, *message):
        self.probe("post", *message)

    def tray(self, event):
        self.post(str(WM_TRAY_CALLBACK), "1", str(event))

    def tray_menu(self):
        """Right-clicks the tray icon; returns the menu's rectangle."""
        self.tray(WM_RBUTTONUP)
        return tuple(map(int, self.probe("find", "5000", "OrlixDarkPopupMenuTier")["rect"].split()))

    def alerts(self):
        """Notifications raised so far and the last one's text; counted when the test hook is on."""
        raised = self.probe("alerts")
        return int(raised["alerts"]), raised["alert"]

    def open_panel(self):
        """Clicks the overlay's background, which brings the settings panel; returns the controls."""
        left, _, _, bottom = self.rect()
        click(left + 5, bottom - 5)
        within(lambda: self.controls()[OPACITY].visible, True, 5)
        return self.controls()

    def pick_boss(self, boss):
        """Opens the boss list and clicks the boss's row."""
        click_centre(self.controls()[COMBO].rect)
        x, y = map(int, self.probe("find", "5000", "OrlixComboBoxPopup")["client"].split()[:2])
        click(x + 30, y + 28 * [b["id"] for b in bosses()].index(boss["id"]) + 14)

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
        overlay.state()
        if connected:
            self.assert_connected_within(overlay, 30)
        return overlay

    def start_with_private_tracker(self, ini_text="", prepare=lambda tracker: None):
        """A connected overlay showing a boss, on a tracker the test may stop or change the world of (also
        before the overlay starts, in `prepare`)."""
        tracker = TrackerProcess()
        self.addCleanup(tracker.stop)
        prepare(tracker)
        overlay = self.start(ini_text, connected=True, origin=tracker.origin)
        overlay.wait_text(TITLE, lambda t: t != "")
        return tracker, overlay

    def switch_on_test_hook(self, name):
        """Test hooks are read from the registry as the overlay starts; what they count goes there too."""
        registry = r"HKCU\Software\Brisquel"
        subprocess.run([ARGS.wine, "reg", "delete", registry, "/f"], capture_output=True)
        wine_reg_add(registry, name, 1)
        self.addCleanup(subprocess.run, [ARGS.wine, "reg", "delete", registry, "/f"], capture_output=True)

    def assert_connected_within(self, overlay, seconds):
        status = overlay.wait_text(STATUS, lambda t: t.startswith("\u25cf Connected"), seconds)
        self.assertTrue(status.startswith("\u25cf Connected | \u2193 "), status)

    def assert_gone(self, overlay, cls):
        self.assertEqual(overlay.probe("wait-gone", "5000", cls), {}, f"{cls} still open")

    def assert_click_through(self, overlay, on, rect):
        s = overlay.state()
        framed = WS_CAPTION | WS_THICKFRAME
        self.assertEqual(s["style"] & (framed | WS_POPUP), WS_POPUP if on else framed)
        through = WS_EX_TRANSPARENT | WS_EX_NOACTIVATE
        self.assertEqual(s["exstyle"] & (through if on else WS_EX_TRANSPARENT), through if on else 0)
        self.assertEqual(s["rect"], rect)
        if on:
            controls = overlay.controls()
            self.assertEqual((controls[TITLE].visible, controls[STATUS].visible), (True, False))
        left, top, right, bottom = map(int, rect.split())
        at = overlay.probe("at", str((left + right) // 2), str((top + bottom) // 2))["at"]
        self.assertEqual(at == "ZentrikMainDialog", not on, "clicks pass through only in click-through mode")
        self.assertIn(("Window", "ClickThroughMode", str(int(on))), overlay.saved())

    def answer_exit_question(self, overlay, answer):
        """Waits for "Are you sure you want to exit?" and clicks Yes or No, as a person would."""
        question = overlay.probe("find", "10000", "OrlixConfirmDialog")
        self.assertEqual(question["title"], "Confirm Exit")
        self.assertEqual(overlay.state()["enabled"], "0", "the overlay waits for the answer")
        x, y, width, height = map(int, question["client"].split())
        # Yes and No sit side by side, centred 34 px above the bottom.
        click(x + width // 2 + (-40 if answer == "Yes" else 40), y + height - 34)

    def close_and_expect_exit(self, overlay, *message):
        """Seconds from the close request (once the question it asks is answered Yes) to a clean exit."""
        overlay.post(*(message or ("WM_CLOSE",)))
        if not message:
            self.answer_exit_question(overlay, "Yes")
            overlay.probe("wait-gone", "10000", "OrlixConfirmDialog")
        started = time.monotonic()
        self.assertEqual(overlay.process.wait(timeout=20), 0)
        return time.monotonic() - started

    def wait_for_requests(self, predicate):
        requests = within(lambda: TRACKER.control("requests")["requests"], predicate, 30)
        self.assertTrue(predicate(requests), f"the tracker never saw the expected requests: {requests[-10:]}")
        return requests


class OverlayLifecycle(OverlayTest):
    def test_window_from_saved_settings_kept_on_screen_and_settings_written_back(self):
        overlay = self.start("[Window]\nLeft=5000\nTop=5000\nRight=5450\nBottom=5700\nOpacity=40\n")
        s = overlay.state()
        self.assertEqual((s["class"], s["title"]), ("ZentrikMainDialog", "Brisquel v1.6.3"))
        frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN
        self.assertEqual(s["style"] & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), frame)
        self.assertEqual(s["exstyle"] & (WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TRANSPARENT),
                         WS_EX_LAYERED | WS_EX_TOPMOST)
        self.assertEqual(s["alpha"], "102")  # 40 * 255 / 100, truncated
        width, height = map(int, s["screen"].split())
        # Off-screen and too far: moved back into the monitor without shrinking, at the start and after a move.
        clamped = f"{width - 450} {height - 700} {width} {height}"
        self.assertEqual(s["rect"], clamped)
        overlay.probe("move", str(width - 100), str(height - 50))
        overlay.post("WM_EXITSIZEMOVE")
        self.assertEqual(within(lambda: overlay.state()["rect"], clamped, 2), clamped)

        self.close_and_expect_exit(overlay)
        # When the boss list arrived before the close, the first boss was chosen and saved as well.
        saved = [entry for entry in overlay.saved() if entry[0] != "Selection"]
        self.assertEqual(saved[0], ("Server", "BaseUrl", TRACKER.origin + "/"))
        self.assertEqual([(section, key) for section, key, _ in saved[1:]], INTEGER_KEYS)
        self.assertEqual([value for _, _, value in saved[1:]],
                         [str(width - 450), str(height - 700), str(width), str(height), "40", "100", "0",
                          "66", "6", "66", "2", "65", "2", "0", "60", "0", "60", "1"])

    def test_no_settings_file_opens_at_defaults_and_a_session_end_saves_without_asking(self):
        overlay = self.start(None)
        s = overlay.state()
        self.assertEqual((s["rect"], s["alpha"]), ("100 100 550 800", "191"))
        overlay.post("WM_QUERYENDSESSION")
        overlay.post("WM_ENDSESSION", "0")
        time.sleep(1)
        self.assertIsNone(overlay.process.poll(), "a cancelled session end must not close the overlay")
        self.close_and_expect_exit(overlay, "WM_ENDSESSION", "1")
        self.assertEqual([(section, key) for section, key, _ in overlay.saved()], INTEGER_KEYS)
        self.assertIn(("Window", "Left", "100"), overlay.saved())

    def test_a_second_start_from_the_same_folder_brings_the_first_back_and_leaves(self):
        def overlays():
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Brisquel v1.6.3$"],
                                   capture_output=True, text=True).stdout.split()
            return len(found)

        overlay = self.start(connected=True)
        overlay.wait_text(TITLE, lambda t: t != "")
        overlay.post("WM_HOTKEY", "2")
        self.assertEqual(within(lambda: overlay.state()["visible"], "0", 3), "0")
        with open(overlay.ini, "rb") as f:
            before = f.read()
        started = time.monotonic()
        second = subprocess.run([ARGS.wine, "Brisquel.exe"], cwd=overlay.dir, timeout=30)
        seconds = time.monotonic() - started
        self.assertEqual(second.returncode, 0)
        self.assertLess(seconds, 2.0)
        print(f"a second start ended after {seconds:.2f} s", file=sys.stderr)
        self.assertEqual(overlay.state()["visible"], "1", "the hidden overlay is back")
        self.assertEqual(overlays(), 1)
        self.assertEqual(overlay.probe("wait-gone", "0", "OrlixNotification"), {}, "no notice")
        with open(overlay.ini, "rb") as f:
            self.assertEqual(f.read(), before)
        # A copy in another folder has settings of its own and runs beside it.
        beside = self.start()
        self.assertEqual(within(overlays, 2, 10), 2)
        beside.kill()  # it would stand over the exit question
        self.close_and_expect_exit(overlay)

    def test_the_exe_carries_its_icon_and_version(self):
        with tempfile.TemporaryDirectory() as directory:
            icon = os.path.join(directory, "group.ico")
            with open(icon, "wb") as f:
                f.write(subprocess.run(["wrestool", "-x", "-t14", ARGS.exe], capture_output=True, check=True).stdout)
            listed = subprocess.run(["icotool", "-l", icon], capture_output=True, text=True, check=True).stdout
        self.assertEqual([int(w) for w in re.findall(r"--width=(\d+)", listed)], [16, 24, 32, 48, 256])
        # As Windows' version API (here Wine's) reads it for Explorer's Details tab.
        result = subprocess.run([ARGS.wine, ARGS.probe, "version", "Z:" + os.path.abspath(ARGS.exe).replace("/", "\\")],
                                capture_output=True, encoding="utf-8", timeout=30, check=True)
        version = dict(line.split("=", 1) for line in result.stdout.splitlines())
        self.assertEqual(version, {"fileversion": "1.6.3.0", "ProductName": "Brisquel", "ProductVersion": "1.6.3",
                                   "FileDescription": "Brisquel world-boss overlay",
                                   "LegalCopyright": "Copyright (c) 2026 the Brisquel developers (MIT licence)"})

    def test_click_through_from_the_file_and_by_hotkey_saved_at_once(self):
        overlay = self.start("[Window]\nClickThroughMode=1\n")
        rect = "100 100 550 800"
        self.assert_click_through(overlay, True, rect)
        for on in (False, True):
            overlay.post("WM_HOTKEY", "1")
            time.sleep(1)
            self.assert_click_through(overlay, on, rect)
        self.close_and_expect_exit(overlay)
        self.assertIn(("Window", "ClickThroughMode", "1"), overlay.saved())


class OverlayAndTracker(OverlayTest):
    def test_reads_the_boss_list_every_boss_then_polls_the_summary(self):
        seen_before = len(TRACKER.control("requests")["requests"])  # the log spans the run
        boss_ids = [b["id"] for b in bosses()]
        overlay = self.start()
        new = self.wait_for_requests(lambda requests: sum(
            r["path"] == "/api/all_status" for r in requests[seen_before:]) >= 2)[seen_before:]
        paths = [r["path"] for r in new]
        self.assertEqual(paths[0], "/api/collections/mobs/records")
        channel_reads = [p for p in paths if p.startswith("/api/collections/mob_channel_status/records?")]
        self.assertEqual(channel_reads, [
            f"/api/collections/mob_channel_status/records?filter=(mob='{i}')&perPage=500&sort=-last_update"
            for i in boss_ids])
        # The summary poll starts only once the boss list is in: the window's client has no base URL before.
        self.assertGreater(paths.index("/api/all_status"), paths.index(channel_reads[-1]))
        # Every summary is followed by a status probe, with its own agent.
        self.assertEqual(paths[paths.index("/api/all_status") + 1], "/api/status")
        agents = {r["path"].split("?")[0]: r["agent"] for r in new}
        self.assertEqual((agents["/api/all_status"], agents["/api/status"]), ("Zentrik/1.0", "Zentrik/1.1"))
        self.close_and_expect_exit(overlay)

    def test_exits_promptly_while_requests_hang(self):
        TRACKER.control("stall")
        self.addCleanup(TRACKER.control, "resume")
        seen_before = len(TRACKER.control("requests")["requests"])
        overlay = self.start()
        self.wait_for_requests(lambda requests: len(requests) > seen_before)
        time.sleep(1)  # the loader is now inside a request that will not be answered
        # The shutdown waits for the workers for at most five seconds, then leaves.
        self.assertLess(self.close_and_expect_exit(overlay), 8.0)
        self.assertIn(("Window", "Left", "100"), overlay.saved())

    def test_tracker_faults_and_stops_show_reconnecting_then_recover_and_old_reports_grey(self):
        tracker, overlay = self.start_with_private_tracker()
        rows = overlay.controls()[ROWS].rect
        self.assertEqual(within(lambda: overlay.state()["tray"], "2", 5), "2")
        # Not JSON; a gzip body past the inflate limit; no answer until the client's 10 s time-out.
        for fault, seconds in (("garbage", 5), ("bomb", 5), ("stall", 15)):
            with self.subTest(fault):
                tracker.control(f"fault/{fault}")
                # The failure shows only until the next summary, about 1.5 s later: the probe watches closely.
                noticed = overlay.probe("wait-text", str(STATUS[0]), "Reconnecting", str(seconds * 1000))["text"]
                self.assertRegex(noticed, r"^Reconnecting\.\.\. \(attempt 1\) \| NTP: ")
                self.assertIsNone(overlay.process.poll())
                self.assert_connected_within(overlay, 4)
                self.assertTrue(bar_colours(rows) & {RED, AMBER, GREEN, STALE}, "the rows stay")

        tracker.stop()
        stopped = time.monotonic()
        status = overlay.wait_text(STATUS, lambda t: t.startswith("Reconnecting... (attempt "), 3)
        self.assertRegex(status, r"^Reconnecting\.\.\. \(attempt [1-9]\d*\) \| NTP: ")
        self.assertLess(time.monotonic() - stopped, 4)
        self.assertEqual(within(lambda: overlay.state()["tray"], "1", 3), "1")
        tracker.start()
        restarted = time.monotonic()
        self.assert_connected_within(overlay, 3)
        self.assertLess(time.monotonic() - restarted, 4)
        self.assertEqual(within(lambda: overlay.state()["tray"], "2", 5), "2")
        # Every report ten minutes old: all rows grey.
        tracker.control("age/600")
        self.assertEqual(within(lambda: bar_colours(rows) - {AMBER}, {STALE}, 5), {STALE})
        self.close_and_expect_exit(overlay)

    def test_an_unreadable_tracker_says_why_until_it_answers_again(self):
        tracker = TrackerProcess()
        self.addCleanup(tracker.stop)
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            closed = s.getsockname()[1]
        private = f"127.0.0.1:{tracker.port}"
        # Under "Unknown" and in the red tray icon's tip, as the probe prints them (a line break as \n).
        for origin, control, reason in (
                ("http://tracker.invalid", None, "tracker.invalid: host name not found"),
                (f"http://127.0.0.1:{closed}", None, "127.0.0.1: connection refused"),
                (f"https://{private}", None, "127.0.0.1: certificate not trusted"),
                (f"http://{private}", "outage/503", "127.0.0.1: HTTP status 503"),
                (f"http://{private}", "outage/garbage", "127.0.0.1: answer is not tracker data"),
                (f"http://{private}", "stall", "127.0.0.1: no answer in time")):
            with self.subTest(reason):
                if control:
                    tracker.control(control)
                overlay = self.start(origin=origin)
                said = "Unknown\\n" + reason
                self.assertEqual(overlay.wait_text(ROWS, said, 20), said)
                tip = "Brisquel v1.6.3\\n" + reason
                self.assertEqual(within(lambda: overlay.state()["tip"], tip, 3), tip)
                self.assertEqual(overlay.state()["tray"], "1")
                if control == "outage/503":
                    left, top, right, bottom = overlay.rect()
                    Screen("unreadable-tracker", crop=(left, top, right, bottom))
                if control != "stall":
                    overlay.close()
        # The tracker answers again: the reason goes, rows show and the tip is the title alone.
        tracker.control("resume")
        self.assertEqual(overlay.wait_text(ROWS, "", 30), "")
        self.assertTrue(bar_colours(overlay.controls()[ROWS].rect))
        self.assertEqual(within(lambda: overlay.state()["tip"], "Brisquel v1.6.3", 5), "Brisquel v1.6.3")
        self.close_and_expect_exit(overlay)

    def test_a_channel_that_dies_leaves_the_list(self):
        tracker, overlay = self.start_with_private_tracker()
        title = overlay.text(TITLE)
        boss = next(b["id"] for b in tracker.read("/api/collections/mobs/records")["items"] if b["name"] == title)
        tracker.control("freeze")
        live = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss]
                if c["last_hp"] > 0]
        # Three rows left, so that the whole list shows and its rows can be counted on the screen.
        for number in live[3:]:
            tracker.control(f"kill/{boss}/{number}")
        rows = overlay.controls()[ROWS].rect
        self.assertEqual(within(lambda: count_rows(rows), 3, 5), 3)
        tracker.control(f"kill/{boss}/{live[0]}")
        self.assertEqual(within(lambda: count_rows(rows), 2, 3), 2)
        self.close_and_expect_exit(overlay)


class OverlayLive(OverlayTest):
    """The overlay as a player uses it against the demo tracker: bosses, rows, settings, modes."""

    def test_restores_the_saved_boss_and_switches_on_a_click(self):
        saved, chosen = real_bosses()[2:4]
        overlay = self.start(f"[Selection]\nLastBoss={saved['id']}\n", connected=True)
        self.assertEqual(overlay.wait_text(TITLE, saved["name"]), saved["name"])
        # The countdown to the next respawn counts down, wrapping to the hour after it.
        before = countdown_seconds(overlay.text(COUNTDOWN))
        time.sleep(2.2)
        step = before - countdown_seconds(overlay.text(COUNTDOWN))
        self.assertTrue(step in (1, 2, 3) or step < -3500, step)
        self.assertRegex(overlay.wait_text(CACHE, lambda t: t != "Cache: ---"), r"^Cache: \d")
        controls = overlay.controls()
        self.assertTrue(controls[COMBO].visible and controls[ROWS].visible)
        self.assertTrue(bar_colours(controls[ROWS].rect) & {RED, AMBER, GREEN})

        # A player opens the list and clicks another boss: its rows show and the choice is saved at once.
        overlay.pick_boss(chosen)
        self.assertEqual(overlay.wait_text(TITLE, chosen["name"], 3), chosen["name"])
        self.assertIn(("Selection", "LastBoss", chosen["id"]), overlay.saved())
        self.assertTrue(bar_colours(controls[ROWS].rect) & {RED, AMBER, GREEN, STALE})
        self.close_and_expect_exit(overlay)

    def test_unchanged_data_repaints_no_rows_and_each_label_once_a_second_at_most(self):
        self.switch_on_test_hook("CountPaints")
        boss = real_bosses()[2]
        overlay = self.start(f"[Selection]\nLastBoss={boss['id']}\n", connected=True)
        overlay.wait_text(TITLE, boss["name"])
        overlay.wait_text(CACHE, lambda t: t != "Cache: ---")
        # While the tracker's channels lose HP, the rows are painted again.
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
        self.close_and_expect_exit(overlay)

    def test_settings_panel_applies_and_saves_at_once_and_the_next_run_shows_every_setting(self):
        overlay = self.start("[Window]\nOpacity=75\n", connected=True)
        left, top, right, bottom = overlay.rect()
        # Another program in front: the panel hides and the normal layout shows.
        other = subprocess.Popen([ARGS.wine, "notepad"])
        self.addCleanup(other.kill)
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "Notepad"], capture_output=True, text=True,
                               timeout=30).stdout.split()
        # Beside the overlay, as a game would be.
        subprocess.run(["xdotool", "windowmove", found[-1], str(right + 20), str(top)], check=True)
        time.sleep(1.5)
        self.assertFalse(overlay.controls()[OPACITY].visible)
        Screen("overlay-normal", crop=(left, top, right, bottom))
        controls = overlay.open_panel()
        for control in (OPACITY, SCALE, CLICK_THROUGH_BUTTON, VISIBILITY_BUTTON, BOSS_MENU_BUTTON):
            self.assertTrue(controls[control].visible, control)
        self.assertEqual(controls[VISIBILITY_BUTTON].text, "Show/Hide: Ctrl+B")
        self.assertEqual(controls[OPACITY_VALUE].text, "75%")
        Screen("overlay-settings", crop=(left, top, right, bottom))
        rows_before = count_rows(controls[ROWS].rect)

        # The left end of the opacity slider: the lowest opacity, on screen and in the file at once.
        opacity = controls[OPACITY].rect
        click(opacity[0] + 1, (opacity[1] + opacity[3]) // 2)
        time.sleep(0.5)
        self.assertEqual(overlay.state()["alpha"], "25")
        self.assertIn(("Window", "Opacity", "10"), overlay.saved())
        self.assertEqual(overlay.text(OPACITY_VALUE), "10%")
        # The right end of the text-scale slider: rows twice as tall, and saved.
        scale = controls[SCALE].rect
        click(scale[2] - 2, (scale[1] + scale[3]) // 2)
        time.sleep(0.5)
        self.assertIn(("Window", "TextScale", "200"), overlay.saved())
        self.assertLess(count_rows(controls[ROWS].rect), rows_before)
        click_centre(controls[BOSS_MENU_BUTTON].rect)
        key("ctrl+shift+m")
        time.sleep(0.3)
        saved = overlay.saved()
        self.assertIn(("Hotkeys", "BossMenu", "77"), saved)
        self.assertIn(("Hotkeys", "BossMenuMods", "6"), saved)
        boss = real_bosses()[1]
        overlay.pick_boss(boss)
        time.sleep(0.3)

        # Killed right after the changes, as a crash would: the next run shows them all.
        overlay.kill()
        overlay.launch()
        self.assertEqual(overlay.state()["alpha"], "25")
        overlay.wait_text(TITLE, boss["name"], 30)
        controls = overlay.controls()
        self.assertEqual([controls[c].text for c in (OPACITY_VALUE, SCALE_VALUE, BOSS_MENU_BUTTON, TITLE)],
                         ["10%", "200%", "Boss menu: Ctrl+Shift+M", boss["name"]])
        # Moved and resized, then closed as a person would: the window is saved where it was left.
        overlay.probe("move", "200", "150", "500", "600")
        self.close_and_expect_exit(overlay)
        self.assertEqual([v for _, k, v in overlay.saved() if k in ("Left", "Top", "Right", "Bottom")],
                         ["200", "150", "700", "750"])


class OverlayDisplayScale(OverlayTest):
    """The overlay at 100, 125, 150 and 200 % display scale (the prefix's LogPixels), as on a laptop or a 4K
    screen: the 96 dpi overlay made larger, with every text inside its box. Where each control goes at a scale
    is MainLayoutTest's; here the window, the texts and a move to another scale."""

    LABELS = (COUNTDOWN, CACHE, STATUS, OPACITY_VALUE, SCALE_VALUE) + tuple(
        (i, "OrlixCustomLabel") for i in (1008, 1009))

    def set_dpi(self, dpi):
        wine_reg_add(r"HKCU\Control Panel\Desktop", "LogPixels", dpi)

    @staticmethod
    def text_box(screen, rect, skip_left=0, skip_right=0):
        """The bounding box of the bright (text) pixels inside rect, or None."""
        left, top, right, bottom = rect
        xs, ys = [], []
        for y in range(top, bottom):
            for x in range(left + skip_left, right - skip_right):
                if max(screen.pixel(x, y)) > 140:
                    xs.append(x)
                    ys.append(y)
        return (min(xs), min(ys), max(xs) + 1, max(ys) + 1) if xs else None

    def test_every_control_and_text_grows_with_the_display_scale(self):
        self.addCleanup(self.set_dpi, 96)
        base = {}
        for dpi in (96, 120, 144, 192):
            with self.subTest(dpi=dpi):
                self.set_dpi(dpi)
                overlay = self.start(connected=True)
                overlay.wait_text(CACHE, lambda t: t != "Cache: ---")
                controls = overlay.open_panel()
                scale = dpi / 96
                left, top, right, bottom = overlay.rect()
                screen_height = int(overlay.state()["screen"].split()[1])
                # A fresh settings file's 450 x 700 window, scaled and kept on the 1280 x 1024 screen.
                self.assertLessEqual(abs(right - left - round(450 * scale)), 1)
                self.assertLessEqual(abs(bottom - top - min(round(700 * scale), screen_height)), 1)
                screen = Screen(f"overlay-{dpi}dpi", crop=(left, top, right, bottom))
                overlay.kill()
                texts = {}
                for control in self.LABELS:
                    box = self.text_box(screen, controls[control].rect)
                    self.assertIsNotNone(box, control)
                    r = controls[control].rect
                    # Never cut or touching: a free column and row on every side.
                    self.assertTrue(box[0] > r[0] and box[2] < r[2] and box[1] > r[1] and box[3] < r[3],
                                    f"{controls[control].text!r} of {control} at {box} in {r}")
                    texts[control] = box[3] - box[1]
                # The button's caption (right of its gear) and the combo box's boss name (left of its chevron).
                texts["button"] = self.text_box(screen, controls[CLICK_THROUGH_BUTTON].rect, skip_left=round(40 * scale))
                texts["combo"] = self.text_box(screen, controls[COMBO].rect, skip_right=round(30 * scale))
                texts["button"], texts["combo"] = (texts["button"][3] - texts["button"][1],
                                                   texts["combo"][3] - texts["combo"][1])
                if dpi == 96:
                    base = texts
                    continue
                for name, height in texts.items():
                    # Glyph heights round to whole pixels at each size.
                    self.assertLessEqual(abs(height - base[name] * scale), 2 + base[name] * scale / 8,
                                         f"{name}: {height} px against {base[name]} px at 96 dpi")

    def test_a_move_to_another_scale_a_resize_and_click_through_mid_drag(self):
        overlay = self.start(connected=True)
        controls = overlay.open_panel()
        # Resized wider and narrower, the combo box and the sliders show what a fresh paint shows.
        for width in (600, 380):
            left, top = overlay.rect()[:2]
            overlay.probe("move", str(left), str(top), str(width), "700")
            time.sleep(0.5)
            controls = overlay.controls()
            regions = [controls[c].rect for c in (COMBO, OPACITY, SCALE)]
            after = [Screen().region(*r) for r in regions]
            overlay.probe("redraw")
            time.sleep(0.3)
            fresh = [Screen().region(*r) for r in regions]
            for rect, seen, painted in zip(regions, after, fresh):
                # Anti-aliased edges may differ by a shade between two paints; a stale pixel differs by far more.
                stale = sum(max(abs(p - q) for p, q in zip(a, b)) > 48 for a, b in zip(seen, painted))
                self.assertEqual(stale, 0, f"stale pixels in {rect} at width {width}")

        # Thumb drag, then the click-through hotkey: the list lets go of the mouse.
        rows = controls[ROWS].rect
        subprocess.run(["xdotool", "mousemove", str(rows[2] - 6), str(rows[1] + 10), "mousedown", "1"], check=True)
        self.addCleanup(subprocess.run, ["xdotool", "mouseup", "1"])
        self.assertEqual(within(lambda: overlay.state()["capture"], "ZentrikProgressList", 3), "ZentrikProgressList")
        overlay.post("WM_HOTKEY", "1")
        self.assertEqual(within(lambda: overlay.state()["capture"], "", 3), "")
        subprocess.run(["xdotool", "mouseup", "1"], check=True)
        overlay.post("WM_HOTKEY", "1")

        # A move to a 200 % monitor: the suggested rectangle, and the layout at twice the size.
        combo_height = controls[COMBO].rect[3] - controls[COMBO].rect[1]
        overlay.probe("dpi-changed", "192", "60", "40", "960", "1000")
        self.assertEqual(overlay.state()["rect"], "60 40 960 1000")
        controls = overlay.controls()
        self.assertEqual(controls[COMBO].rect[3] - controls[COMBO].rect[1], 2 * combo_height)
        countdown = controls[COUNTDOWN].rect
        self.assertEqual(countdown[2] - countdown[0], 200)


class OverlayHotkeysAndTray(OverlayTest):
    """Hotkeys, their rebinding and the tray icon. Global hotkeys reach a Wine program only in some setups,
    so the hotkeys arrive as WM_HOTKEY posted by the probe, as the system would send them."""

    def test_hotkeys_and_the_tray_toggle_visibility_and_open_the_boss_list(self):
        overlay = self.start(connected=True)
        overlay.wait_text(TITLE, lambda t: t != "")
        for toggle in (lambda: overlay.post("WM_HOTKEY", "2"), lambda: overlay.tray(WM_LBUTTONDBLCLK)):
            for visible in ("0", "1"):
                toggle()
                time.sleep(0.5)
                s = overlay.state()
                self.assertEqual((s["visible"], s["topmost"]), (visible, "1"))
        # The boss list opens with the keyboard focus: Escape closes it.
        overlay.post("WM_HOTKEY", "3")
        overlay.probe("find", "5000", "OrlixComboBoxPopup")
        key("Escape")
        self.assert_gone(overlay, "OrlixComboBoxPopup")
        self.close_and_expect_exit(overlay)

    def test_rebinding_from_the_buttons(self):
        """What each key means is HotkeyRebindTest's table; here the wiring around it: a hotkey that arrives
        while rebinding is refused with a notice and not run, another one while that notice is up brings no
        second notice and ends nothing, and the next combination is saved and shown."""
        overlay = self.start(connected=True)
        click_centre(overlay.open_panel()[VISIBILITY_BUTTON].rect)  # the panel shows while the overlay has the focus
        self.assertEqual(overlay.text(VISIBILITY_BUTTON), "Show/Hide: [Press modifier + key...]")
        overlay.post("WM_HOTKEY", "1")
        shown = overlay.probe("find", "5000", "OrlixNotification")
        self.assertEqual(shown["title"], "Duplicate Hotkey")
        Screen("notice-duplicate", crop=tuple(map(int, shown["rect"].split())))
        overlay.post("WM_HOTKEY", "1")
        time.sleep(0.5)
        self.assertEqual(overlay.probe("find", "1000", "OrlixNotification")["title"], "Duplicate Hotkey")
        key("Return")
        self.assert_gone(overlay, "OrlixNotification")
        self.assertEqual(overlay.state()["style"] & WS_POPUP, 0, "the refused hotkey's action did not run")
        key("ctrl+alt+k")
        self.assertEqual(overlay.wait_text(VISIBILITY_BUTTON, "Show/Hide: Ctrl+Alt+K", 3), "Show/Hide: Ctrl+Alt+K")
        saved = overlay.saved()
        self.assertIn(("Hotkeys", "Visibility", "75"), saved)
        self.assertIn(("Hotkeys", "VisibilityMods", "3"), saved)
        self.close_and_expect_exit(overlay)

    def test_a_hotkey_held_by_another_program_is_reported(self):
        holder = subprocess.Popen([ARGS.wine, ARGS.probe, "hold", "2", "0x42", "30000"], stdout=subprocess.PIPE,
                                  text=True)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), "held=1")
        overlay = self.start()
        self.assertEqual(overlay.probe("find", "20000", "OrlixNotification")["title"], "Warning")
        key("Return")
        self.assert_gone(overlay, "OrlixNotification")
        self.assertEqual(overlay.text(VISIBILITY_BUTTON), "Show/Hide: Ctrl+B (not active)")
        self.assertEqual(overlay.text(CLICK_THROUGH_BUTTON), "Click-through: Ctrl+Shift+B")
        self.close_and_expect_exit(overlay)

    def test_tray_menu_help_and_exit(self):
        overlay = self.start(connected=True)
        subprocess.run(["xdotool", "mousemove", "900", "300"], check=True)
        left, top, right, bottom = overlay.tray_menu()
        Screen("tray-menu", crop=(left - 10, top - 10, right + 10, bottom + 10))
        key("Escape")
        time.sleep(0.5)
        self.assertTrue(overlay.probe("find", "1000", "OrlixDarkPopupMenuTier"), "keys do not close the menu")
        click_centre(overlay.rect())
        self.assert_gone(overlay, "OrlixDarkPopupMenuTier")

        left, top = overlay.tray_menu()[:2]
        click(left + 40, top + MENU_ROWS["Help"])
        help_window = overlay.probe("find", "5000", "OrlixHelpDialog")
        self.assertEqual(help_window["title"], "Brisquel v1.6.3 - Help")
        hl, ht, hr, hb = map(int, help_window["rect"].split())
        Screen("help", crop=(hl, ht, hr, hb))
        click((hl + hr) // 2, hb - 32)  # its OK button
        self.assert_gone(overlay, "OrlixHelpDialog")

        # Exit in the menu and a close ask first; No and Escape leave the overlay running and usable.
        for decline in ("No", "Escape"):
            if decline == "No":
                left, top = overlay.tray_menu()[:2]
                click(left + 40, top + MENU_ROWS["Exit"])
                self.answer_exit_question(overlay, "No")
            else:
                overlay.post("WM_CLOSE")
                overlay.probe("find", "10000", "OrlixConfirmDialog")
                key("Escape")
            self.assert_gone(overlay, "OrlixConfirmDialog")
            self.assertIsNone(overlay.process.poll(), f"{decline} leaves the overlay running")
            self.assertEqual(overlay.state()["enabled"], "1")
        self.close_and_expect_exit(overlay)


class OverlayAlerts(OverlayTest):
    """The alerts against a frozen world, where only the channels the test sets cross a threshold. The raised
    notifications are counted by a test hook and read through the probe."""

    def choose_alert(self, overlay, row, shot=None):
        """Opens the tray menu at (400, 300), points at Alerts and chooses a row of the submenu, which opens to the
        right; returns the rows that showed a check mark before."""
        subprocess.run(["xdotool", "mousemove", "400", "300"], check=True)
        menu = overlay.tray_menu()
        subprocess.run(["xdotool", "mousemove", str(menu[0] + 40), str(menu[1] + MENU_ROWS["Alerts"])], check=True)
        time.sleep(0.5)
        left, top = menu[2], menu[1] + ALERTS_ROW_TOP
        screen = Screen(shot, crop=(menu[0] - 10, menu[1] - 10, left + 320, menu[3] + 40))
        blue = lambda p: p[2] > 150 and p[2] - p[0] > 80  # noqa: E731
        checked = {name for name, centre in ALERT_ROWS.items()
                   if screen.count(left + 8, top + centre - 8, left + 24, top + centre + 8, blue) > 5}
        click(left + 40, top + ALERT_ROWS[row])
        self.assert_gone(overlay, "OrlixDarkPopupMenuTier")
        return checked

    def test_a_channel_about_to_die_and_the_respawn_raise_one_notification_each_switched_in_the_tray_menu(self):
        self.switch_on_test_hook("CountAlerts")
        # The chosen boss respawns two to three minutes from now: its alert is due about 45 s from now.
        minute = (time.gmtime().tm_min + 3) % 60
        respawn_seconds = (minute * 60 - int(time.time()) % 3600) % 3600 - 45
        boss, other = real_bosses()[2:4]

        def prepare(tracker):
            tracker.control(f"respawn/{boss['id']}/{minute}")
            tracker.control("freeze")

        tracker, overlay = self.start_with_private_tracker(
            f"[Selection]\nLastBoss={boss['id']}\n[Alerts]\nDying=1\nRespawnSeconds={respawn_seconds}\nSound=0\n",
            prepare)
        self.assertEqual(overlay.wait_text(TITLE, boss["name"]), boss["name"])
        calm = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss["id"]]
                if not 0 < c["etd"] <= 120]
        # Switched on in the menu, saved at once, and checked on the next open.
        self.assertEqual(self.choose_alert(overlay, "respawn"), {"dying"})
        self.assertIn(("Alerts", "Respawn", "1"), overlay.saved())
        self.assertEqual(overlay.alerts(), (0, ""), "channels already low when the boss was chosen stay quiet")

        # A channel of the chosen boss 45 s from death: one notification. Staying low, and another boss's
        # channel going low, raise none.
        tracker.control(f"etd/{boss['id']}/{calm[0]}/45")
        dying = f"{boss['name']}: Ch. {calm[0]} in 45 s"
        self.assertEqual(within(overlay.alerts, (1, dying), 5), (1, dying))
        tracker.control(f"etd/{other['id']}/1/30")
        time.sleep(4)
        self.assertEqual(overlay.alerts(), (1, dying))

        # Switched off, the next channel going low raises nothing.
        self.assertEqual(self.choose_alert(overlay, "dying", "tray-menu-alerts"), {"dying", "respawn"})
        self.assertIn(("Alerts", "Dying", "0"), overlay.saved())
        tracker.control(f"etd/{boss['id']}/{calm[1]}/40")
        time.sleep(4)
        self.assertEqual(overlay.alerts(), (1, dying))

        respawn = f"{boss['name']}: respawn in {respawn_seconds} s"
        self.assertEqual(within(overlay.alerts, (2, respawn), 60), (2, respawn))
        self.close_and_expect_exit(overlay)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe", "--probe"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
