#!/usr/bin/env python3
"""The widget kit and the two data views as a person meets them: gallery.exe under Wine on the private X
display, driven with xdotool, looked at through screenshots, and asked through its stdin what its windows
received.

    gallery_e2e.py --wine build/win64/wine-run.sh --exe gallery.exe
Screenshots stay in BRISQUEL_SHOTS_DIR (default: the working directory) as test artefacts.
"""
import argparse
import collections
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
Window = collections.namedtuple("Window", "rect client title")  # client: screen origin and size
WINDOW_BG, CONTROL_BG, ACCENT, TEXT_DISABLED = (30, 30, 30), (45, 45, 45), (110, 185, 255), (100, 100, 100)
RED, AMBER, GREEN, STALE = (255, 0, 0), (255, 200, 0), (0, 200, 0), (128, 128, 128)
TRACK = (60, 60, 60)


def xdotool(*args, settle=0.0):
    subprocess.run(["xdotool", *map(str, args)], check=True)
    time.sleep(settle)


def near(actual, expected, tolerance=3):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class Gallery:
    """gallery.exe: its stdout lines arrive on a queue, commands (see its runCommand) go to its stdin."""

    def __init__(self):
        self.process = subprocess.Popen([ARGS.wine, ARGS.exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True, bufsize=1)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        self.expect("ready", 30)
        self.run("value")  # the message loop runs
        time.sleep(0.3)  # and the windows are on the display

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip("\n"))

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def run(self, command):
        """Sends a command and returns the lines it printed before its done line."""
        self.send(command)
        return self.expect("done " + command.split()[0])[1]

    def expect(self, prefix, timeout=15):
        """The next line starting with prefix, and the lines before it."""
        seen = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(deadline - time.monotonic(), 0.01))
            except queue.Empty:
                raise AssertionError(f"no line starting {prefix!r}; saw {seen}")
            if line.startswith(prefix):
                return line, seen
            seen.append(line)

    def quiet(self, seconds=0.5):
        """Lines that arrive within a short while (notifications the window received)."""
        time.sleep(seconds)
        lines = []
        while not self.lines.empty():
            lines.append(self.lines.get())
        return lines

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
        self.process.stdin.close()
        self.process.stdout.close()

    def windows(self):
        """This program's visible windows by class."""
        result = {}
        for line in self.run("windows"):
            if not line.startswith("window "):
                continue
            _, cls, *numbers, title = line.split(" ", 10)
            numbers = tuple(map(int, numbers))
            result.setdefault(cls, []).append(Window(numbers[:4], numbers[4:], title))
        return result

    def wait_for_window(self, window_class, present=True, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            found = self.windows().get(window_class, [])
            if bool(found) == present:
                return found
            time.sleep(0.1)
        raise AssertionError(f"{window_class} {'never appeared' if present else 'stayed open'}")


class KitTest(unittest.TestCase):
    def setUp(self):
        xdotool("mousemove", 630, 390)
        self.gallery = Gallery()
        self.addCleanup(self.gallery.close)

    def assertColour(self, shot, x, y, expected, tolerance=3):
        actual = shot.pixel(x, y)
        self.assertTrue(near(actual, expected, tolerance), f"pixel ({x},{y}) is {actual}, expected {expected}")


class Controls(KitTest):
    def test_each_control_paints_its_state(self):
        shot = Screen("controls")
        self.assertColour(shot, 5, 5, WINDOW_BG)
        self.assertColour(shot, 25, 24, CONTROL_BG)  # the label's flat background
        self.assertColour(shot, 245, 24, CONTROL_BG)  # the empty label paints only that
        self.assertEqual(shot.count(240, 20, 340, 50, lambda p: p != CONTROL_BG), 0)
        self.assertGreater(shot.count(20, 20, 220, 50, lambda p: min(p) > 200), 20, "white label text")
        # Rounded corners show the window background; the face inside is the resting grey gradient.
        for corner in ((20, 70), (139, 70), (20, 101), (139, 101)):
            self.assertColour(shot, *corner, WINDOW_BG)
        self.assertTrue(60 <= shot.pixel(30, 80)[0] <= 66 and shot.pixel(30, 80)[0] == shot.pixel(30, 80)[2])
        self.assertTrue(54 <= shot.pixel(30, 96)[0] < shot.pixel(30, 80)[0])
        # Disabled: darker face, grey caption, no white.
        self.assertTrue(34 <= shot.pixel(330, 86)[0] <= 46)
        self.assertGreater(shot.count(320, 70, 440, 102, lambda p: near(p, TEXT_DISABLED, 12)), 5)
        self.assertEqual(shot.count(320, 70, 440, 102, lambda p: min(p) > 200), 0)
        # The gear sits 10 px in from the hotkey button's left edge, the caption right of it.
        self.assertGreater(shot.count(170, 78, 186, 94, lambda p: min(p) > 150), 5)
        # Slider at 25 of 0..100, 300 px wide: the thumb starts 25 * 262 / 100 + 12 = 77 px in.
        self.assertColour(shot, 20 + 84, 142, (170, 170, 170))
        self.assertTrue(near(shot.pixel(20 + 40, 142), (80, 160, 250), 12), shot.pixel(60, 142))
        self.assertColour(shot, 20 + 200, 142, (62, 62, 62))
        self.assertColour(shot, 20, 130, WINDOW_BG)
        # Disabled slider at 50 of 200 px: grey thumb at 81 + 12, grey fill.
        self.assertColour(shot, 340 + 100, 142, (120, 120, 120))
        self.assertColour(shot, 340 + 40, 142, (68, 68, 68))
        self.assertColour(shot, 340 + 150, 142, (52, 52, 52))

    def test_buttons_click_only_when_pressed_and_released_inside(self):
        xdotool("mousemove", 80, 86, settle=0.3)
        hovered = Screen("button-hovered")
        # The top edge traced at y = 70.5 lands on row 70 or, under Wine's GDI+, row 71.
        self.assertTrue(near(hovered.pixel(80, 70), ACCENT, 30) or near(hovered.pixel(80, 71), ACCENT, 30), "accent border")
        self.assertTrue(82 <= hovered.pixel(30, 80)[0] <= 90, f"hovered face {hovered.pixel(30, 80)}")
        xdotool("click", 1)
        self.assertEqual(self.gallery.expect("command")[0], "command id=201 code=0")
        self.assertEqual(self.gallery.quiet(), [], "exactly one click")
        xdotool("mousedown", 1, settle=0.2)
        pressed = Screen("button-pressed")
        self.assertTrue(45 <= pressed.pixel(30, 80)[0] <= 52, f"pressed face {pressed.pixel(30, 80)}")
        xdotool("mousemove", 80, 250, settle=0.2)
        xdotool("mouseup", 1)
        xdotool("mousemove", 380, 86, "click", 1)  # the disabled button
        self.assertEqual(self.gallery.quiet(), [])
        # A press that loses the mouse capture (Alt+Tab) is over: releasing on the button clicks nothing.
        xdotool("mousemove", 80, 86, "mousedown", 1, settle=0.2)
        self.gallery.run("release-capture")
        xdotool("mouseup", 1)
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
        shot = Screen("slider-at-100")
        self.assertColour(shot, 20 + 274 + 7, 142, (170, 170, 170))  # thumb at 100 * 262 / 100 + 12
        xdotool("key", "Left", "Right", "Home")
        xdotool("mousemove", 575, 142, "click", 1)  # 30 px wide: too narrow to take clicks
        self.assertEqual(self.gallery.quiet(), [])
        self.gallery.run("set-value 150")
        self.assertEqual(self.gallery.run("value"), ["value=100"])
        # A drag that loses the mouse capture (Alt+Tab) is over: hovering afterwards moves nothing.
        xdotool("mousemove", 170, 142, "mousedown", 1, "mousemove", 200, 142, settle=0.2)
        self.gallery.run("release-capture")
        xdotool("mousemove", 900, 600, "mouseup", 1)
        self.gallery.quiet()
        xdotool("mousemove", 100, 142, "mousemove", 250, 142)
        self.assertEqual(self.gallery.quiet(), [])
        self.assertEqual(self.gallery.run("value"), ["value=61"])


class Dialogs(KitTest):
    def open(self, command, window_class):
        self.gallery.send(command)
        return self.gallery.wait_for_window(window_class)[0]

    def assert_owner_in_front(self):
        """A dialog that closes hands the activation back to the window it was over, by itself."""
        lines = self.gallery.run("foreground")  # after the done line of the command that opened the dialog
        self.assertEqual(lines[-1], "foreground=1")

    def test_confirmation_answers_yes_no_and_keeps_one_open(self):
        g = self.gallery
        dialog = self.open("confirm", "OrlixConfirmDialog")
        x, y, width, height = dialog.client
        self.assertGreaterEqual(width, 200)
        # Hovering moves the accent border from Yes to No.
        yes, no = (x + width // 2 - 40, y + height - 34), (x + width // 2 + 40, y + height - 34)
        xdotool("mousemove", *yes, settle=0.3)
        on_yes = Screen("confirm-hover-yes")
        xdotool("mousemove", *no, settle=0.3)
        on_no = Screen("confirm-hover-no")
        top = y + height - 48

        def accent(shot, bx):
            return near(shot.pixel(bx, top), ACCENT, 30) or near(shot.pixel(bx, top + 1), ACCENT, 30)
        self.assertEqual((accent(on_yes, yes[0]), accent(on_yes, no[0])), (True, False))
        self.assertEqual((accent(on_no, yes[0]), accent(on_no, no[0])), (False, True))
        self.assertColour(on_no, x + 5, y + 5, WINDOW_BG)
        self.assertGreater(on_no.count(x + 20, y + 20, x + width - 20, y + 40, lambda p: near(p, (220, 220, 220), 10)), 10)

        # A second confirmation while this one is open returns at once and leaves it be.
        self.assertEqual(g.run("confirm"), ["confirm=0"])
        self.assertEqual(len(g.windows()["OrlixConfirmDialog"]), 1)
        xdotool("click", 1)
        self.assertEqual(g.expect("confirm=")[0], "confirm=0")
        self.open("confirm", "OrlixConfirmDialog")
        xdotool("key", "Return")
        self.assertEqual(g.expect("confirm=")[0], "confirm=1")
        self.assert_owner_in_front()

    def test_quit_during_a_dialog_closes_it_and_ends_the_program(self):
        self.open("confirm", "OrlixConfirmDialog")
        self.gallery.send("post-quit 7")
        self.assertEqual(self.gallery.expect("confirm=")[0], "confirm=0")
        self.assertEqual(self.gallery.expect("exit")[0], "exit code=7")
        self.assertEqual(self.gallery.process.wait(timeout=10), 7)

    def test_notification_closes_on_keys_and_by_itself(self):
        g = self.gallery
        note = self.open("notify 0", "OrlixNotification")
        x, y, width, height = note.client
        shot = Screen("notification")
        self.assertColour(shot, x + 5, y + 5, WINDOW_BG)
        self.assertColour(shot, x, y + 5, (80, 80, 80))  # the frame
        warning = shot.count(x + 20, y + 20, x + width - 20, y + 40, lambda p: near(p, (255, 200, 100), 20))
        self.assertGreater(warning, 10, "the warning title line")
        self.assertEqual(g.run("notify 0")[0][:len("notify closed")], "notify closed", "a second one returns")
        self.assertEqual(len(g.windows()["OrlixNotification"]), 1)
        xdotool("key", "Escape")
        g.expect("notify closed")
        self.assert_owner_in_front()
        g.send("notify 1200")
        after = int(g.expect("notify closed")[0].split("=")[1])
        self.assertTrue(1100 <= after < 4000, after)
        self.assert_owner_in_front()

    def test_help_opens_once_and_takes_new_text(self):
        g = self.gallery
        help_window = self.open("help", "OrlixHelpDialog")
        self.assertEqual(help_window.title, "Brisquel - Help")
        self.assertEqual(help_window.client[2], 700)
        Screen("help-dialog")
        self.assertEqual(g.run("help Second text"), ["help closed"])
        self.assertEqual(len(g.windows()["OrlixHelpDialog"]), 1)
        xdotool("key", "Escape")
        g.expect("help closed")
        g.wait_for_window("OrlixHelpDialog", present=False)
        self.assert_owner_in_front()


class Menu(KitTest):
    def tiers(self):
        return sorted((w.rect for w in self.gallery.windows().get("OrlixDarkPopupMenuTier", [])))

    def outcome(self):
        """What the menu delivered: lines while it closed and those the window received right after."""
        return self.gallery.expect("done menu")[1] + self.gallery.quiet()

    def open_menu(self, x=100, y=100):
        self.gallery.send(f"menu {x} {y}")
        self.gallery.wait_for_window("OrlixDarkPopupMenuTier")

    def test_cascades_with_the_mouse_and_chooses(self):
        g = self.gallery
        self.open_menu()
        # Five 28 px rows and a 9 px separator under an 8 px margin; narrow labels give 160 px.
        self.assertEqual(self.tiers(), [(100, 100, 260, 257)])
        xdotool("mousemove", 150, 150, settle=0.3)  # Options
        root, sub = self.tiers()
        self.assertEqual(root, (100, 100, 260, 257))
        self.assertEqual((sub[0], sub[1], sub[3]), (260, 136, 228))  # beside the row, three rows tall
        self.assertGreaterEqual(sub[2] - sub[0], 160)
        shot = Screen("menu-submenu")
        self.assertTrue(55 <= shot.pixel(110, 150)[0] <= 70, f"hovered row {shot.pixel(110, 150)}")
        self.assertGreater(shot.count(268, 142, 284, 158, lambda p: near(p, (0, 120, 215), 40)), 3, "check mark")
        self.assertGreater(shot.count(240, 140, 252, 160, lambda p: min(p) > 150), 3, "submenu arrow")
        xdotool("mousemove", 300, 150)
        xdotool("mousemove", 300, 214, settle=0.3)  # Deeper
        self.assertEqual(self.tiers()[2], (sub[2], 200, sub[2] + 160, 236))
        xdotool("mousemove", 300, 186, "click", 1, settle=0.3)  # the disabled option: nothing happens
        self.assertEqual(len(self.tiers()), 2, "moving onto a disabled row closed the deeper tier only")
        xdotool("mousemove", 300, 214, settle=0.3)
        xdotool("mousemove", sub[2] - 10, 214, "mousemove", sub[2] + 30, 222, "click", 1)
        self.assertEqual(self.outcome(), ["command id=3010 code=0"])
        self.assertEqual(self.tiers(), [])

        choices = [(150, 187, ["action ran"]), (150, 215, []), (150, 243, ["command id=2002 code=0"])]
        for x, y, expected in choices:
            self.open_menu()
            xdotool("mousemove", 150, 168, "click", 1)  # the separator
            xdotool("mousemove", 150, 150, "click", 1, settle=0.2)  # a submenu parent
            self.assertEqual(len(self.tiers()), 2)
            xdotool("mousemove", x, y, "click", 1)
            self.assertEqual(self.outcome(), expected)

    def test_outside_click_closes_and_reaches_its_window(self):
        for button in (1, 3):
            self.open_menu()
            xdotool("mousemove", 600, 380, "click", button)
            self.gallery.expect("done menu")
            self.assertEqual(self.gallery.expect("click")[0], "click x=600 y=380")

    def test_closes_when_another_window_takes_the_foreground(self):
        self.open_menu()
        time.sleep(0.5)  # the watchdog has seen the menu in front
        self.gallery.send("activate")
        self.gallery.expect("done menu", timeout=2)
        self.assertEqual(self.tiers(), [])

    def test_quit_during_the_menu_ends_the_program(self):
        self.open_menu()
        self.gallery.send("post-quit 3")
        self.gallery.expect("done menu")
        self.assertEqual(self.gallery.process.wait(timeout=10), 3)

    def test_opens_leftwards_and_upwards_near_the_edges(self):
        self.open_menu(1000, 900)
        # 1000 lies in the right 30 % of 1280, though a tier would fit to its right; 900 + 157 passes the
        # bottom, so the tier ends 28 px below 900.
        self.assertEqual(self.tiers(), [(840, 771, 1000, 928)])
        xdotool("mousemove", 900, 821, settle=0.3)  # Options opens leftwards too
        self.assertEqual(self.tiers()[0][2], 840)
        Screen("menu-leftwards")
        xdotool("mousemove", 600, 380, "click", 1)
        self.gallery.expect("done menu")


class Resources(KitTest):
    def counts(self, command):
        lines = self.gallery.run(command)
        return [re.search(r"gdi=(\d+) user=(\d+)", line).groups() for line in lines if line.startswith("counts")]

    def test_painting_and_menus_leave_no_objects_behind(self):
        self.counts("stress-paint 20")
        before, after = self.counts("stress-paint 500")
        self.assertEqual(before, after)
        self.counts("stress-menu 5")
        before, after = self.counts("stress-menu 50")
        self.assertEqual(before, after)
        self.assertGreater(int(before[0]), 0)


def settled(*args):
    xdotool(*args, settle=0.3)  # each step leaves the lists time to repaint


class ViewsTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.gallery = Gallery()
        cls.gallery.run("views")
        time.sleep(1)

    @classmethod
    def tearDownClass(cls):
        cls.gallery.close()

    def setUp(self):
        settled("mousemove", 700, 580)
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
        settled("mousemove", 600, 100)
        for _ in range(3):
            settled("click", 5)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=3"])
        # Over the strip the thumb lights up.
        settled("mousemove", 784, 150)
        self.assertEqual(Screen().pixel(784, 40), (100, 100, 100))
        # 30 rows, 5 visible in 200 pixels: the thumb is 33 long and at position 3 starts 20 pixels down.
        settled("mousemove", 784, 10 + 30)
        settled("mousedown", 1)
        settled("mousemove", 784, 10 + 90)
        self.assertEqual(Screen().pixel(784, 10 + 90), (120, 120, 120))
        settled("mouseup", 1)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=12"])
        # A click in the strip above the thumb pages up by the five visible rows.
        settled("click", 1)
        settled("mousemove", 784, 15, "click", 1)
        self.assertEqual(self.gallery.quiet()[-1:], ["scroll overflowing=7"])
        # The scaled list scrolls with the wheel as well.
        settled("mousemove", 600, 300, "click", 5)
        self.assertEqual(self.gallery.quiet(), ["scroll scaled=1"])

    def test_3_combo_box_by_mouse_and_keyboard(self):
        combo = (100, 355)
        settled("mousemove", *combo, "click", 1)
        self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=0"])
        shot = Screen("views-combo-open")
        # The list opens right below the field with the counts after the names; the selected row is marked.
        self.assertEqual(shot.pixel(240, 375), (47, 74, 105))
        self.assertTrue(any(g > 150 and r < 60 and b < 60 for r, g, b in shot.region(15, 370 + 56, 150, 370 + 84)))
        settled("mousemove", 100, 370 + 70, "click", 1)
        self.assertEqual(self.gallery.quiet(),
                         ["command id=1001 code=1 selected=2", "command id=1001 code=8 selected=2"])

        settled("mousemove", *combo, "click", 1)
        settled("key", "Up")
        settled("key", "Return")
        self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=2",
                                                "command id=1001 code=1 selected=1",
                                                "command id=1001 code=8 selected=1"])
        for close in (("key", "Escape"), ("mousemove", 700, 560, "click", 1)):
            with self.subTest(close=close[0]):
                settled("mousemove", *combo, "click", 1)
                settled(*close)
                self.assertEqual(self.gallery.quiet(), ["command id=1001 code=7 selected=1",
                                                        "command id=1001 code=8 selected=1"])


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for name in ("--wine", "--exe"):
        parser.add_argument(name, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], "-v", *rest])
