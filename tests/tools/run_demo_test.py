#!/usr/bin/env python3
"""Runs scripts/run-demo as a new user would, headless and on a display: live rows, Ctrl+C, nothing left.
BRISQUEL_BUILD_DIR holds win64/ (the demo builds there); BRISQUEL_DEMO_DIR is the demo's own directory."""
import os
import re
import signal
import socket
import subprocess
import sys
import time
import unittest
from pathlib import Path

import brisquel_names as names

RUN_DEMO = Path(__file__).resolve().parents[2] / "scripts" / "run-demo"
LIVE_BARS = {(0, 200, 0), (255, 200, 0), (255, 0, 0)}
DEMO_DIR = Path(os.environ["BRISQUEL_DEMO_DIR"])


def start_demo(env):
    """run-demo in a session of its own, with Ctrl+C acting as in a terminal even if this test ignores it."""
    return subprocess.Popen([str(RUN_DEMO)], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True,
                            start_new_session=True, preexec_fn=lambda: signal.signal(signal.SIGINT, signal.SIG_DFL))


def leftovers(group):
    """Live processes the demo started: those of its process group (its Xvfb among them) and those of its Wine
    prefix (Wine starts its server and services in sessions of their own)."""
    found = []
    for entry in (e for e in Path("/proc").iterdir() if e.name.isdigit()):
        try:
            state, _, pgrp = (entry / "stat").read_text().rsplit(")", 1)[1].split()[:3]
            environ = (entry / "environ").read_bytes().split(b"\0")
            cmdline = (entry / "cmdline").read_bytes().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        if state != "Z" and (int(pgrp) == group or f"WINEPREFIX={DEMO_DIR / 'wineprefix'}".encode() in environ):
            found.append(f"{entry.name} {cmdline}")
    return found


class RunDemoTest(unittest.TestCase):
    def assertNothingLeft(self, group, within=5):
        deadline = time.monotonic() + within
        while leftovers(group) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(leftovers(group), [])

    def test_headless_run_shows_live_rows_on_a_free_port_and_stops_everything(self):
        with socket.socket() as taken:
            taken.bind(("127.0.0.1", 0))
            taken.listen()
            taken_port = taken.getsockname()[1]
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
            demo = start_demo(dict(env, BRISQUEL_DEMO_SECONDS="3", BRISQUEL_DEMO_PORT=str(taken_port)))
            output, _ = demo.communicate(timeout=300)
        self.assertEqual(demo.returncode, 0, output)
        self.assertIn(f"Port {taken_port} is taken; picking another", output)
        tracker_port = int(re.search(r"Demo tracker on http://127\.0\.0\.1:(\d+);", output).group(1))
        self.assertNotEqual(tracker_port, taken_port)
        display = re.search(r"running on private display (:\d+) ", output).group(1)
        shot = re.search(r"^Screenshot: (.+)$", output, re.M).group(1)

        # The overlay's window alone, with bars of live reports.
        size = subprocess.run(["identify", "-format", "%w %h", shot], capture_output=True, text=True, check=True)
        self.assertEqual(size.stdout, "450 700")
        data = subprocess.run(["convert", shot, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
        self.assertGreater(sum(tuple(data[i:i + 3]) in LIVE_BARS for i in range(0, len(data), 3)), 2000)

        self.assertNothingLeft(demo.pid)
        self.assertFalse(Path(f"/tmp/.X11-unix/X{display[1:]}").exists())
        with self.assertRaises(ConnectionRefusedError):
            socket.create_connection(("127.0.0.1", tracker_port), timeout=2).close()

    def test_ctrl_c_stops_a_run_on_a_display_and_a_second_run_refuses(self):
        self.assertTrue(os.environ.get("DISPLAY"), "the test needs a display")
        demo = start_demo(dict(os.environ))
        self.addCleanup(demo.stdout.close)
        self.addCleanup(lambda: demo.poll() is None and os.killpg(demo.pid, signal.SIGTERM))
        next(line for line in demo.stdout if line.startswith("Demo tracker on"))
        # The overlay appears; the first run creates the Wine prefix. A search fails, not only when it finds
        # nothing, but also when a window it looks at closes meanwhile, as Wine's start-up windows do: it is asked
        # again rather than left to wait (--sync) on a failure.
        deadline, search = time.monotonic() + 180, ["xdotool", "search", "--name", f"^{names.PRODUCT_TITLE}$"]
        while subprocess.run(search, capture_output=True).returncode:
            self.assertLess(time.monotonic(), deadline, "the overlay never showed")
            time.sleep(0.5)

        second = start_demo(dict(os.environ))
        output, _ = second.communicate(timeout=120)
        self.assertEqual(second.returncode, 1)
        self.assertIn(f"another demo is running from {DEMO_DIR}", output)
        self.assertIsNone(demo.poll(), "the first run goes on")
        self.assertTrue(leftovers(demo.pid))

        os.killpg(demo.pid, signal.SIGINT)
        interrupted = time.monotonic()
        self.assertEqual(demo.wait(timeout=10), 130)
        self.assertLess(time.monotonic() - interrupted, 5)
        self.assertNothingLeft(demo.pid, within=5 - (time.monotonic() - interrupted))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
