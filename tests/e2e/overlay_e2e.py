#!/usr/bin/env python3
"""End-to-end tests of Brisquel.exe under Wine: start it as a user would, in a directory of its own
with a prepared Brisquel.ini, look at the window through the probe, close it, read the file back.

    overlay_e2e.py --wine build/win64/wine-run.sh --exe Brisquel.exe --probe probe.exe
The demo tracker's port comes from BRISQUEL_TRACKER_PORT (tools/with_fixtures.py).
"""
import argparse
import collections
import configparser
import json
import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from screen import Screen  # noqa: E402

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_CLIPCHILDREN = 0x00C00000, 0x00080000, 0x00040000, 0x02000000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000
WS_EX_LAYERED, WS_EX_TOPMOST, WS_EX_TRANSPARENT, WS_EX_NOACTIVATE = 0x00080000, 0x8, 0x20, 0x08000000
INTEGER_KEYS = [("Window", k) for k in ("Left", "Top", "Right", "Bottom", "Opacity", "TextScale", "ClickThroughMode")] + [
    ("Hotkeys", k) for k in ("ClickThrough", "ClickThroughMods", "Visibility", "VisibilityMods", "BossMenu",
                             "BossMenuMods")]
ARGS = None
Control = collections.namedtuple("Control", "visible rect text")
STATUS, TITLE, CACHE, COUNTDOWN = 1005, 1006, 1013, 1012


def countdown_seconds(text):
    match = re.fullmatch(r"(?:(\d+)m )?(\d+)s", text)
    if not match:
        raise AssertionError(f"not a countdown: {text!r}")
    return int(match.group(1) or 0) * 60 + int(match.group(2))


def tracker_origin():
    return f"http://127.0.0.1:{os.environ['BRISQUEL_TRACKER_PORT']}"


def value_within(read, wanted, seconds):
    """Reads until the value is the one wanted or the time is up; returns the last value read."""
    deadline = time.monotonic() + seconds
    while True:
        value = read()
        if value == wanted or time.monotonic() > deadline:
            return value
        time.sleep(0.2)


def tracker_control(command):
    with urllib.request.urlopen(f"{tracker_origin()}/__control/{command}", timeout=10) as response:
        return json.load(response)


class Overlay:
    """One run of Brisquel.exe in a temporary directory, pointed at the demo tracker unless told otherwise."""

    def __init__(self, ini_text):
        self.dir = tempfile.mkdtemp(prefix="brisquel-e2e-")
        shutil.copy(ARGS.exe, os.path.join(self.dir, "Brisquel.exe"))
        self.ini = os.path.join(self.dir, "Brisquel.ini")
        if ini_text is not None:
            with open(self.ini, "w", newline="") as f:
                f.write(ini_text.replace("\n", "\r\n"))
        self.process = subprocess.Popen([ARGS.wine, "Brisquel.exe"], cwd=self.dir)

    def probe_lines(self, *args):
        result = subprocess.run([ARGS.wine, ARGS.probe, *args], capture_output=True, encoding="utf-8", timeout=30)
        if result.returncode == 1 and not result.stdout:
            # Wine occasionally fails to start a process on a loaded machine; the probe itself only returns
            # 1 for bad arguments, which a second start does not mend.
            result = subprocess.run([ARGS.wine, ARGS.probe, *args], capture_output=True, encoding="utf-8",
                                    timeout=30)
        if result.returncode != 0:
            raise AssertionError(f"probe {args} failed with {result.returncode}")
        return result.stdout.splitlines()

    def probe(self, *args):
        return dict(line.split("=", 1) for line in self.probe_lines(*args) if "=" in line)

    def controls(self):
        """The child controls by (id, class): visible, screen rectangle and text."""
        found = {}
        for line in self.probe_lines("children"):
            if line.startswith("child="):
                ident, cls, visible, left, top, right, bottom, *text = line[len("child="):].split(" ")
                found[(int(ident), cls)] = Control(visible == "1", tuple(map(int, (left, top, right, bottom))),
                                                   " ".join(text))
        return found

    def paints(self):
        """Paints counted so far by (id, class); zero unless the overlay counts them."""
        found = {}
        for line in self.probe_lines("paints"):
            if line.startswith("paints="):
                ident, cls, count = line[len("paints="):].split(" ")
                found[(int(ident), cls)] = int(count)
        return found

    def text(self, ident, cls="OrlixCustomLabel"):
        return self.controls()[(ident, cls)].text

    def wait_text(self, ident, predicate, timeout=10):
        deadline = time.monotonic() + timeout
        while True:
            text = self.text(ident)
            if predicate(text) or time.monotonic() > deadline:
                return text
            time.sleep(0.2)

    def state(self):
        s = self.probe("find", "20000")
        s["style"], s["exstyle"] = int(s["style"], 16), int(s["exstyle"], 16)
        return s

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

    def restart(self):
        self.process = subprocess.Popen([ARGS.wine, "Brisquel.exe"], cwd=self.dir)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


