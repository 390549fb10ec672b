#!/usr/bin/env python3
"""End-to-end tests of Brisquel.exe under Wine: start it as a user would, in a directory of its own
with a prepared Brisquel.ini, look at the window through the probe, close it, read the file back.

    overlay_e2e.py --wine build/win64/wine-run.sh --exe Brisquel.exe --probe probe.exe
The demo tracker's port comes from BRISQUEL_TRACKER_PORT (tools/with_fixtures.py).
"""
import argparse
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.request

WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_CLIPCHILDREN = 0x00C00000, 0x00080000, 0x00040000, 0x02000000
WS_MINIMIZEBOX, WS_MAXIMIZEBOX, WS_POPUP = 0x00020000, 0x00010000, 0x80000000
WS_EX_LAYERED, WS_EX_TOPMOST = 0x00080000, 0x00000008
WS_EX_TRANSPARENT, WS_EX_NOACTIVATE, WS_EX_TOOLWINDOW = 0x00000020, 0x08000000, 0x00000080

INTEGER_KEYS = [
    ("Window", "Left"), ("Window", "Top"), ("Window", "Right"), ("Window", "Bottom"),
    ("Window", "Opacity"), ("Window", "TextScale"), ("Window", "ClickThroughMode"),
    ("Hotkeys", "ClickThrough"), ("Hotkeys", "ClickThroughMods"), ("Hotkeys", "Visibility"),
    ("Hotkeys", "VisibilityMods"), ("Hotkeys", "BossMenu"), ("Hotkeys", "BossMenuMods"),
]

ARGS = None


def read_ini_text(path):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xff\xfe"):
        return data[2:].decode("utf-16-le")
    return data.decode("utf-8", errors="replace")


def parse_ini(text):
    """[(section, key, value)] in file order."""
    entries, section = [], None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = line[1:-1]
        elif "=" in line:
            key, value = line.split("=", 1)
            entries.append((section, key, value))
    return entries


class Overlay:
    """One run of Brisquel.exe in a temporary directory."""

    def __init__(self, ini_text=None):
        self.dir = tempfile.mkdtemp(prefix="brisquel-e2e-")
        shutil.copy(ARGS.exe, os.path.join(self.dir, "Brisquel.exe"))
        self.ini = os.path.join(self.dir, "Brisquel.ini")
        if ini_text is not None:
            with open(self.ini, "w", newline="") as f:
                f.write(ini_text.replace("\n", "\r\n"))
        self.process = subprocess.Popen([ARGS.wine, "Brisquel.exe"], cwd=self.dir)

    def probe(self, *args, timeout=30):
        result = subprocess.run([ARGS.wine, ARGS.probe, *args], capture_output=True, text=True, timeout=timeout)
        return result.returncode, result.stdout

    def state(self):
        code, out = self.probe("find", "20000")
        if code != 0:
            raise AssertionError(f"overlay window not found (probe exit {code})")
        return dict(line.split("=", 1) for line in out.splitlines() if "=" in line)

    def post(self, *message):
        code, _ = self.probe("post", *message)
        if code != 0:
            raise AssertionError(f"could not post {message}")

    def wait_exit(self, timeout):
        return self.process.wait(timeout=timeout)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


def tracker_origin():
    return f"http://127.0.0.1:{os.environ['BRISQUEL_TRACKER_PORT']}"


def tracker_section():
    return f"[Server]\nBaseUrl={tracker_origin()}/\n"


def tracker_control(command):
    with urllib.request.urlopen(f"{tracker_origin()}/__control/{command}", timeout=10) as response:
        return json.load(response)


class OverlayTest(unittest.TestCase):
    def start(self, ini_text=None):
        overlay = Overlay(ini_text)
        self.addCleanup(overlay.close)
        return overlay

    def close_and_expect_exit(self, overlay, *message):
        """Seconds from the close request to a clean exit."""
        started = time.monotonic()
        overlay.post(*(message or ("WM_CLOSE",)))
        self.assertEqual(overlay.wait_exit(20), 0)
        return time.monotonic() - started

    def saved_values(self, overlay):
        return {(sec, key): value for sec, key, value in parse_ini(read_ini_text(overlay.ini))}


