#!/usr/bin/env python3
"""The widget kit and the two data views as a person meets them: gallery.exe under Wine on the private X
display, driven with xdotool, looked at through screenshots, and asked through its stdin what its windows
received. Each case is a row: the steps a person takes and the lines the program prints meanwhile.

    gallery_e2e.py --wine build/win64/wine-run.sh --exe gallery.exe
Screenshots stay in BRISQUEL_SHOTS_DIR (default: the working directory) as test artefacts.
"""
import argparse
import collections
import contextlib
import os
import queue
import re
import subprocess
import sys
import threading
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from screen import Screen  # noqa: E402

ARGS = None


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


class Gallery:
    """gallery.exe: its stdout lines arrive on a queue, commands (see its runCommand) go to its stdin."""

    def __init__(self):
        self.process = subprocess.Popen([ARGS.wine, ARGS.exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.lines, self.heard = queue.Queue(), []
        threading.Thread(target=self._read, daemon=True).start()
        self.ask("foreground", timeout=30)  # the message loop runs
        time.sleep(0.3)  # and the window is on the display

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def ask(self, query, timeout=15):
        """Sends a command and returns the lines printed before its done line."""
        self.send(query)
        done, lines = "done " + query.split()[0], []
        try:
            while (line := self.lines.get(timeout=timeout)) != done:
                lines.append(line)
        except queue.Empty:
            raise AssertionError(f"no {done!r} after {lines}")
        return lines

    def listen(self, seconds=0.3, at_least=0, timeout=2):
        """Adds the lines that arrive within a short while, and then until there are at_least, to heard."""
        time.sleep(seconds)
        deadline = time.monotonic() + timeout
        while not self.lines.empty() or (len(self.heard) < at_least and time.monotonic() < deadline):
            with contextlib.suppress(queue.Empty):
                self.heard.append(self.lines.get(timeout=0.05))

    def open(self, command, window_class, timeout=10):
        """Sends a command that opens a window and returns the window's rectangle once it shows."""
        self.send(command)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.ask("windows " + window_class)
            if found:
                return tuple(map(int, found[0].split()[1:]))
            time.sleep(0.1)
        raise AssertionError(f"{window_class} never appeared")

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()


# A step is an xdotool command line (a tuple), a command for the program (a string), a pause in seconds,
# ("open", command, class) to open a window and wait for it, ("shot", name[, what, check]) for a screenshot
# (check: a function of it and the opened window's rectangle that must hold), ("windows", class) to print where
# those windows are, or a function of the opened window's rectangle giving an xdotool command line.
# heard: the lines printed meanwhile, each a regular expression.
Case = collections.namedtuple("Case", "name steps heard")
TIER = "OrlixDarkPopupMenuTier"
CONFIRM, MENU = ("open", "confirm", "OrlixConfirmDialog"), ("open", "menu 100 100", TIER)
BUTTON, SLIDER = ("mousemove", 80, 86), ("mousemove", 170, 142)
IN_FRONT = ["foreground=1", "done foreground"]  # a closed dialog handed the activation back by itself


ACCENT = (110, 185, 255)


def near(actual, expected, tolerance):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


def accent_edge(shot, x, y):
    """The accent border of a hovered button; its top edge lands on row y or, under Wine's GDI+, the next."""
    return near(shot.pixel(x, y), ACCENT, 30) or near(shot.pixel(x, y + 1), ACCENT, 30)


def hovered_answer(yes):
    """Only the hovered one of the confirmation's Yes and No, 40 px left and right of its middle, has the accent."""
    return lambda shot, r: [accent_edge(shot, (r[0] + r[2]) // 2 + dx, r[3] - 50) for dx in (-40, 40)] == [yes, not yes]


def click(x, y, button=1):
    return "mousemove", x, y, "click", button


def on_answer(dx):
    return lambda rect: ("mousemove", (rect[0] + rect[2]) // 2 + dx, rect[3] - 34)


def combo(code, selected):
    return f"combo code={code} selected={selected}"


AWAY, COMBO = click(700, 600), click(500, 395)
CASES = [
    Case("a click on a button",
         [BUTTON, ("shot", None, "hovered: accent border, lighter face",
                   lambda shot, _: accent_edge(shot, 80, 70) and 82 <= shot.pixel(30, 80)[0] <= 90), ("click", 1)],
         ["command id=201 code=0"]),
    Case("a press released outside the button",
         [BUTTON, ("mousedown", 1),
          ("shot", "button-pressed", "pressed: darker face", lambda shot, _: 45 <= shot.pixel(30, 80)[0] <= 52),
          ("mousemove", 80, 250), ("mouseup", 1)], []),
    Case("a press that loses the capture (Alt+Tab)", [BUTTON, ("mousedown", 1), "release-capture", ("mouseup", 1)],
         ["done release-capture"]),
    # 300 px wide: x = 150 in the client is 134 px into the 268 px span, value 50.
    Case("a click on the slider", [SLIDER, ("click", 1)], ["hscroll code=5 value=50"]),
    Case("the slider takes no keys", [("key", "Left", "Right", "Home")], []),
    Case("a drag that loses the capture is over",
         [SLIDER, ("mousedown", 1), ("mousemove", 200, 142), "release-capture", ("mousemove", 900, 600),
          ("mouseup", 1), ("mousemove", 100, 142), ("mousemove", 250, 142)],
         ["hscroll code=5 value=61", "done release-capture"]),
    Case("Return answers the confirmation Yes", [CONFIRM, ("key", "Return"), "foreground"],
         ["confirm=1", "done confirm", *IN_FRONT]),
    Case("Escape answers No", [CONFIRM, ("key", "Escape")], ["confirm=0", "done confirm"]),
    Case("a second confirmation returns at once; No answers the first",
         [CONFIRM, on_answer(-40), ("shot", None, "the accent on Yes", hovered_answer(True)), on_answer(40),
          ("shot", "confirm-hover-no", "the accent on No", hovered_answer(False)), "confirm", ("click", 1)],
         ["confirm=0", "done confirm", "confirm=0", "done confirm"]),
    # Options opens its submenu beside it: the disabled row there takes no click, Leaf does.
    Case("the menu cascades and chooses", [MENU, ("mousemove", 150, 150), click(300, 186), click(300, 214)],
         ["done menu", "command id=3010 code=0"]),
    Case("the separator and a submenu parent take no click; a row posts its id",
         [MENU, click(150, 168), click(150, 150), click(150, 215)], ["done menu", "command id=2002 code=0"]),
    Case("a row without an id posts nothing", [MENU, click(150, 187)], ["done menu"]),
    Case("a left click outside closes the menu and reaches its window", [MENU, AWAY],
         ["done menu", "click x=700 y=600"]),
    Case("a right click too", [MENU, click(700, 600, 3)], ["done menu", "click x=700 y=600"]),
    Case("the menu closes when another window takes the foreground", [MENU, 0.5, "activate"],
         ["done activate", "done menu"]),
    # 1000 lies in the right 30 % of 1280; 900 + 129 passes the bottom, so the tier ends 28 px below 900.
    Case("the menu opens leftwards and upwards near the edges, and so does its submenu",
         [("open", "menu 1000 900", TIER), ("windows", TIER), ("mousemove", 900, 849), ("windows", TIER),
          ("shot", "menu-leftwards"), AWAY],
         ["window 840 799 1000 928", r"window \d+ \d+ 840 \d+", "window 840 799 1000 928", "done menu",
          "click x=700 y=600"]),
    # The overflowing list at (410, 170), 380 x 200: 30 rows of 40 px, its scrollbar strip at x = 778..789.
    Case("a wheel notch scrolls the list one row", [click(600, 260, 5)], ["scroll=1"]),
    Case("a click in the strip below the thumb pages down", [click(784, 310)], ["scroll=6"]),
    Case("dragging the thumb", [("mousemove", 784, 230), ("mousedown", 1), ("mousemove", 784, 290), ("mouseup", 1)],
         ["scroll=15"]),
    Case("a click in the strip above the thumb pages up", [click(784, 175)], ["scroll=10"]),
    Case("the combo box opens below its field and takes a click on a row",
         [COMBO, ("shot", "views-combo-open"), click(500, 480)], [combo(7, 0), combo(1, 2), combo(8, 2)]),
    Case("Up and Return choose the row above", [COMBO, ("key", "Up"), ("key", "Return")],
         [combo(7, 2), combo(1, 1), combo(8, 1)]),
    Case("Escape closes it unchanged", [COMBO, ("key", "Escape")], [combo(7, 1), combo(8, 1)]),
    Case("a click elsewhere closes it unchanged", [COMBO, click(700, 560)], [combo(7, 1), combo(8, 1)]),
    Case("a quit during the menu ends the program", [MENU, "post-quit 3"],
         ["done post-quit", "done menu", "exit code=3"]),
    Case("a quit during a dialog closes it and ends the program", [CONFIRM, "post-quit 7"],
         ["done post-quit", "confirm=0", "done confirm", "exit code=7"]),
]


def differing_pixels(screen):
    """Pixels that differ between the list updated a few rows at a time and the same rows painted whole."""
    return sum(a != b for a, b in zip(screen.region(10, 500, 195, 700), screen.region(205, 500, 390, 700)))


class GalleryTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        xdotool("mousemove", 630, 390)
        cls.gallery = Gallery()

    @classmethod
    def tearDownClass(cls):
        cls.gallery.close()

    def running(self):
        """The gallery, started again if a case ended it."""
        if self.gallery.process.poll() is not None:
            self.gallery.close()
            type(self).gallery = Gallery()
        return self.gallery

    def test_1_each_control_and_list_paints_its_state(self):
        shot = Screen("gallery", crop=(0, 0, 800, 710))
        self.assertGreater(shot.count(20, 20, 220, 50, lambda p: min(p) > 200), 20, "white label text")
        self.assertGreater(shot.count(20, 70, 140, 102, lambda p: min(p) > 200), 5, "white caption")
        # The empty list says "Unknown" in grey; its brightest pixel is the text colour.
        self.assertEqual(max(shot.region(10, 380, 390, 480)), (150, 150, 150))
        self.running().ask("update-rows")
        deadline = time.monotonic() + 3
        while differing_pixels(shot) and time.monotonic() < deadline:
            time.sleep(0.2)
            shot = Screen()
        self.assertEqual(differing_pixels(shot), 0)

    def test_2_painting_and_menus_leave_no_objects_behind(self):
        g = self.running()
        for command, warm_up, times in (("stress-paint", 20, 500), ("stress-menu", 5, 50)):
            g.ask(f"{command} {warm_up}")
            before, after = g.ask(f"{command} {times}")
            self.assertEqual(before, after, command)
            self.assertRegex(before, "gdi=[1-9]")

    def test_3_cases(self):
        for case in CASES:
            with self.subTest(case.name):
                g, opened = self.running(), None
                g.heard = []
                for step in case.steps:
                    if callable(step):
                        xdotool(*step(opened))
                    elif isinstance(step, str):
                        g.send(step)
                    elif isinstance(step, float):
                        time.sleep(step)
                    elif step[0] == "open":
                        opened = g.open(*step[1:])
                    elif step[0] == "shot":
                        shot = Screen(step[1])
                        if len(step) > 2 and not step[3](shot, opened):
                            g.close()  # the next case starts afresh, whatever this one left open
                            self.fail(step[2])
                    elif step[0] == "windows":
                        g.heard += g.ask(" ".join(step))
                    else:
                        xdotool(*step)
                    g.listen()
                g.listen(at_least=len(case.heard))
                heard = g.heard
                matches = len(heard) == len(case.heard) and all(map(re.fullmatch, case.heard, heard))
                if not matches:
                    g.close()  # the next case starts afresh, whatever this one left open
                self.assertTrue(matches, f"heard {heard}, expected {case.heard}")
                if heard[-1:] and heard[-1].startswith("exit code="):
                    self.assertEqual(g.process.wait(timeout=10), int(heard[-1].split("=")[1]))


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