class OverlayTest(unittest.TestCase):
    def start(self, ini_text=""):
        overlay = Overlay(None if ini_text is None else f"[Server]\nBaseUrl={tracker_origin()}/\n" + ini_text)
        self.addCleanup(overlay.close)
        return overlay

    def start_connected(self, ini_text=""):
        overlay = self.start(ini_text)
        overlay.state()
        self.assert_connected_within(overlay, 30)
        return overlay

    def start_with_private_tracker(self):
        """An overlay on a demo tracker of the test's own, for tests that stop the tracker or change its world."""
        tracker = PrivateTracker()
        self.addCleanup(tracker.stop)
        overlay = Overlay(f"[Server]\nBaseUrl=http://127.0.0.1:{tracker.port}\n")
        self.addCleanup(overlay.close)
        return tracker, overlay

    def assert_connected_within(self, overlay, seconds):
        status = overlay.wait_text(STATUS, lambda t: t.startswith("\u25cf Connected"), seconds)
        self.assertTrue(status.startswith("\u25cf Connected | \u2193 "), status)

    def bosses(self):
        with urllib.request.urlopen(f"{tracker_origin()}/api/collections/mobs/records", timeout=10) as response:
            return json.load(response)["items"]

    def answer_exit_question(self, overlay, answer):
        """Waits for "Are you sure you want to exit?" and clicks Yes or No, as a person would."""
        question = overlay.probe("find", "10000", "OrlixConfirmDialog")
        self.assertEqual(question["title"], "Confirm Exit")
        self.assertEqual(overlay.state()["enabled"], "0", "the overlay waits for the answer")
        x, y, width, height = map(int, question["client"].split())
        # Yes and No sit side by side, centred 34 px above the bottom.
        button_x = x + width // 2 + (-40 if answer == "Yes" else 40)
        subprocess.run(["xdotool", "mousemove", str(button_x), str(y + height - 34), "click", "1"], check=True)

    def close_and_expect_exit(self, overlay, *message):
        """Seconds from the close request (once the question it asks is answered Yes) to a clean exit."""
        overlay.probe("post", *(message or ("WM_CLOSE",)))
        if not message:
            self.answer_exit_question(overlay, "Yes")
            overlay.probe("wait-gone", "10000", "OrlixConfirmDialog")
        started = time.monotonic()
        self.assertEqual(overlay.process.wait(timeout=20), 0)
        return time.monotonic() - started

    def wait_for_requests(self, predicate):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            requests = tracker_control("requests")["requests"]
            if predicate(requests):
                return requests
            time.sleep(0.25)
        self.fail(f"the tracker never saw the expected requests: {requests[-10:]}")


class OverlayLifecycle(OverlayTest):
    def test_window_from_saved_settings_and_settings_written_back(self):
        overlay = self.start("[Window]\nLeft=5000\nTop=5000\nRight=5450\nBottom=5700\nOpacity=40\n")
        s = overlay.state()
        self.assertEqual((s["class"], s["title"]), ("ZentrikMainDialog", "Brisquel v1.6.3"))
        frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN
        self.assertEqual(s["style"] & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), frame)
        self.assertEqual(s["exstyle"] & (WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TRANSPARENT),
                         WS_EX_LAYERED | WS_EX_TOPMOST)
        self.assertEqual(s["alpha"], "102")  # 40 * 255 / 100, truncated
        width, height = map(int, s["screen"].split())
        # Off-screen and too far: moved back into the monitor without shrinking.
        self.assertEqual(s["rect"], f"{width - 450} {height - 700} {width} {height}")
        if os.environ.get("BRISQUEL_SCREENSHOT"):
            subprocess.run(["import", "-window", "root", os.environ["BRISQUEL_SCREENSHOT"]], check=False)

        self.close_and_expect_exit(overlay)
        saved = overlay.saved()
        self.assertEqual(saved[0], ("Server", "BaseUrl", tracker_origin() + "/"))
        self.assertEqual([(section, key) for section, key, _ in saved[1:]], INTEGER_KEYS)
        self.assertEqual([value for _, _, value in saved[1:]],
                         [str(width - 450), str(height - 700), str(width), str(height), "40", "100", "0",
                          "66", "6", "66", "2", "65", "2"])

    def test_missing_settings_file_opens_at_defaults_and_creates_it(self):
        overlay = self.start(None)
        s = overlay.state()
        self.assertEqual((s["rect"], s["alpha"]), ("100 100 550 800", "191"))
        self.close_and_expect_exit(overlay)
        self.assertEqual([(section, key) for section, key, _ in overlay.saved()], INTEGER_KEYS)

    def test_session_end_closes_without_asking(self):
        overlay = self.start()
        overlay.state()
        overlay.probe("post", "WM_QUERYENDSESSION")
        overlay.probe("post", "WM_ENDSESSION", "0")
        time.sleep(1)
        self.assertIsNone(overlay.process.poll(), "a cancelled session end must not close the overlay")
        self.close_and_expect_exit(overlay, "WM_ENDSESSION", "1")
        self.assertIn(("Window", "Left", "100"), overlay.saved())

    def test_closing_asks_first_and_no_keeps_running(self):
        overlay = self.start()
        overlay.state()
        for decline in ("No", "Escape"):
            overlay.probe("post", "WM_CLOSE")
            if decline == "No":
                self.answer_exit_question(overlay, "No")
            else:
                overlay.probe("find", "10000", "OrlixConfirmDialog")
                subprocess.run(["xdotool", "key", "Escape"], check=True)
            self.assertEqual(overlay.probe("wait-gone", "5000", "OrlixConfirmDialog"), {})
            self.assertIsNone(overlay.process.poll(), f"{decline} leaves the overlay running")
            self.assertEqual(overlay.state()["enabled"], "1")
        self.close_and_expect_exit(overlay)

    def test_saved_click_through_mode_starts_without_frame(self):
        overlay = self.start("[Window]\nClickThroughMode=1\n")
        s = overlay.state()
        self.assertEqual(s["style"] & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), WS_POPUP)
        self.assertEqual(s["exstyle"] & (WS_EX_TRANSPARENT | WS_EX_NOACTIVATE), WS_EX_TRANSPARENT | WS_EX_NOACTIVATE)
        self.assertEqual(s["rect"], "100 100 550 800")
        self.close_and_expect_exit(overlay)
        self.assertIn(("Window", "ClickThroughMode", "1"), overlay.saved())


