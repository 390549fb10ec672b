#!/usr/bin/env python3
"""The widget kit as a person meets it: kit_gallery.exe under Wine on the private X display, driven with
xdotool, looked at through screenshots, and asked through its stdin what its window received.

    kit_gallery_e2e.py --wine build/win64/wine-run.sh --exe kit_gallery.exe --shots DIR
Screenshots stay in DIR as test artefacts.
"""
import argparse
import os
import queue
import re
import subprocess
import sys
import threading
import time
import unittest

ARGS = None
WINDOW_BG, CONTROL_BG, ACCENT, TEXT_DISABLED = (30, 30, 30), (45, 45, 45), (110, 185, 255), (100, 100, 100)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


class Screenshot:
    def __init__(self, name):
        self.path = os.path.join(ARGS.shots, name + ".png")
        subprocess.run(["import", "-window", "root", self.path], check=True)
        ppm = subprocess.run(["convert", self.path, "ppm:-"], check=True, capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.width = int(header.group(1))
        self.pixels = ppm[header.end():]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count(self, left, top, right, bottom, predicate):
        return sum(predicate(self.at(x, y)) for y in range(top, bottom) for x in range(left, right))


class Gallery:
    """One kit_gallery.exe; its stdout lines arrive on a queue."""

    def __init__(self):
        self.process = subprocess.Popen([ARGS.wine, ARGS.exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.expect("ready")
        self.run("text")  # the message loop runs
        time.sleep(0.3)  # and the windows are on the display

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def expect(self, prefix, timeout=15):
        """The next line starting with prefix; lines before it are returned too, as a list."""
        seen = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(deadline - time.monotonic(), 0.01))
            except queue.Empty:
                raise AssertionError(f"no line starting {prefix!r}; saw {seen}")
            seen.append(line)
            if line.startswith(prefix):
                return line, seen[:-1]

    def run(self, command):
        """Sends a command and returns the lines it printed before its done line."""
        self.send(command)
        return self.expect("done " + command.split()[0])[1]

    def quiet(self, seconds=0.4):
        """Lines that arrive within a short while (notifications the window received)."""
        time.sleep(seconds)
        lines = []
        while not self.lines.empty():
            lines.append(self.lines.get())
        return lines

    def windows(self):
        result = {}
        for line in self.run("windows"):
            fields = dict(re.findall(r"(\w+)=([^ ]*(?: [^=]*$)?)", line))
            result.setdefault(fields["class"], []).append(fields)
        return result

    def wait_for_window(self, window_class, present=True, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.windows().get(window_class, [])
            if bool(found) == present:
                return found
            time.sleep(0.1)
        raise AssertionError(f"{window_class} {'never appeared' if present else 'stayed open'}")

    def close(self):
        if self.process.poll() is None:
            self.send("close")
            try:
                self.process.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()


def near(actual, expected, tolerance=3):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def rect_of(window):
    return tuple(map(int, window["rect"].split(",")))


class KitTest(unittest.TestCase):
    def setUp(self):
        xdotool("mousemove", 630, 390)
        self.gallery = Gallery()
        self.addCleanup(self.gallery.close)

    def assertColour(self, shot, x, y, expected, tolerance=3):
        actual = shot.at(x, y)
        self.assertTrue(near(actual, expected, tolerance), f"pixel ({x},{y}) is {actual}, expected {expected}")


class Controls(KitTest):
    def test_each_control_paints_its_state(self):
        shot = Screenshot("controls")
        self.assertColour(shot, 5, 5, WINDOW_BG)
        self.assertColour(shot, 25, 24, CONTROL_BG)  # the label's flat background
        self.assertColour(shot, 245, 24, CONTROL_BG)  # the empty label paints only that
        self.assertEqual(shot.count(240, 20, 340, 50, lambda p: p != CONTROL_BG), 0)
        self.assertGreater(shot.count(20, 20, 220, 50, lambda p: min(p) > 200), 20, "white label text")
        # Rounded corners show the window background; the face inside is the resting grey gradient.
        for corner in ((20, 70), (139, 70), (20, 101), (139, 101)):
            self.assertColour(shot, *corner, WINDOW_BG)
        self.assertTrue(60 <= shot.at(30, 80)[0] <= 66 and shot.at(30, 80)[0] == shot.at(30, 80)[2])
        self.assertTrue(54 <= shot.at(30, 96)[0] < shot.at(30, 80)[0])
        # Disabled: darker face, grey caption, no white.
        self.assertTrue(34 <= shot.at(330, 86)[0] <= 46)
        self.assertGreater(shot.count(320, 70, 440, 102, lambda p: near(p, TEXT_DISABLED, 12)), 5)
        self.assertEqual(shot.count(320, 70, 440, 102, lambda p: min(p) > 200), 0)
        # The gear sits 10 px in from the hotkey button's left edge, the caption right of it.
        self.assertGreater(shot.count(170, 78, 186, 94, lambda p: min(p) > 150), 5)
        # Slider at 25 of 0..100, 300 px wide: the thumb starts 25 * 262 / 100 + 12 = 77 px in.
        self.assertColour(shot, 20 + 84, 142, (170, 170, 170))
        self.assertTrue(near(shot.at(20 + 40, 142), (80, 160, 250), 12), shot.at(60, 142))
        self.assertColour(shot, 20 + 200, 142, (62, 62, 62))
        self.assertColour(shot, 20, 130, WINDOW_BG)
        # Disabled slider at 50 of 200 px: grey thumb at 81 + 12, grey fill.
        self.assertColour(shot, 340 + 100, 142, (120, 120, 120))
        self.assertColour(shot, 340 + 40, 142, (68, 68, 68))
        self.assertColour(shot, 340 + 150, 142, (52, 52, 52))
        self.assertEqual(self.gallery.run("text"), ["text status=Status: ready button=Ctrl+F2 value=25"])

    def test_buttons_click_only_when_pressed_and_released_inside(self):
        xdotool("mousemove", 80, 86)
        time.sleep(0.3)
        hovered = Screenshot("button-hovered")
        # The top edge traced at y = 70.5 lands on row 70 or, under Wine's GDI+, row 71.
        self.assertTrue(near(hovered.at(80, 70), ACCENT, 30) or near(hovered.at(80, 71), ACCENT, 30), "accent border")
        self.assertTrue(82 <= hovered.at(30, 80)[0] <= 90, f"hovered face {hovered.at(30, 80)}")
        xdotool("click", 1)
        self.assertEqual(self.gallery.expect("command")[0], "command id=201 code=0")
        self.assertEqual(self.gallery.quiet(), [], "exactly one click")
        xdotool("mousedown", 1)
        time.sleep(0.2)
        pressed = Screenshot("button-pressed")
        self.assertTrue(45 <= pressed.at(30, 80)[0] <= 52, f"pressed face {pressed.at(30, 80)}")
        xdotool("mousemove", 80, 250)
        time.sleep(0.2)
        xdotool("mouseup", 1)
        xdotool("mousemove", 380, 86, "click", 1)  # the disabled button
        self.assertEqual(self.gallery.quiet(), [])

    def test_slider_follows_clicks_and_drags_not_keys(self):
        # 300 px wide: x = 150 in the client is 134 px into the 268 px span, value 50.
        xdotool("mousemove", 170, 142, "click", 1)
        self.assertEqual(self.gallery.expect("hscroll")[0], "hscroll id=301 code=5 value=50 full=50")
        xdotool("mousedown", 1)
        for x in range(180, 320, 20):
            xdotool("mousemove", x, 142)
        xdotool("mousemove", 900, 150)
        dragged = self.gallery.quiet()
        xdotool("mouseup", 1)
        values = [int(re.search(r"value=(\d+)", line).group(1)) for line in dragged]
        self.assertEqual(values, sorted(set(values)), "every change once, in order")
        self.assertEqual(values[-1], 100)
        time.sleep(0.2)
        shot = Screenshot("slider-at-100")
        self.assertColour(shot, 20 + 274 + 7, 142, (170, 170, 170))  # thumb at 100 * 262 / 100 + 12
        xdotool("key", "Left", "Right", "Home")
        xdotool("mousemove", 575, 142, "click", 1)  # 30 px wide: too narrow to take clicks
        self.assertEqual(self.gallery.quiet(), [])
        self.gallery.run("set-value 150")
        self.assertEqual(self.gallery.run("text"), ["text status=Status: ready button=Ctrl+F2 value=100"])
        self.gallery.run("set-status Status: Connected")
        self.assertEqual(self.gallery.run("text")[0].split(" button")[0], "text status=Status: Connected")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe", "--shots"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.shots, exist_ok=True)
    # No window manager runs on the test display: Wine must not wait for one each time a window it let
    # a manager handle is hidden (two seconds per menu tier or dialog otherwise).
    subprocess.run([ARGS.wine, "reg", "add", r"HKCU\Software\Wine\AppDefaults\kit_gallery.exe\X11 Driver",
                    "/v", "Managed", "/d", "N", "/f"], check=True, capture_output=True)
    unittest.main(argv=[sys.argv[0], "-v", *rest])