class OverlayLifecycle(OverlayTest):
    def test_window_from_saved_settings_and_settings_written_back(self):
        overlay = self.start(tracker_section() + "[Window]\nLeft=5000\nTop=5000\nRight=5450\nBottom=5700\nOpacity=40\n"
                             "[Hotkeys]\nBossMenu=70\n")
        s = overlay.state()
        self.assertEqual(s["class"], "ZentrikMainDialog")
        self.assertEqual(s["title"], "Brisquel v1.6.3")
        style, exstyle = int(s["style"], 16), int(s["exstyle"], 16)
        frame = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN
        self.assertEqual(style & (frame | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP), frame)
        self.assertEqual(exstyle & (WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT),
                         WS_EX_LAYERED | WS_EX_TOPMOST)
        self.assertEqual(s["alpha"], "102")  # 40 * 255 / 100, truncated
        screen_w, screen_h = map(int, s["screen"].split())
        # Off-screen and too far: moved back into the monitor without shrinking.
        self.assertEqual(s["rect"], f"{screen_w - 450} {screen_h - 700} {screen_w} {screen_h}")
        if os.environ.get("BRISQUEL_SCREENSHOT"):
            subprocess.run(["import", "-window", "root", os.environ["BRISQUEL_SCREENSHOT"]], check=False)

        self.close_and_expect_exit(overlay)
        values = self.saved_values(overlay)
        self.assertTrue(all(k in values for k in INTEGER_KEYS))
        self.assertEqual(values[("Window", "Left")], str(screen_w - 450))
        self.assertEqual(values[("Window", "Bottom")], str(screen_h))
        self.assertEqual(values[("Window", "Opacity")], "40")
        self.assertEqual(values[("Hotkeys", "BossMenu")], "70")
        self.assertEqual(values[("Server", "BaseUrl")], tracker_origin() + "/")

    def test_missing_settings_file_opens_at_defaults_and_creates_it(self):
        overlay = self.start()
        s = overlay.state()
        self.assertEqual(s["rect"], "100 100 550 800")
        self.assertEqual(s["alpha"], "191")
        self.close_and_expect_exit(overlay)
        entries = parse_ini(read_ini_text(overlay.ini))
        self.assertEqual([(sec, key) for sec, key, _ in entries], INTEGER_KEYS)
        values = {(sec, key): value for sec, key, value in entries}
        self.assertEqual([values[k] for k in INTEGER_KEYS], ["100", "100", "550", "800", "75", "100", "0",
                                                             "66", "6", "66", "2", "65", "2"])
        self.assertNotIn(("Selection", "LastBoss"), values)

    def test_session_end_closes_without_asking(self):
        overlay = self.start(tracker_section())
        overlay.state()
        overlay.post("WM_QUERYENDSESSION")
        overlay.post("WM_ENDSESSION", "0")
        time.sleep(1)
        self.assertIsNone(overlay.process.poll(), "a cancelled session end must not close the overlay")
        self.close_and_expect_exit(overlay, "WM_ENDSESSION", "1")
        self.assertTrue(os.path.exists(overlay.ini))

    def test_saved_click_through_mode_starts_without_frame(self):
        overlay = self.start(tracker_section() + "[Window]\nClickThroughMode=1\n")
        s = overlay.state()
        style, exstyle = int(s["style"], 16), int(s["exstyle"], 16)
        self.assertEqual(style & (WS_CAPTION | WS_THICKFRAME | WS_POPUP), WS_POPUP)
        self.assertEqual(exstyle & (WS_EX_TRANSPARENT | WS_EX_NOACTIVATE), WS_EX_TRANSPARENT | WS_EX_NOACTIVATE)
        self.assertEqual(s["rect"], "100 100 550 800")
        self.close_and_expect_exit(overlay)
        self.assertEqual(self.saved_values(overlay)[("Window", "ClickThroughMode")], "1")



class OverlayAndTracker(OverlayTest):
    def wait_for_requests(self, predicate, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            requests = tracker_control("requests")["requests"]
            if predicate(requests):
                return requests
            time.sleep(0.25)
        self.fail(f"the tracker never saw the expected requests: {requests[-10:]}")

    def test_reads_the_boss_list_every_boss_then_polls_the_summary(self):
        seen_before = len(tracker_control("requests")["requests"])  # the log spans the run
        with urllib.request.urlopen(f"{tracker_origin()}/api/collections/mobs/records", timeout=10) as response:
            boss_ids = [b["id"] for b in json.load(response)["items"]]
        overlay = self.start(tracker_section())
        overlay.state()

        def polled_twice(requests):
            new = requests[seen_before:]
            return sum(r["path"] == "/api/all_status" for r in new) >= 2 and any(
                r["path"] == "/api/status" for r in new)

        new = self.wait_for_requests(polled_twice)[seen_before:]
        paths = [r["path"] for r in new]
        self.assertEqual(paths[0], "/api/collections/mobs/records")
        channel_reads = [p for p in paths if p.startswith("/api/collections/mob_channel_status/records?")]
        self.assertEqual(channel_reads, [
            f"/api/collections/mob_channel_status/records?filter=(mob='{i}')&perPage=500&sort=-last_update"
            for i in boss_ids])
        # The summary poll starts only once the boss list is in: the window's client has no base URL before.
        self.assertGreater(paths.index("/api/all_status"), paths.index(channel_reads[-1]))
        agents = {r["path"].split("?")[0]: r["agent"] for r in new}
        self.assertEqual(agents["/api/all_status"], "Zentrik/1.0")
        self.assertEqual(agents["/api/status"], "Zentrik/1.1")
        self.close_and_expect_exit(overlay)

    def test_exits_promptly_while_requests_hang(self):
        tracker_control("stall")
        self.addCleanup(tracker_control, "resume")
        seen_before = len(tracker_control("requests")["requests"])
        overlay = self.start(tracker_section())
        overlay.state()
        self.wait_for_requests(lambda requests: len(requests) > seen_before)
        time.sleep(1)  # the loader is now inside a request that will not be answered

        # The shutdown waits for the workers for at most five seconds, then leaves.
        self.assertLess(self.close_and_expect_exit(overlay), 8.0)
        self.assertTrue(os.path.exists(overlay.ini))

def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--exe", required=True)
    parser.add_argument("--probe", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