class OverlayAndTracker(OverlayTest):
    def test_reads_the_boss_list_every_boss_then_polls_the_summary(self):
        seen_before = len(tracker_control("requests")["requests"])  # the log spans the run
        with urllib.request.urlopen(f"{tracker_origin()}/api/collections/mobs/records", timeout=10) as response:
            boss_ids = [b["id"] for b in json.load(response)["items"]]
        overlay = self.start()
        overlay.state()
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
        tracker_control("stall")
        self.addCleanup(tracker_control, "resume")
        seen_before = len(tracker_control("requests")["requests"])
        overlay = self.start()
        overlay.state()
        self.wait_for_requests(lambda requests: len(requests) > seen_before)
        time.sleep(1)  # the loader is now inside a request that will not be answered
        # The shutdown waits for the workers for at most five seconds, then leaves.
        self.assertLess(self.close_and_expect_exit(overlay), 8.0)
        self.assertIn(("Window", "Left", "100"), overlay.saved())


RED, AMBER, GREEN, STALE = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128)
DEMO_TRACKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "demo_tracker.py")


def bar_colours(screen, rect):
    """The bar colours found in a rectangle of the screen."""
    left, top, right, bottom = rect
    return {p for p in screen.region(left, top, right, bottom, step=3) if p in (RED, AMBER, GREEN, STALE)}


