#!/usr/bin/env python3
"""The two data views as a player sees and uses them: views_gallery.exe under Wine on the test display,
looked at through screenshots and driven with xdotool.

    views_gui.py --wine build/win64/wine-run.sh --exe views_gallery.exe
"""
import argparse
import os
import queue
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from screen import Screen  # noqa: E402

RED, AMBER, GREEN, STALE = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128)
TRACK = (60, 60, 60)
ARGS = None


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)
    time.sleep(0.3)


class Gallery:
    def __init__(self):
        self.process = subprocess.Popen([ARGS.wine, ARGS.exe], stdout=subprocess.PIPE, text=True)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.expect("ready", 30)
        time.sleep(1)

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.strip())

    def expect(self, wanted, timeout=5):
        """Waits for the line `wanted`; returns the lines that came before it."""
        before = []
        deadline = time.time() + timeout
        while time.time() < deadline:
            try:
                line = self.lines.get(timeout=0.1)
            except queue.Empty:
                continue
            if line == wanted:
                return before
            before.append(line)
        raise AssertionError(f"no {wanted!r} within {timeout} s; saw {before}")

    def quiet(self, seconds=0.5):
        """The lines printed within `seconds`."""
        time.sleep(seconds)
        seen = []
        while not self.lines.empty():
            seen.append(self.lines.get())
        return seen

    def close(self):
        self.process.kill()
        self.process.wait()


class ViewsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.gallery = Gallery()

    @classmethod
    def tearDownClass(cls):
        cls.gallery.close()

    def setUp(self):
        xdotool("mousemove", 700, 580)
        self.gallery.quiet(0.2)

    def test_1_rows_show_colour_length_and_staleness(self):
        screen = Screen("views-gallery")
        # The thresholds list at (10, 10), rows of 40 pixels: HP 24, 25, 49, 50 and a stale 80.
        for i, (hp, colour) in enumerate([(24, RED), (25, AMBER), (49, AMBER), (50, GREEN), (80, STALE)]):
            with self.subTest(hp=hp):
                line = screen.line(10 + 40 * i + 20, 10, 390)
                fill = sum(1 for p in line if p == colour) - (2 if colour == STALE else 0)  # the outline is grey too
                track = sum(1 for p in line if p == TRACK)
                self.assertGreater(fill + track, 150)
                self.assertAlmostEqual(fill / (fill + track + 1), hp / 100, delta=0.02)
                label = screen.region(12, 10 + 40 * i + 8, 120, 10 + 40 * i + 32)
                brightest = max(max(p) for p in label)
                self.assertEqual(brightest, 200 if colour == STALE else 255)
        # The empty list says "Unknown" in grey; its brightest pixel is the text colour.
        self.assertEqual(max(screen.region(10, 220, 390, 320)), (150, 150, 150))
        # Text scale 150 in a 300-pixel list: five whole rows of 60 pixels, each with its green bar.
        for i in range(5):
            self.assertIn(GREEN, screen.line(220 + 60 * i + 30, 600, 780), f"row {i}")
        # The overflowing list draws its scrollbar: the strip and, at the top, the thumb.
        self.assertEqual(screen.pixel(784, 150), (40, 40, 40))
        self.assertEqual(screen.pixel(784, 20), (80, 80, 80))
        # No scrollbar where every row fits.
        self.assertNotIn((40, 40, 40), screen.line(100, 378, 390))
        # A few rows changed and repainted alone look exactly like the same rows painted whole.
        deadline = time.monotonic() + 3
        while True:
            screen = Screen()
            updated, fresh = screen.region(10, 390, 195, 590), screen.region(205, 390, 390, 590)
            if updated == fresh or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        differing = sum(1 for a, b in zip(updated, fresh) if a != b)
        self.assertEqual(differing, 0, "pixels that differ between the updated list and the whole one")

    def test_2_wheel_drag_and_page(self):
        xdotool("mousemove", 600, 100)
        for _ in range(3):
            xdotool("click", 5)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=3"])
        # Over the strip the thumb lights up.
        xdotool("mousemove", 784, 150)
        self.assertEqual(Screen().pixel(784, 40), (100, 100, 100))
        # 30 rows, 5 visible in 200 pixels: the thumb is 33 long and at position 3 starts 20 pixels down.
        xdotool("mousemove", 784, 10 + 30)
        xdotool("mousedown", 1)
        xdotool("mousemove", 784, 10 + 90)
        self.assertEqual(Screen().pixel(784, 10 + 90), (120, 120, 120))
        xdotool("mouseup", 1)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=12"])
        # A click in the strip above the thumb pages up by the five visible rows.
        xdotool("click", 1)
        xdotool("mousemove", 784, 15)
        xdotool("click", 1)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=7"])
        # The scaled list scrolls with the wheel as well.
        xdotool("mousemove", 600, 300)
        xdotool("click", 5)
        self.assertEqual(self.gallery.quiet(), ["scroll scaled=1"])

    def test_3_combo_box_by_mouse_and_keyboard(self):
        combo = (100, 355)
        xdotool("mousemove", *combo)
        xdotool("click", 1)
        self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=0"])
        shot = Screen("views-combo-open")
        # The list opens right below the field with the counts after the names; the selected row is marked.
        self.assertEqual(shot.pixel(240, 375), (47, 74, 105))
        self.assertTrue(any(g > 150 and r < 60 and b < 60 for r, g, b in shot.region(15, 370 + 56, 150, 370 + 84)))
        xdotool("mousemove", 100, 370 + 70)
        xdotool("click", 1)
        self.assertEqual(self.gallery.quiet(),
                         ["command id=1001 code=1 selected=2", "command id=1001 code=8 selected=2"])

        xdotool("mousemove", *combo)
        xdotool("click", 1)
        xdotool("key", "Up")
        xdotool("key", "Return")
        self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=2",
                                                "command id=1001 code=1 selected=1",
                                                "command id=1001 code=8 selected=1"])
        for close in (("key", "Escape"), ("click", 1)):
            with self.subTest(close=close):
                xdotool("mousemove", *combo)
                xdotool("click", 1)
                if close[0] == "click":
                    xdotool("mousemove", 700, 560)
                xdotool(*close)
                self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=1",
                                                        "command id=1001 code=8 selected=1"])


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--wine", required=True)
    parser.add_argument("--exe", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