class PrivateTracker:
    """A demo tracker of the test's own, which it may stop and start again on the same port."""

    def __init__(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            self.port = s.getsockname()[1]
        self.process = None
        self.start()

    def start(self):
        self.process = subprocess.Popen([sys.executable, DEMO_TRACKER, "--port", str(self.port)],
                                        stdout=subprocess.PIPE, text=True)
        self.process.stdout.readline()

    def stop(self):
        self.process.kill()
        self.process.wait()

    def control(self, command):
        return self.read(f"/__control/{command}")

    def read(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}{path}", timeout=10) as response:
            return json.load(response)


class OverlayLive(OverlayTest):
    """The overlay as a player uses it against the demo tracker: bosses, rows, settings, modes."""

    def test_restores_the_saved_boss_and_switches_on_a_click(self):
        bosses = self.bosses()
        saved, chosen = [b for b in bosses if b["type"] != "magical_creature"][2:4]
        overlay = self.start_connected(f"[Selection]\nLastBoss={saved['id']}\n")
        self.assertEqual(overlay.wait_text(TITLE, lambda t: t == saved["name"]), saved["name"])
        # The countdown to the next respawn counts down, wrapping to the hour after it.
        before = countdown_seconds(overlay.text(COUNTDOWN))
        time.sleep(2.2)
        step = before - countdown_seconds(overlay.text(COUNTDOWN))
        self.assertTrue(step in (1, 2, 3) or step < -3500, step)
        self.assertRegex(overlay.wait_text(CACHE, lambda t: t != "Cache: ---"), r"^Cache: \d")
        controls = overlay.controls()
        combo, rows = controls[(1001, "OrlixComboBox")], controls[(1002, "ZentrikProgressList")]
        self.assertTrue(combo.visible and rows.visible)
        self.assertTrue(bar_colours(Screen(), rows.rect) & {RED, AMBER, GREEN})

        # A player opens the list and clicks another boss: its rows show and the choice is saved at once.
        left, top, right, bottom = combo.rect
        subprocess.run(["xdotool", "mousemove", str((left + right) // 2), str((top + bottom) // 2), "click", "1"],
                       check=True)
        popup = overlay.probe("find", "5000", "OrlixComboBoxPopup")
        x, y = map(int, popup["client"].split()[:2])
        row = bosses.index(chosen)
        subprocess.run(["xdotool", "mousemove", str(x + 30), str(y + 28 * row + 14), "click", "1"], check=True)
        self.assertEqual(overlay.wait_text(TITLE, lambda t: t == chosen["name"], 3), chosen["name"])
        self.assertIn(("Selection", "LastBoss", chosen["id"]), overlay.saved())
        self.assertTrue(bar_colours(Screen(), rows.rect) & {RED, AMBER, GREEN, STALE})
        self.close_and_expect_exit(overlay)

    def test_unchanged_data_repaints_no_rows_and_each_label_once_a_second_at_most(self):
        # Paint counting is a test hook the overlay reads from the registry as it starts.
        key = r"HKCU\Software\Brisquel"
        subprocess.run([ARGS.wine, "reg", "add", key, "/v", "CountPaints", "/t", "REG_DWORD", "/d", "1", "/f"],
                       check=True, capture_output=True)
        self.addCleanup(subprocess.run, [ARGS.wine, "reg", "delete", key, "/f"], capture_output=True)
        boss = [b for b in self.bosses() if b["type"] != "magical_creature"][2]
        overlay = self.start_connected(f"[Selection]\nLastBoss={boss['id']}\n")
        overlay.wait_text(TITLE, lambda t: t == boss["name"])
        overlay.wait_text(CACHE, lambda t: t != "Cache: ---")
        # While the tracker's channels lose HP, the rows are painted again.
        live = overlay.paints()[(1002, "ZentrikProgressList")]
        time.sleep(3)
        self.assertGreater(overlay.paints()[(1002, "ZentrikProgressList")], live, "the rows follow the data")
        tracker_control("freeze")
        self.addCleanup(tracker_control, "thaw")
        time.sleep(2)  # answers read before the freeze have landed
        before = overlay.paints()
        time.sleep(10)
        painted = {control: count - before[control] for control, count in overlay.paints().items()}
        print(f"paints in 10 s of unchanged data: {painted}", file=sys.stderr)
        self.assertGreater(before[(1002, "ZentrikProgressList")], 0, "the rows were painted before")
        self.assertEqual(painted[(1002, "ZentrikProgressList")], 0)
        self.assertEqual(painted[(CACHE, "OrlixCustomLabel")], 0)
        self.assertIn(painted[(COUNTDOWN, "OrlixCustomLabel")], range(9, 12), "one paint per second")
        # The status line's activity dots step with every poll cycle, about twice a second, by design.
        self.assertLessEqual(painted[(STATUS, "OrlixCustomLabel")], 25)
        for (ident, cls), count in painted.items():
            if ident not in (STATUS, COUNTDOWN):
                self.assertEqual(count, 0, (ident, cls))
        self.close_and_expect_exit(overlay)

    def test_settings_panel_sliders_apply_and_save_at_once(self):
        overlay = self.start_connected("[Window]\nOpacity=75\n")
        window = overlay.state()
        left, top, right, bottom = map(int, window["rect"].split())
        # Another program in front: the panel hides and the normal layout shows.
        other = subprocess.Popen([ARGS.wine, "notepad"])
        self.addCleanup(other.kill)
        found = subprocess.run(["xdotool", "search", "--sync", "--name", "Notepad"], capture_output=True, text=True,
                               timeout=30).stdout.split()
        # Beside the overlay, as a game would be.
        subprocess.run(["xdotool", "windowmove", found[-1], str(right + 20), str(top)], check=True)
        time.sleep(1.5)
        controls = overlay.controls()
        self.assertFalse(controls[(1003, "OrlixCustomSlider")].visible)
        Screen("overlay-normal", crop=(left, top, right, bottom))
        # A click on the overlay brings the panel.
        subprocess.run(["xdotool", "mousemove", str(left + 5), str(bottom - 5), "click", "1"], check=True)
        deadline = time.monotonic() + 5
        while not overlay.controls()[(1003, "OrlixCustomSlider")].visible and time.monotonic() < deadline:
            time.sleep(0.2)
        controls = overlay.controls()
        for ident, cls in ((1003, "OrlixCustomSlider"), (1006, "OrlixCustomSlider"), (1010, "OrlixButton"),
                           (1011, "OrlixButton"), (1014, "OrlixButton")):
            self.assertTrue(controls[(ident, cls)].visible, ident)
        self.assertEqual(controls[(1011, "OrlixButton")].text, "Show/Hide: Ctrl+B")
        self.assertEqual(controls[(1004, "OrlixCustomLabel")].text, "75%")
        Screen("overlay-settings", crop=(left, top, right, bottom))
        rows = controls[(1002, "ZentrikProgressList")].rect
        rows_before = self.count_rows(rows)

        # The left end of the opacity slider: the lowest opacity, on screen and in the file at once.
        opacity = controls[(1003, "OrlixCustomSlider")].rect
        subprocess.run(["xdotool", "mousemove", str(opacity[0] + 1), str((opacity[1] + opacity[3]) // 2), "click",
                        "1"], check=True)
        time.sleep(0.5)
        self.assertEqual(overlay.state()["alpha"], "25")
        self.assertIn(("Window", "Opacity", "10"), overlay.saved())
        self.assertEqual(overlay.text(1004), "10%")
        # The right end of the text-scale slider: rows twice as tall, and saved.
        scale = controls[(1006, "OrlixCustomSlider")].rect
        subprocess.run(["xdotool", "mousemove", str(scale[2] - 2), str((scale[1] + scale[3]) // 2), "click", "1"],
                       check=True)
        time.sleep(0.5)
        self.assertIn(("Window", "TextScale", "200"), overlay.saved())
        self.assertLess(self.count_rows(rows), rows_before)
        self.close_and_expect_exit(overlay)

    def count_rows(self, rect):
        """Rows drawn in the list: runs of lines with label text ("Ch.") at the list's left."""
        screen = Screen()
        lines = [any(min(p) >= 150 for p in screen.line(y, rect[0] + 4, rect[0] + 30)) for y in range(rect[1], rect[3])]
        return sum(1 for above, here in zip([False] + lines, lines) if here and not above)

    def test_click_through_passes_clicks_and_restores_the_frame(self):
        overlay = self.start_connected()
        before = overlay.state()
        left, top, right, bottom = map(int, before["rect"].split())
        overlay.probe("post", "WM_HOTKEY", "1")
        time.sleep(1)
        through = overlay.state()
        self.assertEqual(through["style"] & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), WS_POPUP)
        self.assertEqual(through["exstyle"] & (WS_EX_TRANSPARENT | WS_EX_NOACTIVATE),
                         WS_EX_TRANSPARENT | WS_EX_NOACTIVATE)
        self.assertEqual(through["rect"], before["rect"])
        self.assertNotEqual(overlay.probe("at", str((left + right) // 2), str((top + bottom) // 2))["at"],
                            "ZentrikMainDialog")
        controls = overlay.controls()
        self.assertTrue(controls[(TITLE, "OrlixCustomLabel")].visible)
        self.assertFalse(controls[(STATUS, "OrlixCustomLabel")].visible)
        self.assertIn(("Window", "ClickThroughMode", "1"), overlay.saved())

        overlay.probe("post", "WM_HOTKEY", "1")
        time.sleep(1)
        back = overlay.state()
        self.assertEqual(back["style"] & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), WS_CAPTION | WS_THICKFRAME)
        self.assertEqual(back["exstyle"] & WS_EX_TRANSPARENT, 0)
        self.assertEqual(back["rect"], before["rect"])
        self.assertEqual(overlay.probe("at", str((left + right) // 2), str((top + bottom) // 2))["at"],
                         "ZentrikMainDialog")
        self.assertIn(("Window", "ClickThroughMode", "0"), overlay.saved())
        self.close_and_expect_exit(overlay)

    def test_moved_off_screen_it_comes_back(self):
        overlay = self.start_connected()
        width, height = map(int, overlay.state()["screen"].split())
        overlay.probe("move", str(width - 100), str(height - 50))
        overlay.probe("post", "WM_EXITSIZEMOVE")
        time.sleep(0.5)
        self.assertEqual(overlay.state()["rect"], f"{width - 450} {height - 700} {width} {height}")
        self.close_and_expect_exit(overlay)

    def test_tracker_stopping_shows_reconnecting_then_recovers_and_old_reports_grey(self):
        tracker, overlay = self.start_with_private_tracker()
        overlay.state()
        self.assert_connected_within(overlay, 30)
        overlay.wait_text(TITLE, lambda t: t != "", 10)
        tracker.stop()
        stopped = time.monotonic()
        status = overlay.wait_text(STATUS, lambda t: t.startswith("Reconnecting... (attempt "), 3)
        self.assertRegex(status, r"^Reconnecting\.\.\. \(attempt [1-9]\d*\) \| NTP: ")
        self.assertLess(time.monotonic() - stopped, 4)
        tracker.start()
        restarted = time.monotonic()
        self.assert_connected_within(overlay, 3)
        self.assertLess(time.monotonic() - restarted, 4)
        # Every report ten minutes old: all rows grey.
        rows = overlay.controls()[(1002, "ZentrikProgressList")].rect
        tracker.control("age/600")
        deadline = time.monotonic() + 5
        while bar_colours(Screen(), rows) - {STALE} and time.monotonic() < deadline:
            time.sleep(0.3)
        self.assertEqual(bar_colours(Screen(), rows) - {AMBER}, {STALE})
        self.close_and_expect_exit(overlay)

    def test_one_bad_summary_shows_reconnecting_and_the_next_recovers(self):
        tracker, overlay = self.start_with_private_tracker()
        overlay.state()
        self.assert_connected_within(overlay, 30)
        overlay.wait_text(TITLE, lambda t: t != "", 10)
        rows = overlay.controls()[(1002, "ZentrikProgressList")].rect
        # Not JSON; a gzip body past the inflate limit; no answer until the client's 10 s time-out.
        for fault, seconds in (("garbage", 5), ("bomb", 5), ("stall", 15)):
            with self.subTest(fault):
                tracker.control(f"fault/{fault}")
                # The failure shows only until the next summary, about 1.5 s later: the probe watches closely.
                noticed = overlay.probe("wait-text", str(STATUS), "Reconnecting", str(seconds * 1000))["text"]
                self.assertRegex(noticed, r"^Reconnecting\.\.\. \(attempt 1\) \| NTP: ")
                self.assertIsNone(overlay.process.poll())
                self.assert_connected_within(overlay, 4)
                self.assertTrue(bar_colours(Screen(), rows) & {RED, AMBER, GREEN, STALE}, "the rows stay")
        self.close_and_expect_exit(overlay)

    def test_a_channel_that_dies_leaves_the_list(self):
        tracker, overlay = self.start_with_private_tracker()
        overlay.state()
        self.assert_connected_within(overlay, 30)
        title = overlay.wait_text(TITLE, lambda t: t != "", 10)
        boss = next(b["id"] for b in tracker.read("/api/collections/mobs/records")["items"] if b["name"] == title)
        tracker.control("freeze")
        live = [c["channel_number"] for c in tracker.read("/api/all_status")["channel_status"][boss]
                if c["last_hp"] > 0]
        # Three rows left, so that the whole list shows and its rows can be counted on the screen.
        for number in live[3:]:
            tracker.control(f"kill/{boss}/{number}")
        rows = overlay.controls()[(1002, "ZentrikProgressList")].rect
        self.assertEqual(value_within(lambda: self.count_rows(rows), 3, 5), 3)
        tracker.control(f"kill/{boss}/{live[0]}")
        self.assertEqual(value_within(lambda: self.count_rows(rows), 2, 3), 2)
        self.close_and_expect_exit(overlay)


class OverlayCrash(OverlayTest):
    def test_every_setting_survives_a_kill_right_after_it_changes_and_a_clean_restart(self):
        overlay = self.start_connected()
        bosses = [b for b in self.bosses() if b["type"] != "magical_creature"]

        def panel():
            rect = list(map(int, overlay.state()["rect"].split()))
            click(rect[0] + 5, rect[3] - 5)
            deadline = time.monotonic() + 5
            while not overlay.controls()[(1003, "OrlixCustomSlider")].visible and time.monotonic() < deadline:
                time.sleep(0.2)
            return overlay.controls()

        def restart():
            overlay.kill()
            overlay.restart()
            overlay.state()
            overlay.wait_text(STATUS, lambda t: t.startswith("\u25cf Connected"), 30)

        opacity = panel()[(1003, "OrlixCustomSlider")].rect
        click(opacity[0] + 1, (opacity[1] + opacity[3]) // 2)
        time.sleep(0.3)
        restart()
        self.assertIn(("Window", "Opacity", "10"), overlay.saved())

        scale = panel()[(1006, "OrlixCustomSlider")].rect
        click(scale[2] - 2, (scale[1] + scale[3]) // 2)
        time.sleep(0.3)
        restart()
        self.assertIn(("Window", "TextScale", "200"), overlay.saved())

        combo = overlay.controls()[(1001, "OrlixComboBox")].rect
        click((combo[0] + combo[2]) // 2, (combo[1] + combo[3]) // 2)
        popup = overlay.probe("find", "5000", "OrlixComboBoxPopup")
        x, y = map(int, popup["client"].split()[:2])
        click(x + 30, y + 28 * self.bosses().index(bosses[1]) + 14)
        time.sleep(0.3)
        restart()
        self.assertIn(("Selection", "LastBoss", bosses[1]["id"]), overlay.saved())

        button = panel()[(1014, "OrlixButton")].rect
        click((button[0] + button[2]) // 2, (button[1] + button[3]) // 2)
        subprocess.run(["xdotool", "key", "ctrl+shift+m"], check=True)
        time.sleep(0.3)
        restart()
        self.assertIn(("Hotkeys", "BossMenu", "77"), overlay.saved())
        self.assertIn(("Hotkeys", "BossMenuMods", "6"), overlay.saved())

        # Moved and resized, closed as a person would: the next run shows every setting as it was left.
        overlay.probe("move", "200", "150", "500", "600")
        self.close_and_expect_exit(overlay)
        overlay.restart()
        s = overlay.state()
        self.assertEqual((s["rect"], s["alpha"]), ("200 150 700 750", "25"))
        overlay.wait_text(TITLE, lambda t: t != "", 30)
        controls = overlay.controls()
        self.assertEqual([controls[(1004, "OrlixCustomLabel")].text, controls[(1007, "OrlixCustomLabel")].text,
                          controls[(1014, "OrlixButton")].text, controls[(TITLE, "OrlixCustomLabel")].text],
                         ["10%", "200%", "Boss menu: Ctrl+Shift+M", bosses[1]["name"]])

        overlay.probe("post", "WM_HOTKEY", "1")
        time.sleep(0.5)
        overlay.kill()
        self.assertIn(("Window", "ClickThroughMode", "1"), overlay.saved())


WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_TRAY_CALLBACK = 0x0203, 0x0205, 0x0401
MENU_ROWS = {"Hide": 59, "Show": 59, "Help": 87, "Exit": 124}  # row centres below a tier's top edge


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)


class OverlayHotkeysAndTray(OverlayTest):
    """Hotkeys, their rebinding and the tray icon. Global hotkeys reach a Wine program only in some setups,
    so the hotkeys arrive as WM_HOTKEY posted by the probe, as the system would send them."""

    def wait_gone_or_fail(self, overlay, cls):
        self.assertEqual(overlay.probe("wait-gone", "5000", cls), {}, f"{cls} still open")

    def test_hotkeys_toggle_visibility_and_open_the_boss_list(self):
        overlay = self.start_connected()
        overlay.wait_text(TITLE, lambda t: t != "", 10)
        overlay.probe("post", "WM_HOTKEY", "2")
        time.sleep(0.5)
        self.assertEqual(overlay.state()["visible"], "0")
        overlay.probe("post", "WM_HOTKEY", "2")
        time.sleep(0.5)
        shown = overlay.state()
        self.assertEqual((shown["visible"], shown["topmost"]), ("1", "1"))
        # The boss list opens with the keyboard focus: Escape closes it.
        overlay.probe("post", "WM_HOTKEY", "3")
        overlay.probe("find", "5000", "OrlixComboBoxPopup")
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        self.wait_gone_or_fail(overlay, "OrlixComboBoxPopup")
        self.close_and_expect_exit(overlay)

    def test_rebinding_from_the_buttons(self):
        overlay = self.start_connected()
        rect = overlay.state()["rect"].split()
        click(int(rect[0]) + 5, int(rect[3]) - 5)  # the panel shows while the overlay has the focus
        deadline = time.monotonic() + 5
        while not overlay.controls()[(1011, "OrlixButton")].visible and time.monotonic() < deadline:
            time.sleep(0.2)
        button = overlay.controls()[(1011, "OrlixButton")].rect
        centre = ((button[0] + button[2]) // 2, (button[1] + button[3]) // 2)

        click(*centre)
        self.assertEqual(overlay.text(1011, "OrlixButton"), "Show/Hide: [Press modifier + key...]")
        subprocess.run(["xdotool", "key", "ctrl+alt+k"], check=True)
        self.assertEqual(self.button_text(overlay, 1011, "Show/Hide: Ctrl+Alt+K"), "Show/Hide: Ctrl+Alt+K")
        saved = overlay.saved()
        self.assertIn(("Hotkeys", "Visibility", "75"), saved)
        self.assertIn(("Hotkeys", "VisibilityMods", "3"), saved)

        # Escape cancels and keeps the combination.
        click(*centre)
        self.assertEqual(self.button_text(overlay, 1011, "Show/Hide: [Press modifier + key...]"),
                         "Show/Hide: [Press modifier + key...]")
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        self.assertEqual(self.button_text(overlay, 1011, "Show/Hide: Ctrl+Alt+K"), "Show/Hide: Ctrl+Alt+K")

        # A key without a modifier asks for one and a combination already bound is refused; the rebinding
        # goes on after each notice, until a click on the window's background ends it.
        click(*centre)
        subprocess.run(["xdotool", "key", "k"], check=True)
        self.assertEqual(overlay.probe("find", "5000", "OrlixNotification")["title"], "Modifier Required")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.wait_gone_or_fail(overlay, "OrlixNotification")
        overlay.probe("post", "WM_HOTKEY", "1")
        self.assertEqual(overlay.probe("find", "5000", "OrlixNotification")["title"], "Duplicate Hotkey")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.wait_gone_or_fail(overlay, "OrlixNotification")
        self.assertEqual(overlay.text(1011, "OrlixButton"), "Show/Hide: [Press modifier + key...]")
        self.assertEqual(overlay.state()["style"] & WS_POPUP, 0, "the refused hotkey's action did not run")
        status = overlay.controls()[(STATUS, "OrlixCustomLabel")].rect
        click(status[0] - 5, status[1] - 3)
        self.assertEqual(self.button_text(overlay, 1011, "Show/Hide: Ctrl+Alt+K"), "Show/Hide: Ctrl+Alt+K")
        self.assertIn(("Hotkeys", "Visibility", "75"), overlay.saved())
        self.close_and_expect_exit(overlay)

    def button_text(self, overlay, ident, wanted):
        return value_within(lambda: overlay.text(ident, "OrlixButton"), wanted, 3)

    def test_a_hotkey_held_by_another_program_is_reported(self):
        holder = subprocess.Popen([ARGS.wine, ARGS.probe, "hold", "2", "0x42", "30000"], stdout=subprocess.PIPE,
                                  text=True)
        self.addCleanup(holder.kill)
        self.assertEqual(holder.stdout.readline().strip(), "held=1")
        overlay = self.start()
        notice = overlay.probe("find", "20000", "OrlixNotification")
        self.assertEqual(notice["title"], "Warning")
        subprocess.run(["xdotool", "key", "Return"], check=True)
        self.wait_gone_or_fail(overlay, "OrlixNotification")
        self.assertEqual(overlay.text(1011, "OrlixButton"), "Show/Hide: Ctrl+B (not active)")
        self.assertEqual(overlay.text(1010, "OrlixButton"), "Click-through: Ctrl+Shift+B")
        self.close_and_expect_exit(overlay)

    def test_tray_toggles_opens_its_menu_and_help(self):
        overlay = self.start_connected()
        overlay.probe("post", str(WM_TRAY_CALLBACK), "1", str(WM_LBUTTONDBLCLK))
        time.sleep(0.5)
        self.assertEqual(overlay.state()["visible"], "0")
        overlay.probe("post", str(WM_TRAY_CALLBACK), "1", str(WM_LBUTTONDBLCLK))
        time.sleep(0.5)
        self.assertEqual(overlay.state()["visible"], "1")

        subprocess.run(["xdotool", "mousemove", "900", "300"], check=True)
        overlay.probe("post", str(WM_TRAY_CALLBACK), "1", str(WM_RBUTTONUP))
        tier = overlay.probe("find", "5000", "OrlixDarkPopupMenuTier")
        left, top, right, bottom = map(int, tier["rect"].split())
        Screen("tray-menu", crop=(left - 10, top - 10, right + 10, bottom + 10))
        subprocess.run(["xdotool", "key", "Escape"], check=True)
        time.sleep(0.5)
        self.assertTrue(overlay.probe("find", "1000", "OrlixDarkPopupMenuTier"), "keys do not close the menu")
        overlay_rect = list(map(int, overlay.state()["rect"].split()))
        click((overlay_rect[0] + overlay_rect[2]) // 2, (overlay_rect[1] + overlay_rect[3]) // 2)
        self.wait_gone_or_fail(overlay, "OrlixDarkPopupMenuTier")

        overlay.probe("post", str(WM_TRAY_CALLBACK), "1", str(WM_RBUTTONUP))
        tier = overlay.probe("find", "5000", "OrlixDarkPopupMenuTier")
        left, top = map(int, tier["rect"].split()[:2])
        click(left + 40, top + MENU_ROWS["Help"])
        help_window = overlay.probe("find", "5000", "OrlixHelpDialog")
        self.assertEqual(help_window["title"], "Brisquel v1.6.3 - Help")
        hl, ht, hr, hb = map(int, help_window["rect"].split())
        Screen("help", crop=(hl, ht, hr, hb))
        click((hl + hr) // 2, hb - 32)  # its OK button
        self.wait_gone_or_fail(overlay, "OrlixHelpDialog")

        overlay.probe("post", str(WM_TRAY_CALLBACK), "1", str(WM_RBUTTONUP))
        tier = overlay.probe("find", "5000", "OrlixDarkPopupMenuTier")
        left, top = map(int, tier["rect"].split()[:2])
        click(left + 40, top + MENU_ROWS["Exit"])
        self.answer_exit_question(overlay, "No")
        self.wait_gone_or_fail(overlay, "OrlixConfirmDialog")
        self.assertIsNone(overlay.process.poll())
        self.close_and_expect_exit(overlay)

    def test_tray_icon_follows_the_data(self):
        tracker, overlay = self.start_with_private_tracker()
        self.assertEqual(self.tray_within(overlay, "2", 30), "2")
        tracker.stop()
        self.assertEqual(self.tray_within(overlay, "1", 3), "1")
        tracker.start()
        self.assertEqual(self.tray_within(overlay, "2", 5), "2")
        self.close_and_expect_exit(overlay)

    def tray_within(self, overlay, wanted, seconds):
        return value_within(lambda: overlay.state()["tray"], wanted, seconds)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe", "--probe"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
